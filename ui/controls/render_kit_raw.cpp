#include "ui/controls/render_kit.h"

#include "ui/controls/render_kit_blend.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/system_library.h"
#include "ui/core/unique_handle.h"

#include <stdlib.h>

#include <vector>

namespace SkinUI {

TBlendPrimitives& BlendPrimitives()
{
    static TBlendPrimitives primitives = [] {
        TBlendPrimitives found;
        // Kept loaded for the process: the entries are cached.
        HMODULE library = LoadSystemLibrary(L"msimg32.dll");
        if (library) {
            found.alphaBlend = reinterpret_cast<AlphaBlendProc>(GetProcAddress(library, "AlphaBlend"));
            found.gradientFill = reinterpret_cast<GradientFillProc>(GetProcAddress(library, "GradientFill"));
        }
        return found;
    }();
    return primitives;
}

HBITMAP CreateTopDownBitmap(HDC hDC, int width, int height, BYTE** pixels)
{
    *pixels = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject bitmap(CreateDIBSection(hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return nullptr;
    *pixels = static_cast<BYTE*>(bits);
    return static_cast<HBITMAP>(bitmap.release());
}

void SoftwareAlphaBlend(HDC hDC, const RECT& rcDest, const RECT& rcClip, const BYTE* pixels, int stride,
    const RECT& rcSource, BYTE fade)
{
    RECT surface;
    RECT visible;
    if (GetClipBox(hDC, &surface) == ERROR || !IntersectRect(&visible, &rcDest, &rcClip)
        || !IntersectRect(&visible, &visible, &surface))
        return;
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;
    const long long destWidth = static_cast<long long>(rcDest.right) - rcDest.left;
    const long long destHeight = static_cast<long long>(rcDest.bottom) - rcDest.top;
    const long long sourceWidth = rcSource.right - rcSource.left;
    const long long sourceHeight = rcSource.bottom - rcSource.top;
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;

    MemoryDc memory(CreateCompatibleDC(hDC));
    BYTE* buffer = nullptr;
    GdiObject bitmap(CreateTopDownBitmap(hDC, width, height, &buffer));
    if (!memory || !bitmap)
        return;
    ScopedSelection selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, hDC, visible.left, visible.top, SRCCOPY);
    GdiFlush();

    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[x] = rcSource.left
            + static_cast<int>((static_cast<long long>(visible.left) + x - rcDest.left) * sourceWidth / destWidth);
    for (int y = 0; y < height; ++y) {
        int sourceY = rcSource.top
            + static_cast<int>((static_cast<long long>(visible.top) + y - rcDest.top) * sourceHeight / destHeight);
        const BYTE* row = pixels + static_cast<size_t>(sourceY) * stride;
        BYTE* out = buffer + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            const BYTE* in = row + static_cast<size_t>(columns[x]) * 4;
            // Premultiplied source over destination, as the platform blends.
            unsigned alpha = in[3] * fade / 255u;
            unsigned keep = 255u - alpha;
            out[0] = static_cast<BYTE>(in[0] * fade / 255u + out[0] * keep / 255u);
            out[1] = static_cast<BYTE>(in[1] * fade / 255u + out[1] * keep / 255u);
            out[2] = static_cast<BYTE>(in[2] * fade / 255u + out[2] * keep / 255u);
            out[3] = static_cast<BYTE>(alpha + out[3] * keep / 255u);
        }
    }
    BitBlt(hDC, visible.left, visible.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

namespace {

struct TPiece {
    RECT dest;
    RECT source;
};

// The source pixels for the software blend: the DIB section's own, or a
// 32-bit top-down copy of another bitmap.
class CSourcePixels {
public:
    CSourcePixels(HBITMAP bitmap, const DIBSECTION& section) : bitmap_(bitmap), section_(section) {}

    const BYTE* Pixels(int& stride)
    {
        const BITMAP& bm = section_.dsBm;
        stride = bm.bmWidth * 4;
        if (bm.bmBits && bm.bmBitsPixel == 32 && section_.dsBmih.biHeight < 0)
            return static_cast<const BYTE*>(bm.bmBits);
        if (copy_.empty())
            Copy();
        return copy_.empty() ? nullptr : copy_.data();
    }

private:
    void Copy()
    {
        const BITMAP& bm = section_.dsBm;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = bm.bmWidth;
        info.bmiHeader.biHeight = -abs(bm.bmHeight);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        copy_.resize(static_cast<size_t>(bm.bmWidth) * abs(bm.bmHeight) * 4);
        WindowDc screen(nullptr);
        int lines = GetDIBits(screen.get(), bitmap_, 0, abs(bm.bmHeight), copy_.data(), &info, DIB_RGB_COLORS);
        if (lines != abs(bm.bmHeight))
            copy_.clear();
    }

    HBITMAP bitmap_;
    const DIBSECTION& section_;
    std::vector<BYTE> copy_;
};

bool IsEmptyRect(const RECT& rc)
{
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

int Clamp(long value, long low, long high)
{
    return value < low ? low : value > high ? high : value;
}

// Corner widths that fit the source: never negative, and opposite corners
// together no wider than the source part.
RECT FitCorners(const RECT& corner, int width, int height)
{
    RECT fitted;
    fitted.left = Clamp(corner.left, 0, width);
    fitted.right = Clamp(corner.right, 0, width - fitted.left);
    fitted.top = Clamp(corner.top, 0, height);
    fitted.bottom = Clamp(corner.bottom, 0, height - fitted.top);
    return fitted;
}

// Tile indices whose span along one axis meets the visible span.
void TileRange(long start, long end, long visibleStart, long visibleEnd, long tile, long long& first,
    long long& last)
{
    long from = visibleStart > start ? visibleStart : start;
    long to = visibleEnd < end ? visibleEnd : end;
    first = (static_cast<long long>(from) - start) / tile;
    last = (static_cast<long long>(to) - start - 1) / tile;
}

void AddMiddle(std::vector<TPiece>& pieces, const RECT& md, const RECT& ms, const RECT& paint, bool xTiled,
    bool yTiled)
{
    if (!xTiled && !yTiled) {
        pieces.push_back({md, ms});
        return;
    }
    const long tileWidth = ms.right - ms.left;
    const long tileHeight = ms.bottom - ms.top;
    long long firstX = 0, lastX = 0, firstY = 0, lastY = 0;
    if (xTiled)
        TileRange(md.left, md.right, paint.left, paint.right, tileWidth, firstX, lastX);
    if (yTiled)
        TileRange(md.top, md.bottom, paint.top, paint.bottom, tileHeight, firstY, lastY);
    for (long long j = firstY; j <= lastY; ++j) {
        RECT dest = md;
        RECT source = ms;
        if (yTiled) {
            dest.top = static_cast<long>(md.top + j * tileHeight);
            dest.bottom = static_cast<long>(dest.top + tileHeight < md.bottom ? dest.top + tileHeight : md.bottom);
            source.bottom = ms.top + (dest.bottom - dest.top);
        }
        for (long long i = firstX; i <= lastX; ++i) {
            if (xTiled) {
                dest.left = static_cast<long>(md.left + i * tileWidth);
                dest.right = static_cast<long>(dest.left + tileWidth < md.right ? dest.left + tileWidth : md.right);
                source.right = ms.left + (dest.right - dest.left);
            }
            pieces.push_back({dest, source});
        }
    }
}

// c is the corners in the source, k the same corners on the destination.
void AddBorders(std::vector<TPiece>& pieces, const RECT& d, const RECT& s, const RECT& c, const RECT& k)
{
    const long dl = d.left + k.left, dr = d.right - k.right, dt = d.top + k.top, db = d.bottom - k.bottom;
    const long sl = s.left + c.left, sr = s.right - c.right, st = s.top + c.top, sb = s.bottom - c.bottom;
    if (c.left > 0 && c.top > 0)
        pieces.push_back({{d.left, d.top, dl, dt}, {s.left, s.top, sl, st}});
    if (c.top > 0)
        pieces.push_back({{dl, d.top, dr, dt}, {sl, s.top, sr, st}});
    if (c.right > 0 && c.top > 0)
        pieces.push_back({{dr, d.top, d.right, dt}, {sr, s.top, s.right, st}});
    if (c.left > 0)
        pieces.push_back({{d.left, dt, dl, db}, {s.left, st, sl, sb}});
    if (c.right > 0)
        pieces.push_back({{dr, dt, d.right, db}, {sr, st, s.right, sb}});
    if (c.left > 0 && c.bottom > 0)
        pieces.push_back({{d.left, db, dl, d.bottom}, {s.left, sb, sl, s.bottom}});
    if (c.bottom > 0)
        pieces.push_back({{dl, db, dr, d.bottom}, {sl, sb, sr, s.bottom}});
    if (c.right > 0 && c.bottom > 0)
        pieces.push_back({{dr, db, d.right, d.bottom}, {sr, sb, s.right, s.bottom}});
}

std::vector<TPiece> NinePatch(const RECT& d, const RECT& s, const RECT& c, const RECT& k, const RECT& paint,
    bool hole, bool xTiled, bool yTiled)
{
    std::vector<TPiece> pieces;
    RECT md = {d.left + k.left, d.top + k.top, d.right - k.right, d.bottom - k.bottom};
    RECT ms = {s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
    RECT visible;
    // A middle no wider or taller than nothing has no tiles to draw.
    if (!hole && !IsEmptyRect(md) && !IsEmptyRect(ms) && IntersectRect(&visible, &md, &paint))
        AddMiddle(pieces, md, ms, paint, xTiled, yTiled);
    AddBorders(pieces, d, s, c, k);
    return pieces;
}

// The corners on the destination: as given, or cut in the proportion the
// source's corners were cut to fit their image.
long DestCorner(long fitted, long asked, long onDest)
{
    if (fitted == asked || asked <= 0)
        return fitted == asked ? (onDest < 0 ? 0 : onDest) : 0;
    return static_cast<long>(static_cast<long long>(fitted) * onDest / asked);
}

RECT DestCorners(const RECT& fitted, const RECT& asked, const RECT* onDest)
{
    if (!onDest)
        return fitted;
    return RECT{DestCorner(fitted.left, asked.left, onDest->left), DestCorner(fitted.top, asked.top, onDest->top),
        DestCorner(fitted.right, asked.right, onDest->right), DestCorner(fitted.bottom, asked.bottom, onDest->bottom)};
}

} // namespace

void CRenderKit::DrawImageRaw(HDC hDC, HBITMAP bitmap, const RECT& rcDest, const RECT& rcPaint,
    const RECT& rcSource, const RECT& rcCorner, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled,
    const RECT* rcDestCorner)
{
    DIBSECTION section = {};
    int got = hDC && bitmap ? GetObjectW(bitmap, sizeof(section), &section) : 0;
    if (got < static_cast<int>(sizeof(BITMAP)) || IsEmptyRect(rcDest))
        return;
    const long width = section.dsBm.bmWidth;
    const long height = abs(section.dsBm.bmHeight);
    RECT source = {Clamp(rcSource.left, 0, width), Clamp(rcSource.top, 0, height), Clamp(rcSource.right, 0, width),
        Clamp(rcSource.bottom, 0, height)};
    if (IsEmptyRect(source))
        return;
    RECT corner = FitCorners(rcCorner, source.right - source.left, source.bottom - source.top);
    const RECT destCorner = DestCorners(corner, rcCorner, rcDestCorner);

    MemoryDc memory(CreateCompatibleDC(hDC));
    if (!memory)
        return;
    ScopedSelection selected(memory.get(), bitmap);
    SetStretchBltMode(hDC, COLORONCOLOR);
    const bool blended = alpha || fade < 255;
    const bool plain = corner.left == 0 && corner.top == 0 && corner.right == 0 && corner.bottom == 0;
    RECT visible;
    if (!blended && plain && rcDest.right - rcDest.left == source.right - source.left
        && rcDest.bottom - rcDest.top == source.bottom - source.top) {
        if (IntersectRect(&visible, &rcDest, &rcPaint))
            BitBlt(hDC, visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top,
                memory.get(), source.left + visible.left - rcDest.left, source.top + visible.top - rcDest.top,
                SRCCOPY);
        return;
    }

    AlphaBlendProc alphaBlend = BlendPrimitives().alphaBlend;
    CSourcePixels pixels(bitmap, section);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    for (const TPiece& piece : NinePatch(rcDest, source, corner, destCorner, rcPaint, hole, xTiled, yTiled)) {
        const RECT& d = piece.dest;
        const RECT& s = piece.source;
        if (IsEmptyRect(d) || IsEmptyRect(s) || !IntersectRect(&visible, &d, &rcPaint))
            continue;
        const int dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
        if (!blended) {
            StretchBlt(hDC, d.left, d.top, dw, dh, memory.get(), s.left, s.top, sw, sh, SRCCOPY);
        } else if (alphaBlend) {
            alphaBlend(hDC, d.left, d.top, dw, dh, memory.get(), s.left, s.top, sw, sh, blend);
        } else {
            int stride = 0;
            const BYTE* bits = pixels.Pixels(stride);
            if (bits)
                SoftwareAlphaBlend(hDC, d, rcPaint, bits, stride, s, fade);
        }
    }
}

} // namespace SkinUI
