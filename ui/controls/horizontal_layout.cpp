#include "ui/controls/horizontal_layout.h"

#include "ui/controls/layout_math.h"
#include "ui/controls/scroll_bar.h"
#include "ui/core/ui_manager.h"

#include <string.h>

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(false, L"sepwidth") {}

const wchar_t* CHorizontalLayoutUI::GetClass() const
{
    return L"HorizontalLayout";
}

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"HorizontalLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

// Only children with a fixed width are measured; the others share what is
// left. Sizes are summed in 64 bits.
void CHorizontalLayoutUI::ArrangeChildren(const RECT& area, SIZE available)
{
    bool vertical = IsBarShown(verticalScrollBar_);
    bool horizontal = IsBarShown(horizontalScrollBar_);

    int laidOutCount = 0;
    int adjustables = 0;
    long long cyNeeded = 0;
    long long cxFixed = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        ++laidOutCount;
        RECT padding = child->GetPadding();
        SIZE size = {0, child->GetFixedHeight()};
        if (child->GetFixedWidth() > 0) {
            int heightLimit = LayoutMath::Clamp(static_cast<long long>(available.cy) - padding.top - padding.bottom);
            size = child->EstimateSize(
                {LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedWidth(), child->GetMaxWidth()), available.cx),
                    LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedHeight(), child->GetMaxHeight()),
                        heightLimit)});
        }
        if (size.cx == 0)
            ++adjustables;
        else
            size.cx = LayoutMath::Limit(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        size.cy = LayoutMath::Limit(size.cy < 0 ? 0 : size.cy, child->GetMinHeight(), child->GetMaxHeight());
        long long cy = static_cast<long long>(size.cy) + padding.top + padding.bottom;
        if (cy > cyNeeded)
            cyNeeded = cy;
        cxFixed += static_cast<long long>(padding.left) + size.cx + padding.right;
    }
    if (laidOutCount > 0)
        cxFixed += static_cast<long long>(childPadding_) * (laidOutCount - 1);
    long long cxExpand = 0;
    if (adjustables > 0) {
        cxExpand = (available.cx - cxFixed) / adjustables;
        if (cxExpand < 0)
            cxExpand = 0;
    }

    int scrollY = vertical ? verticalScrollBar_->GetScrollPos() : 0;
    int rangeY = vertical ? verticalScrollBar_->GetScrollRange() : 0;
    long long x = static_cast<long long>(area.left) - (horizontal ? horizontalScrollBar_->GetScrollPos() : 0);
    long long remaining = available.cx;
    long long fixedRemaining = cxFixed;
    long long cxNeeded = 0;
    int placed = 0;
    int adjustablesSeen = 0;
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = FlowChildOrPlaceFloat(i);
        if (!child)
            continue;
        RECT padding = child->GetPadding();
        remaining -= padding.left;
        int heightRoom = LayoutMath::Clamp(static_cast<long long>(available.cy) - padding.top - padding.bottom);
        int cxLimit = LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedWidth(), child->GetMaxWidth()),
            LayoutMath::Clamp(remaining));
        int cyLimit =
            LayoutMath::Min(LayoutMath::FixedOrMax(child->GetFixedHeight(), child->GetMaxHeight()), heightRoom);
        fixedRemaining -= static_cast<long long>(padding.left) + padding.right;
        if (placed > 0)
            fixedRemaining -= childPadding_;
        ++placed;

        SIZE size = child->EstimateSize({cxLimit, cyLimit});
        if (child->GetFixedWidth() > 0 && size.cx != 0) {
            size.cx = LayoutMath::Limit(size.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedRemaining -= size.cx;
        } else {
            ++adjustablesSeen;
            long long cx = cxExpand;
            if (adjustablesSeen == adjustables) {
                cx = remaining - padding.right - fixedRemaining;
                if (cx < 0)
                    cx = 0;
            }
            size.cx = LayoutMath::Limit(LayoutMath::Clamp(cx), child->GetMinWidth(), child->GetMaxWidth());
        }

        int heightCap = child->GetMaxHeight();
        if (heightCap == 0)
            heightCap = heightRoom;
        size.cy = LayoutMath::Min(cyLimit, heightCap < 0 ? 0 : heightCap);
        if (size.cy < child->GetMinHeight())
            size.cy = child->GetMinHeight();

        long long top;
        if (childVAlign_ == 4) {
            long long centre = (static_cast<long long>(area.top) + area.bottom) / 2;
            if (vertical)
                centre += rangeY / 2 - scrollY;
            top = centre - size.cy / 2;
        } else if (childVAlign_ == 8) {
            long long edge = static_cast<long long>(area.bottom) + (vertical ? rangeY - scrollY : 0);
            top = edge - size.cy - padding.bottom;
        } else {
            top = static_cast<long long>(area.top) - scrollY + padding.top;
        }
        long long left = x + padding.left;
        child->SetPos(LayoutMath::Rect(left, top, left + size.cx, top + size.cy), false);

        x += static_cast<long long>(padding.left) + size.cx + padding.right + childPadding_;
        cxNeeded += static_cast<long long>(padding.left) + size.cx + padding.right;
        remaining -= static_cast<long long>(size.cx) + padding.right + childPadding_;
    }
    cxNeeded += static_cast<long long>(childPadding_) * (laidOutCount > 0 ? laidOutCount - 1 : 0);
    ProcessScrollBar(area, LayoutMath::Clamp(cxNeeded), LayoutMath::Clamp(cyNeeded));
}

} // namespace SkinUI
