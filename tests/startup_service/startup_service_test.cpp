#include "app/time_limits.h"
#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/version_service.h"
#include "tests/support/window_driver.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::Installation;
using testing_support::NoDataAnswer;
using testing_support::ProcessResult;
using testing_support::UpgradeAnswer;
using testing_support::VersionService;

namespace {

const char kRequestForId1[] = "/v1/oem/clientVersion?oemId=1";

bool IsRunningFrom(DWORD processId, const std::wstring& path)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    bool same = QueryFullProcessImageNameW(process, 0, image, &size) && lstrcmpiW(image, path.c_str()) == 0;
    CloseHandle(process);
    return same;
}

bool TarnwickRunning(const Installation& installation)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    bool running = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry)) {
        running = lstrcmpiW(entry.szExeFile, L"Tarnwick.exe") == 0
            && IsRunningFrom(entry.th32ProcessID, installation.PathOf(L"Tarnwick.exe"));
    }
    CloseHandle(snapshot);
    return running;
}

class StartupAgainstService : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Available()) << "run through tests/support/with_version_service.sh";
    }

    // Runs Kestrel.exe to its end, closing every message box it shows with
    // Escape, and returns the command lines Tarnwick was started with. A
    // Tarnwick started by Kestrel exists before Kestrel ends and logs before
    // it ends, so once none runs the log is complete.
    std::vector<std::string> RunKestrel(const Installation& installation)
    {
        testing_support::ChildProcess kestrel;
        EXPECT_TRUE(installation.StartKestrel(kestrel));
        boxes = testing_support::AnswerBoxesUntilEnd(kestrel);
        EXPECT_FALSE(kestrel.Running());
        EXPECT_EQ(kestrel.ExitCode(), 0u);
        output = kestrel.Output();
        EXPECT_TRUE(testing_support::WaitUntil([&] { return !TarnwickRunning(installation); }, 20000));
        return installation.TarnwickLogLines("started: ");
    }

    VersionService service;
    std::string output;
    int boxes = 0;
};

const std::vector<std::string> kStartedWithId1 = {"-show -oemid:1"};
const std::vector<std::string> kNotStarted;

} // namespace

TEST_F(StartupAgainstService, FailedRequestShowsTheBoxAndDoesNotStartTarnwick)
{
    service.AnswerOthers("gone", 404);
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kNotStarted);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(service.Requests(), std::vector<std::string>{kRequestForId1});
}

TEST_F(StartupAgainstService, SelfSignedServiceCertificateFailsTheRequest)
{
    service.AnswerOthers(NoDataAnswer(3, "would start Tarnwick"));
    service.UseSelfSignedCertificate();
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kNotStarted);
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(service.Requests().empty());
}

// The only box of a run without an upgrade is "Get Data Failed!".
TEST_F(StartupAgainstService, AnswerRedirectedToHttpFailsTheRequest)
{
    service.AnswerOthers(NoDataAnswer(3, "would start Tarnwick"));
    service.RedirectVersionRequests("http");
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kNotStarted);
    EXPECT_EQ(boxes, 1);
}

TEST_F(StartupAgainstService, AnswerRedirectedWithinHttpsIsBelieved)
{
    service.AnswerOthers(NoDataAnswer(3, "starts Tarnwick"));
    service.RedirectVersionRequests("https");
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(service.Requests(),
              (std::vector<std::string>{kRequestForId1, std::string(kRequestForId1) + "&redirected"}));
}

TEST_F(StartupAgainstService, NonZeroCodeStartsTarnwickWhateverTheData)
{
    service.AnswerOthers("{\"Code\":7,\"Msg\":\"closed\",\"Data\":{\"LatestVersion\":\"9.0.0.0\","
                         "\"UpdateContent\":\"new\",\"DownloadUrl\":\"https://localhost:1011/p.7z\"}}");
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
    EXPECT_EQ(service.Requests(), std::vector<std::string>{kRequestForId1});
}

TEST_F(StartupAgainstService, ServerErrorStatusIsReadLikeAnyAnswer)
{
    service.AnswerOthers(NoDataAnswer(500, "maintenance"), 500);
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
}

TEST_F(StartupAgainstService, CurrentVersionStartsTarnwick)
{
    service.AnswerOthers(UpgradeAnswer("1.0.0.9", "same", "https://localhost:1011/p.7z"));
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
}

TEST_F(StartupAgainstService, OlderLatestVersionStartsTarnwick)
{
    service.AnswerOthers(UpgradeAnswer("3.2.0.99"));
    Installation installation(true, L"TarnwickStandIn0409.exe");
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
}

// The package is missing: the upgrade fails with one box and Tarnwick waits.
TEST_F(StartupAgainstService, NewerVersionIsDueAndTarnwickWaitsForTheUpgrade)
{
    service.AnswerOthers(UpgradeAnswer("1.0.0.10", "fixes", "https://localhost:1011/packages/p.7z"));
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kNotStarted);
    EXPECT_EQ(boxes, 1);
}

TEST_F(StartupAgainstService, AnswerThatIsNotJsonCountsAsDue)
{
    service.AnswerOthers("<html>captive portal</html>");
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kNotStarted);
    EXPECT_EQ(boxes, 1);
}

TEST_F(StartupAgainstService, OemIdFromKestrelDatChoosesTheAnswer)
{
    service.AnswerOthers("gone", 404);
    service.Answer(25, UpgradeAnswer("1.0.0.9"));
    Installation installation;
    installation.WriteOemFile("{\"id\":25}\n");
    EXPECT_EQ(RunKestrel(installation), std::vector<std::string>{"-show -oemid:25"});
    EXPECT_EQ(service.Requests(), std::vector<std::string>{"/v1/oem/clientVersion?oemId=25"});
}

TEST_F(StartupAgainstService, OemFileIsReadInACjkFolderWithSpacesHoweverSaved)
{
    service.AnswerOthers("gone", 404);
    service.Answer(7, UpgradeAnswer("1.0.0.9"));
    const std::string contents[] = {
        "{\"id\":7}",
        "\xEF\xBB\xBF{\r\n  \"id\": 7\r\n}\r\n",
        testing_support::Utf16WithMark(L"{ \"id\": 7 }"),
    };
    for (const std::string& content : contents) {
        Installation installation(true, L"TarnwickStandIn.exe", L"\x7A0B\x5E8F \x6587\x4EF6 (x86)\\\x9732\x6469\\");
        installation.WriteOemFile(content);
        EXPECT_EQ(RunKestrel(installation), std::vector<std::string>{"-show -oemid:7"}) << content;
    }
}

TEST_F(StartupAgainstService, AnswerWithAByteOrderMarkIsRead)
{
    service.AnswerOthers("\xEF\xBB\xBF" + NoDataAnswer(3, "closed"));
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
}

TEST_F(StartupAgainstService, MalformedUtf8InTheAnswerSaysBadConversion)
{
    service.AnswerOthers("{\"Code\":0,\"Data\":{\"LatestVersion\":\"1.0.0.9\","
                         "\"UpdateContent\":\"\xC0\xAF\"}}");
    Installation installation;
    EXPECT_EQ(RunKestrel(installation), kStartedWithId1);
    EXPECT_NE(output.find("bad conversion"), std::string::npos) << output;
}

TEST_F(StartupAgainstService, HandOverMakesNoVersionRequest)
{
    Installation installation;
    testing_support::ChildProcess tarnwick;
    ASSERT_TRUE(installation.StartTarnwick(tarnwick, L"--main-window"));
    ProcessResult result = installation.RunKestrel();
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(installation.TarnwickLogLines("message 0xFF30 to MainWindow: "), std::vector<std::string>{"1"});
    EXPECT_TRUE(service.Requests().empty());
}

// A Tarnwick that never returns from the hand-over is left to itself once
// the hand-over times out: Kestrel ends, and releases the single-instance
// name, all the same.
TEST_F(StartupAgainstService, HungTarnwickHoldsKestrelOnlyUntilTheHandOverTimesOut)
{
    Installation installation;
    testing_support::ChildProcess tarnwick;
    ASSERT_TRUE(installation.StartTarnwick(tarnwick, L"--main-window --handover-delay=600000"));
    ProcessResult result = installation.RunKestrel(10000);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(service.Requests().empty());
}

// Names of files that do not exist: n0|n1|...
std::string MissingNames(int count)
{
    std::string names;
    for (int i = 0; i < count; ++i)
        names += (i ? "|n" : "n") + std::to_string(i);
    return names;
}

// Whatever a pending list holds, the next start goes on to ask the service
// and starts Tarnwick. A file too large to be a list is gone afterwards; of
// a long list the first 10,000 names stay.
TEST_F(StartupAgainstService, HostilePendingListDoesNotStopTheStart)
{
    service.AnswerOthers(UpgradeAnswer("1.0.0.9"));
    const struct {
        const char* what;
        std::string (*make)();
        std::string after;  // empty: the list is gone
    } kLists[] = {
        {"30 MB of separators", [] { return std::string(30 << 20, '|'); }, ""},
        {"one name of 300 MB", [] { return std::string(300 << 20, 'n'); }, ""},
        {"20 MB of random bytes", [] { return testing_support::RandomBytes(20 << 20); }, ""},
        {"100,000 names", [] { return MissingNames(100000); }, MissingNames(10000)},
    };
    for (const auto& list : kLists) {
        Installation installation;
        std::wstring listPath = installation.PathOf(L"temp");
        ASSERT_TRUE(testing_support::WriteBytes(listPath, list.make())) << list.what;
        EXPECT_EQ(RunKestrel(installation), kStartedWithId1) << list.what;
        EXPECT_EQ(!list.after.empty(), testing_support::FileExists(listPath)) << list.what;
        if (!list.after.empty()) {
            EXPECT_TRUE(testing_support::ReadBytes(listPath) == list.after) << list.what;
        }
    }
}

// KestrelShortLimits has the test build's short request deadline.
TEST_F(StartupAgainstService, SilentServiceFailsTheRequestAtTheDeadline)
{
    service.AnswerOthers(NoDataAnswer(3, "would start Tarnwick"));
    service.NeverAnswer();
    Installation installation;
    installation.UseKestrel(L"KestrelShortLimits.exe");
    DWORD start = GetTickCount();
    EXPECT_EQ(RunKestrel(installation), kNotStarted);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(service.Requests(), std::vector<std::string>{kRequestForId1});
    EXPECT_GE(elapsed, kVersionRequestDeadlineMs);
    EXPECT_LT(elapsed, kVersionRequestDeadlineMs + 5000);
    printf("Kestrel against a silent service ended after %lu ms\n", static_cast<unsigned long>(elapsed));
}
