#include "ui/core/ui_manager.h"

#include "ui/controls/control.h"

#include <windowsx.h>
#include <wctype.h>

namespace SkinUI {

namespace {

WORD KeyboardState()
{
    WORD state = 0;
    if (::GetKeyState(VK_CONTROL) < 0)
        state |= UIKEY_CONTROL;
    if (::GetKeyState(VK_RBUTTON) < 0)
        state |= UIKEY_RBUTTON;
    if (::GetKeyState(VK_LBUTTON) < 0)
        state |= UIKEY_LBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0)
        state |= UIKEY_SHIFT;
    if (::GetKeyState(VK_MENU) < 0)
        state |= UIKEY_ALT;
    return state;
}

POINT PointOf(LPARAM lParam)
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

struct TTabSearch {
    CControlUI* focus;
    CControlUI* last;
    bool forward;
    bool takeNext;
};

struct TShortcutSearch {
    wchar_t ch;
    bool pickNext;
};

bool IsLabel(CControlUI* control)
{
    return CUIString(control->GetClass()).Find(L"Label") >= 0;
}

} // namespace

void CUIManager::SendEvent(CControlUI* target, int type, CControlUI* sender, WPARAM wParam, LPARAM lParam,
    int keyState, wchar_t key)
{
    if (!target)
        return;
    TUIEvent event;
    event.Type = type;
    event.pSender = sender;
    event.dwTimestamp = ::GetTickCount();
    event.ptMouse = lastMousePos_;
    event.chKey = key;
    event.wKeyState = keyState < 0 ? KeyboardState() : static_cast<WORD>(keyState);
    event.wParam = wParam;
    event.lParam = lParam;
    target->Event(event);
}

void CUIManager::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!root_)
        return;
    if (!mouseTracking_) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, window_, tooltip_.HoverTime(hoverTime_)};
        ::TrackMouseEvent(&track);
        mouseTracking_ = true;
    }
    lastMousePos_ = PointOf(lParam);
    CControlUI* control = FindControlAt(lastMousePos_);
    if (control && control->GetManager() != this)
        return;
    if (!captured_) {
        if (hover_ && hover_ != control)
            RemoveHover();
        if (control && control != hover_) {
            hover_ = control;
            SendEvent(control, UIEVENT_MOUSEENTER, control);
        }
    }
    // A pressed control keeps getting the moves while it holds the capture.
    CControlUI* target = click_ ? click_ : control;
    SendEvent(target, UIEVENT_MOUSEMOVE, target, wParam, lParam);
}

void CUIManager::RemoveHover()
{
    CControlUI* old = hover_;
    // Listeners may take themselves (or others) off the list meanwhile.
    CUIPtrArrayOf<CControlUI> listeners(mouseLeaveNeeded_);
    for (int i = 0; i < listeners.GetSize() && hover_ == old; ++i) {
        CControlUI* listener = listeners[i];
        if (mouseLeaveNeeded_.Find(listener) >= 0)
            SendEvent(listener, UIEVENT_MOUSELEAVE, old);
    }
    if (hover_ == old)
        SendEvent(old, UIEVENT_MOUSELEAVE, old);
    hover_ = nullptr;
    tooltip_.Hide();
}

bool CUIManager::OnMouseHover(LPARAM lParam)
{
    if (!root_)
        return false;
    mouseTracking_ = false;
    POINT point = PointOf(lParam);
    CControlUI* control = FindControlAt(point);
    if (!control)
        return false;
    // Right after AttachRoot or ForgetControl there may be no hover control.
    if (hover_)
        SendEvent(hover_, UIEVENT_MOUSEHOVER, hover_, 0, lParam);
    ShowTooltip(control, point);
    return true;
}

void CUIManager::ShowTooltip(CControlUI* control, POINT point)
{
    CUIString text = control->GetToolTip();
    if (text.IsEmpty())
        return;
    tooltip_.Show(window_, control, ExpandLanguageTokens(text), point);
}

void CUIManager::OnMouseLeave()
{
    tooltip_.Hide();
    if (!mouseTracking_)
        return;
    POINT point = {-1, -1};
    POINT cursor;
    RECT windowRect;
    ::GetCursorPos(&cursor);
    ::GetWindowRect(window_, &windowRect);
    if (!::IsIconic(window_) && ::GetActiveWindow() == window_ && ::PtInRect(&windowRect, cursor) &&
        ::SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT) {
        point = cursor;
        ::ScreenToClient(window_, &point);
    }
    ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    mouseTracking_ = false;
}

void CUIManager::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!noActivate_)
        ::SetFocus(window_);
    if (!root_)
        return;
    lastMousePos_ = PointOf(lParam);
    CControlUI* control = FindOwnControlAt(lastMousePos_);
    if (!control)
        return;
    if (message == WM_LBUTTONDBLCLK) {
        CaptureMouse();
        click_ = control;
        SendEvent(control, UIEVENT_DBLCLICK, control, wParam, lParam, static_cast<int>(wParam & 0xFFFF));
        return;
    }
    click_ = control;
    control->SetFocus();
    // Focus handlers may delete the control (ForgetControl clears click_).
    if (click_ != control)
        return;
    int type = UIEVENT_RBUTTONDOWN;
    if (message == WM_LBUTTONDOWN) {
        CaptureMouse();
        type = UIEVENT_BUTTONDOWN;
    }
    SendEvent(control, type, control, wParam, lParam, static_cast<int>(wParam & 0xFFFF));
}

void CUIManager::OnButtonUp(WPARAM wParam, LPARAM lParam)
{
    lastMousePos_ = PointOf(lParam);
    if (!click_)
        return;
    CControlUI* control = click_;
    click_ = nullptr;
    ReleaseMouse();
    SendEvent(control, UIEVENT_BUTTONUP, control, wParam, lParam, static_cast<int>(wParam & 0xFFFF));
}

void CUIManager::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    if (!root_ || captured_)
        return;
    POINT point = PointOf(lParam);
    ::ScreenToClient(window_, &point);
    lastMousePos_ = point;
    if (!click_)
        return;
    CControlUI* control = click_;
    click_ = nullptr;
    SendEvent(control, UIEVENT_CONTEXTMENU, control, wParam, reinterpret_cast<LPARAM>(control),
        static_cast<int>(wParam & 0xFFFF));
}

void CUIManager::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    if (!root_)
        return;
    POINT point = PointOf(lParam);
    ::ScreenToClient(window_, &point);
    lastMousePos_ = point;
    CControlUI* control = FindOwnControlAt(point);
    if (!control)
        return;
    WPARAM towardsUser = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0;
    SendEvent(control, UIEVENT_SCROLLWHEEL, control, towardsUser, lParam);
    ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(lastMousePos_.x, lastMousePos_.y));
}

void CUIManager::OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!root_)
        return;
    wchar_t key = static_cast<wchar_t>(wParam);
    if (message == WM_KEYUP) {
        CControlUI* control = key_;
        key_ = nullptr;
        SendEvent(control, UIEVENT_KEYUP, control, wParam, lParam, -1, key);
        return;
    }
    if (!focus_)
        return;
    CControlUI* control = focus_;
    if (message == WM_CHAR) {
        SendEvent(control, UIEVENT_CHAR, control, wParam, lParam, -1, key);
        return;
    }
    key_ = control;
    SendEvent(control, UIEVENT_KEYDOWN, control, wParam, lParam, -1, key);
}

void CUIManager::OnKillFocus(WPARAM wParam)
{
    HWND child = reinterpret_cast<HWND>(wParam);
    if (!child)
        return;
    while (child && ::GetParent(child) != window_)
        child = ::GetParent(child);
    if (!child)
        return;
    int index = nativeWindows_.Find(child);
    if (index < 0)
        return;
    CControlUI* control = nativeWindowControls_[index];
    if (control != focus_)
        FocusControl(control, false);
}

void CUIManager::FocusControl(CControlUI* control, bool focusWindow)
{
    if (focusWindow && window_ && ::GetFocus() != window_ && control != focus_ && !noActivate_)
        ::SetFocus(window_);
    if (control == focus_)
        return;
    if (focus_) {
        CControlUI* old = focus_;
        SendEvent(old, UIEVENT_KILLFOCUS, control);
        // The handler may have deleted the old focus (ForgetControl clears it).
        if (focus_ == old)
            EmitNotify(old, L"killfocus");
        focus_ = nullptr;
    }
    if (!control || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled())
        return;
    focus_ = control;
    // A focus given on purpose settles a pending move to the first tab stop.
    focusNeeded_ = false;
    SendEvent(control, UIEVENT_SETFOCUS, control);
    if (focus_ == control)
        EmitNotify(control, L"setfocus");
}

void CUIManager::DeferFocus(CControlUI* control)
{
    if (!noActivate_ && window_)
        ::SetFocus(window_);
    FocusControl(nullptr, false);
    if (!root_)
        return;
    // The tab stop before the control becomes the focus silently; the move
    // at the next paint then lands on the first tab stop at or after it.
    TTabSearch search = {control, nullptr, false, false};
    focus_ = root_->FindControl(&CUIManager::FindTabStop, &search,
        UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    focusNeeded_ = true;
    root_->NeedUpdate();
}

CControlUI* CALLBACK CUIManager::FindTabStop(CControlUI* control, LPVOID data)
{
    TTabSearch* search = static_cast<TTabSearch*>(data);
    if (control == search->focus) {
        if (search->forward)
            search->takeNext = true;
        else
            return search->last;
        return nullptr;
    }
    if (!(control->GetControlFlags() & UIFLAG_TABSTOP))
        return nullptr;
    search->last = control;
    return search->takeNext || !search->focus ? control : nullptr;
}

bool CUIManager::MoveTabFocus(bool forward)
{
    if (updateNeeded_ && forward) {
        focusNeeded_ = true;
        InvalidateAll();
        return true;
    }
    focusNeeded_ = false;
    if (!root_)
        return false;
    const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
    TTabSearch search = {focus_, nullptr, forward, false};
    CControlUI* found = root_->FindControl(&CUIManager::FindTabStop, &search, flags);
    if (!found && forward) {
        // Past the last tab stop: start over from the beginning.
        search = {nullptr, nullptr, true, false};
        found = root_->FindControl(&CUIManager::FindTabStop, &search, flags);
    } else if (!found) {
        // Before the first one: the walk went on and saw the last tab stop.
        found = search.last;
    }
    if (found)
        FocusControl(found, true);
    return true;
}

bool CUIManager::HandleShortcut(wchar_t ch)
{
    TShortcutSearch search = {static_cast<wchar_t>(towupper(ch)), false};
    CControlUI* control = root_->FindControl(&CUIManager::FindShortcut, &search,
        UIFIND_ENABLED | UIFIND_TOP_FIRST | UIFIND_ME_FIRST);
    if (control) {
        control->SetFocus();
        control->Activate();
    }
    return true;
}

CControlUI* CALLBACK CUIManager::FindShortcut(CControlUI* control, LPVOID data)
{
    TShortcutSearch* search = static_cast<TShortcutSearch*>(data);
    if (!control->IsVisible())
        return nullptr;
    bool label = IsLabel(control);
    if (search->pickNext && !label)
        return control;
    if (static_cast<wchar_t>(towupper(control->GetShortcut())) != search->ch)
        return nullptr;
    // A label lends its shortcut to the control after it.
    search->pickNext = true;
    return label ? nullptr : control;
}

void CUIManager::CaptureMouse()
{
    ::SetCapture(window_);
    captured_ = true;
}

void CUIManager::ReleaseMouse()
{
    ::ReleaseCapture();
    captured_ = false;
}

} // namespace SkinUI
