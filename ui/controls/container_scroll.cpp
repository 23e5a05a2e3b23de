#include "ui/controls/container.h"

#include "ui/controls/scroll_bar.h"
#include "ui/core/ui_manager.h"

#include <limits.h>

namespace SkinUI {

namespace {

const int kDefaultLine = 8;

bool IsMouseEvent(int type)
{
    return type > UIEVENT__MOUSEBEGIN && type < UIEVENT__MOUSEEND;
}

int AddClamped(int value, int step)
{
    long long sum = static_cast<long long>(value) + step;
    if (sum > INT_MAX)
        return INT_MAX;
    if (sum < INT_MIN)
        return INT_MIN;
    return static_cast<int>(sum);
}

} // namespace

// Position or range, 0 along an axis whose bar is hidden.
SIZE CContainerUI::ShownBarValues(int (CScrollBarUI::*read)() const) const
{
    SIZE values = {0, 0};
    if (IsBarShown(horizontalScrollBar_))
        values.cx = (horizontalScrollBar_->*read)();
    if (IsBarShown(verticalScrollBar_))
        values.cy = (verticalScrollBar_->*read)();
    return values;
}

SIZE CContainerUI::GetScrollPos() const
{
    return ShownBarValues(&CScrollBarUI::GetScrollPos);
}

SIZE CContainerUI::GetScrollRange() const
{
    return ShownBarValues(&CScrollBarUI::GetScrollRange);
}

// What the bar actually moved by after clamping and rounding; 0 when hidden.
int CContainerUI::MoveShownBar(CScrollBarUI* bar, int position)
{
    if (!IsBarShown(bar))
        return 0;
    int old = bar->GetScrollPos();
    bar->SetScrollPos(position);
    return bar->GetScrollPos() - old;
}

// Children move by what the bars accepted; floating children stay where
// they are.
void CContainerUI::SetScrollPos(SIZE position)
{
    int dy = MoveShownBar(verticalScrollBar_, position.cy);
    int dx = MoveShownBar(horizontalScrollBar_, position.cx);
    if (dx == 0 && dy == 0)
        return;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child->IsVisible() && !child->IsFloat())
            child->Move(-dx, -dy, false);
    }
    Invalidate();
}

int CContainerUI::VerticalLine() const
{
    if (verticalScrollBar_ && verticalScrollBar_->GetLineSize() > 1)
        return verticalScrollBar_->GetLineSize();
    if (!manager_)
        return kDefaultLine;
    TFontRecord* font = manager_->DefaultFontRecord();
    return (font ? font->tm.tmHeight : 0) + kDefaultLine;
}

int CContainerUI::HorizontalLine() const
{
    if (horizontalScrollBar_ && horizontalScrollBar_->GetLineSize() > 1)
        return horizontalScrollBar_->GetLineSize();
    return kDefaultLine;
}

int CContainerUI::ClientHeight() const
{
    RECT content = ContentRect();
    return content.bottom - content.top;
}

int CContainerUI::ClientWidth() const
{
    RECT content = ContentRect();
    return content.right - content.left;
}

void CContainerUI::ScrollBy(int dx, int dy)
{
    SIZE position = GetScrollPos();
    position.cx = AddClamped(position.cx, dx);
    position.cy = AddClamped(position.cy, dy);
    SetScrollPos(position);
}

void CContainerUI::LineUp()
{
    ScrollBy(0, -VerticalLine());
}

void CContainerUI::LineDown()
{
    ScrollBy(0, VerticalLine());
}

void CContainerUI::PageUp()
{
    ScrollBy(0, -ClientHeight());
}

void CContainerUI::PageDown()
{
    ScrollBy(0, ClientHeight());
}

void CContainerUI::HomeUp()
{
    SetScrollPos({GetScrollPos().cx, 0});
}

void CContainerUI::EndDown()
{
    SetScrollPos({GetScrollPos().cx, GetScrollRange().cy});
}

void CContainerUI::LineLeft()
{
    ScrollBy(-HorizontalLine(), 0);
}

void CContainerUI::LineRight()
{
    ScrollBy(HorizontalLine(), 0);
}

void CContainerUI::PageLeft()
{
    ScrollBy(-ClientWidth(), 0);
}

void CContainerUI::PageRight()
{
    ScrollBy(ClientWidth(), 0);
}

void CContainerUI::HomeLeft()
{
    SetScrollPos({0, GetScrollPos().cy});
}

void CContainerUI::EndRight()
{
    SetScrollPos({GetScrollRange().cx, GetScrollPos().cy});
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const
{
    return verticalScrollBar_;
}

CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const
{
    return horizontalScrollBar_;
}

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal)
{
    if (enableVertical && !verticalScrollBar_) {
        verticalScrollBar_ = MakeScrollBar(false);
    } else if (!enableVertical && verticalScrollBar_) {
        verticalScrollBar_->Delete();
        verticalScrollBar_ = nullptr;
    }
    if (enableHorizontal && !horizontalScrollBar_) {
        horizontalScrollBar_ = MakeScrollBar(true);
    } else if (!enableHorizontal && horizontalScrollBar_) {
        horizontalScrollBar_->Delete();
        horizontalScrollBar_ = nullptr;
    }
    NeedUpdate();
}

CScrollBarUI* CContainerUI::MakeScrollBar(bool horizontal)
{
    CScrollBarUI* bar = new CScrollBarUI;
    bar->SetVisible(false);
    bar->SetScrollRange(0);
    bar->SetHorizontal(horizontal);
    bar->SetOwner(this);
    if (!manager_)
        return bar;
    manager_->BindControls(bar, nullptr);
    const wchar_t* defaults = manager_->ClassDefaults(horizontal ? L"HScrollBar" : L"VScrollBar");
    if (defaults)
        bar->ApplyAttributeList(defaults);
    return bar;
}

// Lays out again while the bars settle; the flag keeps a bar that has just
// appeared from being hidden by the pass it triggered.
void CContainerUI::RelayoutInScrollProcessing()
{
    bool processing = scrollProcessing_;
    scrollProcessing_ = true;
    Relayout(true);
    scrollProcessing_ = processing;
}

void CContainerUI::ProcessScrollBar(RECT rect, int cxRequired, int cyRequired)
{
    if (verticalScrollBar_ && horizontalScrollBar_)
        ProcessBothBars(rect, cxRequired, cyRequired);
    else if (verticalScrollBar_)
        ProcessVerticalOnly(rect, cyRequired);
    else if (horizontalScrollBar_)
        ProcessHorizontalOnly(rect, cxRequired);
}

// One bar along one axis; "extent" is the client length along it and the
// bar lies in "place". True when the pass must lay out again.
CContainerUI::BarChange CContainerUI::SettleBar(CScrollBarUI* bar, int required, int extent, const RECT& place)
{
    long long excess = static_cast<long long>(required) - extent;
    int scroll = excess > INT_MAX ? INT_MAX : (excess < INT_MIN ? INT_MIN : static_cast<int>(excess));
    if (scroll > 0 && !bar->IsVisible()) {
        bar->SetVisible(true);
        bar->SetScrollRange(scroll);
        bar->SetScrollPos(0);
        return kBarAppeared;
    }
    if (!bar->IsVisible())
        return kBarUnchanged;
    if (scroll <= 0 && !scrollProcessing_) {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
        bar->SetScrollRange(0);
        return kBarWent;
    }
    bar->SetPos(place, true);
    if (bar->GetScrollRange() == scroll)
        return kBarUnchanged;
    int oldPosition = bar->GetScrollPos();
    bar->SetScrollRange(scroll < 0 ? (scroll == INT_MIN ? INT_MAX : -scroll) : scroll);
    if (bar->GetScrollRange() == 0) {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
    }
    return bar->GetScrollPos() < oldPosition ? kBarPositionShrank : kBarRangeChanged;
}

void CContainerUI::ProcessVerticalOnly(RECT rect, int cyRequired)
{
    CScrollBarUI* bar = verticalScrollBar_;
    RECT place = {rect.right, rect.top, rect.right + bar->GetFixedWidth(), rect.bottom};
    BarChange change = SettleBar(bar, cyRequired, rect.bottom - rect.top, place);
    if (change == kBarAppeared)
        RelayoutInScrollProcessing();
    else if (change == kBarWent)
        Relayout(true);
    else if (change == kBarPositionShrank)
        Relayout(false);
}

void CContainerUI::ProcessHorizontalOnly(RECT rect, int cxRequired)
{
    CScrollBarUI* bar = horizontalScrollBar_;
    RECT place = {rect.left, rect.bottom, rect.right, rect.bottom + bar->GetFixedHeight()};
    BarChange change = SettleBar(bar, cxRequired, rect.right - rect.left, place);
    if (change == kBarAppeared)
        RelayoutInScrollProcessing();
    else if (change == kBarWent)
        Relayout(true);
    else if (change == kBarPositionShrank)
        Relayout(false);
}

// The horizontal bar is decided first: showing or hiding it changes the
// height the vertical bar is decided against.
void CContainerUI::ProcessBothBars(RECT rect, int cxRequired, int cyRequired)
{
    CScrollBarUI* horizontal = horizontalScrollBar_;
    CScrollBarUI* vertical = verticalScrollBar_;
    RECT place = {rect.left, rect.bottom, rect.right, rect.bottom + horizontal->GetFixedHeight()};
    BarChange horizontalChange = SettleBar(horizontal, cxRequired, rect.right - rect.left, place);
    if (horizontalChange == kBarAppeared) {
        rect.bottom -= horizontal->GetFixedHeight();
        horizontal->SetPos(RECT{rect.left, rect.bottom, rect.right, rect.bottom + horizontal->GetFixedHeight()}, true);
    } else if (horizontalChange == kBarWent) {
        rect.bottom += horizontal->GetFixedHeight();
    }

    place = RECT{rect.right, rect.top, rect.right + vertical->GetFixedWidth(), rect.bottom};
    BarChange verticalChange = SettleBar(vertical, cyRequired, rect.bottom - rect.top, place);
    if (verticalChange == kBarAppeared || horizontalChange == kBarAppeared)
        RelayoutInScrollProcessing();
    else if (verticalChange == kBarWent || horizontalChange == kBarWent)
        Relayout(true);
    else if (verticalChange == kBarPositionShrank || horizontalChange != kBarUnchanged)
        Relayout(false);
}

void CContainerUI::DoEvent(TUIEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (parent_)
            parent_->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        focused_ = true;
        return;
    case UIEVENT_KILLFOCUS:
        focused_ = false;
        return;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && IsEnabled() && OnKeyDown(event))
            return;
        break;
    case UIEVENT_SCROLLWHEEL:
        if (OnScrollWheel(event))
            return;
        break;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

bool CContainerUI::OnKeyDown(const TUIEvent& event)
{
    bool vertical = IsBarShown(verticalScrollBar_) && verticalScrollBar_->IsEnabled();
    bool horizontal = IsBarShown(horizontalScrollBar_) && horizontalScrollBar_->IsEnabled();
    if (!vertical && !horizontal)
        return false;
    switch (event.chKey) {
    case VK_PRIOR:
        vertical ? PageUp() : PageLeft();
        return true;
    case VK_NEXT:
        vertical ? PageDown() : PageRight();
        return true;
    case VK_END:
        vertical ? EndDown() : EndRight();
        return true;
    case VK_HOME:
        vertical ? HomeUp() : HomeLeft();
        return true;
    case VK_UP:
        vertical ? LineUp() : LineLeft();
        return true;
    case VK_DOWN:
        vertical ? LineDown() : LineRight();
        return true;
    default:
        return false;
    }
}

bool CContainerUI::OnScrollWheel(const TUIEvent& event)
{
    bool down = LOWORD(event.wParam) == 1;
    bool horizontal = IsBarShown(horizontalScrollBar_) && horizontalScrollBar_->IsEnabled();
    bool vertical = IsBarShown(verticalScrollBar_) && verticalScrollBar_->IsEnabled();
    if (horizontal && (PtInRect(&horizontalScrollBar_->GetPos(), event.ptMouse) || !vertical)) {
        down ? LineRight() : LineLeft();
        return true;
    }
    if (vertical) {
        down ? LineDown() : LineUp();
        return true;
    }
    return false;
}

} // namespace SkinUI
