#include "app/time_limits.h"
#include "app/upgrade_download.h"
#include "app/upgrade_messages.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/upgrade/worker_run.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace upgrade_testing;

namespace {

struct DownloadResult {
    bool succeeded = false;
    std::vector<PostedMessage> messages;
};

// The download alone posts no final message, so the run ends with one of its own.
DownloadResult Download(const std::wstring& address, const std::wstring& target)
{
    DownloadResult result;
    result.messages = RunAgainstWindow([&](HWND window) {
        result.succeeded = DownloadToFile(address, target, window);
        PostMessageW(window, WM_UPGRADE_DONE, 0, 0);
    });
    result.messages.pop_back();
    return result;
}

} // namespace

TEST(PackageNameTest, LastComponentWithoutQueryAndFragment)
{
    EXPECT_EQ(L"upgrade.7z", PackageNameFromAddress(L"http://host/a/upgrade.7z"));
    EXPECT_EQ(L"upgrade.7z", PackageNameFromAddress(L"http://host/a/upgrade.7z?token=1"));
    EXPECT_EQ(L"upgrade.7z", PackageNameFromAddress(L"http://host/upgrade.7z#part"));
    EXPECT_EQ(L"upgrade.7z", PackageNameFromAddress(L"http://host/upgrade.7z?next=/x/y.zip"));
    EXPECT_EQ(L"pkg.zip", PackageNameFromAddress(L"files\\pkg.zip"));
    EXPECT_EQ(L"pkg.zip", PackageNameFromAddress(L"pkg.zip"));
    EXPECT_EQ(L"", PackageNameFromAddress(L"http://host/dir/"));
    EXPECT_EQ(L"", PackageNameFromAddress(L"http://host/dir/?file=a.7z"));
}

TEST(MakeFolderChainTest, CreatesEveryMissingFolderButNotAnExistingOne)
{
    TempFolder folder;
    EXPECT_TRUE(MakeFolderChain(folder / L"one\\two/three"));
    EXPECT_TRUE(FolderExists(folder / L"one\\two\\three"));
    EXPECT_FALSE(MakeFolderChain(folder / L"one\\two"));
    EXPECT_FALSE(MakeFolderChain(L"no-separator-kestrel-h5"));
}

TEST(DownloadToFileTest, HttpAndHttpsDownloadsAreByteExact)
{
    TempFolder folder;
    std::string expected = ReadBytes(PackagesFolder() + L"basic.7z");
    ASSERT_FALSE(expected.empty());

    DownloadResult plain = Download(Address("HTTP", L"files/basic.7z"), folder / L"plain.7z");
    EXPECT_TRUE(plain.succeeded) << Describe(plain.messages);
    EXPECT_EQ(expected, ReadBytes(folder / L"plain.7z"));
    EXPECT_FALSE(plain.messages.empty());

    DownloadResult secure =
        Download(Address("HTTPS", L"files/basic.7z", "https"), folder / L"secure.7z");
    EXPECT_TRUE(secure.succeeded) << Describe(secure.messages);
    EXPECT_EQ(expected, ReadBytes(folder / L"secure.7z"));
}

TEST(DownloadToFileTest, MissingTargetFoldersAreCreated)
{
    TempFolder folder;
    DownloadResult result =
        Download(Address("HTTP", L"files/basic.7z"), folder / L"deep\\er\\basic.7z");
    EXPECT_TRUE(result.succeeded);
    EXPECT_TRUE(FileExists(folder / L"deep\\er\\basic.7z"));
}

TEST(DownloadToFileTest, ErrorAnswersEmptyAnswersAndBrokenConnectionsFailWithoutLeavingAFile)
{
    TempFolder folder;
    struct Case {
        std::wstring address;
        const char* what;
    } cases[] = {
        {Address("HTTP", L"status/404/basic.7z"), "404"},
        {Address("HTTP", L"status/500/basic.7z"), "500"},
        {Address("HTTP", L"files/no-such-package.7z"), "missing file"},
        {Address("HTTP", L"empty/basic.7z"), "empty answer"},
        {Address("REFUSED", L"files/basic.7z"), "refused connection"},
        {Address("UNTRUSTED", L"files/basic.7z", "https"), "untrusted certificate"},
    };
    for (const Case& c : cases) {
        std::wstring target = folder / L"package.7z";
        DownloadResult result = Download(c.address, target);
        EXPECT_FALSE(result.succeeded) << c.what;
        EXPECT_FALSE(FileExists(target)) << c.what;
    }
}

TEST(DownloadToFileTest, ThrottledDownloadReportsEveryStepUpToTheSize)
{
    TempFolder folder;
    std::string expected = ReadBytes(PackagesFolder() + L"big.7z");
    DownloadResult result = Download(Address("HTTP", L"slow/big.7z"), folder / L"big.7z");
    ASSERT_TRUE(result.succeeded);
    EXPECT_EQ(expected, ReadBytes(folder / L"big.7z"));

    std::vector<PostedMessage> reports = ProgressReports(result.messages);
    size_t sized = 0;
    WPARAM last = 0;
    for (const PostedMessage& report : reports) {
        if (report.lParam == 0)
            continue;
        ++sized;
        EXPECT_EQ(static_cast<LPARAM>(expected.size()), report.lParam);
        EXPECT_GE(report.wParam, last);
        last = report.wParam;
    }
    EXPECT_GE(sized, 10u) << Describe(result.messages);
    EXPECT_EQ(expected.size(), last);
}

TEST(DownloadToFileTest, ReportsWithoutASizeArePostedToo)
{
    TempFolder folder;
    DownloadResult result = Download(Address("HTTP", L"chunked/big.7z"), folder / L"big.7z");
    ASSERT_TRUE(result.succeeded);
    bool unsized = false;
    for (const PostedMessage& report : ProgressReports(result.messages))
        unsized = unsized || report.lParam == 0;
    EXPECT_TRUE(unsized) << Describe(result.messages);
}

// The test build's stall limit is short (app/time_limits.cpp); the pieces
// come well within it, the whole download takes longer.
TEST(DownloadToFileTest, SlowButSteadyDownloadOutlastsTheStallLimit)
{
    TempFolder folder;
    std::string expected = ReadBytes(PackagesFolder() + L"big.7z");
    DWORD start = GetTickCount();
    DownloadResult result = Download(Address("HTTP", L"steady/big.7z"), folder / L"big.7z");
    DWORD elapsed = GetTickCount() - start;
    EXPECT_TRUE(result.succeeded) << Describe(result.messages);
    EXPECT_EQ(expected, ReadBytes(folder / L"big.7z"));
    EXPECT_GT(elapsed, kDownloadStallLimitMs);
}
