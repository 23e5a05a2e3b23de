#include "ui/core/scoped_gdi.h"
#include "ui/core/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>

using SkinUI::FontHandle;
using SkinUI::MemoryDc;
using SkinUI::RegionHandle;
using SkinUI::ScopedSelection;
using SkinUI::WindowDc;
using SkinUI::WindowHandle;

namespace {

FontHandle MakeFont(int height)
{
    LOGFONTW face = {};
    face.lfHeight = height;
    return FontHandle(::CreateFontIndirectW(&face));
}

HGDIOBJ CurrentFont(HDC dc)
{
    return ::GetCurrentObject(dc, OBJ_FONT);
}

// Selects the font and leaves by a return or by a throw.
bool SelectAndLeave(HDC dc, HFONT font, bool throwing)
{
    ScopedSelection selected(dc, font);
    const bool seen = CurrentFont(dc) == font;
    if (throwing)
        throw seen;
    return seen;
}

bool SelectAndLeaveCaught(HDC dc, HFONT font, bool throwing)
{
    try {
        return SelectAndLeave(dc, font, throwing);
    } catch (bool seen) {
        return seen;
    }
}

} // namespace

TEST(ScopedSelection, PreviousObjectReturnsHoweverTheScopeEnds)
{
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    FontHandle font = MakeFont(-20);
    ASSERT_TRUE(font);
    const HGDIOBJ original = CurrentFont(dc.get());
    for (bool throwing : {true, false}) {
        EXPECT_TRUE(SelectAndLeaveCaught(dc.get(), font.get(), throwing));
        EXPECT_EQ(original, CurrentFont(dc.get()));
    }
}

TEST(ScopedSelection, NestedSelectionsUnwindInOrder)
{
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    FontHandle outer = MakeFont(-12);
    FontHandle inner = MakeFont(-30);
    const HGDIOBJ original = CurrentFont(dc.get());
    {
        ScopedSelection first(dc.get(), outer.get());
        {
            ScopedSelection second(dc.get(), inner.get());
            EXPECT_EQ(inner.get(), CurrentFont(dc.get()));
        }
        EXPECT_EQ(outer.get(), CurrentFont(dc.get()));
    }
    EXPECT_EQ(original, CurrentFont(dc.get()));
}

TEST(ScopedSelection, NullDcOrObjectSelectsNothing)
{
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    FontHandle font = MakeFont(-16);
    const HGDIOBJ original = CurrentFont(dc.get());
    {
        ScopedSelection none(dc.get(), nullptr);
        ScopedSelection noDc(nullptr, font.get());
        EXPECT_EQ(original, CurrentFont(dc.get()));
    }
    EXPECT_EQ(original, CurrentFont(dc.get()));
}

TEST(GdiOwnership, FontAndRegionAreDeletedWhenTheOwnerGoes)
{
    HGDIOBJ fontObject = nullptr;
    HGDIOBJ regionObject = nullptr;
    {
        FontHandle font = MakeFont(-14);
        RegionHandle region(::CreateRectRgn(0, 0, 10, 10));
        fontObject = font.get();
        regionObject = region.get();
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(fontObject));
        EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), ::GetObjectType(regionObject));
        FontHandle moved = std::move(font);
        EXPECT_FALSE(font);
        EXPECT_EQ(fontObject, moved.get());
    }
    EXPECT_EQ(0u, ::GetObjectType(fontObject));
    EXPECT_EQ(0u, ::GetObjectType(regionObject));
}

TEST(GdiOwnership, WindowIsDestroyedOnceEvenIfAlreadyGone)
{
    HWND kept = nullptr;
    {
        WindowHandle window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
            ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(window);
        kept = window.get();
        EXPECT_TRUE(::IsWindow(kept));
    }
    EXPECT_FALSE(::IsWindow(kept));

    WindowHandle gone(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
        ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(gone);
    ::DestroyWindow(gone.get());
    gone.reset();
    EXPECT_FALSE(gone);
}

TEST(GdiOwnership, WindowDcIsBorrowedAndGivenBack)
{
    WindowHandle window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
        ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    WindowDc screen(nullptr);
    EXPECT_TRUE(screen);
    WindowDc dc(window.get());
    ASSERT_TRUE(dc);
    EXPECT_EQ(window.get(), ::WindowFromDC(dc.get()));
    WindowDc moved = std::move(dc);
    EXPECT_FALSE(dc);
    EXPECT_TRUE(moved);
    moved.reset();
    EXPECT_FALSE(moved);
}
