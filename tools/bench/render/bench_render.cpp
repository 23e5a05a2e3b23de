// Nine-patch drawing speed: a 500 x 310 nine-patch with alpha drawn 1,000
// times into a DIB section, against one AlphaBlend of the same area per
// draw. Rounds alternate which goes first; the ratio is the rounds' median.
#include "ui/controls/render_kit.h"
#include "ui/controls/render_kit_blend.h"

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using SkinUI::CRenderKit;
using SkinUI::TLoadedImage;

namespace {

const int kWidth = 500;
const int kHeight = 310;
const int kDraws = 1000;
const int kRounds = 7;

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A decoded-image stand-in of the given size: premultiplied pixels with
// alpha, as LoadImage makes them.
std::unique_ptr<TLoadedImage> AlphaImage(int width, int height)
{
    std::unique_ptr<TLoadedImage> image(new TLoadedImage);
    image->hBitmap.reset(SkinUI::CreateTopDownBitmap(nullptr, width, height, &image->pBits));
    image->nX = width;
    image->nY = height;
    image->bAlpha = true;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE alpha = static_cast<BYTE>(96 + (x + y) % 160);
            BYTE* pixel = image->pBits + (static_cast<size_t>(y) * width + x) * 4;
            pixel[0] = static_cast<BYTE>(alpha * 3 / 4);
            pixel[1] = static_cast<BYTE>(alpha / 2);
            pixel[2] = static_cast<BYTE>(alpha / 4);
            pixel[3] = alpha;
        }
    }
    return image;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int wmain()
{
    HDC target = CreateCompatibleDC(nullptr);
    BYTE* targetPixels = nullptr;
    HBITMAP targetBitmap = SkinUI::CreateTopDownBitmap(target, kWidth, kHeight, &targetPixels);
    SelectObject(target, targetBitmap);
    std::unique_ptr<TLoadedImage> patch = AlphaImage(60, 60);
    std::unique_ptr<TLoadedImage> whole = AlphaImage(kWidth, kHeight);
    SkinUI::AlphaBlendProc alphaBlend = SkinUI::BlendPrimitives().alphaBlend;
    if (!targetBitmap || !patch->hBitmap || !whole->hBitmap || !alphaBlend) {
        fprintf(stderr, "cannot set up the surfaces\n");
        return 1;
    }
    HDC source = CreateCompatibleDC(target);
    SelectObject(source, whole->hBitmap.get());
    const RECT area = {0, 0, kWidth, kHeight};
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

    auto ninePatch = [&] {
        double start = Now();
        for (int i = 0; i < kDraws; ++i)
            CRenderKit::DrawImageRaw(target, patch->hBitmap.get(), area, area, RECT{0, 0, 60, 60}, RECT{20, 20, 20, 20}, true);
        GdiFlush();
        return Now() - start;
    };
    auto single = [&] {
        double start = Now();
        for (int i = 0; i < kDraws; ++i)
            alphaBlend(target, 0, 0, kWidth, kHeight, source, 0, 0, kWidth, kHeight, blend);
        GdiFlush();
        return Now() - start;
    };

    std::vector<double> patchTimes;
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        double patchTime, singleTime;
        if (round % 2 == 0) {
            patchTime = ninePatch();
            singleTime = single();
        } else {
            singleTime = single();
            patchTime = ninePatch();
        }
        patchTimes.push_back(patchTime);
        ratios.push_back(patchTime / singleTime);
    }
    const double patchTime = Median(patchTimes);
    fprintf(stderr, "%d draws of a %d x %d nine-patch: median %.1f ms\n", kDraws, kWidth, kHeight, patchTime * 1e3);
    printf("render.ninepatch_mpix_s: %.1f\n", static_cast<double>(kWidth) * kHeight * kDraws / patchTime / 1e6);
    printf("render.ninepatch_ratio: %.3f\n", Median(ratios));
    DeleteDC(source);
    DeleteDC(target);
    DeleteObject(targetBitmap);
    return 0;
}
