// The control base: attributes, placement, painting order and borders,
// hit tests, focus, and images and text through a manager.
#include "ui/controls/container.h"
#include "ui/controls/control.h"
#include "ui/controls/render_kit.h"
#include "ui/core/ui_manager.h"

#include "tests/support/dib_surface.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_controls/test_images.h"

#include <gtest/gtest.h>

#include <string>

using SkinUI::CContainerUI;
using SkinUI::CControlUI;
using SkinUI::CRenderKit;
using SkinUI::CUIManager;
using SkinUI::CUIString;
using testing_support::DibSurface;

namespace {

struct Attribute {
    const wchar_t* name;
    const wchar_t* value;
};

CControlUI* Configured(CControlUI* control, std::initializer_list<Attribute> attributes)
{
    for (const Attribute& attribute : attributes)
        control->SetAttribute(attribute.name, attribute.value);
    return control;
}

TEST(ControlAttributes, PositionAndSizeLimits)
{
    const struct {
        std::initializer_list<Attribute> attributes;
        SIZE xy;
        int width, height, minWidth, maxWidth;
    } cases[] = {
        {{{L"pos", L"10,20,110,70"}}, {10, 20}, 100, 50, 0, 9999},
        {{{L"pos", L"10,20,110,70"}, {L"width", L"30"}}, {10, 20}, 30, 50, 0, 9999},
        {{{L"pos", L"0,272"}, {L"width", L"400"}, {L"height", L"20"}}, {0, 272}, 400, 20, 0, 9999},
        {{{L"pos", L"5"}, {L"width", L"-5"}}, {5, 0}, 0, 0, 0, 9999},
        {{{L"minwidth", L"50"}, {L"maxwidth", L"20"}}, {0, 0}, 0, 0, 50, 50},
        {{{L"pos", L"-2147483648,0,2147483647,99999999999"}}, {-(1 << 24), 0}, 1 << 24, 1 << 24, 0, 9999},
    };
    for (const auto& c : cases) {
        CControlUI control;
        Configured(&control, c.attributes);
        EXPECT_EQ(c.xy.cx, control.GetFixedXY().cx);
        EXPECT_EQ(c.xy.cy, control.GetFixedXY().cy);
        EXPECT_EQ(c.width, control.GetFixedWidth());
        EXPECT_EQ(c.height, control.GetFixedHeight());
        EXPECT_EQ(c.minWidth, control.GetMinWidth());
        EXPECT_EQ(c.maxWidth, control.GetMaxWidth());
    }
    CControlUI padded;
    padded.SetAttribute(L"padding", L"5");
    EXPECT_EQ(5, padded.GetPadding().left);
    EXPECT_EQ(0, padded.GetPadding().bottom);
}

// Names match exactly, except forecolor; a name no table knows is kept as a
// custom attribute under the name as written.
TEST(ControlAttributes, NamesMatchExactlyButForecolorInAnyCase)
{
    const struct {
        const wchar_t* name;
        DWORD bkColor, foreColor;
        bool kept;
    } cases[] = {
        {L"bkcolor", 0xFF102030, 0, false},
        {L"bkcolor1", 0xFF102030, 0, false},
        {L"BkColor", 0, 0, true},
        {L"forecolor", 0, 0xFF102030, false},
        {L"ForeColor", 0, 0xFF102030, false},
        {L"FORECOLOR", 0, 0xFF102030, false},
        {L"forecolour", 0, 0, true},
    };
    for (const auto& c : cases) {
        CControlUI control;
        control.SetAttribute(c.name, L"#FF102030");
        EXPECT_EQ(c.bkColor, control.GetBkColor()) << c.name;
        EXPECT_EQ(c.foreColor, control.GetForeColor()) << c.name;
        EXPECT_EQ(c.kept, control.GetCustomAttribute(c.name) != nullptr) << c.name;
    }
}

// The child alignment attributes store their word's value without asking
// for a new layout; the other container attributes and the setters ask.
TEST(ControlAttributes, ChildAlignmentStoresWithoutUpdate)
{
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        bool updateNeeded;
        UINT align, valign;
    } cases[] = {
        {L"childalign", L"center", false, DT_CENTER, DT_TOP},
        {L"childalign", L"right", false, DT_RIGHT, DT_TOP},
        {L"childalign", L"Center", false, DT_LEFT, DT_TOP},
        {L"childvalign", L"vcenter", false, DT_LEFT, DT_VCENTER},
        {L"childvalign", L"bottom", false, DT_LEFT, DT_BOTTOM},
        {L"childvalign", L"middle", false, DT_LEFT, DT_TOP},
        {L"childpadding", L"4", true, DT_LEFT, DT_TOP},
        {L"inset", L"1,2,3,4", true, DT_LEFT, DT_TOP},
    };
    CUIManager manager;
    auto laidOut = [&manager]() {
        CContainerUI* container = new CContainerUI;
        container->SetManager(&manager, nullptr, false);
        container->SetPos(RECT{0, 0, 100, 100});
        return container;
    };
    for (const auto& c : cases) {
        CContainerUI* container = laidOut();
        ASSERT_FALSE(container->IsUpdateNeeded());
        container->SetAttribute(c.name, c.value);
        EXPECT_EQ(c.updateNeeded, container->IsUpdateNeeded()) << c.name << L"=" << c.value;
        EXPECT_EQ(c.align, container->GetChildAlign()) << c.name << L"=" << c.value;
        EXPECT_EQ(c.valign, container->GetChildVAlign()) << c.name << L"=" << c.value;
        EXPECT_EQ(nullptr, container->GetCustomAttribute(c.name));
        container->Delete();
    }
    CContainerUI* container = laidOut();
    container->SetChildAlign(DT_CENTER);
    EXPECT_TRUE(container->IsUpdateNeeded());
    container->Delete();
}

TEST(ControlAttributes, AttributeListStopsWhereTheFormatEnds)
{
    const struct {
        const wchar_t* list;
        const wchar_t* a;
        const wchar_t* b;
        const wchar_t* blankB;
    } cases[] = {
        {L"a=\"1\" b=\"2\"", L"1", L"2", nullptr},
        {L"a=\"1\"b=\"2\"", L"1", nullptr, nullptr},
        {L"a=\"1\"  b=\"2\"", L"1", nullptr, L"2"},
        {L"a=\"1\" b=\"2", L"1", nullptr, nullptr},
        {L"a=1 b=\"2\"", nullptr, nullptr, nullptr},
        {L"a=\"x='1' y='2'\" b=\"3\" a=\"4\"", L"x='1' y='2'", L"3", nullptr},
        {L"a=\"1\" ", L"1", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        CControlUI control;
        control.ApplyAttributeList(c.list);
        const wchar_t* values[] = {control.GetCustomAttribute(L"a"), control.GetCustomAttribute(L"b"),
            control.GetCustomAttribute(L" b")};
        const wchar_t* expected[] = {c.a, c.b, c.blankB};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(expected[i] == nullptr, values[i] == nullptr) << c.list << " " << i;
            if (expected[i] && values[i]) {
                EXPECT_STREQ(expected[i], values[i]);
            }
        }
    }
}

TEST(ControlLayout, FloatingCoverUsesPercentsOfItsOwner)
{
    CUIManager manager;
    CControlUI* owner = new CControlUI;
    owner->SetManager(&manager, nullptr, false);
    CControlUI* cover = Configured(new CControlUI, {{L"float", L"0.5,0,0.5,0"}, {L"pos", L"-20,10,20,40"}});
    owner->SetCover(cover);
    owner->SetPos(RECT{30, 40, 230, 140});
    EXPECT_EQ(110, cover->GetPos().left);
    EXPECT_EQ(150, cover->GetPos().right);
    EXPECT_EQ(50, cover->GetPos().top);
    EXPECT_EQ(80, cover->GetPos().bottom);

    cover->SetAttribute(L"float", L"1e300,inf,nan,-1e999");
    owner->SetPos(RECT{-2147483647, 0, 2147483647, 100});
    const RECT& placed = cover->GetPos();
    EXPECT_LE(placed.left, placed.right);
    EXPECT_GE(placed.left, -(2 << 24));
    EXPECT_LE(placed.right, 2 << 24);
    owner->Delete();
}

const uint32_t kWhite = 0xFFFFFFFF;

TEST(ControlPaint, BorderForms)
{
    const struct {
        const wchar_t* size;
        int changed;
        bool left, top, right, bottom;
    } cases[] = {
        {nullptr, 36, true, true, true, true},
        {L"1", 36, true, true, true, true},
        {L"2", 64, true, true, true, true},
        {L"1,0,1,0", 20, true, false, true, false},
        {L"0,1,0,1", 20, false, true, false, true},
    };
    for (const auto& c : cases) {
        DibSurface surface(14, 14);
        CControlUI control;
        control.SetAttribute(L"bordercolor", L"#FF000000");
        if (c.size)
            control.SetAttribute(L"bordersize", c.size);
        control.SetPos(RECT{2, 2, 12, 12});
        EXPECT_TRUE(control.Paint(surface.dc(), surface.Bounds(), nullptr));
        EXPECT_EQ(c.changed, surface.CountNot(kWhite)) << c.size;
        EXPECT_EQ(c.left, surface.Rgb(2, 6) == 0) << c.size;
        EXPECT_EQ(c.top, surface.Rgb(6, 2) == 0) << c.size;
        EXPECT_EQ(c.right, surface.Rgb(11, 6) == 0) << c.size;
        EXPECT_EQ(c.bottom, surface.Rgb(6, 11) == 0) << c.size;
    }
}

TEST(ControlPaint, TranslucentBackgroundCoversTheWholeItem)
{
    const struct {
        const wchar_t* color;
        int changed;
    } cases[] = {{L"#FF0000FF", 100}, {L" #800000FF", 400}, {L"#000000FF", 0}};
    for (const auto& c : cases) {
        DibSurface surface(20, 20);
        CControlUI control;
        control.SetAttribute(L"bkcolor", c.color);
        control.SetPos(RECT{0, 0, 20, 20});
        control.Paint(surface.dc(), RECT{0, 0, 10, 10}, nullptr);
        EXPECT_EQ(c.changed, surface.CountNot(kWhite)) << c.color;
    }
}

TEST(ControlPaint, StopsAtTheStopControlAndSkipsWhatIsOutside)
{
    DibSurface surface(20, 20);
    CControlUI control;
    control.SetAttribute(L"bkcolor", L"#FF000000");
    control.SetPos(RECT{0, 0, 10, 10});
    EXPECT_FALSE(control.Paint(surface.dc(), surface.Bounds(), &control));
    EXPECT_TRUE(control.Paint(surface.dc(), RECT{10, 10, 20, 20}, nullptr));
    EXPECT_EQ(0, surface.CountNot(kWhite));
}

CControlUI* CALLBACK AcceptAny(CControlUI* control, LPVOID)
{
    return control;
}

TEST(ControlFind, FlagsFilterTheAnswer)
{
    POINT inside = {5, 5};
    POINT outside = {15, 5};
    const struct {
        const wchar_t* attribute;
        const wchar_t* value;
        POINT* point;
        UINT flags;
        bool found;
    } cases[] = {
        {nullptr, nullptr, nullptr, 0, true},
        {L"visible", L"false", nullptr, SkinUI::UIFIND_VISIBLE, false},
        {L"visible", L"false", nullptr, 0, true},
        {L"enabled", L"false", nullptr, SkinUI::UIFIND_ENABLED, false},
        {nullptr, nullptr, &inside, SkinUI::UIFIND_HITTEST, true},
        {nullptr, nullptr, &outside, SkinUI::UIFIND_HITTEST, false},
        {L"mouse", L"false", &inside, SkinUI::UIFIND_HITTEST, false},
        {nullptr, nullptr, nullptr, SkinUI::UIFIND_UPDATETEST, false},
    };
    for (const auto& c : cases) {
        CControlUI control;
        control.SetPos(RECT{0, 0, 10, 10});
        if (c.attribute)
            control.SetAttribute(c.attribute, c.value);
        EXPECT_EQ(c.found ? &control : nullptr, control.FindControl(AcceptAny, c.point, c.flags)) << c.flags;
    }
}

TEST(ControlFocus, HidingTheFocusClearsIt)
{
    CUIManager manager;
    CControlUI control;
    control.SetManager(&manager, nullptr, false);
    manager.FocusControl(&control, false);
    ASSERT_EQ(&control, manager.GetFocus());
    EXPECT_TRUE(control.IsFocused());
    control.SetVisible(false);
    EXPECT_EQ(nullptr, manager.GetFocus());
    EXPECT_FALSE(control.IsFocused());
    control.SetVisible(true);
    EXPECT_EQ(nullptr, manager.GetFocus());
}

class ControlImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = folder_ / L"halves.png";
        std::string png = ui_controls_test::MakePng(56, 28, [](int x, int) { return x < 28 ? 0xFFFF0000u : 0xFF0000FFu; });
        ASSERT_TRUE(testing_support::WriteBytes(path_, png));
    }

    std::wstring Text(const std::wstring& items) { return L"file='" + path_ + L"' " + items; }

    testing_support::TempFolder folder_;
    std::wstring path_;
};

TEST_F(ControlImageTest, ImageTextsDrawThroughTheManager)
{
    const struct {
        std::wstring text;
        RECT item;
        int changed;
        uint32_t probe;
    } cases[] = {
        {Text(L"source='28,0,56,28'"), {0, 0, 28, 28}, 28 * 28, 0x0000FF},
        {Text(L"dest='0,0,100,10'"), {0, 0, 20, 20}, 20 * 10, 0xFF0000},
        {Text(L"dest='0,0,100,10' source='0,0,28,28'"), {0, 0, 20, 20}, 20 * 10, 0xFF0000},
        {L"color='#FF2BA2F9'", {2, 2, 12, 12}, 100, 0x2BA2F9},
        {path_, {0, 0, 56, 28}, 56 * 28, 0xFF0000},
    };
    for (const auto& c : cases) {
        CUIManager manager;
        DibSurface surface(60, 30);
        CControlUI control;
        control.SetManager(&manager, nullptr, false);
        control.SetBkImage(c.text.c_str());
        control.SetPos(c.item);
        control.Paint(surface.dc(), surface.Bounds(), nullptr);
        EXPECT_EQ(c.changed, surface.CountNot(kWhite));
        EXPECT_EQ(c.probe, surface.Rgb(c.item.left + 1, c.item.top + 1));
    }
}

TEST_F(ControlImageTest, MissingImageIsTriedOnce)
{
    CUIManager manager;
    DibSurface surface(10, 10);
    const std::wstring late = folder_ / L"late.png";
    SkinUI::TImageSpec spec;
    spec.sText = (L"file='" + late + L"'").c_str();
    const RECT all = surface.Bounds();
    EXPECT_FALSE(CRenderKit::DrawImageString(surface.dc(), &manager, all, all, spec));
    EXPECT_TRUE(spec.bLoadAttempted);
    testing_support::WriteBytes(late, ui_controls_test::MakePng(1, 1, [](int, int) { return 0xFF000000u; }));
    EXPECT_FALSE(CRenderKit::DrawImageString(surface.dc(), &manager, all, all, spec));
    CUIString text = spec.sText;
    spec.Reset();
    spec.sText = text;
    EXPECT_TRUE(CRenderKit::DrawImageString(surface.dc(), &manager, all, all, spec));
    spec.Reset();
    EXPECT_FALSE(CRenderKit::DrawImageString(surface.dc(), &manager, all, all, spec));
}

TEST(ControlText, TextStaysInsideItsRectangle)
{
    CUIManager manager;
    DibSurface surface(120, 40);
    RECT rc = {10, 10, 110, 30};
    CRenderKit::DrawText(surface.dc(), &manager, rc, L"Kestrel & Tarnwick", 0xFF000000, -1,
        DT_SINGLELINE | DT_VCENTER);
    RECT drawn;
    EXPECT_GT(surface.CountNot(kWhite, &drawn), 20);
    EXPECT_GE(drawn.left, 10);
    EXPECT_GE(drawn.top, 10);
    EXPECT_LE(drawn.right, 110);
    EXPECT_LE(drawn.bottom, 30);
    surface.Fill(kWhite);
    CRenderKit::DrawText(surface.dc(), nullptr, rc, L"Kestrel", 0xFF000000, -1, 0);
    EXPECT_EQ(0, surface.CountNot(kWhite));
}

} // namespace
