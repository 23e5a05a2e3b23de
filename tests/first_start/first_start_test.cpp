#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/version_service.h"
#include "ui/core/unique_handle.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const char kPackage[] = "https://localhost:1011/packages/tarnwick-1.0.1.0.7z";
const wchar_t kNewOptions[] = L"tarnwick-1.0.1.0.options";
const std::vector<std::string> kNewThenOld = {"1.0.1.0", "1.0.0.9"};
const std::vector<std::string> kNewOnly = {"1.0.1.0"};

using Snapshot = std::vector<std::pair<std::wstring, std::string>>;
using SkinHandle = SkinUI::KernelHandle;

// The folder as the user has it: Tarnwick's log, the refusal and the
// stand-in's options aside.
Snapshot Installed(const std::wstring& folder)
{
    Snapshot all = SnapshotTree(folder);
    Snapshot kept;
    for (const auto& entry : all) {
        if (entry.first != L"tarnwick.log" && entry.first != L"kestrel.refused" && entry.first != kNewOptions)
            kept.push_back(entry);
    }
    return kept;
}

// Names and sizes, for failure texts: the programs' bytes say nothing.
std::string Names(const Snapshot& snapshot)
{
    std::string text;
    for (const auto& entry : snapshot)
        text += ToUtf8(entry.first) + " (" + std::to_string(entry.second.size()) + ") ";
    return text;
}

// True while a process runs the program at path.
bool ProgramRunning(const std::wstring& path)
{
    SkinUI::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        SkinHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (process.get() && QueryFullProcessImageNameW(process.get(), 0, image, &size)
            && lstrcmpiW(image, path.c_str()) == 0)
            return true;
    }
    return false;
}

// An installation of Tarnwick 1.0.0.9 that the service offers 1.0.1.0,
// with the new stand-in's behaviour set by its options file.
class OfferedUpgrade {
public:
    explicit OfferedUpgrade(const std::string& newOptions)
    {
        installation.UseKestrel(L"KestrelShortLimits.exe");
        WriteBytes(installation.PathOf(L"notes.txt"), "Tarnwick 1.0.0.9\r\n");
        WriteBytes(installation.PathOf(L"settings.ini"), "user=kept\r\n");
        NewTarnwickDoes(newOptions);
        before = Installed(installation.Folder());
    }

    // No Tarnwick of this folder outlives the case: the next one would hand over to it.
    ~OfferedUpgrade()
    {
        WaitUntil([&] { return !ProgramRunning(installation.PathOf(L"Tarnwick.exe")); }, 20000);
    }

    void NewTarnwickDoes(const std::string& options) const
    {
        WriteBytes(installation.PathOf(kNewOptions), options);
    }

    ProcessResult RunKestrel() const
    {
        ProcessResult run = installation.RunKestrel(60000);
        EXPECT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(0u, run.exitCode);
        return run;
    }

    // Versions that started, once the expected number of them has logged.
    std::vector<std::string> Versions(size_t expected) const
    {
        WaitUntil([&] { return installation.TarnwickLogLines("version: ").size() >= expected; }, 10000);
        return installation.TarnwickLogLines("version: ");
    }

    bool Exists(const wchar_t* name) const { return FileExists(installation.PathOf(name)); }

    void ExpectNewVersionInstalled() const
    {
        EXPECT_EQ(ReadBytes(ProgramFolder() + L"TarnwickStandIn1010.exe"),
                  ReadBytes(installation.PathOf(L"Tarnwick.exe")));
        EXPECT_EQ("Tarnwick 1.0.1.0\r\n", ReadBytes(installation.PathOf(L"notes.txt")));
        EXPECT_TRUE(Exists(L"plugins\\new.dll"));
        EXPECT_EQ("user=kept\r\n", ReadBytes(installation.PathOf(L"settings.ini")));
        for (const wchar_t* gone : {L"_Tarnwick.exe", L"_notes.txt", L"kestrel.journal", L"kestrel.refused"})
            EXPECT_FALSE(Exists(gone)) << ToUtf8(gone);
    }

    void ExpectTakenBack() const
    {
        Snapshot now = Installed(installation.Folder());
        EXPECT_TRUE(before == now) << "before: " << Names(before) << "\nnow: " << Names(now);
        EXPECT_EQ("1.0.1.0", ReadBytes(installation.PathOf(L"kestrel.refused")));
    }

    Installation installation;
    Snapshot before;
};

class FirstStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Available()) << "run through tests/first_start/with_upgrade_service.sh";
        service.AnswerOthers(UpgradeAnswer("1.0.1.0", "Tarnwick 1.0.1.0", kPackage));
    }

    VersionService service;
};

struct WatchCase {
    const char* what;
    const char* options;
    bool takenBack;
};

// The short limits watch for 4 s; "after 2 s" stands for the 5 s of a real
// limit of 60 s.
const WatchCase kWatchCases[] = {
    {"crashes at once", "--crash", true},
    {"exits with 1 after 2 s", "--exit-after=2000 --exit-code=1", true},
    {"shows its window, then crashes", "--main-window --crash-after=1500", false},
    {"runs past the limit without a window", "--exit-after=6000 --exit-code=1", false},
    {"ends with 0 at once", "", false},
    {"shows its window and works", "--main-window --exit-after=1000", false},
};

TEST_F(FirstStartTest, FirstStartIsJudgedAndABrokenVersionTakenBack)
{
    for (const WatchCase& c : kWatchCases) {
        SCOPED_TRACE(c.what);
        OfferedUpgrade upgrade(c.options);

        ProcessResult run = upgrade.RunKestrel();

        EXPECT_EQ(c.takenBack ? kNewThenOld : kNewOnly, upgrade.Versions(c.takenBack ? 2 : 1));
        EXPECT_EQ(c.takenBack, run.output.find("taking it back") != std::string::npos) << run.output;
        if (c.takenBack)
            upgrade.ExpectTakenBack();
        else
            upgrade.ExpectNewVersionInstalled();
    }
}

TEST_F(FirstStartTest, RefusedVersionIsNotInstalledAgainButANewerOneIs)
{
    OfferedUpgrade upgrade("--crash");
    upgrade.RunKestrel();
    ASSERT_EQ(kNewThenOld, upgrade.Versions(2));

    upgrade.RunKestrel();
    EXPECT_EQ((std::vector<std::string>{"1.0.1.0", "1.0.0.9", "1.0.0.9"}), upgrade.Versions(3));
    upgrade.ExpectTakenBack();

    service.AnswerOthers(UpgradeAnswer("1.0.2.0", "Tarnwick 1.0.2.0", kPackage));
    upgrade.NewTarnwickDoes("--main-window --exit-after=500");
    upgrade.RunKestrel();
    EXPECT_EQ((std::vector<std::string>{"1.0.1.0", "1.0.0.9", "1.0.0.9", "1.0.1.0"}), upgrade.Versions(4));
    upgrade.ExpectNewVersionInstalled();
}

struct SettleCase {
    const char* what;
    const char* nextOptions;
    bool takenBack;
};

const SettleCase kSettleCases[] = {
    {"works at the next start", "--main-window --exit-after=500", false},
    {"crashes at the next start", "--crash", true},
};

// Kestrel ends while it watches; the journal lets the next start judge the
// new version again and leave one whole version.
TEST_F(FirstStartTest, KestrelKilledDuringTheWatchIsSettledAtTheNextStart)
{
    for (const SettleCase& c : kSettleCases) {
        SCOPED_TRACE(c.what);
        OfferedUpgrade upgrade("--exit-after=1500");
        ChildProcess kestrel;
        ASSERT_TRUE(upgrade.installation.StartKestrel(kestrel));
        ASSERT_EQ(kNewOnly, upgrade.Versions(1));
        kestrel.Terminate();
        ASSERT_TRUE(WaitUntil([&] { return !upgrade.installation.TarnwickLogLines("ended: ").empty(); }, 20000));
        EXPECT_TRUE(upgrade.Exists(L"kestrel.journal"));
        EXPECT_TRUE(upgrade.Exists(L"_Tarnwick.exe"));

        upgrade.NewTarnwickDoes(c.nextOptions);
        upgrade.RunKestrel();

        EXPECT_EQ(c.takenBack ? (std::vector<std::string>{"1.0.1.0", "1.0.1.0", "1.0.0.9"})
                              : (std::vector<std::string>{"1.0.1.0", "1.0.1.0"}),
                  upgrade.Versions(c.takenBack ? 3 : 2));
        if (c.takenBack)
            upgrade.ExpectTakenBack();
        else
            upgrade.ExpectNewVersionInstalled();
    }
}

// A kept file that another program holds open cannot be renamed back; it
// is copied back, and the held copy goes at a later start.
TEST_F(FirstStartTest, KeptFileInUseIsCopiedBackAndDeletedLater)
{
    OfferedUpgrade upgrade("--exit-after=1500 --exit-code=1");
    ChildProcess kestrel;
    ASSERT_TRUE(upgrade.installation.StartKestrel(kestrel));
    ASSERT_TRUE(WaitUntil([&] { return upgrade.Exists(L"kestrel.journal"); }, 30000));
    SkinUI::FileHandle held(CreateFileW(upgrade.installation.PathOf(L"_notes.txt").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    ASSERT_TRUE(kestrel.Wait(60000));
    EXPECT_NE(std::string::npos, kestrel.Output().find("the previous version is back")) << kestrel.Output();
    EXPECT_EQ(kNewThenOld, upgrade.Versions(2));
    EXPECT_EQ("Tarnwick 1.0.0.9\r\n", ReadBytes(upgrade.installation.PathOf(L"notes.txt")));
    EXPECT_EQ("_notes.txt", ReadBytes(upgrade.installation.PathOf(L"temp")));
    held.reset();

    upgrade.RunKestrel();
    upgrade.ExpectTakenBack();
}

} // namespace
