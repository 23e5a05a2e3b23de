// Colours, gradients, clips and colour adjustment, read back from DIB sections.
#include "ui/controls/delegate.h"
#include "ui/controls/render_kit.h"
#include "ui/controls/render_kit_blend.h"

#include "tests/support/dib_surface.h"

#include <gtest/gtest.h>

#include <vector>

using SkinUI::CRenderKit;
using testing_support::DibSurface;
using testing_support::Near;

namespace {

TEST(RenderKitDraw, ColourBlendsWithItsAlpha)
{
    const struct {
        uint32_t color, expected;
        int changed;
    } cases[] = {{0x80FF0000, 0xFF7F7F, 100}, {0xFF123456, 0x123456, 100}, {0x00123456, 0xFFFFFF, 0}};
    for (const auto& c : cases) {
        DibSurface surface(20, 20);
        CRenderKit::DrawColor(surface.dc(), RECT{5, 5, 15, 15}, c.color);
        EXPECT_EQ(c.changed, surface.CountNot(0xFFFFFFFF));
        EXPECT_TRUE(Near(c.expected, surface.Rgb(10, 10), 1)) << std::hex << surface.Rgb(10, 10);
    }
}

TEST(RenderKitDraw, GradientOpacityIsTheAverageAlpha)
{
    const struct {
        uint32_t first, second, expected;
        int changed;
    } cases[] = {{0x000000FF, 0x000000FF, 0xFFFFFF, 0}, {0x800000FF, 0xFF0000FF, 0x4040FF, 400},
        {0xFF0000FF, 0xFF0000FF, 0x0000FF, 400}};
    for (bool software : {false, true}) {
        SkinUI::TBlendPrimitives saved = SkinUI::BlendPrimitives();
        if (software)
            SkinUI::BlendPrimitives() = SkinUI::TBlendPrimitives();
        for (const auto& c : cases) {
            DibSurface surface(30, 30);
            CRenderKit::DrawGradient(surface.dc(), RECT{5, 5, 25, 25}, c.first, c.second, true, 16);
            EXPECT_EQ(c.changed, surface.CountNot(0xFFFFFFFF));
            EXPECT_TRUE(Near(c.expected, surface.Rgb(12, 12), 1)) << std::hex << surface.Rgb(12, 12);
        }
        SkinUI::BlendPrimitives() = saved;
    }
}

TEST(RenderKitDraw, GradientRunsFromFirstToSecond)
{
    for (bool software : {false, true}) {
        SkinUI::TBlendPrimitives saved = SkinUI::BlendPrimitives();
        if (software)
            SkinUI::BlendPrimitives() = SkinUI::TBlendPrimitives();
        DibSurface surface(64, 64);
        CRenderKit::DrawGradient(surface.dc(), RECT{0, 0, 64, 64}, 0xFFFF0000, 0xFF0000FF, true, 64);
        EXPECT_TRUE(Near(0xFF0000, surface.Rgb(30, 0), 8)) << std::hex << surface.Rgb(30, 0);
        EXPECT_TRUE(Near(0x0000FF, surface.Rgb(30, 63), 8)) << std::hex << surface.Rgb(30, 63);
        EXPECT_TRUE(Near(0x800080, surface.Rgb(30, 32), 12)) << std::hex << surface.Rgb(30, 32);
        SkinUI::BlendPrimitives() = saved;
    }
}

TEST(RenderKitDraw, ClipLimitsDrawingUntilReleased)
{
    DibSurface surface(30, 30);
    {
        SkinUI::CRenderClip clip;
        CRenderKit::GenerateClip(surface.dc(), RECT{10, 10, 20, 20}, clip);
        CRenderKit::DrawColor(surface.dc(), surface.Bounds(), 0xFF000000);
        RECT drawn;
        EXPECT_EQ(100, surface.CountNot(0xFFFFFFFF, &drawn));
        EXPECT_EQ(10, drawn.left);
        EXPECT_EQ(20, drawn.bottom);
    }
    {
        SkinUI::CRenderClip round;
        CRenderKit::GenerateRoundClip(surface.dc(), RECT{0, 0, 30, 12}, RECT{0, 0, 20, 20}, 10, 10, round);
        CRenderKit::DrawColor(surface.dc(), surface.Bounds(), 0xFF0000FF);
        EXPECT_EQ(0xFFFFFFu, surface.Rgb(0, 0));
        EXPECT_EQ(0x0000FFu, surface.Rgb(10, 5));
        EXPECT_EQ(0xFFFFFFu, surface.Rgb(25, 5));
        EXPECT_EQ(0x000000u, surface.Rgb(15, 15));
    }
    CRenderKit::DrawColor(surface.dc(), surface.Bounds(), 0xFF00FF00);
    EXPECT_EQ(0, surface.CountNot(0xFF00FF00));
}

TEST(RenderKitDraw, AdjustColorShiftsHueAndScales)
{
    const struct {
        uint32_t color;
        short h, s, l;
        uint32_t expected;
    } cases[] = {
        {0x80FF0000, 180, 100, 100, 0x80FF0000},
        {0xFFFF0000, 300, 100, 100, 0xFF00FF00},
        {0xFFFF0000, 60, 100, 100, 0xFF0000FF},
        {0xFFFF00FF, 300, 100, 100, 0xFFFFFF00},
        {0xFFFF00FF, 360, 100, 100, 0xFF00FF00},
        {0x40FF0000, 180, 0, 100, 0x40808080},
        {0xFF336699, 180, 100, 0, 0xFF000000},
    };
    for (const auto& c : cases) {
        uint32_t adjusted = CRenderKit::AdjustColor(c.color, c.h, c.s, c.l);
        EXPECT_TRUE(Near(c.expected, adjusted, 1) && (adjusted >> 24) == (c.expected >> 24))
            << std::hex << c.color << " -> " << adjusted;
    }
}

struct Recorder {
    std::vector<int> calls;
    bool First(void*) { return calls.push_back(1), true; }
    bool Second(void*) { return calls.push_back(2), false; }
};

TEST(DelegateList, KeepsOneOfEachBindingAndStopsAtFalse)
{
    Recorder recorder;
    SkinUI::CDelegateList list;
    EXPECT_TRUE(list(nullptr));
    list += SkinUI::MakeDelegate(&recorder, &Recorder::First);
    list += SkinUI::MakeDelegate(&recorder, &Recorder::First);
    list += SkinUI::MakeDelegate(&recorder, &Recorder::Second);
    list += SkinUI::MakeDelegate(&recorder, &Recorder::First);
    EXPECT_EQ(2, list.GetSize());
    EXPECT_FALSE(list(nullptr));
    EXPECT_EQ((std::vector<int>{1, 2}), recorder.calls);
    list -= SkinUI::MakeDelegate(&recorder, &Recorder::Second);
    EXPECT_TRUE(list(nullptr));
}

} // namespace
