#pragma once

#include "ui/controls/container.h"
#include "ui/controls/layout_separator.h"

namespace SkinUI {

struct TLayoutAxis;

// The arrangement shared by the horizontal and vertical layouts, written
// once along the layout's axis, and the separator strip that resizes the
// layout: its attributes, cursor, drag events and drag painting.
class CLinearLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;

    void SetSepImmMode(bool immediate) { separator_.SetImmediate(this, immediate); }
    bool IsSepImmMode() const { return separator_.IsImmediate(); }

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void DoEvent(TUIEvent& event) override;
    void DoPostPaint(HDC dc, const RECT& paintRect) override;

    // The separator strip, of the current or of the dragged rectangle.
    RECT GetThumbRect(bool useNew = false) const;

protected:
    // sizeAttribute names the separator's size in markup ("sepwidth" or "sepheight").
    CLinearLayoutUI(bool vertical, const wchar_t* sizeAttribute);

    CLayoutSeparator separator_;

private:
    // What the first pass learns about the flow children along the main axis.
    struct TMainBudget {
        int laidOut = 0;
        int adjustables = 0;
        // Taken by fixed children, all paddings and the gaps between children.
        long long fixed = 0;
        long long crossNeeded = 0;
    };
    enum TCrossPlacement { kCrossStart, kCrossCentre, kCrossEnd };

    // Places the children inside area (the content rectangle) and settles
    // the bars; available adds the scroll ranges to its size.
    void ArrangeChildren(const RECT& area, SIZE available);
    TMainBudget MeasureChildren(const TLayoutAxis& axis, SIZE available) const;
    // Returns the main extent the children take, gaps included.
    long long PlaceChildren(const TLayoutAxis& axis, const RECT& area, SIZE available, const TMainBudget& budget);
    long long CrossStartOf(const TLayoutAxis& axis, const RECT& area, const RECT& padding, LONG crossSize) const;
    TCrossPlacement CrossPlacement(const TLayoutAxis& axis) const;
    CScrollBarUI* MainBar(const TLayoutAxis& axis) const;
    CScrollBarUI* CrossBar(const TLayoutAxis& axis) const;

    const bool vertical_;
    const wchar_t* sizeAttribute_;
};

} // namespace SkinUI
