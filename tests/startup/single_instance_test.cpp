#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/window_driver.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const DWORD kKestrelTimeout = 30000;

size_t CountOccurrences(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

bool InstanceEventExists()
{
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, L"Global\\BrindleKestrel");
    if (!event)
        return false;
    // Holding it would make the next Kestrel believe another copy runs.
    CloseHandle(event);
    return true;
}

TEST(HandOverTest, UpgradeWindowGetsTheIdAndNothingElseHappens)
{
    Installation installation;
    installation.WriteOemFile("{\"id\":25}");
    WriteBytes(installation.PathOf(L"old.dll"), "old");
    WriteBytes(installation.PathOf(L"temp"), "old.dll");
    ChildProcess tarnwick;
    ASSERT_TRUE(installation.StartTarnwick(tarnwick, L"--main-window --upgrade-window"));

    ProcessResult run = installation.RunKestrel(kKestrelTimeout);

    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    std::vector<std::string> messages = installation.TarnwickLogLines("message 0xFF30 to ");
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("UpgradeWindow: 25", messages[0]);
    EXPECT_EQ(1u, installation.TarnwickLogLines("started: ").size());
    EXPECT_TRUE(FileExists(installation.PathOf(L"old.dll")));
    EXPECT_EQ("old.dll", ReadBytes(installation.PathOf(L"temp")));
}

TEST(HandOverTest, MainWindowAloneGetsDefaultIdWithoutOemFile)
{
    Installation installation;
    ChildProcess tarnwick;
    ASSERT_TRUE(installation.StartTarnwick(tarnwick, L"--main-window"));

    ProcessResult run = installation.RunKestrel(kKestrelTimeout);

    EXPECT_EQ(0u, run.exitCode);
    std::vector<std::string> messages = installation.TarnwickLogLines("message 0xFF30 to ");
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("MainWindow: 1", messages[0]);
}

TEST(HandOverTest, UpgradeWindowAloneIsNoRunningTarnwick)
{
    Installation installation;
    installation.WriteOemFile("{\"id\":25}");
    WriteBytes(installation.PathOf(L"old.dll"), "old");
    WriteBytes(installation.PathOf(L"temp"), "old.dll");
    ChildProcess tarnwick;
    ASSERT_TRUE(installation.StartTarnwick(tarnwick, L"--upgrade-window"));

    // Without a version service the run ends at the "Get Data Failed!" box.
    ChildProcess kestrel;
    ASSERT_TRUE(installation.StartKestrel(kestrel));
    EXPECT_EQ(1, testing_support::AnswerBoxesUntilEnd(kestrel, kKestrelTimeout));

    EXPECT_EQ(0u, kestrel.ExitCode());
    EXPECT_TRUE(installation.TarnwickLogLines("message 0xFF30 to ").empty());
    // The run went on past the hand-over: the pending list was processed.
    EXPECT_FALSE(FileExists(installation.PathOf(L"old.dll")));
    EXPECT_FALSE(FileExists(installation.PathOf(L"temp")));
}

// The running copy is held in its hand-over by a Tarnwick that takes its
// time to answer, so that later copies find it running.
class SingleInstanceTest : public ::testing::Test {
protected:
    void StartRunningCopy()
    {
        installation_.WriteOemFile("{\"id\":25}");
        ASSERT_TRUE(installation_.StartTarnwick(tarnwick_, L"--main-window --handover-delay=5000"));
        ASSERT_TRUE(installation_.StartKestrel(first_));
        ASSERT_TRUE(WaitUntil(InstanceEventExists, 10000));
    }

    Installation installation_;
    ChildProcess tarnwick_;
    ChildProcess first_;
};

TEST_F(SingleInstanceTest, SecondCopyExitsWith1314)
{
    StartRunningCopy();

    ProcessResult second = installation_.RunKestrel(kKestrelTimeout);

    EXPECT_EQ(1314u, second.exitCode);
    EXPECT_NE(std::string::npos, second.output.find("has a exe running!"));
    ASSERT_TRUE(first_.Wait(kKestrelTimeout));
    EXPECT_EQ(0u, first_.ExitCode());
    EXPECT_EQ(1u, CountOccurrences(first_.Output(), "has other exe want to run"));
    // Only the running copy handed over; the second sent nothing. The delay
    // is as long as Kestrel's wait for the answer, so the line may come just
    // after the running copy gave up waiting and ended.
    WaitUntil([&] { return !installation_.TarnwickLogLines("message 0xFF30 to ").empty(); }, 5000);
    EXPECT_EQ(1u, installation_.TarnwickLogLines("message 0xFF30 to ").size());
}

TEST_F(SingleInstanceTest, EachLaterCopyIsAnnouncedOnce)
{
    StartRunningCopy();

    for (int i = 0; i < 3; ++i) {
        ProcessResult later = installation_.RunKestrel(kKestrelTimeout);
        EXPECT_EQ(1314u, later.exitCode);
        Sleep(200);
    }

    ASSERT_TRUE(first_.Wait(kKestrelTimeout));
    EXPECT_EQ(3u, CountOccurrences(first_.Output(), "has other exe want to run"));
}

TEST_F(SingleInstanceTest, NameIsFreeAgainAfterTheRunningCopyEnds)
{
    StartRunningCopy();
    ASSERT_TRUE(first_.Wait(kKestrelTimeout));
    tarnwick_.Terminate();

    EXPECT_FALSE(InstanceEventExists());
}

} // namespace
