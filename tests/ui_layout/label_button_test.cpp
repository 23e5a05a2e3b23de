// Labels' style words, size estimate and repainted area; buttons' state images (sampled
// pixels), "click" rules and the cross-fade, driven through window messages.
#include "layout_host.h"

#include "tests/support/dib_surface.h"
#include "tests/support/rects.h"
#include "tests/support/files.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_folder.h"

#include "ui/controls/button.h"
#include "ui/controls/label.h"
#include "ui/controls/vertical_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using testing_support::DibSurface;

namespace {

const uint32_t kLeftHalf = 0xFFFF0000;
const uint32_t kRightHalf = 0xFF00FF00;

TEST(Label, AlignmentWords)
{
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        UINT style;
    } cases[] = {
        {L"align", L"center", DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {L"align", L"vcenter", DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {L"align", L"right", DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
        {L"align", L"middle", DT_VCENTER | DT_SINGLELINE},
        {L"valign", L"bottom", DT_BOTTOM | DT_SINGLELINE},
        {L"valign", L"top", DT_SINGLELINE},
        {L"multiline", L"true", DT_VCENTER | DT_WORDBREAK},
        {L"endellipsis", L"true", DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    for (const auto& c : cases) {
        CLabelUI label;
        label.SetAttribute(c.name, c.value);
        EXPECT_EQ(label.GetTextStyle(), c.style) << c.name << "=" << c.value;
    }
}

// A wrapped label without a size is measured with the width it is given,
// and measured again when that width changes.
TEST(Label, MultiLineEstimateFollowsTheAvailableWidth)
{
    LayoutHost host(400, 300);
    auto* root = new CVerticalLayoutUI;
    auto* label = new CLabelUI;
    label->ApplyAttributeList(L"multiline=\"true\" text=\"one two three four five six seven eight nine ten\"");
    root->Add(label);
    host.Attach(root);
    int wide = label->EstimateSize(SIZE{400, 300}).cy;
    int narrow = label->EstimateSize(SIZE{60, 300}).cy;
    EXPECT_GT(wide, 0);
    EXPECT_GT(narrow, wide);
    EXPECT_EQ(label->EstimateSize(SIZE{400, 300}).cy, wide);

    CLabelUI fixed;
    fixed.ApplyAttributeList(L"width=\"12\" height=\"34\" multiline=\"true\" text=\"never measured\"");
    EXPECT_EQ(fixed.EstimateSize(SIZE{400, 300}).cx, 12);
    EXPECT_EQ(fixed.EstimateSize(SIZE{400, 300}).cy, 34);
}

// Every label's text is first moved down by half its free height, so a
// centred single line sits a quarter of the free height below the centre:
// halfway between where a top and a bottom aligned line end up.
TEST(Label, CentredLineSitsHalfwayBetweenTopAndBottomOnes)
{
    const wchar_t* alignments[] = {L"valign=\"top\"", L"align=\"middle\"", L"valign=\"bottom\""};
    int inkTop[3] = {};
    for (int i = 0; i < 3; ++i) {
        LayoutHost host(200, 100);
        auto* root = new CVerticalLayoutUI;
        auto* label = new CLabelUI;
        label->ApplyAttributeList(L"width=\"200\" height=\"100\" text=\"HH\" textcolor=\"#FF000000\"");
        label->ApplyAttributeList(alignments[i]);
        root->Add(label);
        host.Attach(root);
        DibSurface surface(200, 100);
        root->Paint(surface.dc(), surface.Bounds(), nullptr);
        RECT ink = {};
        ASSERT_GT(surface.CountNot(0xFFFFFF, &ink), 0) << alignments[i];
        inkTop[i] = ink.top;
    }
    int centred = inkTop[1] - inkTop[0];
    int bottom = inkTop[2] - inkTop[0];
    EXPECT_GT(bottom, 20);
    EXPECT_NEAR(2 * centred, bottom, 2);
}

// A label repaints only itself when its text changes, and not at all when
// the text stays the same.
TEST(Label, TextChangeInvalidatesItsOwnRectangleOnly)
{
    const struct {
        const wchar_t* next;
        bool invalidates;
    } cases[] = {{L"changed", true}, {L"first", false}, {L"", true}};
    for (const auto& c : cases) {
        LayoutHost host(200, 150);
        auto* root = new CVerticalLayoutUI;
        root->SetAttribute(L"inset", L"10,10,10,10");
        auto* above = new CControlUI;
        above->SetAttribute(L"height", L"30");
        auto* label = new CLabelUI;
        label->ApplyAttributeList(L"width=\"50\" height=\"40\" text=\"first\"");
        root->Add(above);
        root->Add(label);
        root->Add(new CControlUI);
        host.Attach(root);
        host.Paint();
        host.Pump();
        ::ValidateRect(host.hwnd, nullptr);

        label->SetText(c.next);
        RECT dirty = {};
        EXPECT_EQ(::GetUpdateRect(host.hwnd, &dirty, FALSE) != FALSE, c.invalidates) << c.next;
        if (c.invalidates) {
            const RECT& item = label->GetPos();
            EXPECT_EQ(item.left, 10);
            EXPECT_EQ(item.top, 40);
            EXPECT_TRUE(RectIs(dirty, item)) << c.next;
        }
    }
}

// Effects draw through GDI+ (which takes TrueType faces only: the window's
// font 1, as in the upgrade window): outline, shadow and text leave pixels.
TEST(Label, EffectsDrawTheText)
{
    for (const wchar_t* text : {L"HH", L""}) {
        LayoutHost host(80, 40);
        host.manager.RegisterFont(1, L"Microsoft YaHei", 12, false, false, false);
        auto* root = new CVerticalLayoutUI;
        auto* label = new CLabelUI;
        label->ApplyAttributeList(L"enabledeffect=\"true\" enabledstroke=\"true\" strokecolor=\"#FFFF0000\" "
                                  L"enabledshadow=\"true\" shadowoffset=\"2,45\" textcolor=\"#FF0000FF\" "
                                  L"enabledluminous=\"true\" font=\"1\"");
        label->SetText(text);
        root->Add(label);
        host.Attach(root);
        DibSurface surface(80, 40);
        root->Paint(surface.dc(), surface.Bounds(), nullptr);
        EXPECT_EQ(surface.CountNot(0xFFFFFF) > 0, *text != 0) << *text;
    }
}

// The close button of both windows, its image built here: left half red
// (normal), right half green (hot and pushed).
struct CloseButtonWindow {
    explicit CloseButtonWindow(const wchar_t* extra = L"")
    {
        std::vector<uint32_t> pixels(56 * 28);
        for (int y = 0; y < 28; ++y) {
            for (int x = 0; x < 56; ++x)
                pixels[y * 56 + x] = x < 28 ? kLeftHalf : kRightHalf;
        }
        std::wstring path = folder / L"icon_close.png";
        testing_support::WriteBytes(path, testing_support::EncodePng(56, 28, pixels));

        root = new CVerticalLayoutUI;
        button = new CButtonUI;
        button->ApplyAttributeList(L"name=\"Close_Btn\" width=\"28\" height=\"28\"");
        button->ApplyAttributeList(extra);
        std::wstring file = L"file='" + path + L"' ";
        button->SetAttribute(L"normalimage", (file + L"source='0,0,28,28'").c_str());
        button->SetAttribute(L"hotimage", (file + L"source='28,0,56,28'").c_str());
        button->SetAttribute(L"pushedimage", (file + L"source='28,0,56,28'").c_str());
        root->Add(button);
        host.Attach(root);
    }

    // The button painted alone into a white surface.
    void PaintInto(DibSurface& surface) { root->Paint(surface.dc(), surface.Bounds(), nullptr); }

    uint32_t Centre()
    {
        DibSurface surface(40, 40);
        PaintInto(surface);
        return surface.Pixel(14, 14);
    }

    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            host.Send(WM_TIMER, NthNativeTimerId(1));
    }

    testing_support::TempFolder folder;
    LayoutHost host{40, 40};
    CVerticalLayoutUI* root = nullptr;
    CButtonUI* button = nullptr;
};

TEST(Button, CloseButtonShowsItsRightHalfWhenHotOrPushed)
{
    CloseButtonWindow window;
    const struct {
        UINT message;
        int x, y;
        uint32_t centre;
    } steps[] = {
        {WM_NULL, 0, 0, kLeftHalf},
        {WM_MOUSEMOVE, 14, 14, kRightHalf},
        {WM_LBUTTONDOWN, 14, 14, kRightHalf},
        // Still hot while the press holds the capture.
        {WM_MOUSEMOVE, 35, 35, kRightHalf},
        {WM_LBUTTONUP, 35, 35, kRightHalf},
        {WM_MOUSEMOVE, 35, 35, kLeftHalf},
    };
    for (const auto& step : steps) {
        if (step.message != WM_NULL)
            window.host.SendAt(step.message, step.x, step.y, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON);
        EXPECT_EQ(window.Centre(), step.centre) << "after message " << step.message << " at " << step.x;
    }
}

// A held button shows its pushed image only while the mouse is over it:
// dragged out it shows its normal one (there is no hot image), and moving
// back in shows the pushed image again.
TEST(Button, PushedImageFollowsTheHeldMouse)
{
    CloseButtonWindow window;
    window.button->SetAttribute(L"hotimage", L"");
    const struct {
        UINT message;
        int x, y;
        uint32_t centre;
    } steps[] = {
        {WM_LBUTTONDOWN, 14, 14, kRightHalf},
        {WM_MOUSEMOVE, 35, 35, kLeftHalf},
        {WM_MOUSEMOVE, 10, 10, kRightHalf},
        {WM_MOUSEMOVE, 35, 14, kLeftHalf},
        {WM_LBUTTONUP, 35, 14, kLeftHalf},
    };
    for (const auto& step : steps) {
        window.host.SendAt(step.message, step.x, step.y, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON);
        EXPECT_EQ(window.Centre(), step.centre) << "after message " << step.message << " at " << step.x;
    }
}

TEST(Button, ClickOnlyOnReleaseInside)
{
    struct Step {
        UINT message;
        int x, y;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        int clicks;
    } cases[] = {
        {"press and release inside", {{WM_LBUTTONDOWN, 5, 5}, {WM_LBUTTONUP, 6, 6}}, 1},
        {"release outside", {{WM_LBUTTONDOWN, 5, 5}, {WM_MOUSEMOVE, 35, 35}, {WM_LBUTTONUP, 35, 35}}, 0},
        {"back in before release",
            {{WM_LBUTTONDOWN, 5, 5}, {WM_MOUSEMOVE, 35, 35}, {WM_MOUSEMOVE, 10, 10}, {WM_LBUTTONUP, 10, 10}}, 1},
        {"press outside", {{WM_LBUTTONDOWN, 35, 35}, {WM_MOUSEMOVE, 5, 5}, {WM_LBUTTONUP, 5, 5}}, 0},
    };
    for (const auto& c : cases) {
        CloseButtonWindow window;
        for (const Step& step : c.steps)
            window.host.SendAt(step.message, step.x, step.y, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON);
        EXPECT_EQ(window.host.log.Count(L"click"), c.clicks) << c.name;
        EXPECT_EQ(window.button->GetState() & (CButtonUI::kPushed | CButtonUI::kCaptured), 0u) << c.name;
    }
}

TEST(Button, SpaceAndReturnClickTheFocusedButton)
{
    CloseButtonWindow window;
    window.button->SetFocus();
    window.host.Send(WM_KEYDOWN, VK_SPACE);
    window.host.Send(WM_KEYDOWN, VK_RETURN);
    window.host.Send(WM_KEYDOWN, 'A');
    EXPECT_EQ(window.host.log.Count(L"click"), 2);
}

// Without a disabled image the normal image shows, with the disabled text colour.
TEST(Button, DisabledWithoutDisabledImage)
{
    CloseButtonWindow window(L"text=\"XX\" textcolor=\"#FFFFFF00\" disabledtextcolor=\"#FF0000FF\"");
    window.button->SetEnabled(false);
    DibSurface surface(40, 40);
    window.PaintInto(surface);
    EXPECT_EQ(surface.Pixel(1, 1), kLeftHalf);
    int blue = 0;
    int yellow = 0;
    for (int y = 0; y < 28; ++y) {
        for (int x = 0; x < 28; ++x) {
            uint32_t rgb = surface.Rgb(x, y);
            int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
            blue += b > 128 && g < 64;
            yellow += g > 128 && r > 128;
        }
    }
    EXPECT_GT(blue, 0);
    EXPECT_EQ(yellow, 0);
    window.host.SendAt(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    window.host.SendAt(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(window.host.log.Count(L"click"), 0);
}

// The fade runs in int: 100 steps from 255 reach 0 on the third tick and the
// timer stops there (a byte would wrap to 211 and never end).
TEST(Button, CrossFadeEndsAndStopsItsTimer)
{
    const struct {
        const wchar_t* delta;
        std::vector<int> towardHot;
    } cases[] = {
        {L"51", {204, 153, 102, 51, 0, 0}},
        {L"100", {155, 55, 0, 0}},
    };
    for (const auto& c : cases) {
        CloseButtonWindow window((std::wstring(L"fadedelta=\"") + c.delta + L"\"").c_str());
        window.host.SendAt(WM_MOUSEMOVE, 14, 14);
        for (int alpha : c.towardHot) {
            window.Tick();
            EXPECT_EQ(window.button->GetFadeAlpha(), alpha) << c.delta;
        }
        // No running timer is left to stop.
        EXPECT_FALSE(window.host.manager.StopTimer(window.button, CButtonUI::kFadeTimerId)) << c.delta;
        window.host.SendAt(WM_MOUSEMOVE, 35, 35);
        window.Tick(static_cast<int>(c.towardHot.size()));
        EXPECT_EQ(window.button->GetFadeAlpha(), 255) << c.delta;
    }
}

} // namespace
