#include <gtest/gtest.h>

#include <richedit.h>
#include <string.h>

#include "rich_edit_host.h"
#include "ui/controls/scroll_bar.h"

using namespace SkinUI;

namespace {

// The manager's first native timer id in a new window.
const UINT kFirstNativeTimerId = 17;

const RichEditHost::Attributes kStyledBar = {
    {L"vscrollbar", L"true"},
    {L"vscrollbarstyle", L"width=\"6\" thumbcolor=\"#FFFF0000\""},
};

// Holds Ctrl down in the thread's keyboard state while alive.
class ControlHeld {
public:
    ControlHeld()
    {
        GetKeyboardState(saved_);
        BYTE held[256];
        memcpy(held, saved_, sizeof(held));
        held[VK_CONTROL] = 0x80;
        SetKeyboardState(held);
    }
    ~ControlHeld() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

POINT Center(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST(RichEditScroll, TextTallerThanTheViewShowsTheStyledBar)
{
    struct {
        int lines;
        bool barShown;
    } cases[] = {{30, true}, {1, false}, {30, true}};
    RichEditHost host(200, 100, kStyledBar);
    CScrollBarUI* bar = host.edit->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    for (const auto& c : cases) {
        host.edit->SetText(NumberedLines(c.lines).c_str());
        host.Paint();
        SCOPED_TRACE(c.lines);
        ASSERT_EQ(bar->IsVisible(), c.barShown);
        if (!c.barShown)
            continue;
        RECT item = host.EditRect();
        RECT expected = {item.right - 6, item.top, item.right, item.bottom};
        EXPECT_TRUE(EqualRect(&bar->GetPos(), &expected));
        EXPECT_GT(bar->GetScrollRange(), 0);
    }
}

TEST(RichEditScroll, WheelScrollsByLinesAndCtrlWheelGoesToTheEngine)
{
    RichEditHost host(200, 100, kStyledBar);
    host.edit->SetText(NumberedLines(30).c_str());
    host.Paint();
    POINT inside = Center(host.EditRect());
    host.SendWheel(inside, 0, -WHEEL_DELTA);
    host.Pump();
    int oneLine = host.EngineScrollY();
    EXPECT_GT(oneLine, 0);
    EXPECT_EQ(host.edit->GetVerticalScrollBar()->GetScrollPos(), oneLine);
    EXPECT_GE(host.log.Count(L"scroll"), 1);

    host.edit->HomeUp();
    ASSERT_EQ(host.EngineScrollY(), 0);
    ControlHeld control;
    host.SendWheel(inside, MK_CONTROL, -WHEEL_DELTA);
    EXPECT_EQ(host.EngineScrollY(), 0);
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    host.edit->TxSendMessage(EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
        reinterpret_cast<LPARAM>(&denominator), nullptr);
    EXPECT_NE(numerator, denominator);
}

TEST(RichEditScroll, DraggingTheThumbScrollsTheText)
{
    RichEditHost host(200, 100, kStyledBar);
    host.edit->SetText(NumberedLines(30).c_str());
    host.Paint();
    CScrollBarUI* bar = host.edit->GetVerticalScrollBar();
    POINT grab = Center(bar->GetThumbRect());
    host.SendAt(WM_LBUTTONDOWN, grab, MK_LBUTTON);
    host.SendAt(WM_MOUSEMOVE, {grab.x, grab.y + 30}, MK_LBUTTON);
    host.Send(WM_TIMER, kFirstNativeTimerId);
    host.SendAt(WM_LBUTTONUP, {grab.x, grab.y + 30});
    host.Pump();
    EXPECT_GT(host.EngineScrollY(), 0);
    EXPECT_EQ(host.EngineScrollY(), bar->GetScrollPos());
    EXPECT_GE(host.log.Count(L"scroll"), 1);
}

// Near the height where the bar comes and goes, every size must settle:
// one paint lays out, the next finds nothing left to do.
TEST(RichEditScroll, BarAtTheBoundarySettles)
{
    RichEditHost host(120, 40, kStyledBar);
    host.edit->SetText(L"one two three four five six seven eight nine ten eleven twelve");
    CScrollBarUI* bar = host.edit->GetVerticalScrollBar();
    for (int height = 20; height <= 120; height += 3) {
        host.edit->SetFixedHeight(height);
        host.Paint();
        host.Paint();
        SCOPED_TRACE(height);
        EXPECT_FALSE(GetUpdateRect(host.hwnd, nullptr, FALSE));
        EXPECT_FALSE(bar->IsVisible() && bar->GetScrollRange() <= 0);
    }
}

// Notes filled piece by piece: the reader's view and selection stay put
// while the text and the bar's range grow below them.
TEST(RichEditScroll, AppendedTextKeepsTheViewAndTheSelection)
{
    const int wheelTurns[] = {0, 3};
    for (int turns : wheelTurns) {
        SCOPED_TRACE(turns);
        RichEditHost host(200, 100, kStyledBar);
        host.edit->SetText(NumberedLines(30).c_str());
        CHARRANGE caret = {5, 5};
        host.edit->TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret), nullptr);
        host.edit->HomeUp();
        host.Paint();
        for (int i = 0; i < turns; ++i)
            host.SendWheel(Center(host.EditRect()), 0, -WHEEL_DELTA);
        host.Pump();
        int view = host.EngineScrollY();
        CScrollBarUI* bar = host.edit->GetVerticalScrollBar();
        int range = bar->GetScrollRange();

        host.edit->AppendText((L"\n" + NumberedLines(30)).c_str());
        host.Paint();

        EXPECT_EQ(host.LineCount(), 60);
        EXPECT_EQ(host.EngineScrollY(), view);
        EXPECT_EQ(bar->GetScrollPos(), view);
        EXPECT_GT(bar->GetScrollRange(), range);
        CHARRANGE selection = {};
        host.edit->TxSendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection), nullptr);
        EXPECT_EQ(selection.cpMin, 5);
        EXPECT_EQ(selection.cpMax, 5);
        // The bar still scrolls the whole text.
        host.edit->EndDown();
        host.Pump();
        EXPECT_EQ(host.EngineScrollY(), bar->GetScrollRange());
    }
}

} // namespace
