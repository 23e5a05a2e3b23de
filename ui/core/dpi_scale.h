#pragma once

#include <windows.h>

namespace SkinUI {

// The display scale of one window: its dots per inch against the 96 of a
// layout. Layouts are written in units of 1/96 inch; every pixel measure is
// its layout value scaled and rounded once here, so 96 DPI is the layout
// exactly and nothing drifts through repeated conversions.
class CDpiScale {
public:
    static const int kLayoutDpi = 96;

    int Dpi() const { return dpi_; }
    // Values outside what any display reports are taken as the layout's.
    void SetDpi(int dpi) { dpi_ = dpi >= 24 && dpi <= 2400 ? dpi : kLayoutDpi; }
    bool IsIdentity() const { return dpi_ == kLayoutDpi; }
    double Factor() const { return static_cast<double>(dpi_) / kLayoutDpi; }

    // Layout units to pixels, halves away from zero.
    int Pixels(int layout) const;
    SIZE Pixels(SIZE layout) const { return {Pixels(layout.cx), Pixels(layout.cy)}; }
    RECT Pixels(const RECT& layout) const
    {
        return {Pixels(layout.left), Pixels(layout.top), Pixels(layout.right), Pixels(layout.bottom)};
    }
    // Pixels back to layout units, for a measure that was given in pixels.
    int Layout(int pixels) const;

    // The DPI of the monitor the window is on: GetDpiForWindow where it
    // exists (Windows 10 1607 on), else the window DC's LOGPIXELSX, which
    // older systems report for the whole session.
    static int ReadWindowDpi(HWND window);

private:
    int dpi_ = kLayoutDpi;
};

} // namespace SkinUI
