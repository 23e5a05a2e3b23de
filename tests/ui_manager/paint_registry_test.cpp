#include "tests/support/ui_host.h"

#include "ui/controls/image_spec.h"

#include <gtest/gtest.h>

using namespace SkinUI;

namespace {

COLORREF PixelAt(HWND hwnd, int x, int y)
{
    HDC dc = ::GetDC(hwnd);
    COLORREF pixel = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return pixel;
}

TEST(Painting, WithoutRootTheAreaIsFilledBlackAndValidated)
{
    ManagerHost host;
    host.Paint();
    HDC dc = ::GetDC(host.hwnd);
    RECT all = {0, 0, 300, 200};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ReleaseDC(host.hwnd, dc);
    ASSERT_EQ(PixelAt(host.hwnd, 20, 20), RGB(255, 255, 255));

    RECT part = {10, 10, 30, 30};
    ::InvalidateRect(host.hwnd, &part, FALSE);
    ::UpdateWindow(host.hwnd);

    EXPECT_EQ(PixelAt(host.hwnd, 20, 20), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(host.hwnd, 50, 50), RGB(255, 255, 255)) << "only the requested area";
    RECT left;
    EXPECT_FALSE(::GetUpdateRect(host.hwnd, &left, FALSE));
}

TEST(Painting, OnlyTheRequestedAreaIsRepaintedAndCopied)
{
    ManagerHost host;
    CRecorderUI* top = new CRecorderUI(L"top");
    CRecorderUI* bottom = new CRecorderUI(L"bottom");
    top->SetBkColor(0xFF102030);
    bottom->SetBkColor(0xFF405060);
    host.Attach({top, bottom});
    ASSERT_EQ(PixelAt(host.hwnd, 5, 75), RGB(0x40, 0x50, 0x60));
    top->paints = bottom->paints = 0;

    RECT area = {0, 0, 300, 50};
    ::InvalidateRect(host.hwnd, &area, FALSE);
    ::UpdateWindow(host.hwnd);

    EXPECT_EQ(top->paints, 1);
    EXPECT_EQ(bottom->paints, 0);
    EXPECT_EQ(PixelAt(host.hwnd, 5, 5), RGB(0x10, 0x20, 0x30));
}

TEST(Painting, MinInfoLimitsOnlyTheHeight)
{
    ManagerHost host;
    host.manager.ApplyWindowAttribute(L"mininfo", L"0,300");
    MINMAXINFO info = {};
    info.ptMinTrackSize = {111, 222};
    info.ptMaxTrackSize = {800, 600};
    LRESULT result = 0;
    host.manager.ProcessMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result);

    EXPECT_EQ(info.ptMinTrackSize.x, 111);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    EXPECT_EQ(info.ptMaxTrackSize.x, 800);
}

TEST(WindowAttributes, TableEntriesAndCustomAttributes)
{
    ManagerHost host;
    CUIManager& manager = host.manager;
    manager.ApplyWindowAttribute(L"Size", L"420,310");
    manager.ApplyWindowAttribute(L"caption", L"0,0,0,36");
    manager.ApplyWindowAttribute(L"defaultfontcolor", L"#FF112233");
    manager.ApplyWindowAttribute(L"NoActivate", L"true");
    manager.ApplyWindowAttribute(L"skincolor", L"first");
    manager.ApplyWindowAttribute(L"skincolor", L"second");

    EXPECT_EQ(manager.GetInitSize().cx, 420);
    RECT window;
    ::GetWindowRect(host.hwnd, &window);
    EXPECT_EQ(window.right - window.left, 420) << "resized while no root is attached";
    EXPECT_EQ(manager.GetCaptionRect().bottom, 36);
    EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF112233u);
    EXPECT_FALSE(manager.IsNoActivate()) << "noactivate is matched exactly";
    EXPECT_STREQ(manager.ExtraWindowAttribute(L"NoActivate"), L"true");
    EXPECT_STREQ(manager.ExtraWindowAttribute(L"skincolor"), L"first");
}

// Every row of the window attribute table, each name written in another
// case than the table's: those matched exactly are kept as custom
// attributes instead.
TEST(WindowAttributes, NamesMatchInAnyCaseButTheExactOnes)
{
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        bool applied;
        bool (*took)(const CUIManager& manager);
    } kCases[] = {
        {L"SIZE", L"12,34", true, [](const CUIManager& m) { return m.GetInitSize().cy == 34; }},
        {L"SizeBox", L"1,2,3,4", true, [](const CUIManager& m) { return m.GetSizeBox().right == 3; }},
        {L"CAPTION", L"0,0,0,40", true, [](const CUIManager& m) { return m.GetCaptionRect().bottom == 40; }},
        {L"RoundCorner", L"5,6", true, [](const CUIManager& m) { return m.GetRoundCorner().cy == 6; }},
        {L"MinInfo", L"7,8", true, [](const CUIManager& m) { return m.GetMinInfo().cx == 7; }},
        {L"MAXINFO", L"9,10", true, [](const CUIManager& m) { return m.GetMaxInfo().cy == 10; }},
        {L"ShowDirty", L"true", true, [](const CUIManager& m) { return m.IsShowDirty(); }},
        {L"noactivate", L"true", true, [](const CUIManager& m) { return m.IsNoActivate(); }},
        {L"NOACTIVATE", L"true", false, [](const CUIManager& m) { return m.IsNoActivate(); }},
        {L"Opacity", L"128", true, [](const CUIManager& m) { return m.GetOpacity() == 128; }},
        {L"layeredopacity", L"77", true, [](const CUIManager& m) { return m.GetLayeredOpacity() == 77; }},
        {L"LayeredOpacity", L"77", false, [](const CUIManager& m) { return m.GetLayeredOpacity() == 77; }},
        {L"layeredimage", L"a.png", true, [](const CUIManager& m) { return m.GetLayeredImage() == L"a.png"; }},
        {L"layeredImage", L"a.png", false, [](const CUIManager& m) { return m.GetLayeredImage() == L"a.png"; }},
        {L"DisabledFontColor", L"#FF010203", true,
            [](const CUIManager& m) { return m.GetDefaultDisabledColor() == 0xFF010203u; }},
        {L"DEFAULTFONTCOLOR", L"FF040506", true,
            [](const CUIManager& m) { return m.GetDefaultFontColor() == 0xFF040506u; }},
        {L"LinkFontColor", L"#FF070809", true,
            [](const CUIManager& m) { return m.GetDefaultLinkFontColor() == 0xFF070809u; }},
        {L"linkHoverFontColor", L"#FF0A0B0C", true,
            [](const CUIManager& m) { return m.GetDefaultLinkHoverFontColor() == 0xFF0A0B0Cu; }},
        {L"SelectedColor", L"#FF0D0E0F", true,
            [](const CUIManager& m) { return m.GetDefaultSelectedBkColor() == 0xFF0D0E0Fu; }},
    };
    for (const auto& c : kCases) {
        CUIManager manager;
        manager.ApplyWindowAttribute(c.name, c.value);
        EXPECT_EQ(c.applied, c.took(manager)) << c.name;
        const wchar_t* kept = manager.ExtraWindowAttribute(c.name);
        EXPECT_EQ(c.applied, kept == nullptr) << c.name;
    }
}

TEST(Registries, WindowFontShadowsTheSharedOneWithTheSameId)
{
    CUIManager mine;
    CUIManager other;
    HFONT own = mine.RegisterFont(41, L"Courier New", 14, false, false, false);
    HFONT shared = mine.RegisterFont(41, L"Times New Roman", 16, true, false, false, true);
    ASSERT_NE(own, nullptr);
    ASSERT_NE(shared, nullptr);

    EXPECT_EQ(mine.FontById(41), own);
    EXPECT_EQ(other.FontById(41), shared);
    EXPECT_EQ(other.FontById(42), other.DefaultFontRecord()->hFont);
    EXPECT_EQ(mine.LookupFont(L"Times New Roman", 16, true, false, false), shared);
}

TEST(Registries, ReplacingAFontDestroysTheOldHandle)
{
    CUIManager manager;
    HFONT first = manager.RegisterFont(3, L"Courier New", 12, false, false, false);
    HFONT second = manager.RegisterFont(3, L"Courier New", 20, false, true, false);

    EXPECT_EQ(::GetObjectType(first), 0u);
    EXPECT_EQ(manager.FontById(3), second);
    EXPECT_EQ(manager.FontRecordById(3)->iSize, 20);
}

TEST(Registries, LongFaceNameKeepsItsTerminator)
{
    CUIManager manager;
    std::wstring face(40, L'F');
    HFONT font = manager.RegisterFont(4, face.c_str(), 12, false, false, false);
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont = {};
    ::GetObjectW(font, sizeof(logFont), &logFont);

    EXPECT_EQ(wcslen(logFont.lfFaceName), 31u);
    EXPECT_EQ(manager.FontRecordById(4)->sFontName.GetLength(), 31);
}

TEST(Registries, ReplacedImageStaysAliveUntilTheRegistryGoes)
{
    CUIManager manager;
    TLoadedImage* first = manager.RegisterImage(L"#FF112233", L"*COLOR*");
    ASSERT_NE(first, nullptr);
    TLoadedImage* second = manager.RegisterImage(L"#FF112233", L"*COLOR*");

    EXPECT_NE(first, second);
    EXPECT_EQ(manager.ImageByName(L"#FF112233"), second);
    EXPECT_EQ(::GetObjectType(first->hBitmap.get()), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(manager.ImageByNameOrLoad(L"#FF445566", L"*COLOR*")->nX, 1);
}

TEST(LanguageTokens, ExpandInOnePass)
{
    CUIManager::SetLanguageString(7, L"seven");
    CUIManager::SetLanguageString(8, L"again %{8}");
    struct Case {
        const wchar_t* text;
        const wchar_t* expanded;
    } cases[] = {
        {L"a %{7} b", L"a seven b"},
        {L"%{5} stays", L"%{5} stays"},
        {L"%{8}", L"again %{8}"},
        {L"%{4294967303}", L"%{4294967303}"},
        {L"%{007}", L"seven"},
        {L"%{7", L"%{7"},
        {L"%{} %{x}", L"%{} %{x}"},
    };
    for (const Case& text : cases)
        EXPECT_STREQ(CUIManager::ExpandLanguageTokens(text.text).GetData(), text.expanded) << text.text;
}

TEST(Registries, SharedColourReachesWindowsStillUsingTheOldValue)
{
    CUIManager manager;
    CUIManager customised;
    DWORD original = manager.GetDefaultLinkFontColor();
    customised.SetDefaultLinkFontColor(0xFF010203);
    manager.SetDefaultLinkFontColor(0xFF0A0B0C, true);

    EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0xFF0A0B0Cu);
    EXPECT_EQ(customised.GetDefaultLinkFontColor(), 0xFF010203u);
    manager.SetDefaultLinkFontColor(original, true);
}

} // namespace
