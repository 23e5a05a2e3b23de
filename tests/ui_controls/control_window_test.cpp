// The control base in a real window: invalidation cut by ancestors, and
// the window's tree painted into a new bitmap.
#include "ui/controls/control.h"
#include "ui/controls/render_kit.h"
#include "ui/core/ui_manager.h"

#include "tests/support/ui_host.h"

#include <gtest/gtest.h>

using SkinUI::CControlUI;

namespace {

RECT PendingUpdate(HWND window)
{
    RECT update = {0, 0, 0, 0};
    ::GetUpdateRect(window, &update, FALSE);
    return update;
}

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(ControlWindow, InvalidationIsCutByVisibleAncestors)
{
    ManagerHost host;
    CControlUI parent;
    CControlUI child;
    parent.SetManager(&host.manager, nullptr, false);
    child.SetManager(&host.manager, &parent, false);
    parent.SetPos(RECT{10, 10, 110, 60});
    ::ValidateRect(host.hwnd, nullptr);

    child.SetPos(RECT{50, 40, 200, 100});
    EXPECT_TRUE(Same(RECT{50, 40, 110, 60}, PendingUpdate(host.hwnd)));
    ::ValidateRect(host.hwnd, nullptr);
    child.Move(-45, 0);
    EXPECT_TRUE(Same(RECT{10, 40, 110, 60}, PendingUpdate(host.hwnd)));

    parent.SetVisible(false);
    ::ValidateRect(host.hwnd, nullptr);
    child.SetPos(RECT{20, 20, 40, 40});
    child.Move(5, 5);
    EXPECT_TRUE(Same(RECT{0, 0, 0, 0}, PendingUpdate(host.hwnd)));
}

TEST(ControlWindow, GenerateBitmapPaintsTheTreeAndTints)
{
    ManagerHost host(100, 80);
    CControlUI* root = new CControlUI;
    root->SetAttribute(L"bkcolor", L"#FF0000FF");
    host.manager.AttachRoot(root);
    host.Paint();
    HBITMAP bitmap = SkinUI::CRenderKit::GenerateBitmap(&host.manager, RECT{10, 10, 30, 20}, nullptr, 0x80FFFFFF);
    ASSERT_NE(nullptr, bitmap);
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof(section)), ::GetObjectW(bitmap, sizeof(section), &section));
    EXPECT_EQ(20, section.dsBm.bmWidth);
    EXPECT_EQ(10, abs(section.dsBm.bmHeight));
    const uint32_t pixel = static_cast<const uint32_t*>(section.dsBm.bmBits)[5 * 20 + 5] & 0xFFFFFF;
    EXPECT_NEAR(0x7F, static_cast<int>(pixel >> 16), 1);
    EXPECT_EQ(0xFFu, pixel & 0xFF);
    ::DeleteObject(bitmap);
    EXPECT_EQ(nullptr, SkinUI::CRenderKit::GenerateBitmap(nullptr, RECT{0, 0, 5, 5}, nullptr, 0));
}

} // namespace
