#pragma once

#include "ui/controls/control.h"
#include "ui/controls/layout_math.h"

#include <windows.h>

namespace SkinUI {

// A linear layout's geometry along its own axis: "main" runs with the
// children, "cross" across them, so one arrangement serves both layouts.
// Rectangles read as start and end edges: a padding's main start is its
// top in a vertical layout and its left in a horizontal one.
struct TLayoutAxis {
    bool vertical;

    LONG Main(SIZE size) const { return vertical ? size.cy : size.cx; }
    LONG Cross(SIZE size) const { return vertical ? size.cx : size.cy; }
    SIZE Make(LONG main, LONG cross) const { return vertical ? SIZE{cross, main} : SIZE{main, cross}; }

    LONG MainStart(const RECT& rect) const { return vertical ? rect.top : rect.left; }
    LONG MainEnd(const RECT& rect) const { return vertical ? rect.bottom : rect.right; }
    LONG CrossStart(const RECT& rect) const { return vertical ? rect.left : rect.top; }
    LONG CrossEnd(const RECT& rect) const { return vertical ? rect.right : rect.bottom; }
    // Both paddings along one axis, summed in 64 bits.
    long long MainEdges(const RECT& rect) const { return static_cast<long long>(MainStart(rect)) + MainEnd(rect); }
    long long CrossEdges(const RECT& rect) const { return static_cast<long long>(CrossStart(rect)) + CrossEnd(rect); }

    RECT MakeRect(long long mainStart, long long crossStart, long long mainEnd, long long crossEnd) const
    {
        return vertical ? LayoutMath::Rect(crossStart, mainStart, crossEnd, mainEnd)
                        : LayoutMath::Rect(mainStart, crossStart, mainEnd, crossEnd);
    }

    int FixedMain(const CControlUI& child) const { return vertical ? child.GetFixedHeight() : child.GetFixedWidth(); }
    int FixedCross(const CControlUI& child) const { return vertical ? child.GetFixedWidth() : child.GetFixedHeight(); }
    int MinMain(const CControlUI& child) const { return vertical ? child.GetMinHeight() : child.GetMinWidth(); }
    int MinCross(const CControlUI& child) const { return vertical ? child.GetMinWidth() : child.GetMinHeight(); }
    int MaxMain(const CControlUI& child) const { return vertical ? child.GetMaxHeight() : child.GetMaxWidth(); }
    int MaxCross(const CControlUI& child) const { return vertical ? child.GetMaxWidth() : child.GetMaxHeight(); }
};

} // namespace SkinUI
