#include "ui/controls/rich_edit.h"

#include <imm.h>
#include <windowsx.h>

#include "ui/controls/scroll_bar.h"
#include "ui/controls/txt_win_host.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

namespace {

bool IsButtonMessage(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool IsKeyboardMessage(UINT message)
{
    return message >= WM_KEYDOWN && message <= WM_SYSDEADCHAR;
}

bool IsSystemKeyMessage(UINT message)
{
    return message >= WM_SYSKEYDOWN && message <= WM_SYSDEADCHAR;
}

// Engine notifications a window may want: message filter, selection change,
// drop files, protected text, stop-no-change, save clipboard, OLE operation
// failed, object positions, link, drag-and-drop done.
bool IsForwardedNotification(DWORD code)
{
    return code == EN_MSGFILTER || (code >= EN_SELCHANGE && code <= EN_PROTECTED) || code == EN_STOPNOUNDO ||
        (code >= EN_SAVECLIPBOARD && code <= EN_DRAGDROPDONE);
}

} // namespace

HRESULT CRichEditUI::TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    ITextServices* services = host_ ? host_->GetTextServices() : nullptr;
    if (!services)
        return S_FALSE;
    if (message == WM_KEYDOWN && wParam == VK_RETURN && !TakesEnterAsLineBreak()) {
        if (manager_)
            manager_->EmitNotify(this, L"return");
        return S_OK;
    }
    // Some engines insert the break on the character rather than the key.
    if (message == WM_CHAR && (wParam == L'\r' || wParam == L'\n') && !TakesEnterAsLineBreak())
        return S_OK;
    LRESULT ignored = 0;
    return services->TxSendMessage(message, wParam, lParam, result ? result : &ignored);
}

bool CRichEditUI::TakesEnterAsLineBreak() const
{
    return wantReturn_ && (GetKeyState(VK_CONTROL) >= 0 || wantCtrlReturn_);
}

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (!host_ || !manager_ || !IsVisible() || !IsEnabled())
        return 0;
    bool mouse = IsMouseMessage(message);
    bool keyboard = IsKeyboardMessage(message);
    if (mouse && !IsMouseEnabled())
        return 0;
    if (message == WM_MOUSEWHEEL && !(GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL))
        return 0;

    if (mouse || message == WM_SETCURSOR) {
        if (!AcceptsMouse(message, wParam, lParam))
            return 0;
        handled = message != WM_SETCURSOR;
    } else if (keyboard) {
        if (!IsFocused())
            return 0;
        handled = true;
    } else if (message == WM_IME_STARTCOMPOSITION) {
        if (IsFocused())
            PlaceComposition();
        return 0;
    } else if (message == WM_CONTEXTMENU) {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(manager_->GetPaintWindow(), &point);
        if (manager_->FindControlAt(point) != this)
            return 0;
        handled = true;
    } else if (message != WM_HELP) {
        return 0;
    }

    LRESULT result = 0;
    HRESULT hr = TxSendMessage(message, wParam, lParam, &result);
    // System keys the engine leaves alone belong to the window (Alt+F4, the menu).
    if (hr != S_OK && IsSystemKeyMessage(message)) {
        handled = false;
        return result;
    }
    if (hr == S_OK || keyboard || message == WM_CHAR || message == WM_IME_CHAR)
        return result;
    if (mouse)
        handled = host_ && host_->IsCaptured();
    else
        handled = false;
    return result;
}

bool CRichEditUI::AcceptsMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = manager_->GetPaintWindow();
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // The wheel's point is on the screen; set-cursor carries none.
    if (message == WM_SETCURSOR)
        GetCursorPos(&point);
    if (message == WM_SETCURSOR || message == WM_MOUSEWHEEL)
        ScreenToClient(window, &point);
    if (!host_->IsCaptured()) {
        if (IsButtonMessage(message) && manager_->FindControlAt(point) != this)
            return false;
        if (!PtInRect(&host_->GetClientRect(), point))
            return false;
        if (manager_->HasMouseCapture())
            return false;
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
        if (!manager_->IsNoActivate())
            ::SetFocus(window);
        SetFocus();
    }
    return true;
}

// Without an input-method context (no IME, or none under a virtual display)
// there is nothing to place.
void CRichEditUI::PlaceComposition()
{
    HWND window = manager_->GetPaintWindow();
    HIMC context = ImmGetContext(window);
    if (!context)
        return;
    RECT caret = host_->GetCaretRect();
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = {caret.right, caret.top};
    ImmSetCompositionWindow(context, &form);
    LOGFONTW font = {};
    HFONT handle = FontHandle();
    if (handle && GetObjectW(handle, sizeof(font), &font))
        ImmSetCompositionFontW(context, &font);
    ImmReleaseContext(window, context);
}

void CRichEditUI::SendScroll(UINT message, WORD request)
{
    TxSendMessage(message, MAKEWPARAM(request, 0), 0, nullptr);
}

void CRichEditUI::SendThumbPosition(UINT message, int position)
{
    TxSendMessage(message, MAKEWPARAM(SB_THUMBPOSITION, position), 0, nullptr);
}

// Plain text may not advance on the last partial line: end there.
void CRichEditUI::CorrectPlainLineDown(int before)
{
    if (rich_ || !IsBarShown(verticalScrollBar_))
        return;
    if (verticalScrollBar_->GetScrollPos() <= before)
        verticalScrollBar_->SetScrollPos(verticalScrollBar_->GetScrollRange());
}

void CRichEditUI::SetScrollPos(SIZE position)
{
    int dy = 0;
    int dx = 0;
    if (IsBarShown(verticalScrollBar_)) {
        int old = verticalScrollBar_->GetScrollPos();
        verticalScrollBar_->SetScrollPos(position.cy);
        dy = verticalScrollBar_->GetScrollPos() - old;
    }
    if (IsBarShown(horizontalScrollBar_)) {
        int old = horizontalScrollBar_->GetScrollPos();
        horizontalScrollBar_->SetScrollPos(position.cx);
        dx = horizontalScrollBar_->GetScrollPos() - old;
    }
    if (dy != 0) {
        int before = verticalScrollBar_->GetScrollPos();
        SendThumbPosition(WM_VSCROLL, before);
        if (dy > 0 && !rich_ && verticalScrollBar_->GetScrollPos() < before)
            verticalScrollBar_->SetScrollPos(before);
    }
    if (dx != 0)
        SendThumbPosition(WM_HSCROLL, horizontalScrollBar_->GetScrollPos());
}

void CRichEditUI::LineUp()
{
    SendScroll(WM_VSCROLL, SB_LINEUP);
}

void CRichEditUI::LineDown()
{
    int before = IsBarShown(verticalScrollBar_) ? verticalScrollBar_->GetScrollPos() : 0;
    SendScroll(WM_VSCROLL, SB_LINEDOWN);
    CorrectPlainLineDown(before);
}

void CRichEditUI::PageUp()
{
    SendScroll(WM_VSCROLL, SB_PAGEUP);
}

void CRichEditUI::PageDown()
{
    SendScroll(WM_VSCROLL, SB_PAGEDOWN);
}

void CRichEditUI::HomeUp()
{
    SendScroll(WM_VSCROLL, SB_TOP);
}

void CRichEditUI::EndDown()
{
    SendScroll(WM_VSCROLL, SB_BOTTOM);
}

void CRichEditUI::LineLeft()
{
    SendScroll(WM_HSCROLL, SB_LINELEFT);
}

void CRichEditUI::LineRight()
{
    SendScroll(WM_HSCROLL, SB_LINERIGHT);
}

void CRichEditUI::PageLeft()
{
    SendScroll(WM_HSCROLL, SB_PAGELEFT);
}

void CRichEditUI::PageRight()
{
    SendScroll(WM_HSCROLL, SB_PAGERIGHT);
}

void CRichEditUI::HomeLeft()
{
    SendScroll(WM_HSCROLL, SB_LEFT);
}

void CRichEditUI::EndRight()
{
    SendScroll(WM_HSCROLL, SB_RIGHT);
}

CScrollBarUI* CRichEditUI::BarFor(int bar) const
{
    return bar == SB_HORZ ? horizontalScrollBar_ : verticalScrollBar_;
}

// Outside a layout pass, a bar that came or went needs one: the view
// changes width or height.
void CRichEditUI::BarVisibilityChanged()
{
    if (!layingOut_)
        NeedUpdate();
}

void CRichEditUI::OnEngineShowScrollBar(int bar, bool show)
{
    for (CScrollBarUI* target : {verticalScrollBar_, horizontalScrollBar_}) {
        bool wanted = bar == SB_BOTH || BarFor(bar) == target;
        if (!target || !wanted || target->IsVisible() == show)
            continue;
        target->SetVisible(show);
        BarVisibilityChanged();
    }
}

void CRichEditUI::OnEngineEnableScrollBar(int bars, int arrows)
{
    bool vertical = bars == SB_VERT || bars == SB_BOTH;
    bool horizontal = bars == SB_HORZ || bars == SB_BOTH;
    // Only a missing bar is created: enabling again would re-lay out each time.
    if ((vertical && !verticalScrollBar_) || (horizontal && !horizontalScrollBar_))
        EnableScrollBar(vertical || verticalScrollBar_, horizontal || horizontalScrollBar_);
    bool show = arrows != ESB_DISABLE_BOTH;
    if (vertical)
        OnEngineShowScrollBar(SB_VERT, show);
    if (horizontal)
        OnEngineShowScrollBar(SB_HORZ, show);
}

void CRichEditUI::OnEngineScrollRange(int bar, int span)
{
    CScrollBarUI* target = BarFor(bar);
    if (!target)
        return;
    bool show = span > 0;
    if (show)
        target->SetScrollRange(span);
    if (target->IsVisible() == show)
        return;
    target->SetVisible(show);
    BarVisibilityChanged();
}

void CRichEditUI::OnEngineScrollPos(int bar, int pos)
{
    CScrollBarUI* target = BarFor(bar);
    if (target)
        target->SetScrollPos(pos);
}

void CRichEditUI::OnEngineNotify(DWORD code, void* data)
{
    if (code == EN_CHANGE) {
        if (manager_)
            manager_->EmitNotify(this, L"textchanged");
        return;
    }
    HWND window = manager_ ? manager_->GetPaintWindow() : nullptr;
    if (!window || !data || !IsForwardedNotification(code))
        return;
    // The engine leaves the header to its host: fill it as a child control would.
    NMHDR* header = static_cast<NMHDR*>(data);
    header->hwndFrom = window;
    header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
    header->code = code;
    SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(data));
}

} // namespace SkinUI
