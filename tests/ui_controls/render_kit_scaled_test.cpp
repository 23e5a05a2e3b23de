// Images for display scales: resampling down with a box filter, and
// nine-patch corners whose size on the window differs from the file's.
#include "ui/controls/render_kit.h"

#include "tests/support/dib_surface.h"
#include "tests/ui_controls/test_images.h"

#include <gtest/gtest.h>

using SkinUI::CRenderKit;
using testing_support::DibSurface;
using namespace ui_controls_test;

namespace {

const uint32_t kRed = 0xFFFF0000;
const uint32_t kGreen = 0xFF00FF00;
const uint32_t kBlue = 0xFF0000FF;

uint32_t PixelOf(const SkinUI::TLoadedImage& image, int x, int y)
{
    return reinterpret_cast<const uint32_t*>(image.pBits)[y * image.nX + x];
}

TEST(RenderKitScaled, HalvingAveragesEachBlockOfFour)
{
    // Blocks of 2x2: red, green / blue, and a block of half red, half transparent.
    ImagePtr image = MakeImage(4, 4, [](int x, int y) {
        if (y < 2)
            return x < 2 ? kRed : kGreen;
        if (x < 2)
            return kBlue;
        return x == 2 ? kRed : 0u;
    });
    ASSERT_TRUE(image);
    std::unique_ptr<SkinUI::TLoadedImage> half(CRenderKit::ResampleImage(*image, 2, 2));
    ASSERT_TRUE(half);
    EXPECT_EQ(kRed, PixelOf(*half, 0, 0));
    EXPECT_EQ(kGreen, PixelOf(*half, 1, 0));
    EXPECT_EQ(kBlue, PixelOf(*half, 0, 1));
    // Premultiplied: half covered red, with no dark fringe.
    EXPECT_EQ(0x80800000u, PixelOf(*half, 1, 1));
    EXPECT_TRUE(half->bAlpha);
}

TEST(RenderKitScaled, ThreeQuartersWeighsThePixelsItCuts)
{
    // Four columns 0, 64, 128, 192 grey to three: each new column spans 4/3 of the old.
    ImagePtr image = MakeImage(4, 1, [](int x, int) {
        const uint32_t v = static_cast<uint32_t>(x * 64);
        return 0xFF000000u | v << 16 | v << 8 | v;
    });
    ASSERT_TRUE(image);
    std::unique_ptr<SkinUI::TLoadedImage> scaled(CRenderKit::ResampleImage(*image, 3, 1));
    ASSERT_TRUE(scaled);
    // (0 + 64/3) / (4/3) = 16; (64*2/3 + 128*2/3) / (4/3) = 96; (128/3 + 192) / (4/3) = 176.
    const uint32_t expected[] = {16, 96, 176};
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(0xFF000000u | expected[x] << 16 | expected[x] << 8 | expected[x], PixelOf(*scaled, x, 0)) << x;
}

TEST(RenderKitScaled, RefusesToGrowOrToBeEmpty)
{
    ImagePtr image = MakeImage(4, 4, [](int, int) { return kRed; });
    ASSERT_TRUE(image);
    EXPECT_EQ(nullptr, CRenderKit::ResampleImage(*image, 5, 4));
    EXPECT_EQ(nullptr, CRenderKit::ResampleImage(*image, 0, 2));
}

// A 6x6 file whose 2-pixel frame is red around a green middle: drawn with
// corners of one pixel on the window, the frame stays one pixel wide.
TEST(RenderKitScaled, CornersTakeTheirOwnSizeOnTheWindow)
{
    ImagePtr image = MakeImage(6, 6, [](int x, int y) {
        return x < 2 || y < 2 || x >= 4 || y >= 4 ? kRed : kGreen;
    });
    ASSERT_TRUE(image);
    const RECT one = {1, 1, 1, 1};
    // Without corners of its own the window takes the file's two pixels.
    const struct {
        const RECT* destCorner;
        uint32_t atOne;
    } cases[] = {{nullptr, kRed}, {&one, kGreen}};
    for (const auto& c : cases) {
        DibSurface surface(12, 12);
        CRenderKit::DrawImageRaw(surface.dc(), image->hBitmap.get(), surface.Bounds(), surface.Bounds(), RECT{0, 0, 6, 6},
            RECT{2, 2, 2, 2}, false, 255, false, false, false, c.destCorner);
        EXPECT_EQ(kRed, surface.Pixel(0, 0) | 0xFF000000u);
        EXPECT_EQ(c.atOne, surface.Pixel(1, 1) | 0xFF000000u);
        EXPECT_EQ(c.atOne, surface.Pixel(10, 10) | 0xFF000000u);
        EXPECT_EQ(kRed, surface.Pixel(11, 11) | 0xFF000000u);
        EXPECT_EQ(kGreen, surface.Pixel(6, 6) | 0xFF000000u);
    }
}

} // namespace
