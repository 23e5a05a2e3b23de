#include "app/package_address.h"
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

TEST(PackageAddressTest, OnlyHttpsToAPlainHostNameIsAccepted)
{
    struct Case {
        const wchar_t* address;
        bool accepted;
    } cases[] = {
        {L"https://updates.example/p/tarnwick.7z", true},
        {L"https://cdn-2.updates.example:8443/p/tarnwick.7z?token=a%2Fb&sig=1#part", true},
        {L"HTTPS://Updates.Example/tarnwick.7z", true},
        {L"https://updates.example", true},
        {L"https://updates.example?x=1", true},
        {L"http://updates.example/tarnwick.7z", false},
        {L"ftp://updates.example/tarnwick.7z", false},
        {L"file:///C:/packages/tarnwick.7z", false},
        {L"file://server/share/tarnwick.7z", false},
        {L"C:\\packages\\tarnwick.7z", false},
        {L"\\\\server\\share\\tarnwick.7z", false},
        {L"//server/share/tarnwick.7z", false},
        {L"tarnwick.7z", false},
        {L"https:///tarnwick.7z", false},
        {L"https://:443/tarnwick.7z", false},
        {L"https://./tarnwick.7z", false},
        {L"https://updates.example:/tarnwick.7z", false},
        {L"https://updates.example:44x/tarnwick.7z", false},
        {L"https://user@updates.example/tarnwick.7z", false},
        {L"https://updates.example\\@other/tarnwick.7z", false},
        {L"https:\\\\updates.example/tarnwick.7z", false},
        {L"https://[::1]/tarnwick.7z", false},
        {L"https://upd%61tes.example/tarnwick.7z", false},
        {L" https://updates.example/tarnwick.7z", false},
        {L"https:updates.example/tarnwick.7z", false},
        {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.accepted, IsHttpsPackageAddress(c.address)) << ToUtf8(c.address);
}

TEST(DownloadToFileTest, HttpsDownloadIsByteExact)
{
    TempFolder folder;
    std::string expected = ReadBytes(PackagesFolder() + L"basic.7z");
    ASSERT_FALSE(expected.empty());

    DownloadResult secure = Download(Address("HTTPS", L"files/basic.7z"), folder / L"secure.7z");
    EXPECT_TRUE(secure.succeeded) << Describe(secure.messages);
    EXPECT_EQ(expected, ReadBytes(folder / L"secure.7z"));
    EXPECT_FALSE(secure.messages.empty());
}

// Refused before the download starts: no request, no report, and what lay
// at the target stays.
TEST(DownloadToFileTest, AddressesOtherThanHttpsFailWithoutTouchingTheTarget)
{
    TempFolder folder;
    std::wstring packages = PackagesFolder();
    std::wstring forward = L"file:///" + packages + L"basic.7z";
    for (wchar_t& c : forward)
        c = c == L'\\' ? L'/' : c;
    std::wstring addresses[] = {
        Address("HTTP", L"files/basic.7z", "http"),
        forward,
        packages + L"basic.7z",
        L"\\\\localhost\\packages\\basic.7z",
        L"//localhost/packages/basic.7z",
        L"https:///files/basic.7z",
    };
    std::wstring target = folder / L"package.7z";
    for (const std::wstring& address : addresses) {
        WriteBytes(target, "left from before");
        DownloadResult result = Download(address, target);
        EXPECT_FALSE(result.succeeded) << ToUtf8(address);
        EXPECT_TRUE(result.messages.empty()) << ToUtf8(address) << ": " << Describe(result.messages);
        EXPECT_EQ("left from before", ReadBytes(target)) << ToUtf8(address);
    }
}

TEST(DownloadToFileTest, RedirectMustStayOnHttps)
{
    TempFolder folder;
    std::string expected = ReadBytes(PackagesFolder() + L"basic.7z");
    std::wstring toHttp = Address("HTTP", L"files/basic.7z", "http");
    std::wstring toHttps = Address("HTTPS", L"files/basic.7z");
    struct Case {
        std::wstring address;
        bool succeeds;
    } cases[] = {
        {Address("HTTPS", L"redirect?" + toHttp), false},
        {Address("HTTPS", L"redirect?" + Address("HTTPS", L"redirect?" + toHttp)), false},
        {Address("HTTPS", L"redirect?" + toHttps), true},
    };
    for (const Case& c : cases) {
        std::wstring target = folder / L"basic.7z";
        DownloadResult result = Download(c.address, target);
        EXPECT_EQ(c.succeeds, result.succeeded) << ToUtf8(c.address) << ": " << Describe(result.messages);
        EXPECT_EQ(c.succeeds ? expected : std::string(), ReadBytes(target)) << ToUtf8(c.address);
        EXPECT_EQ(c.succeeds, FileExists(target)) << ToUtf8(c.address);
        DeleteFileW(target.c_str());
    }
}

TEST(DownloadToFileTest, MissingTargetFoldersAreCreated)
{
    TempFolder folder;
    DownloadResult result =
        Download(Address("HTTPS", L"files/basic.7z"), folder / L"deep\\er\\basic.7z");
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
        {Address("HTTPS", L"status/404/basic.7z"), "404"},
        {Address("HTTPS", L"status/500/basic.7z"), "500"},
        {Address("HTTPS", L"files/no-such-package.7z"), "missing file"},
        {Address("HTTPS", L"empty/basic.7z"), "empty answer"},
        {Address("REFUSED", L"files/basic.7z"), "refused connection"},
        {Address("UNTRUSTED", L"files/basic.7z"), "untrusted certificate"},
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
    DownloadResult result = Download(Address("HTTPS", L"slow/big.7z"), folder / L"big.7z");
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
    DownloadResult result = Download(Address("HTTPS", L"chunked/big.7z"), folder / L"big.7z");
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
    DownloadResult result = Download(Address("HTTPS", L"steady/big.7z"), folder / L"big.7z");
    DWORD elapsed = GetTickCount() - start;
    EXPECT_TRUE(result.succeeded) << Describe(result.messages);
    EXPECT_EQ(expected, ReadBytes(folder / L"big.7z"));
    EXPECT_GT(elapsed, kDownloadStallLimitMs);
}

// large.bin is 1048576 bytes; every cut closes the connection short of the
// announced length, as a dropped line does.
TEST(DownloadToFileTest, CutTransfersGoOnFromTheKeptBytesOrStartOverOrFail)
{
    TempFolder folder;
    std::string expected = ReadBytes(PackagesFolder() + L"large.bin");
    ASSERT_EQ(1048576u, expected.size());
    struct Case {
        std::string path;
        bool succeeded;
        int backwards;
        std::vector<std::string> log;
    } cases[] = {
        {"/cut/300000,700000/range/large.bin?twice",
         true,
         0,
         {"- 200 300000", "bytes=300000- 206 400000", "bytes=700000- 206 348576"}},
        {"/cut/250000,500000,750000/range/large.bin?thrice",
         true,
         0,
         {"- 200 250000", "bytes=250000- 206 250000", "bytes=500000- 206 250000",
          "bytes=750000- 206 298576"}},
        {"/cut/200000,400000,600000,800000/range/large.bin?four-times",
         false,
         0,
         {"- 200 200000", "bytes=200000- 206 200000", "bytes=400000- 206 200000",
          "bytes=600000- 206 200000"}},
        {"/cut/600000/lastmod/large.bin?by-date", true, 0, {"- 200 600000", "bytes=600000- 206 448576"}},
        {"/cut/600000/ignore/large.bin?ignored", true, 1, {"- 200 600000", "bytes=600000- 200 1048576"}},
        {"/cut/600000/changed/large.bin?changed", true, 1, {"- 200 600000", "bytes=600000- 200 1048576"}},
        {"/cut/600000/shifted/large.bin?shifted", false, 0, {"- 200 600000", "bytes=600000- 206 448576"}},
        {"/cut/600000/total/large.bin?total", false, 0, {"- 200 600000", "bytes=600000- 206 448576"}},
        {"/cut/600000/refuse/large.bin?refused", false, 0, {"- 200 600000", "bytes=600000- 416 0"}},
    };
    for (const Case& c : cases) {
        std::wstring target = folder / L"large.bin";
        std::wstring address = Address("HTTPS", std::wstring(c.path.begin() + 1, c.path.end()));
        DownloadResult result = Download(address, target);
        EXPECT_EQ(c.succeeded, result.succeeded) << c.path;
        EXPECT_EQ(c.log, ServerLog(c.path)) << c.path << ": " << Joined(ServerLog(c.path));
        BarCourse course = CourseOf(result.messages, expected.size());
        EXPECT_EQ(c.backwards, course.backwards) << c.path << ": " << Describe(result.messages);
        if (c.succeeded) {
            EXPECT_TRUE(expected == ReadBytes(target)) << c.path;
            EXPECT_TRUE(course.reachedSize) << c.path;
        } else {
            EXPECT_FALSE(FileExists(target)) << c.path;
        }
        // No piece of a continuation is left beside the package.
        EXPECT_EQ(c.succeeded ? 1u : 0u, SnapshotTree(folder.Path()).size()) << c.path;
        DeleteFileW(target.c_str());
    }
}
