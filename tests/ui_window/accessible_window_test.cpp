#include "tests/ui_window/test_window.h"

#include "tests/support/rects.h"
#include "tests/support/screen_reader.h"

#include "ui/core/skin_source.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CControlUI;
using SkinUI::CSkinSource;
using testing_support::ScreenReaderView;
using testing_support::WinEventListener;

namespace {

// A title row with a text and a glyph button, an empty label, a hidden
// one and one hidden from readers (none of the three is a child), a
// button named by its tooltip, a disabled button, a read-only rich edit
// and a bar at 0% named by the title.
const wchar_t kLayout[] =
    L"<Window size=\"300,260\"><VerticalLayout>"
    L"<HorizontalLayout height=\"40\"><Label name=\"title\" text=\"Title\" />"
    L"<Button name=\"close\" width=\"30\" accname=\"Close\" /></HorizontalLayout>"
    L"<Label name=\"empty\" height=\"10\" />"
    L"<Label name=\"hidden\" text=\"Hidden\" height=\"10\" visible=\"false\" />"
    L"<Label name=\"decor\" text=\"Decor\" height=\"10\" accrole=\"none\" />"
    L"<Button name=\"tip\" tooltip=\"Tip text\" height=\"30\" />"
    L"<Button name=\"ok\" text=\"OK\" height=\"30\" enabled=\"false\" />"
    L"<RichEdit name=\"notes\" height=\"60\" readonly=\"true\" accname=\"Notes\" />"
    L"<Label name=\"bar\" float=\"true\" pos=\"0,250\" width=\"0\" height=\"6\" accrole=\"progressbar\" "
    L"accnamefrom=\"title\" accvalue=\"0%\" />"
    L"</VerticalLayout></Window>";

enum ChildId : LONG { kTitle = 1, kClose, kTip, kOk, kNotes, kBar, kChildCount = kBar };

// Records the clicks the window's controls send.
class ClickRecorder : public SkinUI::INotifyUI {
public:
    void Notify(SkinUI::TUINotify& msg) override
    {
        if (msg.sType == L"click" && msg.pSender)
            clicked.push_back(msg.pSender->GetName().GetData());
    }
    std::vector<std::wstring> clicked;
};

// A window of the layout shown and laid out, read through its client
// object as a screen reader reads it.
class AccessibleWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        CSkinSource::SetModule(::GetModuleHandleW(nullptr));
        CSkinSource::UseZipFile(L"", true);
        ASSERT_TRUE(window.Create());
        ::SetWindowTextW(window.GetHWND(), L"Probe window");
        window.ShowAndPaint();
        view = new ScreenReaderView(window.GetHWND());
        ASSERT_TRUE(view->Connected());
        window.GetManager().AddNotifier(&recorder);
    }

    void TearDown() override
    {
        window.GetManager().RemoveNotifier(&recorder);
        delete view;
        window.Destroy();
        CoUninitialize();
    }

    RECT ScreenRectOf(const wchar_t* name)
    {
        RECT rect = window.Find(name)->GetPos();
        ::MapWindowPoints(window.GetHWND(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    static POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

    TestWindow window{kLayout};
    ScreenReaderView* view = nullptr;
    ClickRecorder recorder;
};

} // namespace

TEST_F(AccessibleWindowTest, ChildrenAreThePerceivedControlsWithRolesNamesAndValues)
{
    ASSERT_EQ(kChildCount, view->ChildCount());
    window.Find(L"notes")->SetText(L"first\nsecond");
    const struct {
        LONG id;
        LONG role;
        const wchar_t* name;
        const wchar_t* value;
        LONG statesSet;
        LONG statesClear;
    } kChildren[] = {
        {kTitle, ROLE_SYSTEM_STATICTEXT, L"Title", L"", 0, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE},
        {kClose, ROLE_SYSTEM_PUSHBUTTON, L"Close", L"", STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_UNAVAILABLE},
        {kTip, ROLE_SYSTEM_PUSHBUTTON, L"Tip text", L"", STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_UNAVAILABLE},
        {kOk, ROLE_SYSTEM_PUSHBUTTON, L"OK", L"", STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSABLE},
        {kNotes, ROLE_SYSTEM_TEXT, L"Notes", L"first\r\nsecond", STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE, 0},
        {kBar, ROLE_SYSTEM_PROGRESSBAR, L"Title", L"0%", STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_FOCUSABLE},
    };
    for (const auto& c : kChildren) {
        EXPECT_EQ(c.role, view->Role(c.id)) << c.id;
        EXPECT_EQ(c.name, view->Name(c.id)) << c.id;
        EXPECT_EQ(c.value, view->Value(c.id)) << c.id;
        EXPECT_EQ(c.statesSet, view->State(c.id) & c.statesSet) << c.id;
        EXPECT_EQ(0, view->State(c.id) & c.statesClear) << c.id;
    }
    EXPECT_EQ(L"", view->Name(kChildCount + 1));
    EXPECT_EQ(E_INVALIDARG, view->LastResult());
}

TEST_F(AccessibleWindowTest, WindowIsTheClientNamedByItsTitle)
{
    EXPECT_EQ(ROLE_SYSTEM_CLIENT, view->Role(CHILDID_SELF));
    EXPECT_EQ(L"Probe window", view->Name(CHILDID_SELF));
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE, view->State(CHILDID_SELF) & STATE_SYSTEM_FOCUSABLE);
    RECT client = {};
    ::GetClientRect(window.GetHWND(), &client);
    ::MapWindowPoints(window.GetHWND(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(RectIs(view->Location(CHILDID_SELF), client));
    // Other object ids keep the platform's answer.
    EXPECT_EQ(0, window.Send(WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW)));
}

TEST_F(AccessibleWindowTest, LocationsAndHitTestsFollowTheDrawnControls)
{
    const struct {
        LONG id;
        const wchar_t* control;
    } kPlaces[] = {{kTitle, L"title"}, {kClose, L"close"}, {kTip, L"tip"}, {kOk, L"ok"}, {kNotes, L"notes"}};
    for (const auto& p : kPlaces) {
        RECT expected = ScreenRectOf(p.control);
        EXPECT_TRUE(RectIs(view->Location(p.id), expected)) << p.id;
        EXPECT_EQ(p.id, view->HitTest(Centre(expected))) << p.id;
    }
    // Over the empty label: the window itself; outside the client area: nothing.
    RECT empty = ScreenRectOf(L"empty");
    EXPECT_EQ(CHILDID_SELF, view->HitTest(Centre(empty)));
    EXPECT_EQ(-1, view->HitTest({empty.left - 50, empty.top}));
    EXPECT_EQ(S_FALSE, view->LastResult());
    // The bar grows with its progress and is found where it is drawn, over the window.
    window.Find(L"bar")->SetFixedWidth(150);
    window.ShowAndPaint();
    RECT bar = ScreenRectOf(L"bar");
    EXPECT_EQ(150, bar.right - bar.left);
    EXPECT_TRUE(RectIs(view->Location(kBar), bar));
    EXPECT_EQ(0, view->State(kBar) & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(kBar, view->HitTest(Centre(bar)));
}

TEST_F(AccessibleWindowTest, NavigationWalksTheChildrenInTreeOrderAndOnTheScreen)
{
    const struct {
        LONG from;
        long direction;
        LONG to;
    } kMoves[] = {
        {CHILDID_SELF, NAVDIR_FIRSTCHILD, kTitle}, {CHILDID_SELF, NAVDIR_LASTCHILD, kBar},
        {kTitle, NAVDIR_NEXT, kClose}, {kClose, NAVDIR_NEXT, kTip}, {kBar, NAVDIR_NEXT, -1},
        {kTip, NAVDIR_PREVIOUS, kClose}, {kTitle, NAVDIR_PREVIOUS, -1}, {kTitle, NAVDIR_FIRSTCHILD, -1},
        {kTitle, NAVDIR_RIGHT, kClose}, {kClose, NAVDIR_LEFT, kTitle}, {kTitle, NAVDIR_DOWN, kTip},
        {kOk, NAVDIR_UP, kTip}, {kTitle, NAVDIR_UP, -1}, {CHILDID_SELF, NAVDIR_NEXT, -1},
    };
    for (const auto& m : kMoves) {
        EXPECT_EQ(m.to, view->Navigate(m.from, m.direction)) << m.from << " " << m.direction;
        EXPECT_EQ(m.to > 0 ? S_OK : S_FALSE, view->LastResult()) << m.from << " " << m.direction;
    }
    view->Navigate(kTitle, 99);
    EXPECT_EQ(E_INVALIDARG, view->LastResult());
}

TEST_F(AccessibleWindowTest, DefaultActionPressesButtonsFromTheMessageLoop)
{
    EXPECT_EQ(L"Press", view->DefaultAction(kClose));
    EXPECT_EQ(L"", view->DefaultAction(kTitle));
    EXPECT_EQ(S_OK, view->DoDefaultAction(kClose));
    EXPECT_TRUE(recorder.clicked.empty());
    PumpMessages();
    EXPECT_EQ(std::vector<std::wstring>{L"close"}, recorder.clicked);
    // A disabled button, a label and the window have no action to take.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, view->DoDefaultAction(kOk));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, view->DoDefaultAction(kTitle));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, view->DoDefaultAction(CHILDID_SELF));
    PumpMessages();
    EXPECT_EQ(std::vector<std::wstring>{L"close"}, recorder.clicked);
}

// A press that was asked for and whose button was deleted before the loop
// came to it never reaches a listener with the freed control.
TEST_F(AccessibleWindowTest, PressOfAButtonDeletedMeanwhileIsNotDelivered)
{
    EXPECT_EQ(S_OK, view->DoDefaultAction(kTip));
    CControlUI* tip = window.Find(L"tip");
    auto* parent = static_cast<SkinUI::CContainerUI*>(tip->GetParent()->GetInterface(L"Container"));
    ASSERT_NE(nullptr, parent);
    parent->SetDelayedDestroy(false);
    parent->Remove(tip);
    PumpMessages();
    EXPECT_TRUE(recorder.clicked.empty());
    EXPECT_EQ(kChildCount - 1, view->ChildCount());
}

TEST_F(AccessibleWindowTest, FocusIsTakenAndReported)
{
    EXPECT_EQ(S_OK, view->TakeFocus(kClose));
    EXPECT_EQ(window.Find(L"close"), window.GetManager().GetFocus());
    EXPECT_EQ(STATE_SYSTEM_FOCUSED, view->State(kClose) & STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(kClose, view->Focus());
    // A label cannot take the focus.
    EXPECT_EQ(S_FALSE, view->TakeFocus(kTitle));
    EXPECT_EQ(window.Find(L"close"), window.GetManager().GetFocus());
}

TEST_F(AccessibleWindowTest, ChangesAreAnnouncedOnceEach)
{
    WinEventListener listener(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE);
    ASSERT_TRUE(listener.Listening());
    HWND hwnd = window.GetHWND();
    CControlUI* bar = window.Find(L"bar");
    window.Find(L"title")->SetText(L"Title 2");
    window.Find(L"title")->SetText(L"Title 2");
    bar->SetAccessibleValue(L"1%");
    bar->SetAccessibleValue(L"1%");
    bar->SetAccessibleValue(L"2%");
    // Hidden from readers: no child, nothing to announce.
    window.Find(L"decor")->SetText(L"Decor 2");
    window.GetManager().FocusControl(window.Find(L"tip"));
    ASSERT_TRUE(listener.WaitFor(EVENT_OBJECT_FOCUS, hwnd, kTip));
    EXPECT_EQ(1, listener.Count(EVENT_OBJECT_NAMECHANGE, hwnd, -1));
    EXPECT_EQ(1, listener.Count(EVENT_OBJECT_NAMECHANGE, hwnd, kTitle));
    EXPECT_EQ(2, listener.Count(EVENT_OBJECT_VALUECHANGE, hwnd, kBar));
    EXPECT_EQ(L"Title 2", view->Name(kBar));
}

// A screen reader that holds the object past the window gets errors, and
// no control of the gone tree is touched.
TEST_F(AccessibleWindowTest, HeldObjectAnswersNotConnectedOnceTheWindowIsGone)
{
    window.Destroy();
    EXPECT_EQ(-1, view->ChildCount());
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult());
    const LONG kAsked[] = {CHILDID_SELF, kClose};
    for (LONG id : kAsked) {
        EXPECT_EQ(L"", view->Name(id));
        EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult()) << id;
        EXPECT_EQ(-1, view->Role(id));
        EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult()) << id;
        view->Location(id);
        EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult()) << id;
        EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->DoDefaultAction(id)) << id;
    }
    view->HitTest({10, 10});
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult());
    view->Navigate(CHILDID_SELF, NAVDIR_FIRSTCHILD);
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult());
    view->Focus();
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, view->LastResult());
}
