#include "tests/support/dib_surface.h"

#include "ui/controls/render_kit_blend.h"

namespace testing_support {

DibSurface::DibSurface(int width, int height, uint32_t fill) : width_(width), height_(height)
{
    dc_ = CreateCompatibleDC(nullptr);
    BYTE* bits = nullptr;
    bitmap_ = SkinUI::CreateTopDownBitmap(dc_, width, height, &bits);
    pixels_ = reinterpret_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

DibSurface::~DibSurface()
{
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void DibSurface::Fill(uint32_t color)
{
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
        pixels_[i] = color;
}

uint32_t DibSurface::Pixel(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[y * width_ + x];
}

int DibSurface::CountNot(uint32_t color, RECT* bounds) const
{
    GdiFlush();
    int count = 0;
    RECT box = {width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if ((pixels_[y * width_ + x] & 0xFFFFFF) == (color & 0xFFFFFF))
                continue;
            ++count;
            box = RECT{x < box.left ? x : box.left, y < box.top ? y : box.top, x >= box.right ? x + 1 : box.right,
                y >= box.bottom ? y + 1 : box.bottom};
        }
    }
    if (bounds)
        *bounds = box;
    return count;
}

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance)
            return false;
    }
    return true;
}

} // namespace testing_support
