#include <gtest/gtest.h>

#include <memory>

#include "rich_edit_host.h"
#include "tests/support/dib_surface.h"
#include "ui/controls/scroll_bar.h"

using namespace SkinUI;
using testing_support::DibSurface;

namespace {

const uint32_t kRootColor = 0xFFFFFF;
const uint32_t kEditColor = 0x203040;
const int kPadding = 10;
// The manager's first native timer id in a new window.
const UINT kFirstNativeTimerId = 17;

bool Inside(const RECT& rect, int x, int y)
{
    POINT point = {x, y};
    return PtInRect(&rect, point) != FALSE;
}

TEST(RichEditPaint, TextIsDrawnInsideTheEngineViewOnly)
{
    RichEditHost host(200, 100, {
        {L"bkcolor", L"#FF203040"},
        {L"textcolor", L"#FFFFFFFF"},
        {L"textpadding", L"10,10,10,10"},
        {L"vscrollbar", L"true"},
    });
    host.edit->SetText(NumberedLines(40).c_str());
    host.Paint();
    host.edit->SetScrollPos({0, 60});
    ASSERT_GT(host.EngineScrollY(), 0);

    DibSurface surface(240, 140);
    host.root->Paint(surface.dc(), surface.Bounds(), nullptr);
    RECT item = host.EditRect();
    RECT bar = host.edit->GetVerticalScrollBar()->GetPos();
    RECT view = {item.left + kPadding, item.top + kPadding, bar.left - kPadding, item.bottom - kPadding};
    int outside = 0, band = 0, text = 0, white = 0;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            uint32_t rgb = surface.Rgb(x, y);
            if (!Inside(item, x, y))
                outside += rgb != kRootColor;
            else if (Inside(view, x, y)) {
                text += rgb != kEditColor;
                white += rgb == 0xFFFFFF;
            }
            else if (!Inside(bar, x, y))
                band += rgb != kEditColor;
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(band, 0);
    EXPECT_GT(text, 0);
    // The text colour reaches the engine's character format.
    EXPECT_GT(white, 0);
    // A transparent engine leaves the control's background between the lines.
    EXPECT_LT(text, (view.right - view.left) * (view.bottom - view.top) / 2);
}

enum class Ending { kCloseWindow, kRemoveEditFirst, kCloseWithBarHeld };

// The engine calls back into its host for timers, caret, capture and
// invalidation while it is released: the edit must go first, with the
// window open or not, and with its bar's repeat timer running.
TEST(RichEditTeardown, ClosingWithFocusInTheEditIsSafe)
{
    for (Ending ending : {Ending::kCloseWindow, Ending::kRemoveEditFirst, Ending::kCloseWithBarHeld}) {
        auto host = std::make_unique<RichEditHost>(200, 100, RichEditHost::Attributes{{L"vscrollbar", L"true"}});
        host->edit->SetText(NumberedLines(30).c_str());
        host->Paint();
        POINT inside = {60, 40};
        host->SendAt(WM_LBUTTONDOWN, inside, MK_LBUTTON);
        host->SendAt(WM_MOUSEMOVE, {60, 200}, MK_LBUTTON);
        host->Send(WM_CHAR, L'x');
        ASSERT_TRUE(host->edit->IsFocused());
        if (ending == Ending::kRemoveEditFirst) {
            host->root->Remove(host->edit);
            host->edit = nullptr;
            host->Pump();
            // A capture the engine held goes with it.
            EXPECT_FALSE(host->manager.HasMouseCapture());
            // Timers that were running fire into the removed edit's ids.
            for (UINT id = kFirstNativeTimerId; id < kFirstNativeTimerId + 8; ++id)
                host->Send(WM_TIMER, id);
            host->SendAt(WM_LBUTTONUP, inside);
        }
        if (ending == Ending::kCloseWithBarHeld) {
            host->SendAt(WM_LBUTTONUP, inside);
            RECT bar = host->edit->GetVerticalScrollBar()->GetPos();
            host->SendAt(WM_LBUTTONDOWN, {(bar.left + bar.right) / 2, bar.bottom - 2}, MK_LBUTTON);
            host->Send(WM_TIMER, kFirstNativeTimerId);
        }
        HWND window = host->hwnd;
        host->Destroy();
        EXPECT_FALSE(IsWindow(window));
        host.reset();
    }
}

} // namespace
