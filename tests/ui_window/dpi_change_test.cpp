#include "tests/ui_window/test_window.h"

#include "tests/support/window_driver.h"

#include "ui/controls/scroll_bar.h"
#include "ui/core/dpi_scale.h"
#include "ui/core/skin_source.h"

#include <gtest/gtest.h>

#include <vector>

using SkinUI::CControlUI;
using SkinUI::CDpiScale;
using SkinUI::CSkinSource;
using testing_support::ClientPixel;

namespace {

const COLORREF kGlyphGrey = RGB(0x8C, 0x9B, 0xAB);
const COLORREF kBarBlue = RGB(0x2B, 0xA2, 0xF9);

TEST(DpiScaleTest, EachMeasureIsRoundedOnceHalvesAwayFromZero)
{
    struct Case {
        int dpi;
        int layout;
        int pixels;
    } cases[] = {
        {96, 7, 7},     {96, -3, -3},   {120, 1, 1},    {120, 2, 3},   {120, 10, 13},  {144, 1, 2},
        {144, 3, 5},    {144, -3, -5},  {144, 500, 750}, {192, 310, 620}, {168, 4, 7},  {72, 3, 2},
        {144, 0x7FFFFFFF, 0x3FFFFFFF},
    };
    for (const Case& c : cases) {
        CDpiScale scale;
        scale.SetDpi(c.dpi);
        EXPECT_EQ(c.pixels, scale.Pixels(c.layout)) << c.dpi << " " << c.layout;
    }
}

TEST(DpiScaleTest, PixelsGoBackToTheLayoutValueTheyCameFrom)
{
    for (int dpi : {96, 120, 144, 168, 192, 288}) {
        CDpiScale scale;
        scale.SetDpi(dpi);
        for (int layout = -40; layout <= 600; ++layout)
            ASSERT_EQ(layout, scale.Layout(scale.Pixels(layout))) << dpi << " " << layout;
    }
}

TEST(DpiScaleTest, ImplausibleDpiIsTakenAsTheLayouts)
{
    for (int dpi : {0, -96, 23, 100000}) {
        CDpiScale scale;
        scale.SetDpi(dpi);
        EXPECT_EQ(96, scale.Dpi()) << dpi;
        EXPECT_EQ(41, scale.Pixels(41));
    }
}

// The upgrade window's layout moved between monitors of different scales.
struct TMoveRow {
    int dpi;
    RECT closeButton;
    RECT bar;
    int fontHeight;
    POINT glyphCentre;
};

const TMoveRow kMoves[] = {
    {144, {702, 6, 744, 48}, {0, 408, 750, 417}, -18, {723, 27}},
    {192, {936, 8, 992, 64}, {0, 544, 1000, 556}, -24, {964, 36}},
};

class DpiChangeTest : public ::testing::TestWithParam<TMoveRow> {
protected:
    void SetUp() override { CSkinSource::SetModule(::GetModuleHandleW(nullptr)); }
    void TearDown() override
    {
        PumpMessages();
        CSkinSource::UseZipFile(L"", true);
    }

    static void MoveTo(TestWindow& window, int dpi, const RECT& suggested)
    {
        ::SendMessageW(window.GetHWND(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        ::UpdateWindow(window.GetHWND());
        PumpMessages();
    }

    static LONG FontHeight(TestWindow& window, int id)
    {
        LOGFONTW font = {};
        ::GetObjectW(window.GetManager().FontById(id), sizeof(font), &font);
        return font.lfHeight;
    }
};

TEST_P(DpiChangeTest, LaysOutAtTheNewScaleInTheSuggestedRectangleAndBackWithoutDrift)
{
    const TMoveRow& row = GetParam();
    TestWindow window(L"MainWindow.xml", SkinUI::kSkinFromZipResource);
    ASSERT_TRUE(window.Create());
    window.ShowAndPaint();
    CControlUI* close = window.Find(L"MainWindow_Close_Btn");
    CControlUI* track = window.Find(L"Progress_Label");
    ASSERT_NE(nullptr, close);
    ASSERT_NE(nullptr, track);
    track->SetFixedWidth(500);
    ::UpdateWindow(window.GetHWND());
    PumpMessages();
    const RECT closeAt96 = close->GetPos();
    const RECT barAt96 = track->GetPos();
    EXPECT_EQ(-12, FontHeight(window, 1));

    const SIZE size = {MulDiv(500, row.dpi, 96), MulDiv(310, row.dpi, 96)};
    const RECT suggested = {0, 0, size.cx, size.cy};
    MoveTo(window, row.dpi, suggested);
    RECT bounds = {};
    ::GetWindowRect(window.GetHWND(), &bounds);
    EXPECT_TRUE(::EqualRect(&suggested, &bounds));
    EXPECT_TRUE(::EqualRect(&row.closeButton, &close->GetPos()));
    EXPECT_TRUE(::EqualRect(&row.bar, &track->GetPos()));
    EXPECT_EQ(row.fontHeight, FontHeight(window, 1));
    EXPECT_EQ(MulDiv(36, row.dpi, 96), window.GetManager().GetCaptionRect().bottom);
    // The glyph drawn from the double-density file (resampled for 144 DPI).
    EXPECT_EQ(kGlyphGrey, ClientPixel(window.GetHWND(), row.glyphCentre.x, row.glyphCentre.y));
    EXPECT_EQ(kBarBlue, ClientPixel(window.GetHWND(), size.cx - 1, row.bar.top));

    MoveTo(window, 96, RECT{0, 0, 500, 310});
    EXPECT_TRUE(::EqualRect(&closeAt96, &close->GetPos()));
    EXPECT_TRUE(::EqualRect(&barAt96, &track->GetPos()));
    EXPECT_EQ(-12, FontHeight(window, 1));
    EXPECT_EQ(kGlyphGrey, ClientPixel(window.GetHWND(), 482, 18));
    window.Destroy();
}

// Insets, child padding, padding, width limits, scroll bar width and the
// window attributes of a small layout, each rounded once from its value.
const wchar_t kMeasuresLayout[] =
    L"<Window size=\"200,120\" caption=\"0,0,0,20\" sizebox=\"4,4,4,4\" mininfo=\"100,60\" roundcorner=\"6,6\">"
    L"<VerticalLayout inset=\"3,5,3,5\" childpadding=\"7\">"
    L"<Control name=\"a\" height=\"10\" padding=\"2,0,0,0\" />"
    L"<Control name=\"b\" height=\"10\" minwidth=\"50\" maxwidth=\"60\" />"
    L"<VerticalLayout name=\"c\" vscrollbar=\"true\" vscrollbarstyle=\"width=&quot;9&quot;\">"
    L"<Control height=\"500\" /></VerticalLayout>"
    L"</VerticalLayout></Window>";

struct TMeasuresRow {
    int dpi;
    RECT a;
    RECT b;
    RECT c;
    int scrollBarWidth;
    SIZE minInfo;
    RECT sizeBox;
    int captionBottom;
};

const TMeasuresRow kMeasures[] = {
    {96, {5, 5, 197, 15}, {3, 22, 63, 32}, {3, 39, 197, 115}, 9, {100, 60}, {4, 4, 4, 4}, 20},
    {144, {8, 8, 295, 23}, {5, 34, 95, 49}, {5, 60, 295, 172}, 14, {150, 90}, {6, 6, 6, 6}, 30},
    {192, {10, 10, 394, 30}, {6, 44, 126, 64}, {6, 78, 394, 230}, 18, {200, 120}, {8, 8, 8, 8}, 40},
};

class DpiMeasuresTest : public ::testing::TestWithParam<TMeasuresRow> {
protected:
    void TearDown() override { PumpMessages(); }
};

TEST_P(DpiMeasuresTest, EveryMeasureFollowsTheScale)
{
    const TMeasuresRow& row = GetParam();
    TestWindow window(kMeasuresLayout);
    ASSERT_TRUE(window.Create());
    window.ShowAndPaint();
    const RECT suggested = {0, 0, MulDiv(200, row.dpi, 96), MulDiv(120, row.dpi, 96)};
    ::SendMessageW(window.GetHWND(), WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi), reinterpret_cast<LPARAM>(&suggested));
    ::UpdateWindow(window.GetHWND());
    PumpMessages();
    EXPECT_TRUE(::EqualRect(&row.a, &window.Find(L"a")->GetPos()));
    EXPECT_TRUE(::EqualRect(&row.b, &window.Find(L"b")->GetPos()));
    CControlUI* c = window.Find(L"c");
    EXPECT_TRUE(::EqualRect(&row.c, &c->GetPos()));
    auto* container = static_cast<SkinUI::CContainerUI*>(c->GetInterface(L"Container"));
    ASSERT_NE(nullptr, container);
    ASSERT_NE(nullptr, container->GetVerticalScrollBar());
    const RECT bar = container->GetVerticalScrollBar()->GetPos();
    EXPECT_EQ(row.scrollBarWidth, bar.right - bar.left);
    EXPECT_EQ(row.c.right, bar.right);
    SkinUI::CUIManager& manager = window.GetManager();
    EXPECT_EQ(row.minInfo.cx, manager.GetMinInfo().cx);
    EXPECT_EQ(row.minInfo.cy, manager.GetMinInfo().cy);
    const RECT sizeBox = manager.GetSizeBox();
    EXPECT_TRUE(::EqualRect(&row.sizeBox, &sizeBox));
    EXPECT_EQ(row.captionBottom, manager.GetCaptionRect().bottom);
    window.Destroy();
}

std::string MeasuresName(const ::testing::TestParamInfo<TMeasuresRow>& info)
{
    return "Dpi" + std::to_string(info.param.dpi);
}

INSTANTIATE_TEST_SUITE_P(Scales, DpiMeasuresTest, ::testing::ValuesIn(kMeasures), MeasuresName);

std::string RowName(const ::testing::TestParamInfo<TMoveRow>& info)
{
    return "Dpi" + std::to_string(info.param.dpi);
}

INSTANTIATE_TEST_SUITE_P(Monitors, DpiChangeTest, ::testing::ValuesIn(kMoves), RowName);

} // namespace
