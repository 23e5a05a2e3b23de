#include "app/archive/seven_zip_extractor.h"
#include "tests/archive/test_packages.h"
#include "tests/support/files.h"
#include "tests/support/stdout_capture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

using namespace SevenZip;
using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadBytes;
using testing_support::SnapshotTree;
using testing_support::StdoutCapture;
using testing_support::TempFolder;
using testing_support::ToUtf8;
using testing_support::WriteBytes;

namespace {

const std::wstring kTreeFiles[] = {L"readme.txt", L"sub\\code.bin", L"sub\\deep\\data.bin",
                                   L"sub\\readonly.txt"};

uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ModificationTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ExtractTo : public ::testing::Test {
protected:
    // Two levels below the temporary folder, like an installation folder.
    std::wstring Destination() const { return temp_ / L"install\\app\\"; }

    int32_t Extract(const std::wstring& package, const std::wstring& folder)
    {
        extractor_.SetArchiveFile(PackagePath(package));
        return extractor_.ExtractTo(folder);
    }

    int32_t ExtractCapturing(const std::wstring& package)
    {
        StdoutCapture capture;
        int32_t result = Extract(package, Destination());
        trace_ = capture.Lines();
        return result;
    }

    std::string Line(const wchar_t* text, const std::wstring& relative) const
    {
        return ToUtf8(text + Destination() + relative);
    }

    TempFolder temp_;
    SevenZipExtractor extractor_;
    std::vector<std::string> trace_;
};

class EveryMethod : public ExtractTo, public ::testing::WithParamInterface<const wchar_t*> {};

} // namespace

TEST_P(EveryMethod, GivesTheSourceFilesByteForByte)
{
    ASSERT_EQ(0, Extract(GetParam(), Destination()));
    for (const std::wstring& file : kTreeFiles)
        EXPECT_EQ(ReadBytes(SourcePath(file)), ReadBytes(Destination() + file)) << ToUtf8(file);
    EXPECT_TRUE(FolderExists(Destination() + L"emptydir"));
}

INSTANTIATE_TEST_SUITE_P(Packages, EveryMethod,
                         ::testing::Values(L"lzma.7z", L"lzma2.7z", L"ppmd.7z", L"bzip2.7z",
                                           L"bcj2.7z", L"deflate.zip", L"store.zip",
                                           L"infozip.zip"));

TEST_F(ExtractTo, CabinetsGiveTheirFiles)
{
    for (const wchar_t* package : {L"none.cab", L"mszip.cab"}) {
        TempFolder folder;
        ASSERT_EQ(0, Extract(package, folder.Path())) << ToUtf8(package);
        EXPECT_EQ(ReadBytes(SourcePath(L"readme.txt")), ReadBytes(folder / L"readme.txt"));
        EXPECT_EQ(ReadBytes(SourcePath(L"sub\\code.bin")), ReadBytes(folder / L"sub\\code.bin"));
    }
}

TEST_F(ExtractTo, ItemWithoutPathBecomesContent)
{
    ASSERT_EQ(0, Extract(L"single.lzma", Destination()));
    EXPECT_EQ(ReadBytes(SourcePath(L"readme.txt")), ReadBytes(Destination() + L"[Content]"));

    ASSERT_EQ(0, Extract(L"single.lzma86", Destination()));
    EXPECT_EQ(ReadBytes(SourcePath(L"sub\\code.bin")), ReadBytes(Destination() + L"[Content]"));
}

TEST_F(ExtractTo, FolderOnlyPackageCreatesTheEmptyFolder)
{
    ASSERT_EQ(0, ExtractCapturing(L"folder-only.7z"));
    EXPECT_TRUE(FolderExists(Destination() + L"emptydir"));
    EXPECT_TRUE(SnapshotTree(Destination() + L"emptydir\\").empty());
    EXPECT_TRUE(Contains(trace_, Line(L"DirBegin:", L"emptydir")));
}

TEST_F(ExtractTo, FolderWithoutTrailingSeparatorGetsOne)
{
    std::wstring folder = Destination();
    folder.pop_back();
    StdoutCapture capture;
    ASSERT_EQ(0, Extract(L"times.7z", folder));
    EXPECT_TRUE(FileExists(Destination() + L"readme.txt"));
    EXPECT_TRUE(Contains(capture.Lines(), Line(L"FileBegin:", L"readme.txt")));
}

TEST_F(ExtractTo, ExistingReadWriteFileIsReplaced)
{
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"install").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Destination().c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(Destination() + L"readme.txt", "old contents, longer than the new ones"));

    ASSERT_EQ(0, ExtractCapturing(L"times.7z"));
    EXPECT_EQ(ReadBytes(SourcePath(L"readme.txt")), ReadBytes(Destination() + L"readme.txt"));
    std::vector<std::string> expected = {Line(L"FileBegin:", L"readme.txt"),
                                         Line(L"FileDone:", L"readme.txt")};
    EXPECT_EQ(expected, trace_);
}

TEST_F(ExtractTo, ExistingFolderAtAFileTargetIsDeletedWithItsContents)
{
    std::wstring blocking = Destination() + L"readme.txt\\";
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, (blocking + L"inner").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(blocking + L"inner\\file.txt", "x"));

    ASSERT_EQ(0, Extract(L"times.7z", Destination()));
    EXPECT_TRUE(FileExists(Destination() + L"readme.txt"));
    EXPECT_EQ(ReadBytes(SourcePath(L"readme.txt")), ReadBytes(Destination() + L"readme.txt"));
}

TEST_F(ExtractTo, TargetHeldOpenWithoutDeleteSharingStopsTheExtraction)
{
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, Destination().c_str(), nullptr));
    std::wstring target = Destination() + L"readme.txt";
    ASSERT_TRUE(WriteBytes(target, "in use"));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    int32_t result = ExtractCapturing(L"times.7z");
    CloseHandle(held);
    EXPECT_NE(0, result);
    EXPECT_TRUE(Contains(trace_, ToUtf8(L"移除路径失败:" + target)));
    EXPECT_FALSE(Contains(trace_, ToUtf8(L"FileDone:" + target)));
    EXPECT_EQ("in use", ReadBytes(target));
}

TEST_F(ExtractTo, RecordedModificationTimeIsApplied)
{
    ASSERT_EQ(0, Extract(L"times.7z", Destination()));
    SYSTEMTIME recorded = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME expected = {};
    SystemTimeToFileTime(&recorded, &expected);
    EXPECT_EQ(Ticks(expected), Ticks(ModificationTime(Destination() + L"readme.txt")));
}

TEST_F(ExtractTo, AbsentTimesLeaveTheTimeOfWriting)
{
    FILETIME before = {};
    GetSystemTimeAsFileTime(&before);
    ASSERT_EQ(0, Extract(L"no-times.7z", Destination()));
    FILETIME after = {};
    GetSystemTimeAsFileTime(&after);
    const uint64_t slack = 2 * 10000000ull; // file-system time granularity
    uint64_t written = Ticks(ModificationTime(Destination() + L"readme.txt"));
    EXPECT_GE(written + slack, Ticks(before));
    EXPECT_LE(written, Ticks(after) + slack);
}

TEST_F(ExtractTo, RecordedAttributesAreApplied)
{
    ASSERT_EQ(0, Extract(L"lzma2.7z", Destination()));
    EXPECT_TRUE(GetFileAttributesW((Destination() + L"sub\\readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(GetFileAttributesW((Destination() + L"readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ExtractTo, SecondExtractionReplacesEveryFileIncludingReadOnlyOnes)
{
    ASSERT_EQ(0, Extract(L"lzma2.7z", Destination()));
    ASSERT_TRUE(WriteBytes(Destination() + L"readme.txt", "changed"));
    ASSERT_EQ(0, Extract(L"lzma2.7z", Destination()));
    for (const std::wstring& file : kTreeFiles)
        EXPECT_EQ(ReadBytes(SourcePath(file)), ReadBytes(Destination() + file)) << ToUtf8(file);
}

TEST_F(ExtractTo, WrittenPathsNameCreatedFoldersBeforeTheirFiles)
{
    ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, (Destination() + L"sub").c_str(), nullptr));
    ASSERT_EQ(0, Extract(L"lzma2.7z", Destination()));
    std::wstring d = Destination();
    std::vector<std::wstring> expected = {d + L"emptydir", d + L"sub\\deep", d + L"readme.txt",
                                          d + L"sub\\code.bin", d + L"sub\\deep\\data.bin",
                                          d + L"sub\\readonly.txt"};
    EXPECT_EQ(expected, extractor_.WrittenPaths());
}

TEST_F(ExtractTo, MissingPackageGives110)
{
    EXPECT_EQ(110, Extract(L"missing.7z", Destination()));
    EXPECT_FALSE(FolderExists(Destination()));
}

TEST_F(ExtractTo, FileOfNoFormatFailsBeforeWriting)
{
    EXPECT_NE(0, Extract(L"plain.txt", Destination()));
    EXPECT_FALSE(FolderExists(Destination()));
}

TEST_F(ExtractTo, EncryptedHeadersFailBeforeWriting)
{
    EXPECT_NE(0, Extract(L"aes-headers.7z", Destination()));
    EXPECT_FALSE(FolderExists(Destination()));
}

TEST_F(ExtractTo, EncryptedDataFailsAndLeavesNoFile)
{
    EXPECT_NE(0, ExtractCapturing(L"aes.7z"));
    for (const std::wstring& file : kTreeFiles)
        EXPECT_FALSE(FileExists(Destination() + file)) << ToUtf8(file);
}

TEST_F(ExtractTo, DamagedDataFailsAndLeavesNoFile)
{
    for (const wchar_t* package : {L"damaged.7z", L"damaged.zip"}) {
        EXPECT_NE(0, ExtractCapturing(package)) << ToUtf8(package);
        EXPECT_FALSE(FileExists(Destination() + L"sub\\deep\\data.bin")) << ToUtf8(package);
        EXPECT_TRUE(Contains(trace_, Line(L"FileBegin:", L"sub\\deep\\data.bin")));
        EXPECT_FALSE(Contains(trace_, Line(L"FileDone:", L"sub\\deep\\data.bin")));
    }
}

// A package may name any dictionary size; one beyond 64 MiB is refused
// before the decoder takes it, however little data it holds.
TEST_F(ExtractTo, DictionaryBeyond64MiBIsRefused)
{
    const struct {
        const wchar_t* package;
        const wchar_t* item;
        bool extracts;
    } packages[] = {
        {L"dictionary-64.lzma", L"[Content]", true},
        {L"dictionary-65.lzma", L"[Content]", false},
        {L"dictionary-3072.lzma", L"[Content]", false},
        {L"dictionary-64.7z", L"readme.txt", true},
        {L"dictionary-1024.7z", L"readme.txt", false},
    };
    for (const auto& package : packages) {
        TempFolder folder;
        std::wstring item = folder / package.item;
        if (package.extracts) {
            EXPECT_EQ(0, Extract(package.package, folder.Path())) << ToUtf8(package.package);
            EXPECT_EQ(ReadBytes(SourcePath(L"readme.txt")), ReadBytes(item)) << ToUtf8(package.package);
        } else {
            EXPECT_NE(0, Extract(package.package, folder.Path())) << ToUtf8(package.package);
            EXPECT_FALSE(FileExists(item)) << ToUtf8(package.package);
        }
    }
}

TEST_F(ExtractTo, TruncatedPackageFails)
{
    EXPECT_NE(0, Extract(L"truncated.7z", Destination()));
}
