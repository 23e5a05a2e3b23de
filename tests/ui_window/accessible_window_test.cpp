#include "tests/ui_window/test_window.h"

#include "tests/support/rects.h"

#include "ui/core/skin_source.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CControlUI;
using SkinUI::CSkinSource;

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

VARIANT Child(LONG id)
{
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring TakeText(BSTR text)
{
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

// A window of the layout shown and laid out, with the client object a
// screen reader would get.
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
        ASSERT_EQ(S_OK, AccessibleObjectFromWindow(window.GetHWND(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&client)));
    }

    void TearDown() override
    {
        if (client)
            client->Release();
        window.Destroy();
        PumpMessages();
        CoUninitialize();
    }

    std::wstring Name(LONG id)
    {
        BSTR name = nullptr;
        client->get_accName(Child(id), &name);
        return TakeText(name);
    }

    std::wstring Value(LONG id)
    {
        BSTR value = nullptr;
        client->get_accValue(Child(id), &value);
        return TakeText(value);
    }

    LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), LONG id)
    {
        VARIANT answer;
        VariantInit(&answer);
        EXPECT_EQ(S_OK, (client->*get)(Child(id), &answer));
        return answer.vt == VT_I4 ? answer.lVal : -1;
    }

    LONG Role(LONG id) { return Number(&IAccessible::get_accRole, id); }
    LONG State(LONG id) { return Number(&IAccessible::get_accState, id); }

    RECT Location(LONG id)
    {
        long left = 0, top = 0, width = 0, height = 0;
        EXPECT_EQ(S_OK, client->accLocation(&left, &top, &width, &height, Child(id)));
        return {left, top, left + width, top + height};
    }

    RECT ScreenRectOf(const wchar_t* name)
    {
        RECT rect = window.Find(name)->GetPos();
        ::MapWindowPoints(window.GetHWND(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The child id an answer names, 0 for the window, -1 for none.
    static LONG Named(const VARIANT& answer) { return answer.vt == VT_I4 ? answer.lVal : -1; }

    TestWindow window{kLayout};
    IAccessible* client = nullptr;
};

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

// The events of one window that a screen reader would hear.
struct TWinEvent {
    DWORD event;
    LONG object;
    LONG child;
    bool operator==(const TWinEvent& other) const
    {
        return event == other.event && object == other.object && child == other.child;
    }
};

std::vector<TWinEvent>* heard = nullptr;
HWND heardWindow = nullptr;

void CALLBACK HearEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    if (heard && hwnd == heardWindow)
        heard->push_back({event, object, child});
}

} // namespace

TEST_F(AccessibleWindowTest, ChildrenAreThePerceivedControlsWithRolesNamesAndValues)
{
    long count = 0;
    ASSERT_EQ(S_OK, client->get_accChildCount(&count));
    ASSERT_EQ(kChildCount, count);
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
        EXPECT_EQ(c.role, Role(c.id)) << c.id;
        EXPECT_EQ(c.name, Name(c.id)) << c.id;
        EXPECT_EQ(c.value, Value(c.id)) << c.id;
        EXPECT_EQ(c.statesSet, State(c.id) & c.statesSet) << c.id;
        EXPECT_EQ(0, State(c.id) & c.statesClear) << c.id;
        IDispatch* object = reinterpret_cast<IDispatch*>(1);
        EXPECT_EQ(S_FALSE, client->get_accChild(Child(c.id), &object)) << c.id;
        EXPECT_EQ(nullptr, object);
    }
    BSTR name = nullptr;
    EXPECT_EQ(E_INVALIDARG, client->get_accName(Child(kChildCount + 1), &name));
}

TEST_F(AccessibleWindowTest, WindowIsTheClientNamedByItsTitle)
{
    EXPECT_EQ(ROLE_SYSTEM_CLIENT, Role(CHILDID_SELF));
    EXPECT_EQ(L"Probe window", Name(CHILDID_SELF));
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE, State(CHILDID_SELF) & STATE_SYSTEM_FOCUSABLE);
    RECT client = {};
    ::GetClientRect(window.GetHWND(), &client);
    ::MapWindowPoints(window.GetHWND(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(RectIs(Location(CHILDID_SELF), client));
    // Other object ids keep the platform's answer.
    EXPECT_EQ(0, window.Send(WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW)));
    EXPECT_GT(window.Send(WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
}

TEST_F(AccessibleWindowTest, LocationsAndHitTestsFollowTheDrawnControls)
{
    const struct {
        LONG id;
        const wchar_t* control;
    } kPlaces[] = {{kTitle, L"title"}, {kClose, L"close"}, {kTip, L"tip"}, {kOk, L"ok"}, {kNotes, L"notes"}};
    for (const auto& p : kPlaces) {
        RECT expected = ScreenRectOf(p.control);
        EXPECT_TRUE(RectIs(Location(p.id), expected)) << p.id;
        VARIANT hit;
        EXPECT_EQ(S_OK, client->accHitTest((expected.left + expected.right) / 2, (expected.top + expected.bottom) / 2,
                                           &hit));
        EXPECT_EQ(p.id, Named(hit)) << p.id;
    }
    // Over the empty label: the window itself; outside the client area: nothing.
    RECT empty = ScreenRectOf(L"empty");
    VARIANT hit;
    EXPECT_EQ(S_OK, client->accHitTest(empty.left + 5, empty.top + 5, &hit));
    EXPECT_EQ(CHILDID_SELF, Named(hit));
    EXPECT_EQ(S_FALSE, client->accHitTest(empty.left - 50, empty.top, &hit));
    EXPECT_EQ(VT_EMPTY, hit.vt);
    // The bar grows with its progress and is found where it is drawn.
    window.Find(L"bar")->SetFixedWidth(150);
    window.ShowAndPaint();
    RECT bar = ScreenRectOf(L"bar");
    EXPECT_EQ(150, bar.right - bar.left);
    EXPECT_TRUE(RectIs(Location(kBar), bar));
    EXPECT_EQ(0, State(kBar) & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(S_OK, client->accHitTest(bar.left + 10, bar.top + 2, &hit));
    EXPECT_EQ(kBar, Named(hit));
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
        VARIANT end;
        HRESULT result = client->accNavigate(m.direction, Child(m.from), &end);
        EXPECT_EQ(m.to > 0 ? S_OK : S_FALSE, result) << m.from << " " << m.direction;
        EXPECT_EQ(m.to, Named(end)) << m.from << " " << m.direction;
    }
    VARIANT end;
    EXPECT_EQ(E_INVALIDARG, client->accNavigate(99, Child(kTitle), &end));
}

TEST_F(AccessibleWindowTest, DefaultActionPressesButtonsFromTheMessageLoop)
{
    ClickRecorder recorder;
    window.GetManager().AddNotifier(&recorder);
    BSTR action = nullptr;
    EXPECT_EQ(S_OK, client->get_accDefaultAction(Child(kClose), &action));
    EXPECT_EQ(L"Press", TakeText(action));
    EXPECT_EQ(S_FALSE, client->get_accDefaultAction(Child(kTitle), &action));
    EXPECT_EQ(S_OK, client->accDoDefaultAction(Child(kClose)));
    EXPECT_TRUE(recorder.clicked.empty());
    PumpMessages();
    EXPECT_EQ(std::vector<std::wstring>{L"close"}, recorder.clicked);
    // A disabled button, a label and the window have no action to take.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client->accDoDefaultAction(Child(kOk)));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client->accDoDefaultAction(Child(kTitle)));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client->accDoDefaultAction(Child(CHILDID_SELF)));
    PumpMessages();
    EXPECT_EQ(std::vector<std::wstring>{L"close"}, recorder.clicked);
    window.GetManager().RemoveNotifier(&recorder);
}

// A press that was asked for and whose button was deleted before the loop
// came to it never reaches a listener with the freed control.
TEST_F(AccessibleWindowTest, PressOfAButtonRemovedMeanwhileIsDropped)
{
    ClickRecorder recorder;
    window.GetManager().AddNotifier(&recorder);
    EXPECT_EQ(S_OK, client->accDoDefaultAction(Child(kTip)));
    CControlUI* tip = window.Find(L"tip");
    auto* parent = static_cast<SkinUI::CContainerUI*>(tip->GetParent()->GetInterface(L"Container"));
    ASSERT_NE(nullptr, parent);
    parent->SetDelayedDestroy(false);
    parent->Remove(tip);
    PumpMessages();
    EXPECT_TRUE(recorder.clicked.empty());
    long count = 0;
    EXPECT_EQ(S_OK, client->get_accChildCount(&count));
    EXPECT_EQ(kChildCount - 1, count);
    window.GetManager().RemoveNotifier(&recorder);
}

TEST_F(AccessibleWindowTest, FocusIsTakenAndReported)
{
    VARIANT focus;
    EXPECT_EQ(S_OK, client->accSelect(SELFLAG_TAKEFOCUS, Child(kClose)));
    EXPECT_EQ(window.Find(L"close"), window.GetManager().GetFocus());
    EXPECT_EQ(STATE_SYSTEM_FOCUSED, State(kClose) & STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(S_OK, client->get_accFocus(&focus));
    EXPECT_EQ(kClose, Named(focus));
    // A label cannot take the focus; a selection is not offered.
    EXPECT_EQ(S_FALSE, client->accSelect(SELFLAG_TAKEFOCUS, Child(kTitle)));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client->accSelect(SELFLAG_TAKESELECTION, Child(kClose)));
    EXPECT_EQ(window.Find(L"close"), window.GetManager().GetFocus());
}

TEST_F(AccessibleWindowTest, ChangesAreAnnouncedAsWinEvents)
{
    std::vector<TWinEvent> events;
    heard = &events;
    heardWindow = window.GetHWND();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, &HearEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    CControlUI* bar = window.Find(L"bar");
    window.Find(L"title")->SetText(L"Title 2");
    window.Find(L"title")->SetText(L"Title 2");
    bar->SetAccessibleValue(L"1%");
    bar->SetAccessibleValue(L"1%");
    bar->SetAccessibleValue(L"2%");
    window.GetManager().FocusControl(window.Find(L"tip"));
    // Hidden from readers: no child, so nothing to announce.
    window.Find(L"decor")->SetText(L"Decor 2");
    PumpMessages();
    UnhookWinEvent(hook);
    heard = nullptr;
    const std::vector<TWinEvent> expected = {
        {EVENT_OBJECT_NAMECHANGE, OBJID_CLIENT, kTitle},
        {EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT, kBar},
        {EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT, kBar},
        {EVENT_OBJECT_FOCUS, OBJID_CLIENT, kTip},
    };
    std::vector<TWinEvent> ofClient;
    for (const TWinEvent& e : events) {
        if (e.object == OBJID_CLIENT)
            ofClient.push_back(e);
    }
    EXPECT_EQ(expected, ofClient);
    EXPECT_EQ(L"Title 2", Name(kBar));
}

// A screen reader that holds the object past the window gets errors, and
// no freed control is touched (the tree and then the window object go).
TEST_F(AccessibleWindowTest, HeldObjectAnswersNotConnectedOnceTheWindowIsGone)
{
    window.Destroy();
    long count = 0;
    BSTR name = nullptr;
    VARIANT answer;
    long left = 0;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->get_accChildCount(&count));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->get_accName(Child(CHILDID_SELF), &name));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->get_accName(Child(kClose), &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->get_accRole(Child(kClose), &answer));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->accHitTest(10, 10, &answer));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &answer));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->accDoDefaultAction(Child(kClose)));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->accLocation(&left, &left, &left, &left, Child(kClose)));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, client->get_accFocus(&answer));
}
