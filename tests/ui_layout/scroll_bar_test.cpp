// The scroll bar's geometry, rounding, repeat timer and dragging, driven
// through window messages; timers are sent as WM_TIMER with their native id.
#include "layout_host.h"

#include "tests/support/dib_surface.h"
#include "tests/support/rects.h"

#include "ui/controls/scroll_bar.h"
#include "ui/controls/vertical_layout.h"

#include <gtest/gtest.h>

using namespace SkinUI;

namespace {

// A 6 x 150 bar with both buttons, alone at the top left of its window.
struct BarWindow {
    explicit BarWindow(int range)
    {
        root = new CVerticalLayoutUI;
        bar = new CScrollBarUI;
        bar->ApplyAttributeList(L"width=\"6\" height=\"150\"");
        bar->SetScrollRange(range);
        root->Add(bar);
        host.Attach(root);
    }

    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            host.Send(WM_TIMER, NthNativeTimerId(1));
    }

    LayoutHost host{40, 200};
    CVerticalLayoutUI* root;
    CScrollBarUI* bar;
};

TEST(ScrollBar, ThumbFollowsThePosition)
{
    const struct {
        int range;
        int position;
        RECT thumb;
    } cases[] = {
        {300, 0, {0, 6, 6, 52}},
        {300, 150, {0, 52, 6, 98}},
        {300, 300, {0, 98, 6, 144}},
        {0, 0, {0, 6, 6, 144}},
        // 150 x 138 x 1,500,000,000 overflows 32 bits twice over.
        {2000000000, 1500000000, {0, 105, 6, 111}},
        {2000000000, 2000000000, {0, 138, 6, 144}},
    };
    for (const auto& c : cases) {
        BarWindow window(c.range);
        window.bar->SetScrollPos(c.position);
        EXPECT_TRUE(RectIs(window.bar->GetButton1Rect(), {0, 0, 6, 6}));
        EXPECT_TRUE(RectIs(window.bar->GetButton2Rect(), {0, 144, 6, 150}));
        EXPECT_TRUE(RectIs(window.bar->GetThumbRect(), c.thumb)) << c.range << " at " << c.position;
    }
}

TEST(ScrollBar, ValueRoundsToTheScrollUnit)
{
    const struct {
        int range;
        int unit;
        const wchar_t* value;
        int position;
    } cases[] = {
        {100, 10, L"14", 10},
        {100, 10, L"15", 20},
        {100, 10, L"-5", 0},
        {100, 10, L"99", 100},
        {95, 10, L"99", 95},
        {2147483647, 2000000000, L"1500000000", 2000000000},
    };
    for (const auto& c : cases) {
        BarWindow window(c.range);
        window.bar->SetScrollUnit(c.unit);
        window.bar->SetAttribute(L"value", c.value);
        EXPECT_EQ(window.bar->GetScrollPos(), c.position) << c.value;
    }
}

// One line at once, nothing for five ticks (250 ms), then a line per tick.
TEST(ScrollBar, HeldButtonRepeatsAfterTheDelay)
{
    BarWindow window(300);
    window.host.SendAt(WM_LBUTTONDOWN, 3, 147, MK_LBUTTON);
    EXPECT_EQ(window.bar->GetScrollPos(), 8);
    const int expected[] = {8, 8, 8, 8, 8, 16, 24, 32};
    for (int position : expected) {
        window.Tick();
        EXPECT_EQ(window.bar->GetScrollPos(), position);
    }
    window.host.SendAt(WM_LBUTTONUP, 3, 147);
    window.Tick(3);
    EXPECT_EQ(window.bar->GetScrollPos(), 32);

    window.host.Pump();
    EXPECT_EQ(window.host.log.Count(L"scroll"), 1);
}

// The thumb is grabbed in the middle of the range and moved by some pixels;
// the position follows at the next tick.
TEST(ScrollBar, DraggingTheThumbClampsAtBothEnds)
{
    const struct {
        int range;
        int moveBy;
        int position;
    } cases[] = {
        {300, 23, 225},
        {300, -500, 0},
        {300, 2000, 300},
        {2000000000, 33, 1500000000},
        {2000000000, 2000, 2000000000},
        {2000000000, -2000, 0},
    };
    for (const auto& c : cases) {
        BarWindow window(c.range);
        window.bar->SetScrollPos(c.range / 2);
        int grabY = window.bar->GetThumbRect().top + 1;
        window.host.SendAt(WM_LBUTTONDOWN, 3, grabY, MK_LBUTTON);
        window.host.SendAt(WM_MOUSEMOVE, 3, grabY + c.moveBy, MK_LBUTTON);
        window.Tick();
        window.host.SendAt(WM_LBUTTONUP, 3, grabY + c.moveBy);
        EXPECT_EQ(window.bar->GetScrollPos(), c.position) << c.range << " by " << c.moveBy;
    }
}

// Part images are drawn at the part's place whatever their own dest; the hot
// thumb image replaces the normal one under the pointer.
TEST(ScrollBar, ThumbImagesFollowTheThumb)
{
    BarWindow window(300);
    window.bar->ApplyAttributeList(L"thumbnormalimage=\"color='#FF00FF00' dest='0,0,1,1'\" "
                                   L"thumbhotimage=\"color='#FFFF0000'\" button2color=\"#FF0000FF\"");
    window.bar->SetScrollPos(150);
    const struct {
        int moveToY;
        uint32_t thumb;
    } cases[] = {{20, 0xFF00FF00}, {70, 0xFFFF0000}, {120, 0xFF00FF00}};
    for (const auto& c : cases) {
        window.host.SendAt(WM_MOUSEMOVE, 3, c.moveToY);
        testing_support::DibSurface surface(40, 200);
        window.root->Paint(surface.dc(), surface.Bounds(), nullptr);
        EXPECT_EQ(surface.Pixel(3, 75), c.thumb) << c.moveToY;
        EXPECT_EQ(surface.Pixel(3, 53), c.thumb) << c.moveToY;
        EXPECT_EQ(surface.Pixel(3, 30), 0xFFFFFFFFu);
        EXPECT_EQ(surface.Rgb(3, 147), 0x0000FFu);
    }
}

TEST(ScrollBar, HorizontalTurnsItsThickness)
{
    CScrollBarUI bar;
    bar.SetAttribute(L"hor", L"true");
    EXPECT_EQ(bar.GetFixedHeight(), 16);
    EXPECT_EQ(bar.GetFixedWidth(), 0);
}

} // namespace
