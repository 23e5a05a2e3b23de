#pragma once

#include <windows.h>

#include <stdint.h>

namespace testing_support {

// A memory device context drawing into a 32-bit top-down DIB section, so
// that tests can read back every pixel as 0xAARRGGBB.
class DibSurface {
public:
    DibSurface(int width, int height, uint32_t fill = 0xFFFFFFFF);
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    RECT Bounds() const { return RECT{0, 0, width_, height_}; }

    void Fill(uint32_t color);
    uint32_t Pixel(int x, int y) const;
    // Colour without the alpha byte: GDI text and lines leave alpha 0.
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0xFFFFFF; }
    // Pixels of the surface whose colour differs from 'color' (alpha ignored),
    // and their bounding box.
    int CountNot(uint32_t color, RECT* bounds = nullptr) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* pixels_ = nullptr;
    int width_;
    int height_;
};

// Colours whose red, green and blue each differ by at most tolerance.
bool Near(uint32_t a, uint32_t b, int tolerance);

} // namespace testing_support
