#include "app/delta_manifest.h"
#include "app/package_check.h"
#include "tests/support/delta_writer.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

DeltaManifestResult ReadManifestOf(const std::wstring& path, std::vector<DeltaEntry>& entries)
{
    SkinUI::FileHandle file = OpenDownloadedForCheck(path);
    if (!file)
        return DeltaManifestResult::Unreadable;
    return ReadDeltaManifest(file.get(), entries);
}

DeltaManifestResult ReadBytesAsManifest(const std::string& bytes)
{
    TempFolder folder;
    WriteBytes(folder / L"x.delta", bytes);
    std::vector<DeltaEntry> entries;
    return ReadManifestOf(folder / L"x.delta", entries);
}

DeltaWriter SampleDelta()
{
    DeltaWriter writer;
    writer.Keep("same.dll", "same")
        .Patch("sub/app.exe", RandomBytes(5000, 7), RandomBytes(5000, 7) + "tail")
        .Whole("new.txt", "brand new")
        .Remove("gone.dll");
    return writer;
}

} // namespace

TEST(DeltaManifestTest, ReadsEveryKindWithItsPayloadPlace)
{
    DeltaWriter writer = SampleDelta();
    std::string bytes = writer.Bytes();
    TempFolder folder;
    WriteBytes(folder / L"x.delta", bytes);
    std::vector<DeltaEntry> entries;
    ASSERT_EQ(DeltaManifestResult::Ok, ReadManifestOf(folder / L"x.delta", entries));
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ(DeltaEntryKind::Keep, entries[0].kind);
    EXPECT_EQ(L"sub\\app.exe", entries[1].name);
    EXPECT_EQ(DeltaEntryKind::Patch, entries[1].kind);
    EXPECT_EQ(5004u, entries[1].size);
    EXPECT_EQ(5000u, entries[1].baseSize);
    EXPECT_EQ(Sha256Of(RandomBytes(5000, 7)),
              std::string(reinterpret_cast<const char*>(entries[1].baseSha256), 32));
    EXPECT_EQ(writer.Entries()[1].payload,
              bytes.substr(static_cast<size_t>(entries[1].payloadOffset),
                           static_cast<size_t>(entries[1].payloadSize)));
    EXPECT_EQ(writer.Entries()[2].payload,
              bytes.substr(static_cast<size_t>(entries[2].payloadOffset)));
    EXPECT_EQ(DeltaEntryKind::Remove, entries[3].kind);
    EXPECT_EQ(L"gone.dll", entries[3].name);
}

TEST(DeltaManifestTest, RefusesDamagedOrHostileManifests)
{
    const struct {
        const char* what;
        std::function<std::string()> bytes;
        DeltaManifestResult expected;
    } kCases[] = {
        {"empty file", [] { return std::string(); }, DeltaManifestResult::Malformed},
        {"other magic", [] { std::string b = SampleDelta().Bytes(); b[6] = '2'; return b; },
         DeltaManifestResult::Malformed},
        {"cut inside the manifest", [] { return SampleDelta().Bytes().substr(0, 40); },
         DeltaManifestResult::Malformed},
        {"cut inside a payload", [] { std::string b = SampleDelta().Bytes(); b.pop_back(); return b; },
         DeltaManifestResult::Malformed},
        {"bytes after the last payload", [] { return SampleDelta().Bytes() + "x"; },
         DeltaManifestResult::Malformed},
        {"unknown kind", [] { DeltaWriter w = SampleDelta(); w.Entries()[0].kind = 9; return w.Bytes(); },
         DeltaManifestResult::Malformed},
        {"name leaving the folder", [] { DeltaWriter w; w.Whole("../evil.dll", "x"); return w.Bytes(); },
         DeltaManifestResult::UnsafeName},
        {"name leaving through a folder", [] { DeltaWriter w; w.Whole("sub/../../evil.dll", "x"); return w.Bytes(); },
         DeltaManifestResult::UnsafeName},
        {"absolute name", [] { DeltaWriter w; w.Remove("/windows/evil.dll"); return w.Bytes(); },
         DeltaManifestResult::UnsafeName},
        {"drive name", [] { DeltaWriter w; w.Remove("C:evil.dll"); return w.Bytes(); },
         DeltaManifestResult::UnsafeName},
        {"name of a folder", [] { DeltaWriter w; w.Remove("sub/"); return w.Bytes(); },
         DeltaManifestResult::UnsafeName},
        {"name not UTF-8", [] { DeltaWriter w; w.Remove("\xC3("); return w.Bytes(); },
         DeltaManifestResult::UnsafeName},
        {"same name twice, other case", [] { DeltaWriter w; w.Whole("a.dll", "1").Remove("A.DLL"); return w.Bytes(); },
         DeltaManifestResult::Malformed},
        {"patched file above 256 MiB",
         [] { DeltaWriter w = SampleDelta(); w.Entries()[1].size = (uint64_t(256) << 20) + 1; return w.Bytes(); },
         DeltaManifestResult::TooLarge},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.expected, ReadBytesAsManifest(c.bytes())) << c.what;
}

TEST(DeltaManifestTest, RefusesADeltaAboveOneGibibyteBeforeReadingIt)
{
    TempFolder folder;
    std::wstring path = folder / L"huge.delta";
    WriteBytes(path, SampleDelta().Bytes());
    {
        SkinUI::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER end = {};
        end.QuadPart = static_cast<LONGLONG>(kMaxDeltaBytes) + 1;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    std::vector<DeltaEntry> entries;
    EXPECT_EQ(DeltaManifestResult::TooLarge, ReadManifestOf(path, entries));
    EXPECT_TRUE(entries.empty());
}
