#include "ui/core/ui_manager.h"

#include "ui/controls/control.h"

#include <windowsx.h>

namespace SkinUI {

namespace {

// Reflected messages reach the child window as message + 0x2000.
const UINT kReflectBase = 0x2000;

bool IsMouseMessageWithPoint(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
        message == WM_LBUTTONDBLCLK;
}

} // namespace

void CUIManager::RememberFilterPoint(UINT message, LPARAM lParam)
{
    if (IsMouseMessageWithPoint(message)) {
        lastMousePos_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        return;
    }
    if (message != WM_CONTEXTMENU && message != WM_MOUSEWHEEL)
        return;
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(window_, &point);
    lastMousePos_ = point;
}

bool CUIManager::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!window_)
        return false;
    if (FilterMessage(message, wParam, lParam, result))
        return true;
    return ProcessWindowMessage(message, wParam, lParam, result);
}

// The message filters come first; the first that handles a message ends it.
bool CUIManager::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (int i = 0; i < messageFilters_.GetSize(); ++i) {
        bool handled = false;
        LRESULT answer = messageFilters_[i]->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            RememberFilterPoint(message, lParam);
            result = answer;
            return true;
        }
    }
    return false;
}

// The window's own state: size, paint, scale, frame and the reflected
// messages of native children; the rest is input.
bool CUIManager::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SIZE:
        OnSize(wParam, lParam);
        result = 0;
        return true;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_DPICHANGED:
        OnDpiChanged(wParam, lParam);
        result = 0;
        return true;
    case WM_PRINTCLIENT:
        PrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_CLOSE:
        OnClose();
        return false;
    case WM_SETCURSOR:
        if (!OnSetCursor(wParam, lParam))
            return false;
        result = TRUE;
        return true;
    case WM_MOUSEACTIVATE:
        if (!noActivate_)
            return false;
        result = MA_NOACTIVATE;
        return true;
    case WM_GETMINMAXINFO:
        ApplyTrackSizes(reinterpret_cast<MINMAXINFO*>(lParam));
        return false;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return ReflectMessage(message, wParam, lParam, result);
    case WM_TIMER:
        OnTimer(wParam, lParam);
        return false;
    case kAsyncNotifyMessage:
        DeliverQueuedNotifies();
        return false;
    default:
        return ProcessInputMessage(message, wParam, lParam, result);
    }
}

// Mouse and keyboard, turned into events for controls.
bool CUIManager::ProcessInputMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return false;
    case WM_MOUSEHOVER:
        if (!OnMouseHover(lParam))
            return false;
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        OnButtonDown(message, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
        OnButtonUp(wParam, lParam);
        return false;
    case WM_CONTEXTMENU:
        OnContextMenu(wParam, lParam);
        return false;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        OnKeyMessage(message, wParam, lParam);
        return false;
    case WM_KILLFOCUS:
        OnKillFocus(wParam);
        return false;
    default:
        return false;
    }
}

void CUIManager::ApplyTrackSizes(MINMAXINFO* info)
{
    if (!info)
        return;
    const SIZE minimum = GetMinInfo();
    const SIZE maximum = GetMaxInfo();
    if (minimum.cx > 0)
        info->ptMinTrackSize.x = minimum.cx;
    if (minimum.cy > 0)
        info->ptMinTrackSize.y = minimum.cy;
    if (maximum.cx > 0)
        info->ptMaxTrackSize.x = maximum.cx;
    if (maximum.cy > 0)
        info->ptMaxTrackSize.y = maximum.cy;
}

bool CUIManager::ReflectMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = nullptr;
    if (message == WM_NOTIFY)
        child = lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    else
        child = reinterpret_cast<HWND>(lParam);
    if (!child || !::IsWindow(child))
        return false;
    result = ::SendMessageW(child, message + kReflectBase, wParam, lParam);
    return true;
}

void CUIManager::OnSize(WPARAM wParam, LPARAM lParam)
{
    if (focus_)
        SendEvent(focus_, UIEVENT_WINDOWSIZE, focus_, wParam, lParam);
    if (root_)
        root_->NeedUpdate();
}

void CUIManager::OnTimer(WPARAM wParam, LPARAM lParam)
{
    // The control may stop or delete timers while handling the event.
    TDueTimer due = timers_.Due(wParam);
    if (due.control)
        SendEvent(due.control, UIEVENT_TIMER, due.control, due.id, lParam);
}

void CUIManager::OnClose()
{
    if (hover_)
        SendEvent(hover_, UIEVENT_MOUSELEAVE, hover_);
    if (click_)
        SendEvent(click_, UIEVENT_BUTTONUP, click_);
    FocusControl(nullptr, false);
    if (::GetActiveWindow() == window_) {
        bool child = (::GetWindowLongW(window_, GWL_STYLE) & WS_CHILD) != 0;
        HWND next = child ? ::GetParent(window_) : ::GetWindow(window_, GW_OWNER);
        if (next)
            ::SetFocus(next);
    }
    tooltip_.Destroy();
}

bool CUIManager::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (!root_ || LOWORD(lParam) != HTCLIENT)
        return false;
    if (captured_)
        return true;
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(window_, &point);
    CControlUI* control = FindControlAt(point);
    if (!control || !(control->GetControlFlags() & UIFLAG_SETCURSOR))
        return false;
    SendEvent(control, UIEVENT_SETCURSOR, control, wParam, lParam);
    return true;
}

bool CUIManager::PreDispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (int i = 0; i < preMessageFilters_.GetSize(); ++i) {
        bool handled = false;
        LRESULT answer = preMessageFilters_[i]->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB)
            return false;
        if (focus_ && focus_->IsVisible() && focus_->IsEnabled() &&
            CUIString(focus_->GetClass()).Find(L"RichEdit") >= 0 &&
            (focus_->GetControlFlags() & UIFLAG_WANTTAB))
            return false;
        MoveTabFocus(::GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSKEYDOWN:
        if (focus_)
            SendEvent(focus_, UIEVENT_SYSKEY, focus_, wParam, lParam, -1, static_cast<wchar_t>(wParam));
        return false;
    case WM_SYSCHAR:
        return root_ && HandleShortcut(static_cast<wchar_t>(wParam));
    default:
        return false;
    }
}

bool CUIManager::PreTranslateAll(MSG* msg)
{
    if (!msg || !msg->hwnd)
        return false;
    LONG style = ::GetWindowLongW(msg->hwnd, GWL_STYLE);
    if (!(style & WS_CHILD)) {
        for (int i = 0; i < GetManagerCount(); ++i) {
            CUIManager* manager = GetManager(i);
            if (manager->window_ != msg->hwnd)
                continue;
            if (manager->TranslateByAccelerators(msg))
                return true;
            LRESULT result = 0;
            return manager->PreDispatch(msg->message, msg->wParam, msg->lParam, result);
        }
        return false;
    }
    for (int i = GetManagerCount() - 1; i >= 0; --i) {
        CUIManager* manager = GetManager(i);
        if (!manager->window_ || (manager->window_ != msg->hwnd && !::IsChild(manager->window_, msg->hwnd)))
            continue;
        if (manager->TranslateByAccelerators(msg))
            return true;
        LRESULT result = 0;
        manager->PreDispatch(msg->message, msg->wParam, msg->lParam, result);
    }
    return false;
}

bool CUIManager::TranslateByAccelerators(MSG* msg)
{
    for (int i = 0; i < translators_.GetSize(); ++i) {
        if (translators_[i]->TranslateAccelerator(msg) == 0)
            return true;
    }
    return false;
}

int CUIManager::RunMessageLoop()
{
    MSG msg = {};
    // GetMessage answers -1 on failure; that ends the loop too.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateAll(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace SkinUI
