#include "app/archive/seven_zip_archive.h"
#include "app/archive/seven_zip_extractor.h"
#include "tests/archive/test_packages.h"
#include "tests/support/files.h"
#include "tests/support/stdout_capture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

using namespace SevenZip;
using testing_support::FileExists;
using testing_support::ReadBytes;
using testing_support::SnapshotTree;
using testing_support::StdoutCapture;
using testing_support::TempFolder;
using testing_support::ToUtf8;
using testing_support::WriteBytes;

namespace {

// The destination lies two levels down; files wait one and two levels up
// where "..\escape.txt" and "..\..\escape.txt" would land.
class HostilePackage : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, SHCreateDirectoryExW(nullptr, Destination().c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(OneUp(), "keep"));
        ASSERT_TRUE(WriteBytes(TwoUp(), "keep"));
    }

    std::wstring Destination() const { return temp_ / L"install\\app\\"; }
    std::wstring OneUp() const { return temp_ / L"install\\escape.txt"; }
    std::wstring TwoUp() const { return temp_ / L"escape.txt"; }
    std::wstring DriveRoot() const { return temp_.Path().substr(0, 3) + L"escape.txt"; }

    TempFolder temp_;
};

} // namespace

TEST_P(HostilePackage, ItemLeavingTheFolderFailsTheExtractionUntouched)
{
    SevenZipExtractor extractor;
    extractor.SetArchiveFile(PackagePath(GetParam()));
    StdoutCapture capture;
    EXPECT_NE(0, extractor.ExtractTo(Destination()));
    std::vector<std::string> trace = capture.Lines();

    EXPECT_EQ("keep", ReadBytes(OneUp()));
    EXPECT_EQ("keep", ReadBytes(TwoUp()));
    EXPECT_FALSE(FileExists(DriveRoot()));
    EXPECT_TRUE(SnapshotTree(Destination()).empty());
    EXPECT_TRUE(extractor.WrittenPaths().empty());
    for (const std::string& line : trace)
        EXPECT_NE(0u, line.find("FileBegin:")) << line;
}

INSTANTIATE_TEST_SUITE_P(Names, HostilePackage,
                         ::testing::Values(L"parent-slash.zip", L"parent-backslash.zip",
                                           L"two-up.zip", L"absolute.zip", L"drive-relative.zip",
                                           L"unc.zip", L"inner-parent.zip", L"parent.7z",
                                           L"two-up.7z"));

TEST(HostilePackageListing, NamesAreListedAsStoredForTheCallerToCheck)
{
    SevenZipArchive archive;
    archive.SetArchiveFile(PackagePath(L"two-up.7z"));
    EXPECT_EQ(std::vector<std::wstring>{L"..\\..\\escape.txt"}, archive.ItemNames());
}

TEST(HostilePackageAfterGoodItem, GoodItemIsWrittenAndReportedThenTheExtractionFails)
{
    TempFolder temp;
    std::wstring destination = temp / L"app\\";
    SevenZipExtractor extractor;
    extractor.SetArchiveFile(PackagePath(L"good-then-parent.zip"));
    EXPECT_NE(0, extractor.ExtractTo(destination));
    EXPECT_TRUE(FileExists(destination + L"good.txt"));
    EXPECT_FALSE(FileExists(temp / L"escape.txt"));
    EXPECT_EQ(std::vector<std::wstring>{destination + L"good.txt"}, extractor.WrittenPaths());
}
