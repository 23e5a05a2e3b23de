#include "ui/controls/render_kit.h"

#include "ui/controls/control.h"
#include "ui/controls/render_kit_blend.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/ui_manager.h"
#include "ui/core/unique_handle.h"

#include <gdiplus.h>

namespace SkinUI {

bool CRenderKit::StartGraphics()
{
    // GDI+ must run before the first GdipCreateFromHDC on Windows (Wine does
    // not insist). It is started once for the process and never shut down
    // from a control: windows without labels and paints after the last
    // label is gone still fill translucent colours.
    static const bool started = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

void CRenderKit::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    if (!hDC || (color >> 24) == 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    // An opaque colour blends with nothing: a plain brush gives the same
    // colour for a fraction of the cost of a GDI+ graphics object per call.
    if ((color >> 24) == 0xFF) {
        GdiObject brush(CreateSolidBrush(ToColorRef(color)));
        FillRect(hDC, &rc, static_cast<HBRUSH>(brush.get()));
        return;
    }
    if (!StartGraphics())
        return;
    Gdiplus::GpGraphics* graphics = nullptr;
    if (Gdiplus::DllExports::GdipCreateFromHDC(hDC, &graphics) != Gdiplus::Ok)
        return;
    Gdiplus::GpSolidFill* brush = nullptr;
    if (Gdiplus::DllExports::GdipCreateSolidFill(color, &brush) == Gdiplus::Ok) {
        Gdiplus::DllExports::GdipFillRectangleI(graphics, brush, rc.left, rc.top, rc.right - rc.left,
            rc.bottom - rc.top);
        Gdiplus::DllExports::GdipDeleteBrush(brush);
    }
    Gdiplus::DllExports::GdipDeleteGraphics(graphics);
}

namespace {

BYTE Channel(DWORD color, int shift)
{
    return static_cast<BYTE>(color >> shift);
}

void FillGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    GradientFillProc gradientFill = BlendPrimitives().gradientFill;
    if (gradientFill) {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = rc.left;
        vertices[0].y = rc.top;
        vertices[1].x = rc.right;
        vertices[1].y = rc.bottom;
        const DWORD colors[2] = {first, second};
        for (int i = 0; i < 2; ++i) {
            vertices[i].Red = static_cast<COLOR16>(Channel(colors[i], 16) << 8);
            vertices[i].Green = static_cast<COLOR16>(Channel(colors[i], 8) << 8);
            vertices[i].Blue = static_cast<COLOR16>(Channel(colors[i], 0) << 8);
            vertices[i].Alpha = 0xFF00;
        }
        GRADIENT_RECT mesh = {0, 1};
        if (gradientFill(hDC, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H))
            return;
    }
    const int shift = steps < 4 ? 1 : steps < 8 ? 2 : steps < 16 ? 3 : steps < 32 ? 4 : steps < 64 ? 5 : 6;
    const int bands = 1 << shift;
    const long long size = vertical ? rc.bottom - rc.top : rc.right - rc.left;
    for (int i = 0; i < bands; ++i) {
        long from = static_cast<long>((size * i) >> shift);
        long to = static_cast<long>((size * (i + 1)) >> shift);
        if (to <= from)
            continue;
        DWORD color = 0;
        for (int channelShift = 0; channelShift <= 16; channelShift += 8) {
            DWORD value = (Channel(second, channelShift) * (bands - i) + Channel(first, channelShift) * i) / bands;
            color |= value << channelShift;
        }
        RECT band = rc;
        if (vertical) {
            band.bottom = rc.bottom - from;
            band.top = rc.bottom - to;
        } else {
            band.right = rc.right - from;
            band.left = rc.right - to;
        }
        GdiObject brush(CreateSolidBrush(CRenderKit::ToColorRef(color)));
        FillRect(hDC, &band, static_cast<HBRUSH>(brush.get()));
    }
}

} // namespace

void CRenderKit::DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    const unsigned opacity = ((first >> 24) + (second >> 24)) / 2;
    if (!hDC || opacity == 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (opacity >= 255) {
        FillGradient(hDC, rc, first, second, vertical, steps);
        return;
    }
    RECT surface;
    RECT visible;
    if (GetClipBox(hDC, &surface) == ERROR || !IntersectRect(&visible, &rc, &surface))
        return;
    // Drawn opaque off-screen, then blended at the averaged opacity. Only
    // the visible part gets a surface, so huge rectangles allocate nothing.
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int visibleWidth = visible.right - visible.left;
    const int visibleHeight = visible.bottom - visible.top;
    MemoryDc memory(CreateCompatibleDC(hDC));
    BYTE* pixels = nullptr;
    GdiObject bitmap(CreateTopDownBitmap(hDC, visibleWidth, visibleHeight, &pixels));
    if (!memory || !bitmap)
        return;
    ScopedSelection selected(memory.get(), bitmap.get());
    const RECT local = {rc.left - visible.left, rc.top - visible.top, rc.left - visible.left + width,
        rc.top - visible.top + height};
    FillGradient(memory.get(), local, first, second, vertical, steps);
    GdiFlush();
    for (size_t i = 0, count = static_cast<size_t>(visibleWidth) * visibleHeight; i < count; ++i)
        pixels[i * 4 + 3] = 255;
    const RECT all = {0, 0, visibleWidth, visibleHeight};
    const BYTE fade = static_cast<BYTE>(opacity);
    AlphaBlendProc alphaBlend = BlendPrimitives().alphaBlend;
    if (alphaBlend) {
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
        alphaBlend(hDC, visible.left, visible.top, visibleWidth, visibleHeight, memory.get(), 0, 0, visibleWidth,
            visibleHeight, blend);
    } else {
        SoftwareAlphaBlend(hDC, visible, visible, pixels, visibleWidth * 4, all, fade);
    }
}

namespace {

// The inside-frame style keeps the stroke inside the rectangle; it only
// exists for solid pens, and or-ing it into a dash style makes another style.
int FramePenStyle(int style)
{
    return (style & PS_STYLE_MASK) == PS_SOLID ? (style & ~PS_STYLE_MASK) | PS_INSIDEFRAME : style;
}

// The pen outlives both selections, which unwind brush first, then pen.
class CPenAndBrush {
public:
    CPenAndBrush(HDC hDC, int style, int width, DWORD color)
        : pen_(CreatePen(style, width, CRenderKit::ToColorRef(color))), penSelection_(hDC, pen_.get()),
          brushSelection_(hDC, GetStockObject(NULL_BRUSH))
    {
    }
    bool IsValid() const { return static_cast<bool>(pen_); }

private:
    GdiObject pen_;
    ScopedSelection penSelection_;
    ScopedSelection brushSelection_;
};

} // namespace

void CRenderKit::DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style)
{
    if (!hDC)
        return;
    CPenAndBrush pen(hDC, style, size, color);
    if (!pen.IsValid())
        return;
    POINT previous;
    MoveToEx(hDC, rc.left, rc.top, &previous);
    LineTo(hDC, rc.right, rc.bottom);
    MoveToEx(hDC, previous.x, previous.y, nullptr);
}

void CRenderKit::DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style)
{
    if (!hDC)
        return;
    CPenAndBrush pen(hDC, FramePenStyle(style), size, color);
    if (pen.IsValid())
        Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
}

void CRenderKit::DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color, int style)
{
    if (!hDC)
        return;
    CPenAndBrush pen(hDC, FramePenStyle(style), size, color);
    if (pen.IsValid())
        RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
}

CRenderClip::~CRenderClip()
{
    Release();
}

void CRenderClip::Release()
{
    if (hDC)
        SelectClipRgn(hDC, hOldRgn.get());
    hDC = nullptr;
    hRgn.reset();
    hOldRgn.reset();
}

void CRenderClip::UsePreviousClip()
{
    if (hDC)
        SelectClipRgn(hDC, hOldRgn.get());
}

void CRenderClip::UseNewClip()
{
    if (hDC)
        SelectClipRgn(hDC, hRgn.get());
}

namespace {

// Starts a clip record: keeps the clip that is there now (none gives a
// null region, which selects "no clip" again) and the clip box as the
// first part of the new region.
bool BeginClip(HDC hDC, const RECT& rc, RegionHandle& previous, RegionHandle& region)
{
    previous.reset(CreateRectRgn(0, 0, 0, 0));
    if (previous && GetClipRgn(hDC, previous.get()) != 1)
        previous.reset();
    RECT box;
    if (GetClipBox(hDC, &box) == ERROR)
        box = rc;
    region.reset(CreateRectRgnIndirect(&box));
    RegionHandle cut(CreateRectRgnIndirect(&rc));
    if (region && cut)
        CombineRgn(region.get(), region.get(), cut.get(), RGN_AND);
    return static_cast<bool>(region);
}

} // namespace

void CRenderKit::GenerateClip(HDC hDC, const RECT& rc, CRenderClip& clip)
{
    clip.Release();
    if (!hDC || !BeginClip(hDC, rc, clip.hOldRgn, clip.hRgn))
        return;
    clip.hDC = hDC;
    clip.rcItem = rc;
    ExtSelectClipRgn(hDC, clip.hRgn.get(), RGN_COPY);
}

void CRenderKit::GenerateRoundClip(HDC hDC, const RECT& rcPaint, const RECT& rcItem, int width, int height,
    CRenderClip& clip)
{
    clip.Release();
    if (!hDC || !BeginClip(hDC, rcPaint, clip.hOldRgn, clip.hRgn))
        return;
    clip.hDC = hDC;
    clip.rcItem = rcItem;
    RegionHandle round(CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width,
        height));
    if (round)
        CombineRgn(clip.hRgn.get(), clip.hRgn.get(), round.get(), RGN_AND);
    ExtSelectClipRgn(hDC, clip.hRgn.get(), RGN_COPY);
}

HBITMAP CRenderKit::GenerateBitmap(CUIManager* manager, const RECT& rc, CControlUI* stop, DWORD color)
{
    CControlUI* root = manager ? manager->GetRoot() : nullptr;
    SIZE client = manager ? manager->GetClientSize() : SIZE{0, 0};
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (!root || client.cx <= 0 || client.cy <= 0 || width <= 0 || height <= 0)
        return nullptr;
    MemoryDc window(CreateCompatibleDC(manager->GetPaintDC()));
    BYTE* windowPixels = nullptr;
    GdiObject windowBitmap(CreateTopDownBitmap(manager->GetPaintDC(), client.cx, client.cy, &windowPixels));
    MemoryDc copy(CreateCompatibleDC(manager->GetPaintDC()));
    BYTE* pixels = nullptr;
    GdiObject result(CreateTopDownBitmap(manager->GetPaintDC(), width, height, &pixels));
    if (!window || !windowBitmap || !copy || !result)
        return nullptr;
    {
        ScopedSelection windowSelection(window.get(), windowBitmap.get());
        const RECT all = {0, 0, client.cx, client.cy};
        root->Paint(window.get(), all, stop);
        ScopedSelection copySelection(copy.get(), result.get());
        BitBlt(copy.get(), 0, 0, width, height, window.get(), rc.left, rc.top, SRCCOPY);
        if (color >> 24) {
            const RECT whole = {0, 0, width, height};
            DrawColor(copy.get(), whole, color);
        }
    }
    // The caller owns the bitmap, now selected nowhere.
    return static_cast<HBITMAP>(result.release());
}

} // namespace SkinUI
