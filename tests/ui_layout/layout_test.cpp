// Layout arithmetic of the containers on real controls in a real window,
// asserted to the pixel.
#include "layout_host.h"

#include "ui/controls/button.h"
#include "ui/controls/container.h"
#include "ui/controls/horizontal_layout.h"
#include "ui/controls/label.h"
#include "ui/controls/scroll_bar.h"
#include "ui/controls/vertical_layout.h"

#include "tests/support/dib_surface.h"
#include "tests/support/rects.h"

#include <gtest/gtest.h>

#include <vector>

using namespace SkinUI;

namespace {

template <class T>
T* Make(const wchar_t* attributes)
{
    T* control = new T;
    control->ApplyAttributeList(attributes);
    return control;
}

template <class T>
T* AddTo(CContainerUI* parent, const wchar_t* attributes)
{
    T* control = Make<T>(attributes);
    parent->Add(control);
    return control;
}

// The message box's button row: two empty spacers share the free width.
TEST(LinearLayout, MessageBoxButtonRowCentresItsButtons)
{
    struct Case {
        bool cancelVisible;
        RECT spacer1, ok, cancel, spacer2;
    };
    const Case cases[] = {
        {true, {0, 0, 20, 64}, {50, 0, 170, 36}, {200, 0, 320, 36}, {350, 0, 370, 64}},
        {false, {0, 0, 95, 64}, {125, 0, 245, 36}, {0, 0, 0, 0}, {275, 0, 370, 64}},
    };
    for (const Case& c : cases) {
        LayoutHost host(370, 64);
        auto* row = Make<CHorizontalLayoutUI>(L"childvalign=\"top\" height=\"64\" childpadding=\"30\"");
        auto* spacer1 = AddTo<CContainerUI>(row, L"");
        auto* ok = AddTo<CButtonUI>(row, L"name=\"OK_Btn\" width=\"120\" height=\"36\" text=\"OK\"");
        auto* cancel = AddTo<CButtonUI>(row, L"name=\"Cancel_Btn\" width=\"120\" height=\"36\" text=\"Cancel\"");
        auto* spacer2 = AddTo<CContainerUI>(row, L"");
        if (!c.cancelVisible)
            cancel->SetVisible(false);
        host.Attach(row);
        EXPECT_TRUE(RectIs(spacer1->GetPos(), c.spacer1));
        EXPECT_TRUE(RectIs(ok->GetPos(), c.ok));
        if (c.cancelVisible) {
            EXPECT_TRUE(RectIs(cancel->GetPos(), c.cancel));
        }
        EXPECT_TRUE(RectIs(spacer2->GetPos(), c.spacer2));
    }
}

TEST(LinearLayout, TitleRowGivesTheLabelWhatTheButtonLeaves)
{
    LayoutHost host(370, 36);
    auto* row = Make<CHorizontalLayoutUI>(L"height=\"36\" inset=\"16,4,4,4\"");
    auto* title = AddTo<CLabelUI>(row, L"name=\"Title_Label\" text=\"Prompt\" font=\"2\"");
    auto* close = AddTo<CButtonUI>(row, L"width=\"28\" height=\"28\"");
    host.Attach(row);
    EXPECT_TRUE(RectIs(title->GetPos(), {16, 4, 338, 32}));
    EXPECT_TRUE(RectIs(close->GetPos(), {338, 4, 366, 32}));
}

// The upgrade window: 265 of 310 pixels in the flow, the progress strips
// floating below it.
TEST(LinearLayout, UpgradeWindowBudget)
{
    LayoutHost host(500, 310);
    auto* root = Make<CVerticalLayoutUI>(L"bordersize=\"1\" bordercolor=\"#FF33374A\" childalign=\"center\"");
    auto* titleRow = AddTo<CHorizontalLayoutUI>(root, L"height=\"36\"");
    auto* logo = AddTo<CLabelUI>(titleRow, L"width=\"16\" height=\"16\" padding=\"10,10,0,0\"");
    auto* title = AddTo<CLabelUI>(titleRow, L"width=\"432\" height=\"36\" padding=\"10,0,0,0\" text=\"Upgrade\"");
    auto* close = AddTo<CButtonUI>(titleRow, L"width=\"28\" height=\"28\" padding=\"0,4,4,0\"");
    auto* notes = AddTo<CControlUI>(root, L"width=\"430\" height=\"150\" padding=\"35,24,35,0\"");
    auto* state = AddTo<CLabelUI>(root, L"width=\"500\" height=\"20\" padding=\"20,35,0,0\" text=\"0%\"");
    auto* track = AddTo<CLabelUI>(root, L"float=\"true\" pos=\"0,272\" width=\"500\" height=\"6\"");
    auto* bar = AddTo<CLabelUI>(root, L"float=\"true\" pos=\"0,272\" width=\"0\" height=\"6\"");
    host.Attach(root);

    const struct {
        CControlUI* control;
        RECT expected;
    } cases[] = {
        {titleRow, {0, 0, 500, 36}},
        {logo, {10, 10, 26, 26}},
        {title, {36, 0, 468, 36}},
        {close, {468, 4, 496, 32}},
        {notes, {35, 60, 465, 210}},
        {state, {10, 245, 490, 265}},
        {track, {0, 272, 500, 278}},
        {bar, {0, 272, 0, 278}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(RectIs(c.control->GetPos(), c.expected)) << c.control->GetClass();
}

TEST(LinearLayout, LastAdjustableChildTakesTheRemainder)
{
    for (bool vertical : {true, false}) {
        LayoutHost host(vertical ? 10 : 101, vertical ? 101 : 10);
        CContainerUI* root = vertical ? static_cast<CContainerUI*>(new CVerticalLayoutUI)
                                      : static_cast<CContainerUI*>(new CHorizontalLayoutUI);
        auto* first = AddTo<CControlUI>(root, L"");
        auto* second = AddTo<CControlUI>(root, L"");
        host.Attach(root);
        EXPECT_EQ(vertical ? first->GetHeight() : first->GetWidth(), 50);
        EXPECT_EQ(vertical ? second->GetHeight() : second->GetWidth(), 51);
        EXPECT_EQ(vertical ? second->GetPos().bottom : second->GetPos().right, 101);
    }
}

TEST(LinearLayout, ChildVAlignKnowsOnlyItsThreeWords)
{
    const struct {
        const wchar_t* value;
        int top;
    } cases[] = {{L"top", 0}, {L"vcenter", 15}, {L"bottom", 30}, {L"middle", 0}, {L"center", 0}};
    for (const auto& c : cases) {
        LayoutHost host(100, 50);
        auto* row = new CHorizontalLayoutUI;
        row->SetAttribute(L"childvalign", c.value);
        auto* child = AddTo<CControlUI>(row, L"width=\"20\" height=\"20\"");
        host.Attach(row);
        EXPECT_EQ(child->GetPos().top, c.top) << c.value;
    }
}

// Left and right alignment keep the child's padding on their side; the
// centre ignores both.
TEST(LinearLayout, ChildAlignKeepsThePaddingOfItsSide)
{
    const struct {
        const wchar_t* value;
        int left;
    } cases[] = {{L"left", 3}, {L"center", 40}, {L"right", 73}};
    for (const auto& c : cases) {
        LayoutHost host(100, 50);
        auto* column = new CVerticalLayoutUI;
        column->SetAttribute(L"childalign", c.value);
        auto* child = AddTo<CControlUI>(column, L"width=\"20\" height=\"20\" padding=\"3,0,7,0\"");
        host.Attach(column);
        EXPECT_TRUE(RectIs(child->GetPos(), {c.left, 0, c.left + 20, 20})) << c.value;
    }
}

// Fixed sizes near the coordinate limit: the sums run in 64 bits, so every
// child lies below the one before it and none has a negative height.
TEST(LinearLayout, HugeFixedSizesDoNotWrapAround)
{
    LayoutHost host(100, 100);
    auto* root = new CVerticalLayoutUI;
    std::vector<CControlUI*> children;
    for (int i = 0; i < 4; ++i) {
        CControlUI* child = AddTo<CControlUI>(root, L"");
        child->SetFixedHeight(2000000000);
        child->SetMaxHeight(2000000000);
        children.push_back(child);
    }
    AddTo<CControlUI>(root, L"");
    host.Attach(root);
    for (size_t i = 0; i < children.size(); ++i) {
        EXPECT_GE(children[i]->GetHeight(), 0) << i;
        if (i > 0) {
            EXPECT_GE(children[i]->GetPos().top, children[i - 1]->GetPos().top) << i;
        }
    }
}

// Dragging the strip along a layout's bottom (right) edge resizes it, at once
// in immediate mode, else on release; within its maximum.
TEST(LinearLayout, SeparatorDragResizes)
{
    const struct {
        bool vertical;
        const wchar_t* attributes;
        int grab;
        int whileDragging;
        int released;
    } cases[] = {
        {true, L"height=\"50\" sepheight=\"4\" sepimm=\"true\"", 48, 70, 70},
        {true, L"height=\"50\" sepheight=\"4\"", 48, 50, 70},
        {true, L"height=\"50\" sepheight=\"4\" maxheight=\"60\"", 48, 50, 60},
        {false, L"width=\"50\" sepwidth=\"4\" sepimm=\"true\"", 48, 70, 70},
        // A negative size puts the strip along the left edge.
        {false, L"width=\"50\" sepwidth=\"-4\"", 2, 50, 30},
    };
    for (const auto& c : cases) {
        LayoutHost host(200, 200);
        CContainerUI* root = c.vertical ? static_cast<CContainerUI*>(new CVerticalLayoutUI)
                                        : static_cast<CContainerUI*>(new CHorizontalLayoutUI);
        CContainerUI* pane = c.vertical ? static_cast<CContainerUI*>(AddTo<CVerticalLayoutUI>(root, c.attributes))
                                        : static_cast<CContainerUI*>(AddTo<CHorizontalLayoutUI>(root, c.attributes));
        host.Attach(root);
        // Grab the strip, then drag 20 pixels on.
        int grab = c.grab;
        auto at = [&](int along) { return c.vertical ? std::make_pair(100, along) : std::make_pair(along, 100); };
        host.SendAt(WM_LBUTTONDOWN, at(grab).first, at(grab).second, MK_LBUTTON);
        host.SendAt(WM_MOUSEMOVE, at(grab + 20).first, at(grab + 20).second, MK_LBUTTON);
        host.Layout();
        EXPECT_EQ(c.vertical ? pane->GetHeight() : pane->GetWidth(), c.whileDragging) << c.attributes;
        host.SendAt(WM_LBUTTONUP, at(grab + 20).first, at(grab + 20).second);
        host.Layout();
        EXPECT_EQ(c.vertical ? pane->GetHeight() : pane->GetWidth(), c.released) << c.attributes;
    }
}

TEST(ContainerScroll, FloatingChildStaysWhenTheContainerScrolls)
{
    LayoutHost host(100, 100);
    auto* root = Make<CVerticalLayoutUI>(L"vscrollbar=\"true\"");
    auto* tall = AddTo<CControlUI>(root, L"height=\"300\"");
    auto* floating = AddTo<CControlUI>(root, L"float=\"true\" pos=\"10,10,30,30\"");
    host.Attach(root);
    ASSERT_TRUE(root->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(root->GetScrollRange().cy, 200);
    root->SetScrollPos(SIZE{0, 50});
    EXPECT_EQ(tall->GetPos().top, -50);
    EXPECT_TRUE(RectIs(floating->GetPos(), {10, 10, 30, 30}));
    EXPECT_TRUE(RectIs(root->GetVerticalScrollBar()->GetPos(), {84, 0, 100, 100}));
}

TEST(ContainerScroll, WheelScrollsByLines)
{
    LayoutHost host(100, 100);
    auto* root = Make<CVerticalLayoutUI>(L"vscrollbar=\"true\"");
    root->SetAttribute(L"vscrollbarstyle", L"linesize=\"30\"");
    AddTo<CControlUI>(root, L"height=\"300\"");
    host.Attach(root);
    POINT screen = {50, 50};
    ClientToScreen(host.hwnd, &screen);
    const struct {
        short delta;
        int position;
    } turns[] = {{-120, 30}, {-120, 60}, {120, 30}, {120, 0}, {120, 0}};
    for (const auto& turn : turns) {
        host.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, turn.delta), MAKELPARAM(screen.x, screen.y));
        EXPECT_EQ(root->GetScrollPos().cy, turn.position);
    }
}

// Children are cut at the client area (inside the inset); floating ones
// only at the container's own edges.
TEST(ContainerPaint, ChildrenAreClippedToTheClientArea)
{
    LayoutHost host(60, 60);
    auto* root = Make<CContainerUI>(L"inset=\"10,10,10,10\" bkcolor=\"#FFFFFFFF\"");
    AddTo<CControlUI>(root, L"minwidth=\"100\" minheight=\"100\" bkcolor=\"#FFFF0000\"");
    AddTo<CControlUI>(root, L"float=\"true\" pos=\"-5,0,75,5\" bkcolor=\"#FF0000FF\"");
    host.Attach(root);
    testing_support::DibSurface surface(80, 80, 0xFF000000);
    root->Paint(surface.dc(), surface.Bounds(), nullptr);
    const struct {
        int x, y;
        uint32_t color;
    } samples[] = {{20, 20, 0xFF0000}, {49, 49, 0xFF0000}, {55, 30, 0xFFFFFF}, {30, 55, 0xFFFFFF}, {5, 20, 0xFFFFFF},
        {0, 2, 0x0000FF}, {59, 2, 0x0000FF}, {65, 2, 0x000000}};
    for (const auto& sample : samples)
        EXPECT_EQ(surface.Rgb(sample.x, sample.y), sample.color) << sample.x << "," << sample.y;
}

TEST(ContainerScroll, ScrollBarStyleAloneCreatesAndStylesTheBar)
{
    LayoutHost host(100, 100);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"vscrollbarstyle", L"width=\"6\" showbutton1=\"false\"");
    AddTo<CControlUI>(root, L"height=\"250\"");
    host.Attach(root);
    CScrollBarUI* bar = root->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetOwner(), root);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_TRUE(RectIs(bar->GetPos(), {94, 0, 100, 100}));
    EXPECT_FALSE(bar->GetShowButton1());
    EXPECT_EQ(root->GetHorizontalScrollBar(), nullptr);
}

// A child whose height depends on the width it gets and on how often it
// was measured; layout must settle instead of re-laying out without end.
class CRestlessUI : public CControlUI {
public:
    explicit CRestlessUI(int (*height)(int width, int call)) : height_(height) {}
    SIZE EstimateSize(SIZE available) override { return SIZE{0, height_(available.cx, ++estimates)}; }
    int estimates = 0;

private:
    int (*height_)(int width, int call);
};

TEST(ContainerScroll, BarChangesDoNotReLayOutWithoutEnd)
{
    const struct {
        const char* name;
        bool bothBars;
        int (*height)(int width, int call);
    } cases[] = {
        // Without a bar it needs one, with a bar it fits.
        {"flips at the boundary", false, [](int width, int) { return width >= 100 ? 150 : 50; }},
        {"flips with both bars", true, [](int width, int) { return width >= 100 ? 150 : 50; }},
        // Shorter at every measure: the range shrinks under a bar kept at its end.
        {"shrinks at every pass", false, [](int, int call) { return 5000 - call; }},
    };
    for (const auto& c : cases) {
        LayoutHost host(100, 100);
        auto* root = new CVerticalLayoutUI;
        root->EnableScrollBar(true, c.bothBars);
        auto* child = new CRestlessUI(c.height);
        root->Add(child);
        host.Attach(root);
        for (int pass = 0; pass < 3; ++pass) {
            root->EndDown();
            host.Layout();
        }
        EXPECT_LT(child->estimates, 100) << c.name;
        CScrollBarUI* bar = root->GetVerticalScrollBar();
        if (bar->IsVisible()) {
            EXPECT_EQ(bar->GetPos().left, 100 - bar->GetFixedWidth()) << c.name;
        }
    }
}

TEST(ContainerItems, MovingAndRemovingChildren)
{
    LayoutHost host(100, 100);
    auto* root = new CVerticalLayoutUI;
    CControlUI* a = AddTo<CControlUI>(root, L"name=\"a\"");
    CControlUI* b = AddTo<CControlUI>(root, L"name=\"b\"");
    CControlUI* c = AddTo<CControlUI>(root, L"name=\"c\"");
    host.Attach(root);

    const struct {
        CControlUI* control;
        int index;
        bool moved;
    } moves[] = {{a, 3, false}, {a, -1, false}, {a, 2, true}, {a, 0, true}};
    for (const auto& m : moves) {
        EXPECT_EQ(root->SetItemIndex(m.control, m.index), m.moved) << m.index;
        EXPECT_EQ(root->GetCount(), 3);
        EXPECT_NE(root->GetItemIndex(m.control), -1);
    }
    EXPECT_EQ(root->GetItemAt(0), a);
    CControlUI stray;
    EXPECT_FALSE(root->AddAt(&stray, 9));
    EXPECT_FALSE(root->RemoveAt(7));
    EXPECT_TRUE(root->SetMultiItemIndex(b, 2, 0));
    EXPECT_EQ(root->GetItemAt(0), b);
    EXPECT_EQ(root->GetItemAt(1), c);
}

// Records whether the control was still listed by its container when it went.
struct DestroyProbe {
    bool OnDestroy(void* param)
    {
        destroyed = true;
        listed = container->GetItemIndex(static_cast<CControlUI*>(param)) >= 0;
        return true;
    }
    CContainerUI* container = nullptr;
    bool destroyed = false;
    bool listed = true;
};

// With delayed destroy the manager deletes the child later; either way it
// has left the list before it goes.
TEST(ContainerItems, RemovedChildLeavesTheListBeforeItGoes)
{
    for (bool delayed : {true, false}) {
        LayoutHost host(100, 100);
        auto* root = new CVerticalLayoutUI;
        root->SetDelayedDestroy(delayed);
        CControlUI* child = AddTo<CControlUI>(root, L"");
        host.Attach(root);
        DestroyProbe probe;
        probe.container = root;
        child->OnDestroy() += MakeDelegate(&probe, &DestroyProbe::OnDestroy);

        ASSERT_TRUE(root->Remove(child));
        EXPECT_EQ(probe.destroyed, !delayed);
        host.Pump();
        EXPECT_TRUE(probe.destroyed);
        EXPECT_FALSE(probe.listed);
    }
}

TEST(ContainerItems, DestroyingTheContainerDeletesItsChildrenAtOnce)
{
    LayoutHost host(100, 100);
    auto* root = new CVerticalLayoutUI;
    auto* inner = AddTo<CVerticalLayoutUI>(root, L"");
    CControlUI* child = AddTo<CControlUI>(inner, L"");
    host.Attach(root);
    DestroyProbe probe;
    probe.container = inner;
    child->OnDestroy() += MakeDelegate(&probe, &DestroyProbe::OnDestroy);

    ASSERT_TRUE(root->Remove(inner, true));
    inner->Delete();
    EXPECT_TRUE(probe.destroyed);
    EXPECT_FALSE(probe.listed);
}

} // namespace
