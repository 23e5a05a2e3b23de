#include "ui/controls/button.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/render_kit.h"
#include "ui/core/attribute_table.h"
#include "ui/core/ui_manager.h"

#include <oleacc.h>

#include <string.h>

namespace SkinUI {

namespace {

const int kOpaque = 255;
const int kFrames = 5;

bool IsMouseEvent(int type)
{
    return type > UIEVENT__MOUSEBEGIN && type < UIEVENT__MOUSEEND;
}

RECT BorderSizeValue(const wchar_t* value)
{
    if (wcschr(value, L','))
        return ParseRectValue(value);
    int size = ParseIntValue(value);
    return RECT{size, size, size, size};
}

} // namespace

CButtonUI::CButtonUI()
{
    textStyle_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

const wchar_t* CButtonUI::GetClass() const
{
    return L"Button";
}

void* CButtonUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"Button") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const
{
    UINT flags = 0;
    if (IsEnabled())
        flags |= UIFLAG_SETCURSOR;
    if (IsKeyboardEnabled())
        flags |= UIFLAG_TABSTOP;
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (manager_)
        manager_->EmitNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (!enabled)
        state_ = 0;
}

// The image loads at the first paint.
void CButtonUI::SetImage(TImageSpec& spec, const wchar_t* text)
{
    if (spec.sText == (text ? text : L"") && spec.pImage)
        return;
    spec.Reset();
    spec.sText = text;
    Invalidate();
}

void CButtonUI::SetNormalImage(const wchar_t* text)
{
    SetImage(normalImage_, text);
}

void CButtonUI::SetHotImage(const wchar_t* text)
{
    SetImage(hotImage_, text);
}

void CButtonUI::SetHotForeImage(const wchar_t* text)
{
    SetImage(hotForeImage_, text);
}

void CButtonUI::SetPushedImage(const wchar_t* text)
{
    SetImage(pushedImage_, text);
}

void CButtonUI::SetPushedForeImage(const wchar_t* text)
{
    SetImage(pushedForeImage_, text);
}

void CButtonUI::SetFocusedImage(const wchar_t* text)
{
    SetImage(focusedImage_, text);
}

void CButtonUI::SetDisabledImage(const wchar_t* text)
{
    SetImage(disabledImage_, text);
}

// Five equal frames side by side: normal, pushed, hot, focused, disabled.
void CButtonUI::SetFiveStatusImage(const wchar_t* text)
{
    TImageSpec* frames[kFrames] = {&normalImage_, &pushedImage_, &hotImage_, &focusedImage_, &disabledImage_};
    for (TImageSpec* spec : frames) {
        spec->Reset();
        spec->sText = text;
        DrawImage(nullptr, *spec);
    }
    if (normalImage_.pImage) {
        int width = normalImage_.pImage->LayoutWidth() / kFrames;
        int height = normalImage_.pImage->LayoutHeight();
        for (int i = 0; i < kFrames; ++i) {
            if (frames[i]->pImage)
                frames[i]->rcSource = RECT{i * width, 0, (i + 1) * width, height};
        }
        if (floating_ && fixedWidth_ == 0 && fixedHeight_ == 0) {
            SetFixedWidth(width);
            SetFixedHeight(height);
        }
    }
    Invalidate();
}

void CButtonUI::SetFadeAlphaDelta(BYTE delta)
{
    fadeDelta_ = delta;
}

void CButtonUI::SetHotBorderColor(DWORD color)
{
    if (hotBorderColor_ == color)
        return;
    hotBorderColor_ = color;
    Invalidate();
}

void CButtonUI::SetPushedBorderColor(DWORD color)
{
    if (pushedBorderColor_ == color)
        return;
    pushedBorderColor_ = color;
    Invalidate();
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    static const TAttributeRow<CButtonUI> kAttributes[] = {
        {L"normalimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.normalImage_, v); }},
        {L"hotimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.hotImage_, v); }},
        {L"pushedimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.pushedImage_, v); }},
        {L"focusedimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.focusedImage_, v); }},
        {L"disabledimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.disabledImage_, v); }},
        {L"hotforeimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.hotForeImage_, v); }},
        // The base's fore image, set the button's way.
        {L"foreimage", [](CButtonUI& b, const wchar_t* v) { b.SetImage(b.foreImage_, v); }},
        {L"fivestatusimage", [](CButtonUI& b, const wchar_t* v) { b.SetFiveStatusImage(v); }},
        {L"fadedelta",
            [](CButtonUI& b, const wchar_t* v) { b.SetFadeAlphaDelta(static_cast<BYTE>(ParseIntValue(v))); }},
        {L"hotbkcolor", [](CButtonUI& b, const wchar_t* v) { b.SetHotBkColor(ParseColorValue(v)); }},
        {L"hottextcolor", [](CButtonUI& b, const wchar_t* v) { b.SetHotTextColor(ParseColorValue(v)); }},
        {L"pushedtextcolor", [](CButtonUI& b, const wchar_t* v) { b.SetPushedTextColor(ParseColorValue(v)); }},
        {L"focusedtextcolor", [](CButtonUI& b, const wchar_t* v) { b.SetFocusedTextColor(ParseColorValue(v)); }},
        {L"hotbordercolor", [](CButtonUI& b, const wchar_t* v) { b.SetHotBorderColor(ParseColorValue(v)); }},
        {L"pushedbordercolor", [](CButtonUI& b, const wchar_t* v) { b.SetPushedBorderColor(ParseColorValue(v)); }},
        // Stored directly, without a repaint: they show at the next state change.
        {L"hotbordersize", [](CButtonUI& b, const wchar_t* v) { b.hotBorderSize_ = BorderSizeValue(v); }},
        {L"pushedbordersize", [](CButtonUI& b, const wchar_t* v) { b.pushedBorderSize_ = BorderSizeValue(v); }},
    };
    if (!ApplyAttributeRow(kAttributes, *this, name, value))
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::SyncState()
{
    if (IsFocused())
        state_ |= kFocused;
    else
        state_ &= ~kFocused;
    if (IsEnabled())
        state_ &= ~kDisabled;
    else
        state_ |= kDisabled;
}

// Draws with the given opacity in place of the image's own fade.
bool CButtonUI::DrawFaded(HDC hDC, TImageSpec& spec, int fade)
{
    if (!spec.pImage && !DrawImage(nullptr, spec))
        return false;
    BYTE own = spec.uFade;
    spec.uFade = static_cast<BYTE>(fade);
    bool drawn = DrawImage(hDC, spec);
    spec.uFade = own;
    return drawn;
}

void CButtonUI::DrawNormal(HDC hDC)
{
    if (!IsFading()) {
        DrawImage(hDC, normalImage_);
    } else if (fadeAlpha_ < kOpaque) {
        DrawFaded(hDC, hotImage_, kOpaque - fadeAlpha_);
        DrawFaded(hDC, normalImage_, fadeAlpha_);
    } else {
        DrawFaded(hDC, normalImage_, kOpaque);
    }
}

void CButtonUI::DrawFore(HDC hDC, TImageSpec* preferred)
{
    if (preferred && DrawImage(hDC, *preferred))
        return;
    DrawImage(hDC, foreImage_);
}

void CButtonUI::PaintStatusImage(HDC hDC)
{
    SyncState();
    if (state_ & kDisabled) {
        if (!DrawImage(hDC, disabledImage_))
            DrawNormal(hDC);
        DrawFore(hDC, nullptr);
        return;
    }
    if (state_ & kPushed) {
        if (!DrawImage(hDC, pushedImage_))
            DrawImage(hDC, normalImage_);
        DrawFore(hDC, &pushedForeImage_);
        return;
    }
    if (state_ & kHot) {
        PaintHot(hDC);
        DrawFore(hDC, &hotForeImage_);
        return;
    }
    if ((state_ & kFocused) && DrawImage(hDC, focusedImage_)) {
        DrawFore(hDC, nullptr);
        return;
    }
    DrawNormal(hDC);
    DrawFore(hDC, nullptr);
}

void CButtonUI::PaintHot(HDC hDC)
{
    if (hotBkColor_ != 0)
        CRenderKit::DrawColor(hDC, paintRect_, GetAdjustColor(hotBkColor_));
    if (!IsFading()) {
        if (!DrawImage(hDC, hotImage_))
            DrawImage(hDC, normalImage_);
        return;
    }
    if (fadeAlpha_ == 0) {
        DrawFaded(hDC, hotImage_, kOpaque);
        return;
    }
    DrawFaded(hDC, normalImage_, fadeAlpha_);
    DrawFaded(hDC, hotImage_, kOpaque - fadeAlpha_);
}

void CButtonUI::PaintText(HDC hDC)
{
    SyncState();
    ResolveTextColors();
    if (text_.IsEmpty())
        return;
    RECT rect = pos_;
    const RECT textPadding = GetTextPadding();
    rect.left += textPadding.left;
    rect.top += textPadding.top;
    rect.right -= textPadding.right;
    rect.bottom -= textPadding.bottom;
    DWORD color = IsEnabled() ? textColor_ : disabledTextColor_;
    if ((state_ & kPushed) && pushedTextColor_ != 0)
        color = pushedTextColor_;
    else if ((state_ & kHot) && hotTextColor_ != 0)
        color = hotTextColor_;
    else if ((state_ & kFocused) && focusedTextColor_ != 0)
        color = focusedTextColor_;
    DrawLabelText(hDC, rect, color, textStyle_);
}

void CButtonUI::PaintBorder(HDC hDC)
{
    SyncState();
    if ((state_ & kPushed) && pushedBorderColor_ != 0)
        DrawStateBorder(hDC, pushedBorderColor_, Scaled(pushedBorderSize_));
    else if ((state_ & kHot) && !(state_ & kPushed) && hotBorderColor_ != 0)
        DrawStateBorder(hDC, hotBorderColor_, Scaled(hotBorderSize_));
    else
        CLabelUI::PaintBorder(hDC);
}

void CButtonUI::DrawStateBorder(HDC hDC, DWORD color, const RECT& size)
{
    DWORD adjusted = GetAdjustColor(color);
    const RECT& item = pos_;
    const SIZE round = GetBorderRound();
    if (round.cx > 0 || round.cy > 0) {
        CRenderKit::DrawRoundRect(hDC, item, size.left, round.cx, round.cy, adjusted, borderStyle_);
        return;
    }
    if (size.left == size.top && size.left == size.right && size.left == size.bottom) {
        CRenderKit::DrawRect(hDC, item, size.left, adjusted, borderStyle_);
        return;
    }
    if (size.left > 0)
        CRenderKit::DrawLine(hDC, RECT{item.left, item.top, item.left, item.bottom}, size.left, adjusted,
            borderStyle_);
    if (size.top > 0)
        CRenderKit::DrawLine(hDC, RECT{item.left, item.top, item.right, item.top}, size.top, adjusted, borderStyle_);
    if (size.right > 0)
        CRenderKit::DrawLine(hDC, RECT{item.right - 1, item.top, item.right - 1, item.bottom}, size.right, adjusted,
            borderStyle_);
    if (size.bottom > 0)
        CRenderKit::DrawLine(hDC, RECT{item.left, item.bottom - 1, item.right, item.bottom - 1}, size.bottom,
            adjusted, borderStyle_);
}

void CButtonUI::DoEvent(TUIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (parent_)
            parent_->DoEvent(event);
        else
            CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && IsEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (PtInRect(&pos_, event.ptMouse) && IsEnabled()) {
            state_ |= kPushed | kCaptured;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        OnMouseMove(event);
        return;
    case UIEVENT_BUTTONUP:
        OnButtonUp(event);
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed() && IsEnabled() && manager_)
            manager_->EmitNotify(this, L"menu", event.wParam, event.lParam);
        return;
    case UIEVENT_MOUSEENTER:
        OnMouseEnter(event);
        return;
    case UIEVENT_MOUSELEAVE:
        OnMouseLeave(event);
        return;
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return;
    case UIEVENT_TIMER:
        if (event.wParam == static_cast<WPARAM>(kFadeTimerId)) {
            OnFadeTimer();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::OnMouseMove(const TUIEvent& event)
{
    if (!(state_ & kCaptured))
        return;
    if (PtInRect(&pos_, event.ptMouse))
        state_ |= kPushed;
    else
        state_ &= ~kPushed;
    Invalidate();
}

// The state is cleared before "click" goes out: a listener may close the
// window or change the button.
void CButtonUI::OnButtonUp(const TUIEvent& event)
{
    if (!(state_ & kCaptured))
        return;
    bool activate = PtInRect(&pos_, event.ptMouse) && IsEnabled();
    state_ &= ~(kPushed | kCaptured);
    Invalidate();
    if (activate)
        Activate();
}

void CButtonUI::OnMouseEnter(const TUIEvent& event)
{
    if (PtInRect(&pos_, event.ptMouse) && IsEnabled() && !(state_ & kHot)) {
        state_ |= kHot;
        Invalidate();
    }
    StartFade();
}

void CButtonUI::OnMouseLeave(const TUIEvent& event)
{
    if (PtInRect(&pos_, event.ptMouse)) {
        if (manager_)
            manager_->AddMouseLeaveNeeded(this);
        return;
    }
    if (IsEnabled() && (state_ & kHot)) {
        state_ &= ~kHot;
        Invalidate();
    }
    if (manager_)
        manager_->RemoveMouseLeaveNeeded(this);
    StartFade();
}

void CButtonUI::StartFade()
{
    if (IsFading() && manager_)
        manager_->StartTimer(this, kFadeTimerId, kFadeElapse);
}

// One step toward the hot image while hot, back toward the normal one
// otherwise; the step is computed in int so that it ends at 0 or 255.
void CButtonUI::OnFadeTimer()
{
    bool ended;
    if (state_ & kHot) {
        fadeAlpha_ -= fadeDelta_;
        ended = fadeAlpha_ <= 0;
        if (ended)
            fadeAlpha_ = 0;
    } else {
        fadeAlpha_ += fadeDelta_;
        ended = fadeAlpha_ >= kOpaque;
        if (ended)
            fadeAlpha_ = kOpaque;
    }
    Invalidate();
    if ((ended || fadeDelta_ == 0) && manager_)
        manager_->StopTimer(this, kFadeTimerId);
}

DWORD CButtonUI::ClassAccessibleRole() const
{
    return ROLE_SYSTEM_PUSHBUTTON;
}

CUIString CButtonUI::GetAccessibleDefaultAction() const
{
    return L"Press";
}

// The click goes out from the message loop, not inside the screen reader's
// call: a handler may run a modal box, and the reader would wait for it.
bool CButtonUI::DoAccessibleDefaultAction()
{
    if (!manager_ || !IsVisible() || !IsEnabledWithAncestors())
        return false;
    manager_->EmitNotify(this, L"click", 0, 0, true);
    return true;
}

} // namespace SkinUI
