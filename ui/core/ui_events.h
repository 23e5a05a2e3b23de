#pragma once

#include <windows.h>

#include "ui/core/ui_string.h"

namespace SkinUI {

class CControlUI;

// Event numbers are shared with the controls, which test ranges: key events
// lie strictly between UIEVENT__KEYBEGIN and UIEVENT__KEYEND, mouse events
// strictly between UIEVENT__MOUSEBEGIN and UIEVENT__MOUSEEND. The markers
// themselves are never sent.
enum UIEventType {
    UIEVENT__FIRST = 1,
    UIEVENT__KEYBEGIN = 2,
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT__KEYEND = 7,
    UIEVENT__MOUSEBEGIN = 8,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_DBLCLICK = 16,
    UIEVENT_CONTEXTMENU = 17,
    UIEVENT_SCROLLWHEEL = 18,
    UIEVENT__MOUSEEND = 19,
    UIEVENT_KILLFOCUS = 20,
    UIEVENT_SETFOCUS = 21,
    UIEVENT_WINDOWSIZE = 22,
    UIEVENT_SETCURSOR = 23,
    UIEVENT_TIMER = 24,
    UIEVENT_NOTIFY = 25,
    UIEVENT__LAST = 26,
};

// Flags of a tree search (FindControl).
enum UIFindFlags : unsigned {
    UIFIND_ALL = 0x00000000,
    UIFIND_VISIBLE = 0x00000001,
    UIFIND_ENABLED = 0x00000002,
    UIFIND_HITTEST = 0x00000004,
    UIFIND_UPDATETEST = 0x00000008,
    UIFIND_TOP_FIRST = 0x00000010,
    UIFIND_ME_FIRST = 0x80000000,
};

// Flags a control reports through GetControlFlags.
enum UIControlFlags : unsigned {
    UIFLAG_TABSTOP = 0x00000001,
    UIFLAG_SETCURSOR = 0x00000002,
    // A control that takes the Tab key itself (a rich edit that wants tabs).
    UIFLAG_WANTTAB = 0x00000004,
};

// Key state bits of an event record.
enum UIKeyState : WORD {
    UIKEY_LBUTTON = 0x0001,
    UIKEY_RBUTTON = 0x0002,
    UIKEY_SHIFT = 0x0004,
    UIKEY_CONTROL = 0x0008,
    UIKEY_ALT = 0x0020,
};

// The record a control's Event entry receives. Unused fields are zero.
struct TUIEvent {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    wchar_t chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The record a notification carries to the window's listeners.
struct TUINotify {
    CUIString sType;
    CUIString sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TUINotify& msg) = 0;
};

class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

class ITranslateAccelerator {
public:
    virtual ~ITranslateAccelerator() = default;
    // 0 when the message was consumed.
    virtual LRESULT TranslateAccelerator(MSG* msg) = 0;
};

// Callback of a tree search: returns the control it accepts, or null.
typedef CControlUI* (CALLBACK* FINDCONTROLPROC)(CControlUI* control, LPVOID data);

} // namespace SkinUI
