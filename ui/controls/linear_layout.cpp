#include "ui/controls/linear_layout.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/layout_axis.h"
#include "ui/controls/layout_math.h"
#include "ui/controls/scroll_bar.h"
#include "ui/core/attribute_table.h"

#include <string.h>

namespace SkinUI {

namespace {

// Horizontal layout only: a child without a fixed width is not measured in
// the first pass; it stretches, as tall as its fixed height.
bool MeasuredInFirstPass(const TLayoutAxis& axis, const CControlUI& child)
{
    return axis.vertical || axis.FixedMain(child) > 0;
}

// An estimate of 0 along the main axis makes a child stretch. Horizontal
// layout only: a child without a fixed width stretches whatever its estimate.
bool KeepsEstimate(const TLayoutAxis& axis, const CControlUI& child, LONG estimatedMain)
{
    return estimatedMain != 0 && (axis.vertical || axis.FixedMain(child) > 0);
}

// The room a child may take across the layout, inside its own paddings.
int CrossRoom(const TLayoutAxis& axis, SIZE available, const RECT& padding)
{
    return LayoutMath::Clamp(axis.Cross(available) - axis.CrossEdges(padding));
}

// Across the layout a child is as thick as its fixed size, or as the room
// up to its maximum (a maximum of 0 means the room); its estimate is not used.
LONG CrossSize(const TLayoutAxis& axis, const CControlUI& child, int crossLimit, int crossRoom)
{
    int cap = axis.MaxCross(child);
    if (cap == 0)
        cap = crossRoom;
    int size = LayoutMath::Min(crossLimit, cap < 0 ? 0 : cap);
    return size < axis.MinCross(child) ? axis.MinCross(child) : size;
}

} // namespace

CLinearLayoutUI::CLinearLayoutUI(bool vertical, const wchar_t* sizeAttribute)
    : separator_(vertical), vertical_(vertical), sizeAttribute_(sizeAttribute)
{
}

UINT CLinearLayoutUI::GetControlFlags() const
{
    return IsEnabled() && separator_.GetSize() != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CLinearLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    static const TAttributeRow<CLinearLayoutUI> kAttributes[] = {
        {L"sepimm", [](CLinearLayoutUI& l, const wchar_t* v) { l.separator_.SetImmediate(&l, ParseBoolValue(v)); }},
    };
    // The separator's size is named after the layout's own axis, so it has
    // no row: "sepheight" in a vertical layout, "sepwidth" in a horizontal one.
    if (wcscmp(name, sizeAttribute_) == 0)
        return separator_.SetSize(ParseIntValue(value));
    if (!ApplyAttributeRow(kAttributes, *this, name, value))
        CContainerUI::SetAttribute(name, value);
}

void CLinearLayoutUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    RECT area = ContentRect();
    if (items_.IsEmpty()) {
        ProcessScrollBar(area, 0, 0);
        return;
    }
    ArrangeChildren(area, AvailableSize(area));
}

// Sizes are summed in 64 bits: a few children near the coordinate limit
// would overflow int.
void CLinearLayoutUI::ArrangeChildren(const RECT& area, SIZE available)
{
    const TLayoutAxis axis{vertical_};
    // Pass 1: what the fixed children take along the axis, how many stretch
    // into the rest, and the thickest child across.
    const TMainBudget budget = MeasureChildren(axis, available);
    // Pass 2: place them in order; stretching children share what is left,
    // the last one taking the remainder of the division.
    const long long mainNeeded = PlaceChildren(axis, area, available, budget);
    // Last, the bars learn how much content there is.
    const SIZE needed = axis.Make(LayoutMath::Clamp(mainNeeded), LayoutMath::Clamp(budget.crossNeeded));
    ProcessScrollBar(area, needed.cx, needed.cy);
}

CLinearLayoutUI::TMainBudget CLinearLayoutUI::MeasureChildren(const TLayoutAxis& axis, SIZE available) const
{
    TMainBudget budget;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        ++budget.laidOut;
        RECT padding = child->GetPadding();
        SIZE size = axis.Make(0, axis.FixedCross(*child));
        if (MeasuredInFirstPass(axis, *child)) {
            int mainLimit = LayoutMath::Min(
                LayoutMath::FixedOrMax(axis.FixedMain(*child), axis.MaxMain(*child)), axis.Main(available));
            int crossLimit = LayoutMath::Min(LayoutMath::FixedOrMax(axis.FixedCross(*child), axis.MaxCross(*child)),
                CrossRoom(axis, available, padding));
            size = child->EstimateSize(axis.Make(mainLimit, crossLimit));
        }
        LONG main = axis.Main(size);
        if (main == 0)
            ++budget.adjustables;
        else
            main = LayoutMath::Limit(main, axis.MinMain(*child), axis.MaxMain(*child));
        LONG cross = axis.Cross(size);
        cross = LayoutMath::Limit(cross < 0 ? 0 : cross, axis.MinCross(*child), axis.MaxCross(*child));
        long long crossTaken = cross + axis.CrossEdges(padding);
        if (crossTaken > budget.crossNeeded)
            budget.crossNeeded = crossTaken;
        budget.fixed += main + axis.MainEdges(padding);
    }
    if (budget.laidOut > 0)
        budget.fixed += static_cast<long long>(GetChildPadding()) * (budget.laidOut - 1);
    return budget;
}

long long CLinearLayoutUI::PlaceChildren(
    const TLayoutAxis& axis, const RECT& area, SIZE available, const TMainBudget& budget)
{
    const int childPadding = GetChildPadding();
    long long share = 0;
    if (budget.adjustables > 0) {
        share = (axis.Main(available) - budget.fixed) / budget.adjustables;
        if (share < 0)
            share = 0;
    }

    CScrollBarUI* mainBar = MainBar(axis);
    long long cursor = axis.MainStart(area);
    if (IsBarShown(mainBar))
        cursor -= mainBar->GetScrollPos();
    // What is left along the axis, and what the children still to come take
    // at their fixed sizes: the last stretching child gets the difference.
    long long remaining = axis.Main(available);
    long long fixedRemaining = budget.fixed;
    long long mainNeeded = 0;
    int placed = 0;
    int adjustablesSeen = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = FlowChildOrPlaceFloat(i);
        if (!child)
            continue;
        RECT padding = child->GetPadding();
        remaining -= axis.MainStart(padding);
        int crossRoom = CrossRoom(axis, available, padding);
        int mainLimit = LayoutMath::Min(
            LayoutMath::FixedOrMax(axis.FixedMain(*child), axis.MaxMain(*child)), LayoutMath::Clamp(remaining));
        int crossLimit =
            LayoutMath::Min(LayoutMath::FixedOrMax(axis.FixedCross(*child), axis.MaxCross(*child)), crossRoom);
        fixedRemaining -= axis.MainEdges(padding);
        if (placed > 0)
            fixedRemaining -= childPadding;
        ++placed;

        LONG main = axis.Main(child->EstimateSize(axis.Make(mainLimit, crossLimit)));
        if (KeepsEstimate(axis, *child, main)) {
            main = LayoutMath::Limit(main, axis.MinMain(*child), axis.MaxMain(*child));
            fixedRemaining -= main;
        } else {
            ++adjustablesSeen;
            long long stretch = share;
            if (adjustablesSeen == budget.adjustables) {
                stretch = remaining - axis.MainEnd(padding) - fixedRemaining;
                if (stretch < 0)
                    stretch = 0;
            }
            main = LayoutMath::Limit(LayoutMath::Clamp(stretch), axis.MinMain(*child), axis.MaxMain(*child));
        }
        LONG cross = CrossSize(axis, *child, crossLimit, crossRoom);

        long long mainStart = cursor + axis.MainStart(padding);
        long long crossStart = CrossStartOf(axis, area, padding, cross);
        child->SetPos(axis.MakeRect(mainStart, crossStart, mainStart + main, crossStart + cross), false);

        cursor += main + axis.MainEdges(padding) + childPadding;
        mainNeeded += main + axis.MainEdges(padding);
        remaining -= static_cast<long long>(main) + axis.MainEnd(padding) + childPadding;
    }
    return mainNeeded + static_cast<long long>(childPadding) * (budget.laidOut > 0 ? budget.laidOut - 1 : 0);
}

// A centred child ignores its paddings across the layout; the other two
// placements keep the padding on their own side. A shown cross bar widens
// the span by its range and shifts it by its position.
long long CLinearLayoutUI::CrossStartOf(
    const TLayoutAxis& axis, const RECT& area, const RECT& padding, LONG crossSize) const
{
    CScrollBarUI* bar = CrossBar(axis);
    bool shown = IsBarShown(bar);
    int scroll = shown ? bar->GetScrollPos() : 0;
    int range = shown ? bar->GetScrollRange() : 0;
    switch (CrossPlacement(axis)) {
    case kCrossCentre: {
        long long centre = (static_cast<long long>(axis.CrossStart(area)) + axis.CrossEnd(area)) / 2;
        if (shown)
            centre += range / 2 - scroll;
        return centre - crossSize / 2;
    }
    case kCrossEnd: {
        long long edge = static_cast<long long>(axis.CrossEnd(area)) + (shown ? range - scroll : 0);
        return edge - crossSize - axis.CrossEnd(padding);
    }
    case kCrossStart:
        break;
    }
    return static_cast<long long>(axis.CrossStart(area)) - scroll + axis.CrossStart(padding);
}

// A vertical layout places its children across by child align, a
// horizontal one by child valign; any other value than the two named
// ones keeps them at the start.
CLinearLayoutUI::TCrossPlacement CLinearLayoutUI::CrossPlacement(const TLayoutAxis& axis) const
{
    const UINT align = axis.vertical ? childAlign_ : childVAlign_;
    const UINT centre = axis.vertical ? DT_CENTER : DT_VCENTER;
    const UINT end = axis.vertical ? DT_RIGHT : DT_BOTTOM;
    if (align == centre)
        return kCrossCentre;
    if (align == end)
        return kCrossEnd;
    return kCrossStart;
}

CScrollBarUI* CLinearLayoutUI::MainBar(const TLayoutAxis& axis) const
{
    return axis.vertical ? verticalScrollBar_ : horizontalScrollBar_;
}

CScrollBarUI* CLinearLayoutUI::CrossBar(const TLayoutAxis& axis) const
{
    return axis.vertical ? horizontalScrollBar_ : verticalScrollBar_;
}

RECT CLinearLayoutUI::GetThumbRect(bool useNew) const
{
    return separator_.StripRect(pos_, useNew);
}

void CLinearLayoutUI::DoEvent(TUIEvent& event)
{
    if (separator_.GetSize() != 0 && IsEnabled() && separator_.OnEvent(this, event))
        return;
    CContainerUI::DoEvent(event);
}

void CLinearLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    separator_.PaintDrag(hDC);
    CContainerUI::DoPostPaint(hDC, rcPaint);
}

} // namespace SkinUI
