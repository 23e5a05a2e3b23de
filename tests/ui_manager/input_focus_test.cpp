#include "tests/support/ui_host.h"

#include <gtest/gtest.h>

#include <memory>

using namespace SkinUI;

namespace {

// Three stacked recorders of 50 rows each: a (0-50), b (50-100), c (100-150).
class InputTest : public ::testing::Test {
protected:
    void SetUp() override { root = host.Attach({a, b, c}); }

    ManagerHost host;
    CRecorderUI* a = new CRecorderUI(L"a", 50, UIFLAG_TABSTOP);
    CRecorderUI* b = new CRecorderUI(L"b", 50, UIFLAG_TABSTOP);
    CRecorderUI* c = new CRecorderUI(L"c", 50, UIFLAG_TABSTOP);
    CVerticalLayoutUI* root = nullptr;
};

TEST_F(InputTest, PressedControlKeepsMovesAndButtonUpAfterDraggingOut)
{
    host.SendAt(WM_MOUSEMOVE, 10, 10);
    host.SendAt(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    host.SendAt(WM_MOUSEMOVE, 10, 120, MK_LBUTTON);
    host.SendAt(WM_MOUSEMOVE, 400, 500, MK_LBUTTON);
    host.SendAt(WM_LBUTTONUP, 10, 120);

    EXPECT_EQ(a->Count(UIEVENT_BUTTONDOWN), 1);
    EXPECT_EQ(a->Count(UIEVENT_MOUSEMOVE), 3);
    EXPECT_EQ(a->Count(UIEVENT_BUTTONUP), 1);
    EXPECT_EQ(a->events.back().ptMouse.y, 120);
    EXPECT_EQ(c->Count(UIEVENT_MOUSEMOVE), 0);
    EXPECT_EQ(c->Count(UIEVENT_BUTTONUP), 0);
    EXPECT_EQ(c->Count(UIEVENT_MOUSEENTER), 0) << "no hover change while captured";
    EXPECT_FALSE(host.manager.HasMouseCapture());
    EXPECT_EQ(host.manager.GetFocus(), a);
}

// Where siblings overlap, the later one lies on top: it is found and it
// gets the click; the earlier one keeps the rest of its rectangle.
TEST(OverlappingSiblings, TheLaterOneIsHitAndClicked)
{
    ManagerHost host;
    auto* first = new CRecorderUI(L"first");
    auto* second = new CRecorderUI(L"second");
    first->ApplyAttributeList(L"float=\"true\" pos=\"0,0,100,60\"");
    second->ApplyAttributeList(L"float=\"true\" pos=\"0,40,100,100\"");
    host.Attach({first, second});
    const struct {
        int y;
        CRecorderUI* hit;
        CRecorderUI* missed;
    } cases[] = {{50, second, first}, {20, first, second}, {80, second, first}};
    for (const auto& c : cases) {
        first->Clear();
        second->Clear();
        EXPECT_EQ(host.manager.FindControlAt(POINT{10, c.y}), c.hit) << c.y;
        host.SendAt(WM_MOUSEMOVE, 10, c.y);
        host.SendAt(WM_LBUTTONDOWN, 10, c.y, MK_LBUTTON);
        host.SendAt(WM_LBUTTONUP, 10, c.y);
        EXPECT_EQ(c.hit->Count(UIEVENT_BUTTONDOWN), 1) << c.y;
        EXPECT_EQ(c.hit->Count(UIEVENT_BUTTONUP), 1) << c.y;
        EXPECT_EQ(c.missed->Count(UIEVENT_BUTTONDOWN), 0) << c.y;
    }
}

TEST_F(InputTest, HoverEntersAndLeavesAndTellsLeaveListeners)
{
    host.manager.AddMouseLeaveNeeded(b);
    host.SendAt(WM_MOUSEMOVE, 10, 10);
    host.SendAt(WM_MOUSEMOVE, 10, 110);

    EXPECT_EQ(a->Count(UIEVENT_MOUSEENTER), 1);
    EXPECT_EQ(a->Count(UIEVENT_MOUSELEAVE), 1);
    EXPECT_EQ(c->Count(UIEVENT_MOUSEENTER), 1);
    ASSERT_EQ(b->Count(UIEVENT_MOUSELEAVE), 1);
    EXPECT_EQ(b->events.back().pSender, a);
}

TEST_F(InputTest, MouseHoverRightAfterAttachRootIsSafe)
{
    host.SendAt(WM_MOUSEMOVE, 10, 10);
    CRecorderUI* fresh = new CRecorderUI(L"fresh");
    CVerticalLayoutUI* other = new CVerticalLayoutUI;
    other->Add(fresh);
    host.manager.AttachRoot(other);
    other->SetPos({0, 0, 300, 200}, false);

    host.SendAt(WM_MOUSEHOVER, 10, 10);

    EXPECT_EQ(fresh->Count(UIEVENT_MOUSEHOVER), 0);
    host.Pump();
    EXPECT_EQ(host.manager.FindControlByName(L"a"), nullptr);
}

TEST_F(InputTest, MessagesAfterTheHoverClickAndFocusControlWasDeletedAreSafe)
{
    host.SendAt(WM_MOUSEMOVE, 10, 10);
    host.SendAt(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    ASSERT_EQ(host.manager.GetFocus(), a);
    root->Remove(a, true);
    a->Delete();

    host.SendAt(WM_MOUSEHOVER, 10, 10);
    host.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    host.SendAt(WM_LBUTTONUP, 10, 10);
    host.Send(WM_CLOSE);

    EXPECT_EQ(host.manager.GetFocus(), nullptr);
    EXPECT_FALSE(host.manager.HasMouseCapture());
}

TEST_F(InputTest, DeletedControlLeavesEveryList)
{
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, host.hwnd, nullptr, nullptr,
        nullptr);
    host.manager.AddMouseLeaveNeeded(b);
    host.manager.AddPostPaint(b);
    host.manager.AddNativeWindow(b, child);
    root->Remove(b, true);
    b->Delete();

    EXPECT_FALSE(host.manager.RemoveMouseLeaveNeeded(b));
    EXPECT_FALSE(host.manager.RemovePostPaint(b));
    EXPECT_FALSE(host.manager.RemoveNativeWindow(child));
    host.Paint();
    host.SendAt(WM_MOUSEMOVE, 10, 10);
    host.SendAt(WM_MOUSEMOVE, 10, 110);
    EXPECT_EQ(a->Count(UIEVENT_MOUSELEAVE), 1);
}

TEST_F(InputTest, KeysGoToFocusAndKeyControlsAndTheWheelToTheControlUnderIt)
{
    host.manager.FocusControl(b);
    host.Send(WM_KEYDOWN, 'K');
    host.Send(WM_CHAR, 'k');
    host.manager.FocusControl(c);
    host.Send(WM_KEYUP, 'K');
    POINT screen = {10, 120};
    ::ClientToScreen(host.hwnd, &screen);
    host.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));

    EXPECT_EQ(b->Count(UIEVENT_KEYDOWN), 1);
    EXPECT_EQ(b->Count(UIEVENT_CHAR), 1);
    EXPECT_EQ(b->Count(UIEVENT_KEYUP), 1) << "the key up goes to the control that got the key down";
    EXPECT_EQ(c->Count(UIEVENT_KEYUP), 0);
    EXPECT_EQ(c->LastParam(UIEVENT_SCROLLWHEEL), 1) << "towards the user";
}

TEST_F(InputTest, HoverShowsTheTooltipAndCloseDestroysIt)
{
    c->SetToolTip(L"tip");
    host.SendAt(WM_MOUSEMOVE, 10, 120);
    host.SendAt(WM_MOUSEHOVER, 10, 120);
    HWND tooltip = host.manager.GetTooltipWindow();

    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(::GetWindow(tooltip, GW_OWNER), host.hwnd);
    EXPECT_EQ(c->Count(UIEVENT_MOUSEHOVER), 1);
    host.Send(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_EQ(c->Count(UIEVENT_MOUSELEAVE), 1);
}

struct TabCase {
    const char* what;
    const wchar_t* from;
    bool shift;
    const wchar_t* to;
};

class TabOrderTest : public InputTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabOrderTest, TabMovesFocusWithWrapAround)
{
    const TabCase& tab = GetParam();
    host.manager.FocusControl(host.manager.FindControlByName(tab.from));
    LRESULT result = 0;
    {
        std::unique_ptr<ShiftHeld> shift(tab.shift ? new ShiftHeld : nullptr);
        EXPECT_TRUE(host.manager.PreDispatch(WM_KEYDOWN, VK_TAB, 0, result));
    }
    ASSERT_NE(host.manager.GetFocus(), nullptr);
    EXPECT_EQ(host.manager.GetFocus()->GetName(), tab.to);
}

INSTANTIATE_TEST_SUITE_P(Tab, TabOrderTest, ::testing::Values(
    TabCase{"forward", L"a", false, L"b"},
    TabCase{"forward wraps", L"c", false, L"a"},
    TabCase{"backward", L"c", true, L"b"},
    TabCase{"backward wraps", L"a", true, L"c"}),
    [](const ::testing::TestParamInfo<TabCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            ch = ch == ' ' ? '_' : ch;
        return name;
    });

TEST(FirstFocus, FirstTabStopGetsTheFocusAtThePaintAfterTheFirstLayout)
{
    struct Case {
        const char* what;
        bool focusAtInit;
        const wchar_t* focus;
    } cases[] = {{"no focus given", false, L"first"}, {"focus given at windowinit", true, L"second"}};
    for (const Case& start : cases) {
        ManagerHost host;
        CRecorderUI* first = new CRecorderUI(L"first", 50, UIFLAG_TABSTOP);
        CRecorderUI* second = new CRecorderUI(L"second", 50, UIFLAG_TABSTOP);
        host.log.onNotify = [&](TUINotify& msg) {
            if (msg.sType == L"windowinit" && start.focusAtInit)
                host.manager.FocusControl(second);
        };
        host.Attach({first, second});
        host.Paint();

        ASSERT_NE(host.manager.GetFocus(), nullptr) << start.what;
        EXPECT_EQ(host.manager.GetFocus()->GetName(), start.focus) << start.what;
        EXPECT_EQ(host.log.Count(L"setfocus"), 1) << start.what;
    }
}

TEST_F(InputTest, FocusChangesNotifyKillThenSet)
{
    host.manager.FocusControl(a);
    host.log.got.clear();
    host.manager.FocusControl(b);

    ASSERT_EQ(host.log.got.size(), 2u);
    EXPECT_EQ(host.log.got[0].sType, L"killfocus");
    EXPECT_EQ(host.log.got[0].pSender, a);
    EXPECT_EQ(host.log.got[1].sType, L"setfocus");
    EXPECT_EQ(host.log.got[1].pSender, b);
    EXPECT_EQ(a->events.back().Type, UIEVENT_KILLFOCUS);
    EXPECT_EQ(a->events.back().pSender, b);
}

TEST_F(InputTest, HidingTheFocusControlClearsTheFocus)
{
    host.manager.FocusControl(b);
    host.log.got.clear();
    b->SetVisible(false);

    EXPECT_EQ(host.manager.GetFocus(), nullptr);
    EXPECT_EQ(host.log.Count(L"killfocus"), 1);
}

TEST(TabIntoRichEdit, TabGoesToARichEditThatWantsIt)
{
    struct Case {
        UINT flags;
        bool consumed;
    } cases[] = {
        {UIFLAG_TABSTOP | UIFLAG_WANTTAB, false},
        {UIFLAG_TABSTOP, true},
    };
    for (const Case& tab : cases) {
        ManagerHost host;
        CRecorderUI* edit = new CRecorderUI(L"edit", 50, tab.flags, L"RichEditStandIn");
        host.Attach({new CRecorderUI(L"first", 50, UIFLAG_TABSTOP), edit});
        host.manager.FocusControl(edit);
        LRESULT result = 0;

        EXPECT_EQ(host.manager.PreDispatch(WM_KEYDOWN, VK_TAB, 0, result), tab.consumed);
        EXPECT_EQ(host.manager.GetFocus() == edit, !tab.consumed);
    }
}

TEST_F(InputTest, MessageLoopRoutesTabThroughPreDispatchAndReturnsQuitCode)
{
    host.manager.FocusControl(a);
    ::PostMessageW(host.hwnd, WM_KEYDOWN, VK_TAB, 0);
    ::PostQuitMessage(7);

    EXPECT_EQ(CUIManager::RunMessageLoop(), 7);
    EXPECT_EQ(host.manager.GetFocus(), b);
    EXPECT_EQ(b->Count(UIEVENT_KEYDOWN), 0) << "the Tab was consumed before dispatch";
}

TEST_F(InputTest, ShortcutCharacterFocusesItsControl)
{
    // The search runs top first, from the last child back, so a label lends
    // its shortcut to the control visited after it: the one before it.
    CRecorderUI* field = new CRecorderUI(L"field", 20);
    CRecorderUI* label = new CRecorderUI(L"label", 20, 0, L"LabelStandIn");
    label->SetShortcut(L'n');
    c->SetShortcut(L'x');
    root->Add(field);
    root->Add(label);
    struct Case {
        wchar_t typed;
        CControlUI* focus;
    } cases[] = {{L'x', c}, {L'N', field}};
    for (const Case& shortcut : cases) {
        LRESULT result = 0;
        EXPECT_TRUE(host.manager.PreDispatch(WM_SYSCHAR, shortcut.typed, 0, result));
        EXPECT_EQ(host.manager.GetFocus(), shortcut.focus);
    }
}

} // namespace
