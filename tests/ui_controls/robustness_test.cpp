// Mutated image texts, attribute lists and image files for the controls
// and the render kit, in the same guarded build as the parser's mutation
// runs: every input ends right before an inaccessible page.
#include "ui/controls/attribute_value.h"
#include "ui/controls/control.h"
#include "ui/controls/render_kit.h"
#include "ui/controls/render_kit_blend.h"

#include "tests/support/dib_surface.h"
#include "tests/support/png_writer.h"
#include "tests/ui_core/mutation.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using robustness::GuardedBlock;
using robustness::GuardedText;
using robustness::Mutate;
namespace {

// A 32 x 32 image is one page of pixels, so reads outside it fault.
std::unique_ptr<SkinUI::TLoadedImage> PageImage()
{
    std::vector<uint32_t> pixels(32 * 32, 0x80336699u);
    std::string png = testing_support::EncodePng(32, 32, pixels);
    return std::unique_ptr<SkinUI::TLoadedImage>(SkinUI::CRenderKit::LoadImageFromBytes(png.data(), png.size()));
}

// Parses the text into a spec and draws it through the software blend,
// which has no platform checks in front of it.
void ExerciseImageText(const std::string& text, const SkinUI::TLoadedImage& image, testing_support::DibSurface& surface)
{
    GuardedText guarded(text);
    SkinUI::TImageSpec spec;
    SkinUI::TImageRequest request;
    spec.Parse(guarded.c_str(), request);
    if (spec.rcSource.left == 0 && spec.rcSource.top == 0 && spec.rcSource.right == 0 && spec.rcSource.bottom == 0)
        spec.rcSource = RECT{0, 0, image.nX, image.nY};
    const RECT item = {4, 4, 44, 44};
    RECT dest = item;
    if (spec.rcDest.left || spec.rcDest.top || spec.rcDest.right || spec.rcDest.bottom)
        dest = RECT{item.left + spec.rcDest.left, item.top + spec.rcDest.top, item.left + spec.rcDest.right,
            item.top + spec.rcDest.bottom};
    SkinUI::CRenderKit::DrawImageRaw(surface.dc(), image.hBitmap.get(), dest, item, spec.rcSource, spec.rcCorner, true,
        spec.uFade, spec.bHole, spec.bXTiled, spec.bYTiled);
}

class SoftwareBlendScope {
public:
    SoftwareBlendScope() : saved_(SkinUI::BlendPrimitives()) { SkinUI::BlendPrimitives() = SkinUI::TBlendPrimitives(); }
    ~SoftwareBlendScope() { SkinUI::BlendPrimitives() = saved_; }

private:
    SkinUI::TBlendPrimitives saved_;
};

} // namespace

TEST(Robustness, MutatedImageTextsStayInsideTextAndImage)
{
    const std::vector<std::string> seeds = {"file='img/icon_close.png' source='0,0,28,28'", "img/pic_bg.png",
        "color='#FF2BA2F9'", "source='0,0'", "dest='5'",
        "file='a.png' dest='0,0,100,10' corner='5,5,5,5' mask='#FFFF00FF' fade='128' hole='true' xtiled='true' "
        "ytiled='true' hsl='true'",
        "res='7' restype='PNG' scale9='40,-3,50,9' source='-5,-5,64,64'", "source='20,0,10,32' corner='1,1,1'"};
    std::unique_ptr<SkinUI::TLoadedImage> image = PageImage();
    ASSERT_TRUE(image);
    testing_support::DibSurface surface(48, 48);
    SoftwareBlendScope software;
    std::mt19937 random(90210);
    for (size_t i = 0; i < seeds.size(); ++i) {
        for (size_t length = 0; length <= seeds[i].size(); ++length)
            ExerciseImageText(seeds[i].substr(0, length), *image, surface);
    }
    for (int i = 0; i < 3000; ++i)
        ExerciseImageText(Mutate(seeds[i % seeds.size()], random), *image, surface);
}

TEST(Robustness, AttributeValuesAreReadWithinTheirText)
{
    const char* const names[] = {"pos", "padding", "bkcolor", "bkcolor2", "bkcolor3", "forecolor", "bordercolor",
        "focusbordercolor", "colorhsl", "bordersize", "borderstyle", "borderround", "width", "height", "minwidth",
        "minheight", "maxwidth", "maxheight", "tag", "enabled", "visible", "float", "shortcut", "menu", "unknown"};
    const char* const values[] = {"", "5", "0,0", "1,", ",", "#", "-", "+", "0x", "1e", "9999999999999999999",
        "-2147483648,-2147483648,2147483647,2147483647", "1e400,inf,nan,-1e999", "0.5,0,0.5,0", "#FF", " #FF17212E",
        "true", "1,0,1,0", "3,"};
    for (const char* name : names) {
        for (const char* value : values) {
            SkinUI::CControlUI control;
            GuardedText guardedName(name);
            GuardedText guardedValue(value);
            control.SetAttribute(guardedName.c_str(), guardedValue.c_str());
            control.SetPos(RECT{0, 0, 20, 20});
            testing_support::DibSurface surface(24, 24);
            control.Paint(surface.dc(), surface.Bounds(), nullptr);
        }
    }
    for (const char* value : values) {
        GuardedText guarded(value);
        long numbers[4];
        double fractions[4];
        SkinUI::ParseIntList(guarded.c_str(), numbers, 4);
        SkinUI::ParseDoubleList(guarded.c_str(), fractions, 4);
        SkinUI::ParseColorValue(guarded.c_str(), true);
        for (double fraction : fractions)
            EXPECT_TRUE(fraction == fraction && fraction <= SkinUI::kMaxCoordinate && fraction >= -SkinUI::kMaxCoordinate);
    }
}

TEST(Robustness, MutatedAttributeListsApplyOrStop)
{
    const std::vector<std::string> seeds = {
        "name=\"Close_Btn\" pos=\"10,20,110,70\" padding=\"5\" bordersize=\"1,0,1,0\" bkcolor=\"#FF17212E\" "
        "bordercolor=\"#FF000000\" borderround=\"3,3\" width=\"30\" bkimage=\"file='a.png' source='0,0'\"",
        "a=\"1\"b=\"2\"", "float=\"1e300,inf,nan,-1e999\" pos=\"0,272\" minwidth=\"-5\" maxwidth=\"20\"",
        "bkcolor=\"#80FF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\" x=\"", "visible=\"false\"  text=\"t\""};
    std::mt19937 random(4242);
    testing_support::DibSurface surface(40, 40);
    for (int i = 0; i < 3000; ++i) {
        GuardedText list(Mutate(seeds[i % seeds.size()], random));
        SkinUI::CControlUI control;
        control.ApplyAttributeList(list.c_str());
        control.SetPos(RECT{2, 2, 38, 38});
        control.Paint(surface.dc(), surface.Bounds(), nullptr);
    }
}

namespace {

std::string SmallBmp()
{
    std::string bmp = std::string("BM") + std::string(12, '\0');
    const unsigned char info[40] = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0};
    bmp.append(reinterpret_cast<const char*>(info), 40);
    bmp[10] = 54;
    bmp.append(16, '\x7F');
    bmp[2] = static_cast<char>(bmp.size());
    return bmp;
}

std::string SmallGif()
{
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0x2C, 0,
        0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    return std::string(reinterpret_cast<const char*>(gif), sizeof(gif));
}

void ExerciseImageBytes(const std::string& bytes)
{
    GuardedBlock block(bytes);
    std::unique_ptr<SkinUI::TLoadedImage> image(SkinUI::CRenderKit::LoadImageFromBytes(block.data(), bytes.size()));
    if (!image)
        return;
    ASSERT_GT(image->nX, 0);
    ASSERT_LE(image->nX, 16384);
    ASSERT_LE(static_cast<long long>(image->nX) * image->nY, 16 * 1024 * 1024);
    testing_support::DibSurface surface(16, 16);
    SkinUI::CRenderKit::DrawImageRaw(surface.dc(), image->hBitmap.get(), surface.Bounds(), surface.Bounds(),
        RECT{0, 0, image->nX, image->nY}, RECT{2, 2, 2, 2}, true);
}

} // namespace

TEST(Robustness, HostileImageBytesGiveAnImageOrNone)
{
    std::string png = testing_support::EncodePng(4, 4, std::vector<uint32_t>(16, 0x80FF0000u));
    std::string huge = png;
    const char side[4] = {0, 0, 0x75, 0x30};
    huge.replace(16, 4, side, 4);
    huge.replace(20, 4, side, 4);
    const std::vector<std::string> seeds = {png, testing_support::EncodePng(0, 0, {}), huge, SmallBmp(), SmallGif(),
        "not an image", std::string("\xFF\xD8\xFF\xE0", 4)};
    for (const std::string& seed : seeds) {
        for (size_t length = 0; length <= seed.size(); ++length)
            ExerciseImageBytes(seed.substr(0, length));
    }
    std::mt19937 random(777);
    for (int i = 0; i < 3000; ++i) {
        SCOPED_TRACE("image mutation " + std::to_string(i));
        ExerciseImageBytes(Mutate(seeds[i % seeds.size()], random));
        if (HasFatalFailure())
            return;
    }
}
