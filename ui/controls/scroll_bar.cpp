#include "ui/controls/scroll_bar.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/container.h"
#include "ui/core/attribute_table.h"
#include "ui/core/ui_manager.h"

#include <limits.h>
#include <string.h>

namespace SkinUI {

namespace {

const UINT kStateHot = 0x08;
const UINT kStatePushed = 0x10;
const UINT kStateCaptured = 0x40;

int ClampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool IsMouseEvent(int type)
{
    return type > UIEVENT__MOUSEBEGIN && type < UIEVENT__MOUSEEND;
}

// The attribute suffixes of the four image states, in ImageState order.
const wchar_t* const kStateSuffixes[] = {L"normalimage", L"hotimage", L"pushedimage", L"disabledimage"};

} // namespace

CScrollBarUI::CScrollBarUI()
{
    fixedWidth_ = kDefaultThickness;
}

const wchar_t* CScrollBarUI::GetClass() const
{
    return L"ScrollBar";
}

void* CScrollBarUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"ScrollBar") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

// The owner's scroll processing re-lays out; the bar only keeps the flag.
void CScrollBarUI::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    focused_ = false;
}

void CScrollBarUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (enabled)
        return;
    button1_.state = 0;
    button2_.state = 0;
    thumb_.state = 0;
}

void CScrollBarUI::SetFocus()
{
    if (owner_) {
        owner_->SetFocus();
        return;
    }
    CControlUI::SetFocus();
}

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (horizontal_ == horizontal)
        return;
    horizontal_ = horizontal;
    if (horizontal_ && fixedHeight_ == 0) {
        fixedWidth_ = 0;
        fixedHeight_ = kDefaultThickness;
    } else if (!horizontal_ && fixedWidth_ == 0) {
        fixedHeight_ = 0;
        fixedWidth_ = kDefaultThickness;
    }
    if (owner_)
        owner_->NeedUpdate();
    else
        NeedParentUpdate();
}

void CScrollBarUI::SetScrollRange(int range)
{
    if (range_ == range)
        return;
    range_ = range < 0 ? 0 : range;
    if (position_ > range_)
        position_ = range_;
    PlaceParts(pos_);
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int position, bool notify)
{
    if (position_ == position)
        return;
    long long wanted = position < 0 ? 0 : position;
    if (scrollUnit_ > 1) {
        long long remainder = wanted % scrollUnit_;
        if (remainder < scrollUnit_ / 2)
            wanted -= remainder;
        else
            wanted += scrollUnit_ - remainder;
    }
    if (wanted > range_)
        wanted = range_;
    int old = position_;
    position_ = static_cast<int>(wanted);
    PlaceParts(pos_);
    Invalidate();
    if (notify && manager_ && position_ != old)
        manager_->EmitNotify(this, L"scroll", static_cast<WPARAM>(position_), static_cast<LPARAM>(old), true, false);
}

void CScrollBarUI::SetLineSize(int size)
{
    if (size >= 0)
        lineSize_ = size;
}

void CScrollBarUI::SetScrollUnit(int unit)
{
    scrollUnit_ = unit;
}

void CScrollBarUI::SetShowButton1(bool show)
{
    showButton1_ = show;
}

void CScrollBarUI::SetShowButton2(bool show)
{
    showButton2_ = show;
}

void CScrollBarUI::SetButton1Color(DWORD color)
{
    button1_.color = color;
    Invalidate();
}

void CScrollBarUI::SetButton2Color(DWORD color)
{
    button2_.color = color;
    Invalidate();
}

void CScrollBarUI::SetThumbColor(DWORD color)
{
    thumb_.color = color;
    Invalidate();
}

bool CScrollBarUI::SetPartImage(TImageSpec* images, ImageState state, const wchar_t* text)
{
    if (state < kNormal || state >= kImageStates)
        return false;
    SetImageText(images[state], text);
    return true;
}

void CScrollBarUI::SetTrackImage(ImageState state, const wchar_t* text)
{
    SetPartImage(trackImages_, state, text);
}

void CScrollBarUI::SetButton1Image(ImageState state, const wchar_t* text)
{
    SetPartImage(button1_.images, state, text);
}

void CScrollBarUI::SetButton2Image(ImageState state, const wchar_t* text)
{
    SetPartImage(button2_.images, state, text);
}

void CScrollBarUI::SetThumbImage(ImageState state, const wchar_t* text)
{
    SetPartImage(thumb_.images, state, text);
}

void CScrollBarUI::SetRailImage(ImageState state, const wchar_t* text)
{
    SetPartImage(railImages_, state, text);
}

// Names like "thumbhotimage": a part prefix, then one of the state suffixes.
bool CScrollBarUI::ApplyImageAttribute(const wchar_t* name, const wchar_t* value)
{
    struct Prefix {
        const wchar_t* text;
        TImageSpec* images;
    };
    const Prefix prefixes[] = {{L"button1", button1_.images}, {L"button2", button2_.images},
        {L"thumb", thumb_.images}, {L"rail", railImages_}, {L"bk", trackImages_}};
    for (const Prefix& prefix : prefixes) {
        size_t length = wcslen(prefix.text);
        if (wcsncmp(name, prefix.text, length) != 0)
            continue;
        for (int state = kNormal; state < kImageStates; ++state) {
            if (wcscmp(name + length, kStateSuffixes[state]) == 0)
                return SetPartImage(prefix.images, static_cast<ImageState>(state), value);
        }
    }
    return false;
}

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    static const TAttributeRow<CScrollBarUI> kAttributes[] = {
        {L"button1color", [](CScrollBarUI& s, const wchar_t* v) { s.SetButton1Color(ParseColorValue(v, true)); }},
        {L"button2color", [](CScrollBarUI& s, const wchar_t* v) { s.SetButton2Color(ParseColorValue(v, true)); }},
        {L"thumbcolor", [](CScrollBarUI& s, const wchar_t* v) { s.SetThumbColor(ParseColorValue(v, true)); }},
        {L"hor", [](CScrollBarUI& s, const wchar_t* v) { s.SetHorizontal(ParseBoolValue(v)); }},
        {L"linesize", [](CScrollBarUI& s, const wchar_t* v) { s.SetLineSize(ParseIntValue(v)); }},
        {L"range", [](CScrollBarUI& s, const wchar_t* v) { s.SetScrollRange(ParseIntValue(v)); }},
        {L"value", [](CScrollBarUI& s, const wchar_t* v) { s.SetScrollPos(ParseIntValue(v)); }},
        {L"scrollunit", [](CScrollBarUI& s, const wchar_t* v) { s.SetScrollUnit(ParseIntValue(v)); }},
        {L"showbutton1", [](CScrollBarUI& s, const wchar_t* v) { s.SetShowButton1(ParseBoolValue(v)); }},
        {L"showbutton2", [](CScrollBarUI& s, const wchar_t* v) { s.SetShowButton2(ParseBoolValue(v)); }},
    };
    // The part images are named by part and state, not listed one by one.
    if (ApplyAttributeRow(kAttributes, *this, name, value) || ApplyImageAttribute(name, value))
        return;
    CControlUI::SetAttribute(name, value);
}

void CScrollBarUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    PlaceParts(pos_);
}

int CScrollBarUI::Thickness() const
{
    return Scaled(horizontal_ ? fixedHeight_ : fixedWidth_);
}

// Length of the thumb on a free track of the given length; 64-bit because
// length times track overflows int for large ranges.
int CScrollBarUI::ThumbLength(int track) const
{
    int extent = horizontal_ ? pos_.right - pos_.left : pos_.bottom - pos_.top;
    long long share = static_cast<long long>(extent) * track / (static_cast<long long>(extent) + range_);
    return share > Thickness() ? static_cast<int>(share) : Thickness();
}

// Lays the parts out along the bar's axis: coordinates along the track are
// "start"/"end", across it "side" (left or top) plus the thickness.
void CScrollBarUI::PlaceParts(const RECT& rect)
{
    int t = Thickness();
    int start = horizontal_ ? rect.left : rect.top;
    int end = horizontal_ ? rect.right : rect.bottom;
    int side = horizontal_ ? rect.top : rect.left;
    int extent = end - start;
    int track = extent - (showButton1_ ? t : 0) - (showButton2_ ? t : 0);
    bool room = t < track;
    if (!room)
        t = t < extent / 2 ? t : extent / 2;

    int button1End = showButton1_ ? start + t : start;
    int button2Start = showButton2_ ? end - t : end;
    auto span = [&](int from, int to, int across) {
        return horizontal_ ? RECT{from, side, to, side + across} : RECT{side, from, side + across, to};
    };
    button1_.rect = span(start, button1End, showButton1_ ? t : 0);
    button2_.rect = span(button2Start, end, showButton2_ ? t : 0);
    if (!room) {
        thumb_.rect = RECT{0, 0, 0, 0};
        return;
    }
    if (range_ == 0) {
        thumb_.rect = span(button1End, button2Start, t);
        return;
    }
    int length = ThumbLength(track);
    long long offset = static_cast<long long>(track - length) * position_ / range_;
    int thumbStart = ClampToInt(button1End + offset);
    int thumbEnd = ClampToInt(static_cast<long long>(thumbStart) + length);
    if (thumbEnd > button2Start) {
        thumbEnd = button2Start;
        thumbStart = thumbEnd - length;
    }
    thumb_.rect = span(thumbStart, thumbEnd, t);
}

void CScrollBarUI::ScrollTo(int position)
{
    if (!owner_) {
        SetScrollPos(position, true);
        return;
    }
    SIZE current = owner_->GetScrollPos();
    if (horizontal_)
        current.cx = position;
    else
        current.cy = position;
    owner_->SetScrollPos(current);
}

int CScrollBarUI::LineStep() const
{
    return scrollUnit_ > 1 ? scrollUnit_ : lineSize_;
}

int CScrollBarUI::PageStep() const
{
    return horizontal_ ? pos_.right - pos_.left : pos_.bottom - pos_.top;
}

void CScrollBarUI::LineBack()
{
    if (owner_) {
        horizontal_ ? owner_->LineLeft() : owner_->LineUp();
        return;
    }
    SetScrollPos(ClampToInt(static_cast<long long>(position_) - LineStep()), true);
}

void CScrollBarUI::LineForward()
{
    if (owner_) {
        horizontal_ ? owner_->LineRight() : owner_->LineDown();
        return;
    }
    SetScrollPos(ClampToInt(static_cast<long long>(position_) + LineStep()), true);
}

void CScrollBarUI::PageBack()
{
    if (owner_) {
        horizontal_ ? owner_->PageLeft() : owner_->PageUp();
        return;
    }
    SetScrollPos(ClampToInt(static_cast<long long>(position_) - PageStep()), true);
}

void CScrollBarUI::PageForward()
{
    if (owner_) {
        horizontal_ ? owner_->PageRight() : owner_->PageDown();
        return;
    }
    SetScrollPos(ClampToInt(static_cast<long long>(position_) + PageStep()), true);
}

// A page toward the point along the track; nothing on the thumb itself.
void CScrollBarUI::PageToward(POINT point)
{
    int along = horizontal_ ? point.x : point.y;
    int thumbStart = horizontal_ ? thumb_.rect.left : thumb_.rect.top;
    int thumbEnd = horizontal_ ? thumb_.rect.right : thumb_.rect.bottom;
    if (along < thumbStart)
        PageBack();
    else if (along >= thumbEnd)
        PageForward();
}

void CScrollBarUI::DoEvent(TUIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        PassOn(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled())
            OnButtonDown(event);
        return;
    case UIEVENT_MOUSEMOVE:
        OnMouseMove(event);
        return;
    case UIEVENT_BUTTONUP:
        OnButtonUp();
        return;
    case UIEVENT_TIMER:
        if (event.wParam == static_cast<WPARAM>(kRepeatTimerId)) {
            OnRepeatTimer();
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        OnMouseEnter(event);
        break;
    case UIEVENT_MOUSELEAVE:
        if (!OnMouseLeave(event))
            return;
        break;
    default:
        break;
    }
    PassOn(event);
}

void CScrollBarUI::PassOn(TUIEvent& event)
{
    if (owner_)
        owner_->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

void CScrollBarUI::OnButtonDown(const TUIEvent& event)
{
    dragOffset_ = 0;
    repeatCount_ = 0;
    if (manager_)
        manager_->StartTimer(this, kRepeatTimerId, kRepeatElapse);
    if (PtInRect(&button1_.rect, event.ptMouse)) {
        button1_.state |= kStatePushed;
        LineBack();
    } else if (PtInRect(&button2_.rect, event.ptMouse)) {
        button2_.state |= kStatePushed;
        LineForward();
    } else if (PtInRect(&thumb_.rect, event.ptMouse)) {
        thumb_.state |= kStatePushed | kStateCaptured;
        dragStart_ = event.ptMouse;
        dragStartPosition_ = position_;
    } else {
        PageToward(event.ptMouse);
    }
    Invalidate();
}

void CScrollBarUI::OnMouseMove(const TUIEvent& event)
{
    if (thumb_.state & kStateCaptured) {
        int track = horizontal_ ? button2_.rect.left - button1_.rect.right : button2_.rect.top - button1_.rect.bottom;
        int length = horizontal_ ? thumb_.rect.right - thumb_.rect.left : thumb_.rect.bottom - thumb_.rect.top;
        int free = track - length;
        if (free == 0)
            return;
        long long moved = horizontal_ ? event.ptMouse.x - dragStart_.x : event.ptMouse.y - dragStart_.y;
        dragOffset_ = ClampToInt(moved * range_ / free);
        return;
    }
    bool over = PtInRect(&thumb_.rect, event.ptMouse) != FALSE;
    if ((thumb_.state & kStateHot) && !over) {
        thumb_.state &= ~kStateHot;
        Invalidate();
    } else if (IsEnabled() && over && !(thumb_.state & kStateHot)) {
        thumb_.state |= kStateHot;
        Invalidate();
    }
}

void CScrollBarUI::OnButtonUp()
{
    repeatCount_ = 0;
    dragOffset_ = 0;
    if (manager_)
        manager_->StopTimer(this, kRepeatTimerId);
    if (thumb_.state & kStateCaptured)
        thumb_.state &= ~(kStatePushed | kStateCaptured);
    else if (button1_.state & kStatePushed)
        button1_.state &= ~kStatePushed;
    else if (button2_.state & kStatePushed)
        button2_.state &= ~kStatePushed;
    else
        return;
    Invalidate();
}

void CScrollBarUI::OnRepeatTimer()
{
    ++repeatCount_;
    if (thumb_.state & kStateCaptured) {
        long long target = static_cast<long long>(dragStartPosition_) + dragOffset_;
        ScrollTo(target < 0 ? 0 : ClampToInt(target > range_ ? range_ : target));
        Invalidate();
        return;
    }
    if (repeatCount_ <= kRepeatDelayTicks)
        return;
    if (button1_.state & kStatePushed)
        LineBack();
    else if (button2_.state & kStatePushed)
        LineForward();
    else if (manager_)
        PageToward(manager_->GetMousePos());
}

void CScrollBarUI::OnMouseEnter(const TUIEvent& event)
{
    if (!PtInRect(&pos_, event.ptMouse) || !IsEnabled())
        return;
    button1_.state |= kStateHot;
    button2_.state |= kStateHot;
    if (PtInRect(&thumb_.rect, event.ptMouse))
        thumb_.state |= kStateHot;
    Invalidate();
}

// False when the pointer is still over the bar and the event stops here.
bool CScrollBarUI::OnMouseLeave(const TUIEvent& event)
{
    if (PtInRect(&pos_, event.ptMouse)) {
        if (manager_)
            manager_->AddMouseLeaveNeeded(this);
        return false;
    }
    if (IsEnabled()) {
        button1_.state &= ~kStateHot;
        button2_.state &= ~kStateHot;
        thumb_.state &= ~kStateHot;
        Invalidate();
    }
    if (manager_)
        manager_->RemoveMouseLeaveNeeded(this);
    return true;
}

} // namespace SkinUI
