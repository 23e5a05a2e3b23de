#include <gtest/gtest.h>
#include <richedit.h>

#include "rich_edit_host.h"
#include "tests/support/dib_surface.h"
#include "ui/controls/scroll_bar.h"
#include "ui/core/layout_builder.h"

using namespace SkinUI;
using testing_support::DibSurface;

namespace {

// The release-notes box of the upgrade window, as its layout writes it.
const wchar_t kNotesLayout[] =
    L"<Window size=\"300,200\">"
    L"<Font id=\"1\" name=\"Microsoft YaHei\" size=\"12\"/>"
    L"<VerticalLayout inset=\"20,20,20,20\">"
    L"<RichEdit name=\"Msg_RichEdit\" width=\"200\" height=\"100\" textcolor=\"#FFFFFFFF\" readonly=\"true\""
    L" vscrollbar=\"true\" bordersize=\"1\" bordercolor=\"#807D8EAC\" bkcolor=\"#FF1E2938\" font=\"1\""
    L" vscrollbarstyle=\"width=&quot;6&quot; thumbcolor=&quot;#FFFF0000&quot;\"/>"
    L"</VerticalLayout></Window>";

TEST(RichEditLayout, ReleaseNotesBoxShowsLinesAndTheStyledBar)
{
    RichEditHost host(200, 100);
    CLayoutBuilder builder;
    CControlUI* root = builder.Build(kNotesLayout, nullptr, &host.manager);
    ASSERT_NE(root, nullptr);
    host.manager.AttachRoot(root);
    host.Pump();
    CControlUI* found = host.manager.FindControlByName(L"Msg_RichEdit");
    ASSERT_NE(found, nullptr);
    auto* notes = static_cast<CRichEditUI*>(found->GetInterface(L"RichEdit"));
    ASSERT_NE(notes, nullptr);
    ASSERT_TRUE(notes->HasHost());

    CUIString text(L"a|b|c");
    text.Replace(L"|", L"\n");
    notes->SetText(text);
    host.Paint();
    host.edit = notes;
    EXPECT_EQ(host.LineCount(), 3);
    EXPECT_FALSE(notes->GetVerticalScrollBar()->IsVisible());
    // White text on the box's own background, not on an engine-painted one.
    DibSurface surface(240, 140);
    root->Paint(surface.dc(), surface.Bounds(), nullptr);
    RECT item = notes->GetPos();
    EXPECT_EQ(surface.Rgb(item.right - 20, item.bottom - 10), 0x1E2938u);
    int white = 0;
    for (int y = item.top + 1; y < item.bottom - 1; ++y) {
        for (int x = item.left + 1; x < item.right - 1; ++x)
            white += surface.Rgb(x, y) == 0xFFFFFF;
    }
    EXPECT_GT(white, 0);

    notes->SetText(NumberedLines(30).c_str());
    host.Paint();
    CScrollBarUI* bar = notes->GetVerticalScrollBar();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetWidth(), 6);

    host.manager.FocusControl(notes);
    host.Send(WM_CHAR, L'x');
    EXPECT_EQ(notes->GetText().Find(L'x'), -1);
}

// How far the engine scrolls a text of 40 lines at most: the text's height
// less the height of the engine's view.
int FurthestScroll(const wchar_t* padding)
{
    RichEditHost host(200, 100, {{L"textpadding", padding}});
    host.edit->SetText(NumberedLines(40).c_str());
    host.Paint();
    POINT end = {0, 100000};
    host.edit->TxSendMessage(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&end), nullptr);
    return host.EngineScrollY();
}

// The top and bottom text padding shorten the engine's view by their sum.
TEST(RichEditLayout, TextPaddingShortensTheEngineView)
{
    const int unpadded = FurthestScroll(L"0,0,0,0");
    ASSERT_GT(unpadded, 100);
    const struct {
        const wchar_t* padding;
        int shorter;
    } cases[] = {{L"0,0,0,30", 30}, {L"0,30,0,0", 30}, {L"5,10,5,30", 40}};
    for (const auto& c : cases)
        EXPECT_EQ(FurthestScroll(c.padding) - unpadded, c.shorter) << c.padding;
}

} // namespace
