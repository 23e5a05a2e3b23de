#include "tests/support/installation.h"
#include "tests/support/rects.h"
#include "tests/support/screen_reader.h"
#include "tests/support/version_service.h"
#include "tests/support/window_driver.h"

#include "app/upgrade_messages.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const wchar_t kWindowTitle[] = L"Lumo Lumo Upgrade Version";
const char kPackage[] = "https://localhost:1011/packages/tarnwick-1.0.1.0.7z";
const char kMissingPackage[] = "https://localhost:1011/packages/missing.7z";
const wchar_t kStatus[] = L"升级中，请稍候...";
const wchar_t kClose[] = L"关闭";
const wchar_t kOk[] = L"确定";
const wchar_t kCancel[] = L"取消";

const COLORREF kBarBlue = RGB(0x2B, 0xA2, 0xF9);
const COLORREF kTrack = RGB(0x1E, 0x29, 0x38);
const COLORREF kBoxBackground = RGB(0x17, 0x21, 0x2E);
const POINT kTrackEnd = {495, 275};
const POINT kBoxCorner = {5, 200};

POINT ClientToScreenPoint(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    return point;
}

RECT ScreenToClientRect(HWND window, RECT rect)
{
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Kestrel's windows read from this process, as a screen reader reads them.
class ScreenReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Available()) << "run through tests/app_window/with_upgrade_service.sh";
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }

    void TearDown() override
    {
        if (kestrel.Running())
            kestrel.Terminate();
        CoUninitialize();
    }

    // The upgrade window, once painted, with the package download stalled.
    HWND StartUpgrade(const char* package = kPackage)
    {
        service.PackageRate("stall");
        service.AnswerOthers(UpgradeAnswer("1.0.1.0", "Tarnwick 1.0.1.0|修复了若干问题|Faster", package));
        EXPECT_TRUE(installation.StartKestrel(kestrel));
        HWND window = WaitForWindow(L"MainWindow", kWindowTitle);
        auto painted = [&] {
            COLORREF pixel = ClientPixel(window, kTrackEnd.x, kTrackEnd.y);
            return pixel == kTrack || pixel == kBarBlue;
        };
        return window && WaitUntil(painted, 10000) ? window : nullptr;
    }

    static HWND PaintedBox()
    {
        HWND box = WaitForWindow(L"MessageBox", nullptr);
        if (box && !WaitUntil([&] { return ClientPixel(box, kBoxCorner.x, kBoxCorner.y) == kBoxBackground; }, 10000))
            return nullptr;
        return box;
    }

    // The close glyph pressed through the reader; the confirmation box.
    static HWND AskToLeave(HWND window)
    {
        ScreenReaderView view(window);
        LONG close = view.FindChild(ROLE_SYSTEM_PUSHBUTTON, kClose);
        EXPECT_NE(0, close);
        EXPECT_EQ(S_OK, view.DoDefaultAction(close));
        return PaintedBox();
    }

    bool Ends()
    {
        AnswerBoxesUntilEnd(kestrel, 60000);
        return !kestrel.Running() && kestrel.ExitCode() == 0;
    }

    VersionService service;
    Installation installation;
    ChildProcess kestrel;
};

TEST_F(ScreenReaderTest, UpgradeWindowShowsTitleCloseNotesStatusAndProgress)
{
    HWND window = StartUpgrade();
    ASSERT_NE(nullptr, window);
    ScreenReaderView view(window);
    ASSERT_TRUE(view.Connected()) << std::hex << view.LastResult();
    EXPECT_EQ(ROLE_SYSTEM_CLIENT, view.Role(CHILDID_SELF));
    EXPECT_EQ(kWindowTitle, view.Name(CHILDID_SELF));
    const std::wstring status0 = std::wstring(kStatus) + L"0%";
    const struct {
        LONG role;
        std::wstring name;
        std::wstring value;
    } kChildren[] = {
        {ROLE_SYSTEM_STATICTEXT, L"露摩露摩版本升级", L""},
        {ROLE_SYSTEM_PUSHBUTTON, kClose, L""},
        {ROLE_SYSTEM_TEXT, L"更新内容", L"Tarnwick 1.0.1.0\r\n修复了若干问题\r\nFaster"},
        {ROLE_SYSTEM_STATICTEXT, status0, L""},
        {ROLE_SYSTEM_PROGRESSBAR, status0, L"0%"},
    };
    ASSERT_EQ(5, view.ChildCount());
    for (LONG id = 1; id <= 5; ++id) {
        const auto& c = kChildren[id - 1];
        EXPECT_EQ(c.role, view.Role(id)) << id;
        EXPECT_EQ(c.name, view.Name(id)) << id;
        EXPECT_EQ(c.value, view.Value(id)) << id;
    }
    EXPECT_EQ(STATE_SYSTEM_READONLY, view.State(3) & STATE_SYSTEM_READONLY);
    // The glyph is where it is drawn and found there.
    const POINT glyph = {482, 18};
    RECT close = ScreenToClientRect(window, view.Location(2));
    EXPECT_EQ(28, close.right - close.left);
    EXPECT_EQ(28, close.bottom - close.top);
    EXPECT_TRUE(PtInRect(&close, glyph));
    EXPECT_EQ(2, view.HitTest(ClientToScreenPoint(window, glyph)));
    EXPECT_EQ(L"Press", view.DefaultAction(2));
    EXPECT_EQ(L"", view.DefaultAction(4));
}

// The value follows the bar, and the bar's reported place is where it is drawn.
TEST_F(ScreenReaderTest, ProgressValueAndPlaceFollowTheBar)
{
    HWND window = StartUpgrade();
    ASSERT_NE(nullptr, window);
    ScreenReaderView view(window);
    ASSERT_TRUE(view.Connected());
    const LONG bar = 5;
    ASSERT_EQ(ROLE_SYSTEM_PROGRESSBAR, view.Role(bar));
    EXPECT_EQ(STATE_SYSTEM_INVISIBLE, view.State(bar) & STATE_SYSTEM_INVISIBLE);
    const struct {
        WPARAM done;
        LPARAM size;
        const wchar_t* value;
        int width;
    } kSteps[] = {{44, 100, L"44%", 220}, {5000000, 10000000, L"50%", 250}, {100, 100, L"100%", 500}};
    for (const auto& step : kSteps) {
        PostMessageW(window, WM_UPGRADE_PROGRESS, step.done, step.size);
        EXPECT_TRUE(WaitUntil([&] { return view.Value(bar) == step.value; }, 10000)) << step.value;
        EXPECT_EQ(std::wstring(kStatus) + step.value, view.Name(bar));
        RECT drawn = ScreenToClientRect(window, view.Location(bar));
        EXPECT_TRUE(RectIs(drawn, {0, 272, step.width, 278})) << step.value;
        ASSERT_TRUE(WaitUntil([&] { return ClientPixel(window, step.width - 1, 275) == kBarBlue; }, 10000));
        if (step.width < 500) {
            EXPECT_EQ(kTrack, ClientPixel(window, step.width, 275)) << step.value;
        }
        EXPECT_EQ(0, view.State(bar) & STATE_SYSTEM_INVISIBLE);
    }
}

// Each change is heard once: a report in the same percent says nothing new.
TEST_F(ScreenReaderTest, StatusAndProgressChangesAreHeardOncePerPercent)
{
    HWND window = StartUpgrade();
    ASSERT_NE(nullptr, window);
    WinEventListener listener(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE);
    ASSERT_TRUE(listener.Listening());
    const LONG status = 4;
    const LONG bar = 5;
    PostMessageW(window, WM_UPGRADE_PROGRESS, 10, 100);
    PostMessageW(window, WM_UPGRADE_PROGRESS, 101, 1000);
    PostMessageW(window, WM_UPGRADE_PROGRESS, 11, 100);
    PostMessageW(window, WM_UPGRADE_PROGRESS, 12, 100);
    // 10%, 10% again, 11%, 12%: three changes of each.
    ASSERT_TRUE(WaitUntil([&] {
        listener.Pump();
        return listener.Count(EVENT_OBJECT_VALUECHANGE, window, bar) >= 3;
    }, 10000));
    int names = 0;
    int values = 0;
    for (const HeardEvent& e : listener.Of(window)) {
        EXPECT_EQ(OBJID_CLIENT, e.object);
        if (e.event == EVENT_OBJECT_NAMECHANGE && e.child == status)
            ++names;
        if (e.event == EVENT_OBJECT_VALUECHANGE && e.child == bar)
            ++values;
    }
    EXPECT_EQ(3, names);
    EXPECT_EQ(3, values);
}

TEST_F(ScreenReaderTest, FailureBoxIsADialogReadWithItsTextAndTwoButtons)
{
    WinEventListener listener(EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_DIALOGEND);
    ASSERT_TRUE(listener.Listening());
    service.AnswerOthers(UpgradeAnswer("1.0.1.0", "notes", kMissingPackage));
    ASSERT_TRUE(installation.StartKestrel(kestrel));
    HWND box = PaintedBox();
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(listener.WaitFor(EVENT_SYSTEM_DIALOGSTART, box));
    ScreenReaderView view(box);
    ASSERT_TRUE(view.Connected());
    const std::wstring text = L"下载失败，请手动下载安装最新版本露摩露摩！";
    EXPECT_EQ(ROLE_SYSTEM_DIALOG, view.Role(CHILDID_SELF));
    EXPECT_EQ(L"提示", view.Name(CHILDID_SELF));
    EXPECT_EQ(text, view.Description(CHILDID_SELF));
    const struct {
        LONG role;
        std::wstring name;
    } kChildren[] = {
        {ROLE_SYSTEM_STATICTEXT, L"提示"}, {ROLE_SYSTEM_PUSHBUTTON, kClose}, {ROLE_SYSTEM_STATICTEXT, text},
        {ROLE_SYSTEM_PUSHBUTTON, kOk},     {ROLE_SYSTEM_PUSHBUTTON, kCancel},
    };
    ASSERT_EQ(5, view.ChildCount());
    for (LONG id = 1; id <= 5; ++id) {
        EXPECT_EQ(kChildren[id - 1].role, view.Role(id)) << id;
        EXPECT_EQ(kChildren[id - 1].name, view.Name(id)) << id;
        const LONG focusable = kChildren[id - 1].role == ROLE_SYSTEM_PUSHBUTTON ? STATE_SYSTEM_FOCUSABLE : 0;
        EXPECT_EQ(focusable, view.State(id) & STATE_SYSTEM_FOCUSABLE) << id;
    }
    EXPECT_EQ(S_OK, view.DoDefaultAction(5));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    EXPECT_TRUE(listener.WaitFor(EVENT_SYSTEM_DIALOGEND, box));
    EXPECT_TRUE(Ends());
}

// Cancel, pressed through the reader, keeps the upgrade going; OK leaves.
TEST_F(ScreenReaderTest, ButtonsPressedThroughTheReaderGiveTheirResults)
{
    HWND window = StartUpgrade();
    ASSERT_NE(nullptr, window);
    HWND box = AskToLeave(window);
    ASSERT_NE(nullptr, box);
    {
        ScreenReaderView view(box);
        LONG cancel = view.FindChild(ROLE_SYSTEM_PUSHBUTTON, kCancel);
        ASSERT_NE(0, cancel);
        EXPECT_EQ(S_OK, view.DoDefaultAction(cancel));
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(kestrel.Running());
    box = AskToLeave(window);
    ASSERT_NE(nullptr, box);
    {
        ScreenReaderView view(box);
        EXPECT_EQ(S_OK, view.DoDefaultAction(view.FindChild(ROLE_SYSTEM_PUSHBUTTON, kOk)));
    }
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(installation.TarnwickLogLines("started: ").empty());
}

// Tab walks the buttons in their order, each focus heard and reported;
// Space and Return press the focused one. (The box may give its first
// button the focus itself once it has been laid out.)
TEST_F(ScreenReaderTest, KeyboardReachesAndPressesTheBoxButtons)
{
    HWND window = StartUpgrade();
    ASSERT_NE(nullptr, window);
    WinEventListener listener(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
    ASSERT_TRUE(listener.Listening());
    const std::vector<std::wstring> kTabOrder = {kClose, kOk, kCancel};
    const struct {
        UINT pressKey;
        const wchar_t* pressed;
        bool leaves;
    } kRounds[] = {{VK_SPACE, kCancel, false}, {VK_RETURN, kOk, true}};
    for (const auto& round : kRounds) {
        HWND box = AskToLeave(window);
        ASSERT_NE(nullptr, box);
        ScreenReaderView view(box);
        std::vector<std::wstring> focused;
        for (int tab = 0; tab < 5 && (focused.empty() || focused.back() != round.pressed); ++tab) {
            const int before = listener.Count(EVENT_OBJECT_FOCUS, box, -1);
            PressKey(box, VK_TAB);
            ASSERT_TRUE(WaitUntil([&] {
                listener.Pump();
                return listener.Count(EVENT_OBJECT_FOCUS, box, -1) > before;
            }, 10000));
            // The platform announces the window's own focus (CHILDID_SELF) too.
            focused.clear();
            LONG now = CHILDID_SELF;
            for (const HeardEvent& e : listener.Of(box)) {
                if (e.object != OBJID_CLIENT || e.child == CHILDID_SELF)
                    continue;
                focused.push_back(view.Name(e.child));
                now = e.child;
            }
            if (now == CHILDID_SELF)
                continue;
            EXPECT_EQ(now, view.Focus());
            EXPECT_EQ(STATE_SYSTEM_FOCUSED, view.State(now) & STATE_SYSTEM_FOCUSED);
        }
        ASSERT_FALSE(focused.empty());
        for (size_t i = 0; i < focused.size(); ++i)
            EXPECT_EQ(kTabOrder[i % kTabOrder.size()], focused[i]) << i;
        ASSERT_EQ(round.pressed, focused.back());
        PressKey(box, round.pressKey);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
        if (round.leaves)
            break;
        EXPECT_TRUE(IsWindow(window));
        EXPECT_TRUE(kestrel.Running());
    }
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(installation.TarnwickLogLines("started: ").empty());
}

// A reader that still holds the objects of closed windows gets errors.
TEST_F(ScreenReaderTest, ObjectsHeldPastTheirWindowsAnswerWithErrors)
{
    HWND window = StartUpgrade();
    ASSERT_NE(nullptr, window);
    ScreenReaderView windowView(window);
    HWND box = AskToLeave(window);
    ASSERT_NE(nullptr, box);
    ScreenReaderView boxView(box);
    ASSERT_EQ(5, boxView.ChildCount());
    PressKey(box, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    EXPECT_EQ(-1, boxView.ChildCount());
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, boxView.LastResult());
    EXPECT_EQ(L"", boxView.Name(2));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, boxView.LastResult());
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, boxView.DoDefaultAction(4));
    // The window lives on and answers; then its process ends.
    EXPECT_EQ(5, windowView.ChildCount());
    box = AskToLeave(window);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(S_OK, ScreenReaderView(box).DoDefaultAction(4));
    ASSERT_TRUE(Ends());
    EXPECT_EQ(-1, windowView.ChildCount());
    EXPECT_TRUE(FAILED(windowView.LastResult()));
    EXPECT_EQ(L"", windowView.Name(CHILDID_SELF));
}

} // namespace
