#include "ui/controls/render_kit.h"

#include <math.h>
#include <string.h>

namespace SkinUI {

namespace {

bool IsIdentity(short h, short s, short l)
{
    return h == 180 && s == 100 && l == 100;
}

void RgbToHsl(double r, double g, double b, double& hue, double& saturation, double& lightness)
{
    double high = fmax(r, fmax(g, b));
    double low = fmin(r, fmin(g, b));
    lightness = (high + low) / 2;
    double range = high - low;
    if (range <= 0) {
        hue = 0;
        saturation = 0;
        return;
    }
    saturation = lightness <= 0.5 ? range / (high + low) : range / (2 - high - low);
    if (high == r)
        hue = fmod((g - b) / range + 6, 6);
    else if (high == g)
        hue = (b - r) / range + 2;
    else
        hue = (r - g) / range + 4;
    hue *= 60;
}

double HueToChannel(double p, double q, double t)
{
    t = t < 0 ? t + 1 : t > 1 ? t - 1 : t;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

BYTE ToByte(double value)
{
    double scaled = floor(value * 255 + 0.5);
    return static_cast<BYTE>(scaled < 0 ? 0 : scaled > 255 ? 255 : scaled);
}

DWORD Adjust(DWORD color, short h, short s, short l)
{
    double hue, saturation, lightness;
    RgbToHsl(((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, (color & 0xFF) / 255.0, hue,
        saturation, lightness);
    // Wrapped into [0, 360) both ways: a hue of 360 or more would fall
    // outside the six sectors of the conversion back.
    hue = fmod(hue + h - 180, 360);
    if (hue < 0)
        hue += 360;
    saturation = fmin(1, fmax(0, saturation * s / 100));
    lightness = fmin(1, fmax(0, lightness * l / 100));
    double q = lightness < 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    double p = 2 * lightness - q;
    double t = hue / 360;
    BYTE r = ToByte(HueToChannel(p, q, t + 1.0 / 3));
    BYTE g = ToByte(HueToChannel(p, q, t));
    BYTE b = ToByte(HueToChannel(p, q, t - 1.0 / 3));
    return (color & 0xFF000000) | static_cast<DWORD>(r) << 16 | static_cast<DWORD>(g) << 8 | b;
}

} // namespace

DWORD CRenderKit::AdjustColor(DWORD color, short h, short s, short l)
{
    return IsIdentity(h, s, l) ? color : Adjust(color, h, s, l);
}

void CRenderKit::AdjustImage(bool use, TLoadedImage* image, short h, short s, short l)
{
    if (!image || !image->pBits || !image->pSrcBits || image->nX <= 0 || image->nY <= 0)
        return;
    GdiFlush();
    const size_t count = static_cast<size_t>(image->nX) * static_cast<size_t>(image->nY);
    if (!use || IsIdentity(h, s, l)) {
        memcpy(image->pBits, image->pSrcBits, count * 4);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        DWORD pixel;
        memcpy(&pixel, image->pSrcBits + i * 4, 4);
        pixel = Adjust(pixel, h, s, l);
        BYTE* out = image->pBits + i * 4;
        memcpy(out, &pixel, 4);
        // Premultiplied: no colour channel may exceed the pixel's alpha.
        for (int c = 0; c < 3; ++c)
            out[c] = out[c] > out[3] ? out[3] : out[c];
    }
}

} // namespace SkinUI
