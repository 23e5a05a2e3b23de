#include "ui/controls/vertical_layout.h"

#include "ui/controls/layout_math.h"
#include "ui/controls/scroll_bar.h"
#include "ui/core/ui_manager.h"

#include <string.h>

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(true, L"sepheight") {}

const wchar_t* CVerticalLayoutUI::GetClass() const
{
    return L"VerticalLayout";
}

void* CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"VerticalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

// Sizes are summed in 64 bits: a few children near the coordinate limit
// would overflow int.
void CVerticalLayoutUI::ArrangeChildren(const RECT& area, SIZE available)
{
    bool vertical = IsBarShown(verticalScrollBar_);
    bool horizontal = IsBarShown(horizontalScrollBar_);

    int laidOutCount = 0;
    int adjustables = 0;
    long long cxNeeded = 0;
    long long cyFixed = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        ++laidOutCount;
        RECT padding = child->GetPadding();
        int widthLimit = LayoutMath::Clamp(static_cast<long long>(available.cx) - padding.left - padding.right);
        SIZE size = child->EstimateSize(
            {LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedWidth(), child->GetMaxWidth()), widthLimit),
                LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedHeight(), child->GetMaxHeight()), available.cy)});
        if (size.cy == 0)
            ++adjustables;
        else
            size.cy = LayoutMath::Limit(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        size.cx = LayoutMath::Limit(size.cx < 0 ? 0 : size.cx, child->GetMinWidth(), child->GetMaxWidth());
        long long cx = static_cast<long long>(size.cx) + padding.left + padding.right;
        if (cx > cxNeeded)
            cxNeeded = cx;
        cyFixed += static_cast<long long>(padding.top) + size.cy + padding.bottom;
    }
    if (laidOutCount > 0)
        cyFixed += static_cast<long long>(childPadding_) * (laidOutCount - 1);
    long long cyExpand = 0;
    if (adjustables > 0) {
        cyExpand = (available.cy - cyFixed) / adjustables;
        if (cyExpand < 0)
            cyExpand = 0;
    }

    int scrollX = horizontal ? horizontalScrollBar_->GetScrollPos() : 0;
    int rangeX = horizontal ? horizontalScrollBar_->GetScrollRange() : 0;
    long long y = static_cast<long long>(area.top) - (vertical ? verticalScrollBar_->GetScrollPos() : 0);
    long long remaining = available.cy;
    long long fixedRemaining = cyFixed;
    long long cyNeeded = 0;
    int placed = 0;
    int adjustablesSeen = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = FlowChildOrPlaceFloat(i);
        if (!child)
            continue;
        RECT padding = child->GetPadding();
        remaining -= padding.top;
        int cxLimit = LayoutMath::Min(
            LayoutMath::Clamp(static_cast<long long>(available.cx) - padding.left - padding.right),
            LayoutMath::FixedOrMax(child->GetFixedWidth(), child->GetMaxWidth()));
        int cyLimit = LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedHeight(), child->GetMaxHeight()),
            LayoutMath::Clamp(remaining));
        fixedRemaining -= static_cast<long long>(padding.top) + padding.bottom;
        if (placed > 0)
            fixedRemaining -= childPadding_;
        ++placed;

        SIZE size = child->EstimateSize({cxLimit, cyLimit});
        if (size.cy != 0) {
            size.cy = LayoutMath::Limit(size.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedRemaining -= size.cy;
        } else {
            ++adjustablesSeen;
            long long cy = cyExpand;
            if (adjustablesSeen == adjustables) {
                cy = remaining - padding.bottom - fixedRemaining;
                if (cy < 0)
                    cy = 0;
            }
            size.cy = LayoutMath::Limit(LayoutMath::Clamp(cy), child->GetMinHeight(), child->GetMaxHeight());
        }

        int widthCap = child->GetMaxWidth();
        if (widthCap == 0)
            widthCap = LayoutMath::Clamp(static_cast<long long>(available.cx) - padding.left - padding.right);
        size.cx = LayoutMath::Min(cxLimit, widthCap < 0 ? 0 : widthCap);
        if (size.cx < child->GetMinWidth())
            size.cx = child->GetMinWidth();

        long long left;
        if (childAlign_ == 1) {
            long long centre = (static_cast<long long>(area.left) + area.right) / 2;
            if (horizontal)
                centre += rangeX / 2 - scrollX;
            left = centre - size.cx / 2;
        } else if (childAlign_ == 2) {
            long long edge = static_cast<long long>(area.right) + (horizontal ? rangeX - scrollX : 0);
            left = edge - size.cx - padding.right;
        } else {
            left = static_cast<long long>(area.left) - scrollX + padding.left;
        }
        long long top = y + padding.top;
        child->SetPos(LayoutMath::Rect(left, top, left + size.cx, top + size.cy), false);

        y += static_cast<long long>(padding.top) + size.cy + padding.bottom + childPadding_;
        cyNeeded += static_cast<long long>(padding.top) + size.cy + padding.bottom;
        remaining -= static_cast<long long>(size.cy) + padding.bottom + childPadding_;
    }
    cyNeeded += static_cast<long long>(childPadding_) * (laidOutCount > 0 ? laidOutCount - 1 : 0);
    ProcessScrollBar(area, LayoutMath::Clamp(cxNeeded), LayoutMath::Clamp(cyNeeded));
}

} // namespace SkinUI
