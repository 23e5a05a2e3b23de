#include "tests/support/files.h"
#include "tests/support/installation.h"
#include "tests/support/version_service.h"
#include "tests/support/window_driver.h"

#include "app/upgrade_messages.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const wchar_t kWindowClass[] = L"MainWindow";
const wchar_t kWindowTitle[] = L"Lumo Lumo Upgrade Version";
const char kPackage[] = "https://localhost:1011/packages/tarnwick-1.0.1.0.7z";
const char kManyFiles[] = "https://localhost:1011/packages/many-files.7z";

// Points of the two layouts (client coordinates).
const POINT kCloseButton = {482, 18};
const POINT kBoxOkWithCancel = {110, 162};
const POINT kBoxCancel = {260, 162};
const POINT kBoxRowCentre = {185, 162};

// The progress track (or the bar over it) lies on the window's first layout:
// seeing it means the window has been laid out and painted, and clicks find
// their controls.
const POINT kTrackEnd = {495, 275};
// Inside the box's border, beside the buttons: the box's own background.
const POINT kBoxCorner = {5, 200};

const COLORREF kBarBlue = RGB(0x2B, 0xA2, 0xF9);
const COLORREF kTrack = RGB(0x1E, 0x29, 0x38);
const COLORREF kBoxBackground = RGB(0x17, 0x21, 0x2E);

bool SameFiles(const std::wstring& a, const std::wstring& b)
{
    return ReadBytes(a) == ReadBytes(b);
}


// One Kestrel run against the service, with its upgrade window.
class UpgradeWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Available()) << "run through tests/app_window/with_upgrade_service.sh";
    }

    void TearDown() override
    {
        if (kestrel.Running())
            kestrel.Terminate();
    }

    void StartKestrelWith(const char* package, const std::string& notes = "Tarnwick 1.0.1.0|修复了若干问题|Faster")
    {
        service.AnswerOthers(UpgradeAnswer("1.0.1.0", notes, package));
        before = SnapshotTree(installation.Folder());
        EXPECT_TRUE(installation.StartKestrel(kestrel));
    }

    // The upgrade window, once painted.
    HWND StartUpgrade(const char* package, const std::string& notes = "Tarnwick 1.0.1.0|修复了若干问题|Faster")
    {
        StartKestrelWith(package, notes);
        HWND window = WaitForWindow(kWindowClass, kWindowTitle);
        auto painted = [&] {
            COLORREF pixel = ClientPixel(window, kTrackEnd.x, kTrackEnd.y);
            return pixel == kTrack || pixel == kBarBlue;
        };
        if (window && !WaitUntil(painted, 10000))
            return nullptr;
        return window;
    }

    static HWND PaintedBox()
    {
        HWND box = WaitForWindow(L"MessageBox", nullptr);
        if (box && !WaitUntil([&] { return ClientPixel(box, kBoxCorner.x, kBoxCorner.y) == kBoxBackground; }, 10000))
            return nullptr;
        return box;
    }

    enum Answer { kOk, kEscape, kCancelButton };

    // The close button, then the confirmation answered.
    void Leave(HWND window, Answer answer)
    {
        ClickAt(window, kCloseButton.x, kCloseButton.y);
        HWND box = PaintedBox();
        ASSERT_NE(nullptr, box);
        if (answer == kOk)
            ClickAt(box, kBoxOkWithCancel.x, kBoxOkWithCancel.y);
        else if (answer == kCancelButton)
            ClickAt(box, kBoxCancel.x, kBoxCancel.y);
        else
            PressKey(box, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    }

    bool Ends()
    {
        AnswerBoxesUntilEnd(kestrel, 60000);
        return !kestrel.Running() && kestrel.ExitCode() == 0;
    }

    bool InstallationAsBefore() const { return SnapshotTree(installation.Folder()) == before; }

    std::vector<std::string> Started() const { return installation.TarnwickLogLines("started: "); }

    // A Tarnwick that Kestrel started may still be on its way to its log.
    std::vector<std::string> StartedOnceLogged() const
    {
        WaitUntil([&] { return !Started().empty(); }, 10000);
        return Started();
    }

    void ExpectWorkingWithNotes(const std::string& notes)
    {
        service.PackageRate("200000");
        DWORD start = GetTickCount();
        HWND window = StartUpgrade(kPackage, notes);
        DWORD shown = GetTickCount() - start;
        ASSERT_NE(nullptr, window);
        EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, 2, 275) == kBarBlue; }, 20000));
        ASSERT_TRUE(Ends());
        EXPECT_EQ(StartedOnceLogged(), std::vector<std::string>{"-show -oemid:1"});
        printf("%zu bytes of notes: window painted %lu ms after the start\n", notes.size(),
               static_cast<unsigned long>(shown));
    }

    VersionService service;
    Installation installation;
    ChildProcess kestrel;
    std::vector<std::pair<std::wstring, std::string>> before;
};

TEST_F(UpgradeWindowTest, CompletedUpgradeInstallsAndStartsTheNewTarnwick)
{
    StartKestrelWith(kPackage);
    ASSERT_TRUE(Ends());
    EXPECT_EQ(StartedOnceLogged(), std::vector<std::string>{"-show -oemid:1"});
    EXPECT_EQ(installation.TarnwickLogLines("version: "), std::vector<std::string>{"1.0.1.0"});
    EXPECT_TRUE(SameFiles(installation.PathOf(L"Tarnwick.exe"), ProgramFolder() + L"TarnwickStandIn1010.exe"));
    EXPECT_TRUE(FileExists(installation.PathOf(L"notes.txt")));
    EXPECT_FALSE(FileExists(installation.PathOf(L"tarnwick-1.0.1.0.7z")));
}

// Notes of one endless word or of a long changelog: the window comes up,
// follows the download and completes while the notes box fills.
TEST_F(UpgradeWindowTest, NotesOfOneLongWordLeaveTheWindowWorking)
{
    ExpectWorkingWithNotes(std::string(1100000, 'x'));
}

TEST_F(UpgradeWindowTest, NotesOfManyLinesLeaveTheWindowWorking)
{
    std::string line = "- Downloads resume behind proxies; 修复了若干问题|";
    std::string lines;
    while (lines.size() + line.size() <= (1u << 20))
        lines += line;
    ExpectWorkingWithNotes(lines);
}

TEST_F(UpgradeWindowTest, ProgressShowsAsABarOfFivePixelsPerPercent)
{
    service.PackageRate("stall");
    HWND window = StartUpgrade(kPackage);
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_UPGRADE_PROGRESS, 5000000, 10000000);
    WaitUntil([&] { return ClientPixel(window, 249, 275) == kBarBlue; }, 10000);
    EXPECT_EQ(kBarBlue, ClientPixel(window, 249, 275));
    EXPECT_EQ(kTrack, ClientPixel(window, 250, 275));
    // All of it fills the track to its end.
    PostMessageW(window, WM_UPGRADE_PROGRESS, 10000000, 10000000);
    WaitUntil([&] { return ClientPixel(window, 499, 275) == kBarBlue; }, 10000);
    EXPECT_EQ(kBarBlue, ClientPixel(window, 499, 275));
    PostMessageW(window, WM_UPGRADE_PROGRESS, 5000000, 10000000);
    WaitUntil([&] { return ClientPixel(window, 250, 275) == kTrack; }, 10000);
    // A report beyond its size changes nothing.
    PostMessageW(window, WM_UPGRADE_PROGRESS, 10000001, 10000000);
    PostMessageW(window, WM_UPGRADE_PROGRESS, 0xFFFFFFF0u, 0xFFFFFFFFu);
    Sleep(300);
    EXPECT_EQ(kTrack, ClientPixel(window, 250, 275));
    Leave(window, kOk);
    EXPECT_TRUE(Ends());
}

TEST_F(UpgradeWindowTest, ClosingIsRefusedWhileTheDownloadRuns)
{
    service.PackageRate("stall");
    HWND window = StartUpgrade(kPackage);
    ASSERT_NE(nullptr, window);
    // Alt+F4 reaches the window as the system key, then as a close request.
    PostMessageW(window, WM_SYSKEYDOWN, VK_F4, 0x20000001);
    PostMessageW(window, WM_CLOSE, 0, 0);
    PressKey(window, VK_ESCAPE);
    PostMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    Leave(window, kEscape);
    Leave(window, kCancelButton);
    Sleep(300);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(kestrel.Running());
}

TEST_F(UpgradeWindowTest, LeavingDuringTheDownloadLeavesTheInstallationAsItWas)
{
    service.PackageRate("20000");
    HWND window = StartUpgrade(kPackage);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(WaitUntil([&] { return ClientPixel(window, 2, 275) == kBarBlue; }, 20000));
    Leave(window, kOk);
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(Started().empty());
    EXPECT_TRUE(InstallationAsBefore());
}

TEST_F(UpgradeWindowTest, LeavingDuringTheInstallationLetsItFinish)
{
    HWND window = StartUpgrade(kManyFiles);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(installation.PathOf(L"files\\f0.txt")); }, 30000));
    Leave(window, kOk);
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(Started().empty());
    // Either all of the new version is there, or the old one is back whole.
    if (SameFiles(installation.PathOf(L"Tarnwick.exe"), ProgramFolder() + L"TarnwickStandIn1010.exe")) {
        EXPECT_TRUE(FileExists(installation.PathOf(L"files\\f2999.txt")));
        EXPECT_FALSE(FileExists(installation.PathOf(L"many-files.7z")));
    } else {
        EXPECT_TRUE(InstallationAsBefore());
    }
}

TEST_F(UpgradeWindowTest, FailedDownloadReportsAndOpensTheHomepageWithTheOemId)
{
    installation.WriteOemFile("{\"id\":1234}");
    StartKestrelWith("https://localhost:1011/packages/missing.7z");
    ASSERT_TRUE(WaitForWindow(L"MessageBox", nullptr));
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(Started().empty());
    EXPECT_TRUE(InstallationAsBefore());
    std::wstring log = EnvironmentValue(L"KESTREL_HOMEPAGE_LOG");
    EXPECT_TRUE(WaitUntil([&] { return !ReadLines(log).empty(); }, 20000));
    EXPECT_EQ(ReadLines(log), std::vector<std::string>{"http://localhost/?oemid=1234"});
}

// Each would once have been downloaded (and the first two installed), or
// have had an installed file deleted before the download; now each is a
// failed download that touches nothing.
TEST_F(UpgradeWindowTest, RefusedPackageAddressesFailTheDownloadAndChangeNothing)
{
    installation.WriteOemFile("{\"id\":1234}");
    ASSERT_FALSE(EnvironmentValue(L"KESTREL_SERVICE_PLAIN_PORT").empty());
    std::string plain = "http://localhost:" + ToUtf8(EnvironmentValue(L"KESTREL_SERVICE_PLAIN_PORT"))
                        + "/packages/tarnwick-1.0.1.0.7z";
    const std::string addresses[] = {
        plain,
        "https://localhost:1011/redirect?" + plain,
        "\\\\localhost\\packages\\tarnwick-1.0.1.0.7z",
        "https://localhost:1011/packages/Tarnwick.exe",
        "https://localhost:1011/packages/KESTREL.DAT.",
        "https://localhost:1011/packages/Kestrel.exe",
    };
    for (const std::string& address : addresses) {
        StartKestrelWith(address.c_str());
        EXPECT_TRUE(WaitForWindow(L"MessageBox", nullptr)) << address;
        EXPECT_TRUE(Ends()) << address;
        EXPECT_TRUE(Started().empty()) << address;
        EXPECT_TRUE(InstallationAsBefore()) << address;
    }
}

TEST_F(UpgradeWindowTest, SecondCopyEndsWith1314AndTheWindowGoesOn)
{
    service.PackageRate("stall");
    HWND window = StartUpgrade(kPackage);
    ASSERT_NE(nullptr, window);
    ProcessResult second = installation.RunKestrel(30000);
    EXPECT_EQ(1314u, second.exitCode);
    EXPECT_TRUE(IsWindow(window));
    Leave(window, kOk);
    EXPECT_TRUE(Ends());
}

TEST_F(UpgradeWindowTest, GetDataFailedBoxHasOneCentredOk)
{
    service.AnswerOthers("gone", 404);
    ASSERT_TRUE(installation.StartKestrel(kestrel));
    HWND box = PaintedBox();
    ASSERT_NE(nullptr, box);
    RECT client = {};
    GetClientRect(box, &client);
    EXPECT_EQ(370, client.right);
    EXPECT_EQ(208, client.bottom);
    EXPECT_EQ(kBarBlue, ClientPixel(box, kBoxRowCentre.x, kBoxRowCentre.y));
    PressKey(box, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(Started().empty());
}

TEST_F(UpgradeWindowTest, ConfirmationBoxShowsBothButtonsApart)
{
    service.PackageRate("stall");
    HWND window = StartUpgrade(kPackage);
    ASSERT_NE(nullptr, window);
    ClickAt(window, kCloseButton.x, kCloseButton.y);
    HWND box = PaintedBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kBarBlue, ClientPixel(box, kBoxOkWithCancel.x, kBoxOkWithCancel.y));
    EXPECT_EQ(kBoxBackground, ClientPixel(box, kBoxRowCentre.x, kBoxRowCentre.y));
    ClickAt(box, kBoxOkWithCancel.x, kBoxOkWithCancel.y);
    EXPECT_TRUE(Ends());
}

} // namespace
