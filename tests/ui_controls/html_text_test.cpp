// Text with inline tags, drawn through a manager into a DIB section.
#include "ui/controls/render_kit.h"
#include "ui/core/ui_manager.h"

#include "tests/support/dib_surface.h"

#include <gtest/gtest.h>

#include <string>

using SkinUI::CRenderKit;
using SkinUI::CUIManager;
using SkinUI::CUIString;
using testing_support::DibSurface;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;

int CountColor(const DibSurface& surface, uint32_t rgb)
{
    int count = 0;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x)
            count += surface.Rgb(x, y) == rgb;
    }
    return count;
}

TEST(HtmlText, DrawsInsideItsRectangleOnly)
{
    const wchar_t* texts[] = {
        L"plain <b>bold</b> <c #FFFF0000>red</c> {u}under{/u} <x 10>moved<n>next <i>italic</i>",
        L"</b></c></a></p></v></s></f></i>unopened closers",
        L"<r><b>raw</b></r> <broken <c #FF00FF00>green",
        L"<p 4>one paragraph</p><p>another</p><y 30>tall<v center>mid</v><s>selected</s>",
        L"<f Courier 14 bold italic>named font</f> <f 0>by index</f> <a home>link</a>",
    };
    for (const wchar_t* text : texts) {
        CUIManager manager;
        DibSurface surface(200, 100);
        RECT rc = {20, 10, 180, 90};
        int links = 0;
        CRenderKit::DrawHtmlText(surface.dc(), &manager, rc, text, 0xFF000000, nullptr, nullptr, links, -1,
            DT_WORDBREAK);
        RECT drawn;
        EXPECT_GT(surface.CountNot(kWhite, &drawn), 20) << text;
        EXPECT_GE(drawn.left, 20) << text;
        EXPECT_GE(drawn.top, 10) << text;
        EXPECT_LE(drawn.right, 180) << text;
        EXPECT_LE(drawn.bottom, 90) << text;
    }
}

TEST(HtmlText, ColourTagsAndInlineImages)
{
    CUIManager manager;
    DibSurface surface(200, 40);
    RECT rc = surface.Bounds();
    int links = 0;
    CRenderKit::DrawHtmlText(surface.dc(), &manager, rc, L"<c #FF0000FF>blue</c> black <i color='#FF00FF00'>",
        0xFF000000, nullptr, nullptr, links, -1, DT_SINGLELINE);
    EXPECT_GT(CountColor(surface, 0x0000FF), 5);
    EXPECT_GT(CountColor(surface, 0x000000), 5);
    EXPECT_EQ(1, CountColor(surface, 0x00FF00));
}

TEST(HtmlText, NarrowRectanglesStillEnd)
{
    CUIManager manager;
    DibSurface surface(60, 400);
    for (int width : {0, 1, 3}) {
        RECT rc = {10, 0, 10 + width, 400};
        int links = 0;
        CRenderKit::DrawHtmlText(surface.dc(), &manager, rc, L"wide words here<b>bold</b>", 0xFF000000, nullptr,
            nullptr, links, -1, DT_WORDBREAK | DT_CALCRECT);
        EXPECT_GT(rc.bottom, 3 * 8) << width;
    }
}

TEST(HtmlText, LongHostileTextsTakeLinearTime)
{
    CUIManager manager;
    DibSurface surface(60, 60);
    std::wstring openers;
    for (int i = 0; i < 50000; ++i)
        openers += L"<a {b ";
    std::wstring word(5000, L'w');
    const struct {
        const std::wstring* text;
        int width;
        UINT style;
    } cases[] = {{&openers, 50, DT_WORDBREAK}, {&openers, 50, DT_SINGLELINE | DT_END_ELLIPSIS}, {&word, 1, DT_WORDBREAK},
        {&word, 40, DT_END_ELLIPSIS}};
    for (const auto& c : cases) {
        const DWORD start = GetTickCount();
        RECT rc = {0, 0, c.width, 60};
        int links = 0;
        CRenderKit::DrawHtmlText(surface.dc(), &manager, rc, c.text->c_str(), 0xFF000000, nullptr, nullptr, links, -1,
            c.style);
        EXPECT_LT(GetTickCount() - start, 20000u);
    }
}

TEST(HtmlText, LinksFillTheCallersArraysUpToTheirSize)
{
    CUIManager manager;
    DibSurface surface(300, 40);
    const wchar_t* text = L"<a first>one</a> and <a second>two</a>";
    for (int capacity : {1, 4}) {
        RECT rc = surface.Bounds();
        RECT rects[4] = {};
        CUIString names[4];
        int count = capacity;
        CRenderKit::DrawHtmlText(surface.dc(), &manager, rc, text, 0xFF000000, rects, names, count, -1,
            DT_SINGLELINE);
        EXPECT_EQ(capacity == 1 ? 1 : 2, count);
        EXPECT_STREQ(L"first", names[0].GetData());
        EXPECT_LT(rects[0].left, rects[0].right);
        if (count > 1) {
            EXPECT_STREQ(L"second", names[1].GetData());
            EXPECT_LE(rects[0].right, rects[1].left);
        }
    }
}

TEST(HtmlText, FontsMadeForTagsLeaveRegisteredIdsAlone)
{
    CUIManager manager;
    HFONT first = manager.RegisterFont(0, L"DejaVu Sans", 12, false, false, false);
    HFONT high = manager.RegisterFont(0x4000, L"DejaVu Sans", 13, false, false, false);
    DibSurface surface(200, 40);
    RECT rc = surface.Bounds();
    int links = 0;
    CRenderKit::DrawHtmlText(surface.dc(), &manager, rc, L"<f DejaVu Serif 20 bold>big</f> <b>bold</b>",
        0xFF000000, nullptr, nullptr, links, 0, DT_SINGLELINE);
    EXPECT_EQ(first, manager.FontById(0));
    EXPECT_EQ(high, manager.FontById(0x4000));
    EXPECT_NE(nullptr, manager.LookupFont(L"DejaVu Serif", 20, true, false, false));
}

} // namespace
