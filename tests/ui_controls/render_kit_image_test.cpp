// Image decoding and nine-patch drawing, read back from 32-bit DIB sections.
#include "ui/controls/render_kit.h"
#include "ui/controls/render_kit_blend.h"

#include "tests/support/dib_surface.h"
#include "tests/ui_controls/test_images.h"

#include <gtest/gtest.h>

#include <vector>

using SkinUI::CRenderKit;
using testing_support::DibSurface;
using testing_support::Near;
using namespace ui_controls_test;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;
const uint32_t kRed = 0xFFFF0000;
const uint32_t kGreen = 0xFF00FF00;
const uint32_t kBlue = 0xFF0000FF;

// How a piece reaches the surface: plain copies, the platform's blend, or
// the software blend that replaces a missing platform entry.
enum class Path { Opaque, PlatformBlend, SoftwareBlend };

class PathScope {
public:
    explicit PathScope(Path path) : saved_(SkinUI::BlendPrimitives())
    {
        if (path == Path::SoftwareBlend) {
            SkinUI::BlendPrimitives().alphaBlend = nullptr;
            SkinUI::BlendPrimitives().gradientFill = nullptr;
        }
    }
    ~PathScope() { SkinUI::BlendPrimitives() = saved_; }

private:
    SkinUI::TBlendPrimitives saved_;
};

void Draw(DibSurface& surface, const SkinUI::TLoadedImage& image, Path path, RECT dest, RECT source,
    RECT corner = {0, 0, 0, 0}, bool hole = false, bool xTiled = false, bool yTiled = false, BYTE fade = 255)
{
    PathScope scope(path);
    CRenderKit::DrawImageRaw(surface.dc(), image.hBitmap.get(), dest, surface.Bounds(), source, corner,
        path != Path::Opaque, fade, hole, xTiled, yTiled);
}

const Path kPaths[] = {Path::Opaque, Path::PlatformBlend, Path::SoftwareBlend};

TEST(RenderKitImage, PremultipliesHalfTransparentPixels)
{
    ImagePtr image = MakeImage(2, 1, [](int x, int) { return x == 0 ? 0x80C86432u : kRed; });
    ASSERT_TRUE(image);
    EXPECT_EQ(0x80643219u, reinterpret_cast<uint32_t*>(image->pBits)[0]);
    EXPECT_EQ(kRed, reinterpret_cast<uint32_t*>(image->pBits)[1]);
    EXPECT_TRUE(image->bAlpha);
    EXPECT_FALSE(MakeImage(2, 1, [](int, int) { return kRed; })->bAlpha);
}

TEST(RenderKitImage, MaskColourBecomesTransparent)
{
    ImagePtr image = MakeImage(2, 1, [](int x, int) { return x == 0 ? 0xFFFF00FFu : kGreen; }, 0xFFFF00FF);
    ASSERT_TRUE(image);
    EXPECT_EQ(0u, reinterpret_cast<uint32_t*>(image->pBits)[0]);
    EXPECT_EQ(kGreen, reinterpret_cast<uint32_t*>(image->pBits)[1]);
    EXPECT_TRUE(image->bAlpha);
}

TEST(RenderKitImage, ColourImageIsOnePixel)
{
    ImagePtr image(CRenderKit::LoadImage(L"#FF2BA2F9", L"*COLOR*"));
    ASSERT_TRUE(image);
    EXPECT_EQ(1, image->nX);
    EXPECT_EQ(1, image->nY);
    DibSurface surface(12, 12);
    Draw(surface, *image, Path::Opaque, RECT{1, 1, 11, 11}, RECT{0, 0, 1, 1});
    EXPECT_EQ(10 * 10, surface.CountNot(kWhite));
    EXPECT_EQ(0x2BA2F9u, surface.Rgb(10, 10));
}

TEST(RenderKitImage, HostileBytesGiveNoImage)
{
    std::string huge = MakePng(1, 1, [](int, int) { return kRed; });
    const char side[4] = {0, 0, 0x75, 0x30}; // 30,000
    huge.replace(16, 4, side, 4);
    huge.replace(20, 4, side, 4);
    std::string wide = MakePng(1, 1, [](int, int) { return kRed; });
    const char tooWide[4] = {0, 0, 0x40, 0x01}; // 16,385
    wide.replace(16, 4, tooWide, 4);
    std::string png = MakePng(8, 8, [](int, int) { return kRed; });
    const std::string cases[] = {std::string(), "not an image at all", MakePng(0, 0, [](int, int) { return 0u; }),
        huge, wide, png.substr(0, png.size() / 2), png.substr(0, 20), std::string("BM") + std::string(60, '\xFF'),
        std::string("GIF89a\xFF\xFF\xFF\xFF", 10)};
    for (const std::string& bytes : cases)
        EXPECT_EQ(nullptr, CRenderKit::LoadImageFromBytes(bytes.data(), bytes.size())) << bytes.size();
    EXPECT_EQ(nullptr, CRenderKit::LoadImage(L"Z:\\no\\such\\image.png"));
}

TEST(RenderKitImage, SourcePartPicksTheRightHalf)
{
    ImagePtr image = MakeImage(56, 28, [](int x, int) { return x < 28 ? kRed : kBlue; });
    for (Path path : kPaths) {
        for (RECT source : {RECT{28, 0, 56, 28}, RECT{28, 0, 90, 28}}) {
            DibSurface surface(40, 30);
            Draw(surface, *image, path, RECT{0, 0, 28, 28}, source);
            RECT drawn;
            EXPECT_EQ(28 * 28, surface.CountNot(kWhite, &drawn));
            EXPECT_EQ(0x0000FFu, surface.Rgb(0, 0));
            EXPECT_EQ(0x0000FFu, surface.Rgb(27, 27));
        }
    }
}

// A 3 x 3 image: every part of the nine-patch has its own colour.
uint32_t Patch(int x, int y)
{
    return 0xFF000000u | static_cast<uint32_t>(x * 100) << 16 | static_cast<uint32_t>(y * 100) << 8 | 0x40;
}

// Probes well inside each part, so that only which source pixel a part
// takes, not how a stretch rounds, decides the colour; uneven corners move
// the middle toward the sides without a corner.
TEST(RenderKitImage, CornersStayAndEdgesStretch)
{
    struct Probe {
        int x, y, sx, sy;
    };
    const struct {
        RECT corner;
        std::vector<Probe> probes;
    } cases[] = {
        {{1, 1, 1, 1},
            {{1, 1, 0, 0}, {10, 1, 2, 0}, {1, 10, 0, 2}, {10, 10, 2, 2}, {5, 1, 1, 0}, {1, 5, 0, 1}, {10, 5, 2, 1},
                {5, 10, 1, 2}, {5, 5, 1, 1}, {9, 9, 1, 1}}},
        {{0, 0, 1, 1},
            {{1, 1, 0, 0}, {9, 9, 1, 1}, {10, 1, 2, 0}, {10, 9, 2, 1}, {1, 10, 0, 2}, {9, 10, 1, 2}, {10, 10, 2, 2}}},
        {{1, 1, 0, 0},
            {{1, 1, 0, 0}, {2, 2, 1, 1}, {10, 10, 2, 2}, {2, 1, 1, 0}, {10, 1, 2, 0}, {1, 2, 0, 1}, {1, 10, 0, 2}}},
    };
    ImagePtr image = MakeImage(3, 3, Patch);
    for (Path path : kPaths) {
        for (const auto& c : cases) {
            DibSurface surface(12, 12);
            Draw(surface, *image, path, RECT{1, 1, 11, 11}, RECT{0, 0, 3, 3}, c.corner);
            for (const Probe& probe : c.probes)
                EXPECT_EQ(Patch(probe.sx, probe.sy) & 0xFFFFFF, surface.Rgb(probe.x, probe.y))
                    << "corner " << c.corner.left << "," << c.corner.top << "," << c.corner.right << ","
                    << c.corner.bottom << " path " << static_cast<int>(path) << " at " << probe.x << "," << probe.y;
            EXPECT_EQ(100, surface.CountNot(kWhite));
        }
    }
}

uint32_t Column(int x, int y)
{
    return 0xFF000000u | static_cast<uint32_t>(x * 20) << 16 | static_cast<uint32_t>(y * 40) << 8;
}

TEST(RenderKitImage, TilesFillTheMiddleAndTheLastIsCut)
{
    ImagePtr image = MakeImage(10, 4, Column);
    const struct {
        bool xTiled, yTiled;
        RECT dest;
    } cases[] = {{true, false, {0, 0, 25, 4}}, {false, true, {0, 0, 10, 10}}, {true, true, {0, 0, 25, 10}}};
    for (Path path : kPaths) {
        for (const auto& c : cases) {
            DibSurface surface(30, 12);
            Draw(surface, *image, path, c.dest, RECT{0, 0, 10, 4}, RECT{0, 0, 0, 0}, false, c.xTiled, c.yTiled);
            EXPECT_EQ((c.dest.right) * (c.dest.bottom), surface.CountNot(kWhite));
            for (int y = 0; y < c.dest.bottom; ++y) {
                for (int x = 0; x < c.dest.right; ++x)
                    ASSERT_EQ(Column(x % 10, y % 4) & 0xFFFFFF, surface.Rgb(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(RenderKitImage, HoleLeavesTheMiddleUntouched)
{
    ImagePtr image = MakeImage(11, 11, [](int, int) { return kGreen; });
    for (Path path : kPaths) {
        DibSurface surface(20, 20);
        Draw(surface, *image, path, RECT{0, 0, 20, 20}, RECT{0, 0, 11, 11}, RECT{5, 5, 5, 5}, true);
        EXPECT_EQ(0xFFFFFFu, surface.Rgb(10, 10));
        EXPECT_EQ(0x00FF00u, surface.Rgb(2, 2));
        EXPECT_EQ(0x00FF00u, surface.Rgb(10, 2));
        EXPECT_EQ(20 * 20 - 10 * 10, surface.CountNot(kWhite));
    }
}

TEST(RenderKitImage, FadeBlendsAnOpaqueImage)
{
    ImagePtr image = MakeImage(4, 4, [](int, int) { return kRed; });
    ASSERT_FALSE(image->bAlpha);
    for (Path path : {Path::PlatformBlend, Path::SoftwareBlend}) {
        DibSurface surface(4, 4);
        PathScope scope(path);
        CRenderKit::DrawImageRaw(surface.dc(), image->hBitmap.get(), surface.Bounds(), surface.Bounds(), RECT{0, 0, 4, 4},
            RECT{0, 0, 0, 0}, false, 255);
        EXPECT_EQ(0xFF0000u, surface.Rgb(3, 3));
        CRenderKit::DrawImageRaw(surface.dc(), image->hBitmap.get(), surface.Bounds(), surface.Bounds(), RECT{0, 0, 4, 4},
            RECT{0, 0, 0, 0}, false, 128);
        EXPECT_EQ(0xFF0000u, surface.Rgb(3, 3));
        surface.Fill(kWhite);
        CRenderKit::DrawImageRaw(surface.dc(), image->hBitmap.get(), surface.Bounds(), surface.Bounds(), RECT{0, 0, 4, 4},
            RECT{0, 0, 0, 0}, false, 128);
        EXPECT_TRUE(Near(0xFF7F7F, surface.Rgb(3, 3), 1)) << std::hex << surface.Rgb(3, 3);
    }
}

TEST(RenderKitImage, SoftwareBlendMatchesThePlatform)
{
    // Constant inside each part, so that only the blend, not the choice of
    // stretched pixels, can make a difference.
    ImagePtr image = MakeImage(9, 9, [](int x, int y) {
        return static_cast<uint32_t>(60 + x / 3 * 60) << 24 | static_cast<uint32_t>(40 + y / 3 * 90) << 16 | 0x8040u;
    });
    ASSERT_TRUE(image->bAlpha);
    DibSurface platform(40, 30);
    DibSurface software(40, 30);
    for (DibSurface* surface : {&platform, &software}) {
        for (int i = 0; i < 40; ++i)
            CRenderKit::DrawLine(surface->dc(), RECT{i, 0, i, 30}, 1, 0xFF000000u | i * 6 << 8);
        Draw(*surface, *image, surface == &platform ? Path::PlatformBlend : Path::SoftwareBlend, RECT{3, 2, 37, 28},
            RECT{0, 0, 9, 9}, RECT{3, 3, 3, 3}, false, true, false, 200);
    }
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x)
            ASSERT_TRUE(Near(platform.Rgb(x, y), software.Rgb(x, y), 2))
                << x << "," << y << std::hex << " " << platform.Rgb(x, y) << " " << software.Rgb(x, y);
    }
}

// A 32 x 32 image is exactly one page of pixels: a read outside it faults.
TEST(RenderKitImage, HostileRectanglesStayInsideTheImage)
{
    ImagePtr image = MakeImage(32, 32, [](int, int) { return 0x80402010u; });
    const int big = 1 << 24;
    const struct {
        RECT dest, source, corner;
        bool tiled;
        bool drawsNothing;
    } cases[] = {
        {{0, 0, 64, 64}, {-5, -7, 10, 10}, {0, 0, 0, 0}, false, false},
        {{0, 0, 64, 64}, {20, 0, 10, 32}, {0, 0, 0, 0}, false, true},
        {{0, 0, 64, 64}, {0, 40, 32, 32}, {0, 0, 0, 0}, false, true},
        {{0, 0, 64, 64}, {0, 0, 0, 0}, {0, 0, 0, 0}, true, true},
        {{0, 0, 64, 64}, {0, 0, 32, 32}, {40, 40, 40, 40}, false, false},
        {{0, 0, 64, 64}, {0, 0, 32, 32}, {-9, -9, 50, 50}, true, false},
        {{0, 0, 64, 64}, {30, 30, 40, 40}, {5, 5, 5, 5}, true, false},
        {{0, 0, 64, 64}, {0, 0, 10, 10}, {5, 0, 5, 0}, true, false},
        {{10, 10, 10, 50}, {0, 0, 32, 32}, {0, 0, 0, 0}, false, true},
        {{40, 40, 10, 10}, {0, 0, 32, 32}, {0, 0, 0, 0}, false, true},
        {{-big, -big, big, big}, {0, 0, 1, 1}, {0, 0, 0, 0}, true, false},
        {{-big, -big, big, big}, {0, 0, 32, 32}, {16, 16, 16, 16}, false, false},
    };
    for (Path path : {Path::PlatformBlend, Path::SoftwareBlend}) {
        for (const auto& c : cases) {
            DibSurface surface(64, 64);
            Draw(surface, *image, path, c.dest, c.source, c.corner, false, c.tiled, c.tiled);
            if (c.drawsNothing) {
                EXPECT_EQ(0, surface.CountNot(kWhite)) << c.dest.left << " " << c.source.left;
            }
        }
    }
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

} // namespace
