#include "ui/controls/render_kit.h"

#include "ui/controls/render_kit_blend.h"

#include <math.h>
#include <string.h>

#include <vector>

namespace SkinUI {

namespace {

const double kDoubleDensity = 2.0;

bool IsColorType(const wchar_t* type)
{
    return type && !IS_INTRESOURCE(type) && wcscmp(type, L"*COLOR*") == 0;
}

// "img/close.png" becomes "img/close@2x.png"; a name without an extension
// gets the mark at its end.
CUIString DoubleDensityName(const wchar_t* name)
{
    const wchar_t* dot = wcsrchr(name, L'.');
    const wchar_t* slash = wcsrchr(name, L'/');
    const wchar_t* backslash = wcsrchr(name, L'\\');
    if (backslash > slash)
        slash = backslash;
    CUIString marked;
    if (!dot || (slash && dot < slash)) {
        marked = name;
        marked += L"@2x";
        return marked;
    }
    marked.Assign(name, static_cast<int>(dot - name));
    marked += L"@2x";
    marked += dot;
    return marked;
}

// The weights of the source pixels that cover each destination pixel along
// one axis: a box filter with fractional edges, each row of weights summing
// to one.
struct TSpan {
    int first;
    std::vector<double> weights;
};

std::vector<TSpan> BoxSpans(int sourceLength, int targetLength)
{
    std::vector<TSpan> spans(static_cast<size_t>(targetLength));
    const double step = static_cast<double>(sourceLength) / targetLength;
    for (int i = 0; i < targetLength; ++i) {
        const double start = i * step;
        const double end = start + step;
        TSpan& span = spans[static_cast<size_t>(i)];
        span.first = static_cast<int>(floor(start));
        for (int s = span.first; s < sourceLength && s < end; ++s) {
            const double from = s > start ? s : start;
            const double to = s + 1 < end ? s + 1 : end;
            span.weights.push_back((to - from) / step);
        }
    }
    return spans;
}

} // namespace

TLoadedImage* CRenderKit::ResampleImage(const TLoadedImage& image, int width, int height)
{
    if (!image.pBits || width <= 0 || height <= 0 || width > image.nX || height > image.nY)
        return nullptr;
    BYTE* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(nullptr, width, height, &bits);
    if (!bitmap)
        return nullptr;
    const std::vector<TSpan> columns = BoxSpans(image.nX, width);
    const std::vector<TSpan> rows = BoxSpans(image.nY, height);
    // Premultiplied pixels average without dark fringes at transparent edges.
    std::vector<double> across(static_cast<size_t>(width) * image.nY * 4);
    for (int y = 0; y < image.nY; ++y) {
        const BYTE* in = image.pBits + static_cast<size_t>(y) * image.nX * 4;
        double* out = &across[static_cast<size_t>(y) * width * 4];
        for (int x = 0; x < width; ++x) {
            const TSpan& span = columns[static_cast<size_t>(x)];
            for (size_t k = 0; k < span.weights.size(); ++k)
                for (int c = 0; c < 4; ++c)
                    out[x * 4 + c] += in[(span.first + static_cast<int>(k)) * 4 + c] * span.weights[k];
        }
    }
    for (int y = 0; y < height; ++y) {
        const TSpan& span = rows[static_cast<size_t>(y)];
        BYTE* out = bits + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width * 4; ++x) {
            double sum = 0;
            for (size_t k = 0; k < span.weights.size(); ++k)
                sum += across[(static_cast<size_t>(span.first) + k) * width * 4 + x] * span.weights[k];
            out[x] = static_cast<BYTE>(sum > 255 ? 255 : sum + 0.5);
        }
    }
    TLoadedImage* made = new TLoadedImage;
    made->hBitmap.reset(bitmap);
    made->pBits = bits;
    made->nX = width;
    made->nY = height;
    made->bAlpha = image.bAlpha;
    made->sResType = image.sResType;
    return made;
}

TLoadedImage* CRenderKit::LoadImageForScale(const wchar_t* name, const wchar_t* type, DWORD mask, double factor)
{
    if (!name || IS_INTRESOURCE(name) || IsColorType(type) || factor <= 1.0)
        return nullptr;
    TLoadedImage* dense = LoadImage(DoubleDensityName(name), type, mask);
    if (!dense)
        return nullptr;
    dense->dScale = kDoubleDensity;
    if (factor >= kDoubleDensity)
        return dense;
    const int width = static_cast<int>(dense->nX * factor / kDoubleDensity + 0.5);
    const int height = static_cast<int>(dense->nY * factor / kDoubleDensity + 0.5);
    TLoadedImage* resampled = ResampleImage(*dense, width, height);
    delete dense;
    if (resampled)
        resampled->dScale = factor;
    return resampled;
}

} // namespace SkinUI
