#include "ui/controls/rich_edit.h"

#include <oleacc.h>
#include <oleauto.h>

#include "ui/controls/attribute_value.h"
#include "ui/controls/render_kit.h"
#include "ui/controls/scroll_bar.h"
#include "ui/controls/txt_win_host.h"
#include "ui/core/attribute_table.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

CRichEditUI::CRichEditUI() = default;

// The engine calls back into the control while it is released (timers,
// caret, invalidation), so it goes first, while the control is whole.
CRichEditUI::~CRichEditUI()
{
    if (!host_)
        return;
    if (manager_) {
        manager_->RemoveMessageFilter(this);
        manager_->StopTimer(this, kCaretTimerId);
    }
    host_->Shutdown();
    host_->Release();
    host_ = nullptr;
}

const wchar_t* CRichEditUI::GetClass() const
{
    return L"RichEdit";
}

LPVOID CRichEditUI::GetInterface(const wchar_t* name)
{
    if (name && wcscmp(name, L"RichEdit") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const
{
    if (!IsEnabled())
        return CContainerUI::GetControlFlags();
    UINT flags = UIFLAG_SETCURSOR | UIFLAG_TABSTOP;
    if (wantTab_)
        flags |= UIFLAG_WANTTAB;
    return flags;
}

void CRichEditUI::SetTransparent(bool transparent)
{
    transparent_ = transparent;
    if (host_)
        host_->SetTransparent(transparent);
}

void CRichEditUI::SetRich(bool rich)
{
    rich_ = rich;
    if (host_)
        host_->SetRich(rich);
}

void CRichEditUI::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (readOnly)
        style_ |= kStyleReadOnly;
    else
        style_ &= ~kStyleReadOnly;
    if (host_)
        host_->SetReadOnly(readOnly);
}

void CRichEditUI::SetFont(int index)
{
    font_ = index;
    if (host_)
        host_->SetFont(FontHandle());
}

// The font handle is made again for the new scale: the engine takes it anew.
void CRichEditUI::ScaleChanged()
{
    CContainerUI::ScaleChanged();
    if (host_)
        host_->SetFont(FontHandle());
}

void CRichEditUI::SetTextColor(DWORD color)
{
    textColor_ = color;
    if (host_)
        host_->SetColor(color);
}

void CRichEditUI::SetLimitText(int limit)
{
    textLimit_ = limit;
    if (host_)
        host_->SetMaxLength(limit);
}

// The engine's view depends on the padding, so it needs a new layout, not
// only a repaint.
void CRichEditUI::SetTextPadding(RECT padding)
{
    textPadding_ = padding;
    NeedUpdate();
}

HFONT CRichEditUI::FontHandle() const
{
    if (!manager_)
        return nullptr;
    return font_ >= 0 ? manager_->FontById(font_) : manager_->DefaultFontRecord()->hFont;
}

CUIString CRichEditUI::GetText() const
{
    ITextServices* services = host_ ? host_->GetTextServices() : nullptr;
    if (!services)
        return CUIString();
    BSTR text = nullptr;
    if (FAILED(services->TxGetText(&text)) || !text)
        return CUIString();
    CUIString result(text, static_cast<int>(SysStringLen(text)));
    SysFreeString(text);
    return result;
}

void CRichEditUI::SetText(const wchar_t* text)
{
    text_ = text;
    if (!host_)
        return;
    CHARRANGE all = {0, -1};
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all), nullptr);
    TxSendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text_.GetData()), nullptr);
}

void CRichEditUI::AppendText(const wchar_t* text)
{
    text_ += text;
    if (!host_)
        return;
    CHARRANGE selection = {0, 0};
    POINT view = {0, 0};
    TxSendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection), nullptr);
    TxSendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view), nullptr);
    GETTEXTLENGTHEX measure = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT length = 0;
    TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0, &length);
    CHARRANGE end = {static_cast<LONG>(length), static_cast<LONG>(length)};
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end), nullptr);
    TxSendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text), nullptr);
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection), nullptr);
    TxSendMessage(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view), nullptr);
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    // The style words only ever switch a style on, except multiline, which
    // only "false" switches off.
    static const TAttributeRow<CRichEditUI> kAttributes[] = {
        // The bar attributes reach the container as well, which makes the bars.
        {L"vscrollbar",
            [](CRichEditUI& r, const wchar_t* v) {
                if (ParseBoolValue(v))
                    r.style_ |= kStyleVScrollBar | kStyleKeepDisabledScroll;
                r.CContainerUI::SetAttribute(L"vscrollbar", v);
            }},
        {L"hscrollbar",
            [](CRichEditUI& r, const wchar_t* v) {
                if (ParseBoolValue(v))
                    r.style_ |= kStyleHScrollBar | kStyleKeepDisabledScroll;
                r.CContainerUI::SetAttribute(L"hscrollbar", v);
            }},
        {L"autovscroll", [](CRichEditUI& r, const wchar_t* v) { r.SwitchStyleOn(v, kStyleAutoVScroll); }},
        {L"autohscroll", [](CRichEditUI& r, const wchar_t* v) { r.SwitchStyleOn(v, kStyleAutoHScroll); }},
        {L"multiline",
            [](CRichEditUI& r, const wchar_t* v) {
                if (wcscmp(v, L"false") == 0)
                    r.style_ &= ~kStyleMultiLine;
            }},
        {L"readonly",
            [](CRichEditUI& r, const wchar_t* v) {
                if (ParseBoolValue(v))
                    r.SetReadOnly(true);
            }},
        {L"password", [](CRichEditUI& r, const wchar_t* v) { r.SwitchStyleOn(v, kStylePassword); }},
        {L"align", [](CRichEditUI& r, const wchar_t* v) { r.SetAlignWords(v); }},
        {L"wanttab", [](CRichEditUI& r, const wchar_t* v) { r.SetWantTab(ParseBoolValue(v)); }},
        {L"wantreturn", [](CRichEditUI& r, const wchar_t* v) { r.SetWantReturn(ParseBoolValue(v)); }},
        {L"wantctrlreturn", [](CRichEditUI& r, const wchar_t* v) { r.SetWantCtrlReturn(ParseBoolValue(v)); }},
        {L"transparent", [](CRichEditUI& r, const wchar_t* v) { r.SetTransparent(ParseBoolValue(v)); }},
        {L"rich", [](CRichEditUI& r, const wchar_t* v) { r.SetRich(ParseBoolValue(v)); }},
        {L"font", [](CRichEditUI& r, const wchar_t* v) { r.SetFont(ParseIntValue(v)); }},
        {L"textcolor", [](CRichEditUI& r, const wchar_t* v) { r.SetTextColor(ParseColorValue(v, true)); }},
        {L"textpadding", [](CRichEditUI& r, const wchar_t* v) { r.SetTextPadding(ParseRectValue(v)); }},
    };
    if (!name || !value)
        return;
    if (!ApplyAttributeRow(kAttributes, *this, name, value))
        CContainerUI::SetAttribute(name, value);
}

void CRichEditUI::SwitchStyleOn(const wchar_t* value, DWORD style)
{
    if (ParseBoolValue(value))
        style_ |= style;
}

// Every word found counts, in the order left, center, right.
void CRichEditUI::SetAlignWords(const wchar_t* value)
{
    if (wcsstr(value, L"left"))
        style_ &= ~(kStyleCenter | kStyleRight);
    if (wcsstr(value, L"center"))
        style_ = (style_ & ~kStyleRight) | kStyleCenter;
    if (wcsstr(value, L"right"))
        style_ = (style_ & ~kStyleCenter) | kStyleRight;
}

void CRichEditUI::SetPos(RECT rc, bool invalidate)
{
    CControlUI::SetPos(rc, invalidate);
    bool verticalWasShown = IsBarShown(verticalScrollBar_);
    bool horizontalWasShown = IsBarShown(horizontalScrollBar_);
    RECT view = ContentRect();
    if (host_) {
        const RECT textPadding = GetTextPadding();
        RECT client = {view.left + textPadding.left, view.top + textPadding.top, view.right - textPadding.right,
            view.bottom - textPadding.bottom};
        layingOut_ = true;
        host_->SetClientRect(client);
        FixVerticalBar(verticalWasShown);
        layingOut_ = false;
        // A bar that came or went changes the view: lay out again, a bounded
        // number of times, so that a bar toggling at the boundary cannot loop.
        if ((IsBarShown(verticalScrollBar_) != verticalWasShown ||
                IsBarShown(horizontalScrollBar_) != horizontalWasShown) &&
            scrollRelayoutDepth_ < kMaxScrollRelayout) {
            Relayout(invalidate);
            return;
        }
        view = ContentRect();
    }
    if (IsBarShown(verticalScrollBar_))
        verticalScrollBar_->SetPos({view.right, view.top, view.right + verticalScrollBar_->GetFixedWidth(),
            view.bottom}, invalidate);
    if (IsBarShown(horizontalScrollBar_))
        horizontalScrollBar_->SetPos({view.left, view.bottom, view.right,
            view.bottom + horizontalScrollBar_->GetFixedHeight()}, invalidate);
    FillWithChildren(view);
}

// An engine that does not report its range when the view changes would
// leave a text taller than the view without a bar; measure it ourselves.
// A bar we show already keeps its position, which the engine shares.
void CRichEditUI::FixVerticalBar(bool barWasShown)
{
    CScrollBarUI* bar = verticalScrollBar_;
    if (!bar)
        return;
    bool hiddenNow = barWasShown && !bar->IsVisible();
    bool ourBar = bar->IsVisible() && scrollBarFixing_;
    if (!hiddenNow && !ourBar)
        return;
    const RECT& client = host_->GetClientRect();
    int clientHeight = client.bottom - client.top;
    int height = host_->GetNaturalHeight(client.right - client.left + bar->GetFixedWidth());
    if (height > clientHeight) {
        if (hiddenNow) {
            bar->SetVisible(true);
            bar->SetScrollPos(0);
        }
        if (bar->GetScrollRange() <= 0)
            bar->SetScrollRange(height - clientHeight);
        scrollBarFixing_ = true;
    } else if (scrollBarFixing_) {
        bar->SetVisible(false);
        scrollBarFixing_ = false;
    }
}

bool CRichEditUI::TextFitsWithoutBar()
{
    if (!host_ || !verticalScrollBar_)
        return true;
    const RECT& client = host_->GetClientRect();
    int width = client.right - client.left;
    if (IsBarShown(verticalScrollBar_))
        width += verticalScrollBar_->GetFixedWidth();
    return host_->GetNaturalHeight(width) <= client.bottom - client.top;
}

bool CRichEditUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    RECT area;
    if (!IntersectRect(&area, &rcPaint, &pos_))
        return true;
    CRenderClip clip;
    CRenderKit::GenerateClip(hDC, area, clip);
    CControlUI::DoPaint(hDC, rcPaint, stop);
    PaintEngine(hDC, area);
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child == stop)
            return false;
        RECT overlap;
        if (child->IsVisible() && IntersectRect(&overlap, &rcPaint, &child->GetPos()) &&
            !child->Paint(hDC, rcPaint, stop))
            return false;
    }
    PaintCaret(hDC);
    for (CScrollBarUI* bar : {verticalScrollBar_, horizontalScrollBar_}) {
        if (!bar)
            continue;
        if (bar == stop)
            return false;
        RECT overlap;
        if (bar->IsVisible() && IntersectRect(&overlap, &rcPaint, &bar->GetPos()) &&
            !bar->Paint(hDC, rcPaint, stop))
            return false;
    }
    return true;
}

// The engine draws into the paint surface within its view only, so text
// scrolled past the edges never reaches the decoration or the neighbours.
void CRichEditUI::PaintEngine(HDC hDC, const RECT& area)
{
    ITextServices* services = host_ ? host_->GetTextServices() : nullptr;
    if (!services)
        return;
    const RECT& client = host_->GetClientRect();
    RECT update;
    if (IntersectRect(&update, &area, &client)) {
        CRenderClip clip;
        CRenderKit::GenerateClip(hDC, update, clip);
        RECTL bounds = {client.left, client.top, client.right, client.bottom};
        services->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr, &bounds, nullptr, &update, nullptr,
            0, TXTVIEW_ACTIVE);
    }
    if (scrollBarFixing_ && TextFitsWithoutBar())
        NeedUpdate();
}

void CRichEditUI::PaintCaret(HDC hDC)
{
    if (!host_ || !manager_ || !manager_->IsLayered())
        return;
    if (!IsFocused() || !host_->IsCaretShown() || !caretBlinkShown_)
        return;
    RECT caret = host_->GetCaretRect();
    CRenderKit::DrawColor(hDC, caret, 0xFF000000);
}

void CRichEditUI::DoInit()
{
    if (created_)
        return;
    created_ = true;
    TTxtHostSetup setup;
    setup.style = style_;
    setup.textLimit = textLimit_;
    setup.rich = rich_;
    setup.transparent = transparent_;
    setup.font = FontHandle();
    setup.textColor = textColor_;
    setup.text = text_.GetData();
    host_ = CTxtWinHost::Create(this, setup);
    if (!host_)
        return;
    host_->SetTransparent(transparent_);
    TxSendMessage(EM_SETLANGOPTIONS, 0, 0, nullptr);
    // The engine reports content changes only when asked to.
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE, nullptr);
    host_->Activate();
    if (!manager_)
        return;
    manager_->AddMessageFilter(this);
    if (manager_->IsLayered())
        manager_->StartTimer(this, kCaretTimerId, GetCaretBlinkTime());
}

void CRichEditUI::OnFocusChange(bool focused)
{
    if (host_) {
        host_->Activate();
        TxSendMessage(focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, nullptr);
    }
    focused_ = focused;
    Invalidate();
}

void CRichEditUI::OnCaretTimer()
{
    if (!host_ || !IsFocused())
        return;
    if (::GetFocus() != manager_->GetPaintWindow())
        return;
    caretBlinkShown_ = !caretBlinkShown_;
    RECT caret = host_->GetCaretRect();
    for (CControlUI* ancestor = this; ancestor; ancestor = ancestor->GetParent()) {
        if (!IntersectRect(&caret, &caret, &ancestor->GetPos()))
            return;
    }
    manager_->InvalidateArea(caret);
}

void CRichEditUI::DoEvent(TUIEvent& event)
{
    bool mouse = event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND;
    if (mouse && !IsMouseEnabled()) {
        if (parent_)
            parent_->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (IsEnabled() && host_ && host_->DoSetCursor(event.ptMouse))
            return;
        break;
    case UIEVENT_WINDOWSIZE:
        if (host_)
            host_->SetSizeChanged();
        return;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        OnFocusChange(event.Type == UIEVENT_SETFOCUS);
        return;
    case UIEVENT_TIMER:
        if (event.wParam == kCaretTimerId && manager_ && manager_->IsLayered())
            OnCaretTimer();
        else
            TxSendMessage(WM_TIMER, event.wParam, event.lParam, nullptr);
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
        return;
    case UIEVENT_SCROLLWHEEL:
        if (GetKeyState(VK_CONTROL) < 0)
            return;
        break;
    default:
        if (event.Type > UIEVENT__KEYBEGIN && event.Type < UIEVENT__KEYEND)
            return;
        break;
    }
    CContainerUI::DoEvent(event);
}

DWORD CRichEditUI::ClassAccessibleRole() const
{
    return ROLE_SYSTEM_TEXT;
}

CUIString CRichEditUI::GetAccessibleName() const
{
    return NameWithoutText();
}

// The engine ends paragraphs with CR alone; readers expect CR LF, as an
// edit control gives.
CUIString CRichEditUI::GetAccessibleValue() const
{
    CUIString text = GetText();
    text.Replace(L"\r\n", L"\r");
    text.Replace(L"\r", L"\r\n");
    return text;
}

DWORD CRichEditUI::GetAccessibleState() const
{
    DWORD state = CContainerUI::GetAccessibleState();
    if (readOnly_)
        state |= STATE_SYSTEM_READONLY;
    return state;
}

} // namespace SkinUI
