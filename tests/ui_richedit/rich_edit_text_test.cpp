#include <gtest/gtest.h>

#include <richedit.h>

#include "rich_edit_host.h"

using namespace SkinUI;

namespace {

struct TextCase {
    const wchar_t* set;
    // The engine answers paragraph ends as CR.
    const wchar_t* got;
    int lines;
};

TEST(RichEditText, SetTextGivesTheTextBackInUtf16)
{
    const TextCase cases[] = {
        {L"第一行 中文\n第二行\n第三行 line three", L"第一行 中文\r第二行\r第三行 line three", 3},
        {L"plain", L"plain", 1},
        {L"", L"", 1},
    };
    RichEditHost host(200, 100);
    for (const TextCase& c : cases) {
        host.log.got.clear();
        host.edit->SetText(c.set);
        EXPECT_STREQ(host.edit->GetText().GetData(), c.got) << "set: " << testing::PrintToString(c.set);
        EXPECT_EQ(host.LineCount(), c.lines);
        EXPECT_GE(host.log.Count(L"textchanged"), 1);
    }
}

// The upgrade window turns each "|" of the release notes into a line feed.
TEST(RichEditText, ReleaseNotesWithBarsShowOneLineEach)
{
    RichEditHost host(200, 100);
    CUIString notes(L"a|b|c");
    notes.Replace(L"|", L"\n");
    host.edit->SetText(notes);
    EXPECT_EQ(host.LineCount(), 3);
    EXPECT_STREQ(host.edit->GetText().GetData(), L"a\rb\rc");
}

int LineHeight(RichEditHost& host)
{
    POINTL first = {0, 0};
    POINTL second = {0, 0};
    host.edit->TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0, nullptr);
    host.edit->TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second), 2, nullptr);
    return second.y - first.y;
}

void ExpectFontSizesApply(RichEditHost& host)
{
    host.manager.RegisterFont(1, L"Microsoft YaHei", 12, false, false, false);
    host.manager.RegisterFont(2, L"Microsoft YaHei", 36, false, false, false);
    host.edit->SetText(L"a\nb");
    host.edit->SetFont(1);
    int small = LineHeight(host);
    host.edit->SetFont(2);
    int large = LineHeight(host);
    EXPECT_GE(small, 12);
    EXPECT_GE(large, 36);
}

// The engine's character format follows the control's font, read-only or not.
TEST(RichEditText, TextTakesTheSizeOfTheControlsFont)
{
    for (const wchar_t* readOnly : {L"false", L"true"}) {
        RichEditHost host(200, 100, {{L"readonly", readOnly}});
        SCOPED_TRACE(testing::PrintToString(readOnly));
        ExpectFontSizesApply(host);
    }
}

// Engine notifications reach the window as WM_NOTIFY, as a child control's would.
TEST(RichEditText, SelectionChangesReachTheWindow)
{
    RichEditHost host(200, 100);
    host.edit->SetText(L"abc");
    host.edit->TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE, nullptr);
    CHARRANGE range = {1, 2};
    host.edit->TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
    ASSERT_FALSE(host.messages.notifyCodes.empty());
    EXPECT_EQ(host.messages.notifyCodes.back(), static_cast<UINT>(EN_SELCHANGE));
}

struct InputCase {
    const wchar_t* name;
    const wchar_t* value;
    bool typingChanges;
    bool enterSendsReturn;
    int linesAfterEnter;
};

// Keys reach the engine through the window's message filter, as typed.
TEST(RichEditInput, ReadOnlyAndWantReturnDecideWhatKeysDo)
{
    const InputCase cases[] = {
        {L"readonly", L"true", false, false, 1},
        {L"wantreturn", L"false", true, true, 1},
        {L"wantreturn", L"true", true, false, 2},
    };
    for (const InputCase& c : cases) {
        RichEditHost host(200, 100, {{c.name, c.value}});
        host.edit->SetText(L"abc");
        host.manager.FocusControl(host.edit);
        ASSERT_TRUE(host.edit->IsFocused());
        CHARRANGE end = {3, 3};
        host.edit->TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end), nullptr);
        // No input-method context exists here: composition must pass quietly.
        host.Send(WM_IME_STARTCOMPOSITION);
        host.Send(WM_CHAR, L'x');
        host.log.got.clear();
        host.Send(WM_KEYDOWN, VK_RETURN);
        host.Send(WM_CHAR, L'\r');
        host.Send(WM_KEYUP, VK_RETURN);
        SCOPED_TRACE(testing::PrintToString(c.name) + "=" + testing::PrintToString(c.value));
        CUIString text = host.edit->GetText();
        EXPECT_EQ(text.Find(L"abcx") == 0, c.typingChanges);
        EXPECT_EQ(host.log.Count(L"return"), c.enterSendsReturn ? 1 : 0);
        EXPECT_EQ(host.LineCount(), c.linesAfterEnter);
    }
}

// Read-only set on a live edit goes to the engine through the property bits.
TEST(RichEditInput, ReadOnlyAfterCreationRefusesTyping)
{
    RichEditHost host(200, 100);
    host.edit->SetText(L"abc");
    host.manager.FocusControl(host.edit);
    host.edit->SetReadOnly(true);
    host.Send(WM_CHAR, L'x');
    EXPECT_STREQ(host.edit->GetText().GetData(), L"abc");
    host.edit->SetReadOnly(false);
    host.Send(WM_CHAR, L'x');
    EXPECT_STREQ(host.edit->GetText().GetData(), L"abcx");
}

// The message loop leaves Tab to an edit that wants it, where it is typed.
TEST(RichEditInput, TabStaysInTheEditThatWantsIt)
{
    struct {
        const wchar_t* wantTab;
        bool consumedByTheLoop;
    } cases[] = {{L"true", false}, {L"false", true}};
    for (const auto& c : cases) {
        RichEditHost host(200, 100, {{L"wanttab", c.wantTab}});
        host.manager.FocusControl(host.edit);
        LRESULT result = 0;
        SCOPED_TRACE(testing::PrintToString(c.wantTab));
        EXPECT_EQ(host.manager.PreDispatch(WM_KEYDOWN, VK_TAB, 0, result), c.consumedByTheLoop);
    }
}

// Alt+F4 reaches the window's default handling, which asks to close it.
TEST(RichEditInput, SystemKeysStillReachTheWindow)
{
    RichEditHost host(200, 100);
    ASSERT_NE(host.hwnd, nullptr);
    host.manager.FocusControl(host.edit);
    ASSERT_TRUE(host.edit->IsFocused());
    host.Send(WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(KF_ALTDOWN) << 16);
    host.Pump();
    EXPECT_TRUE(host.messages.Saw(WM_SYSCOMMAND, SC_CLOSE));
}

// Without an engine (never initialised here) the edit answers the engine's false.
TEST(RichEditText, WithoutEngineNothingIsSent)
{
    CRichEditUI edit;
    edit.SetText(L"kept");
    LRESULT result = 7;
    EXPECT_EQ(edit.TxSendMessage(EM_GETLINECOUNT, 0, 0, &result), 1);
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(edit.GetText().IsEmpty());
    bool handled = false;
    edit.MessageHandler(WM_CHAR, L'x', 0, handled);
    EXPECT_FALSE(handled);
}

TEST(RichEditInput, KeysGoNowhereWithoutFocus)
{
    RichEditHost host(200, 100);
    host.edit->SetText(L"abc");
    host.Send(WM_CHAR, L'x');
    EXPECT_STREQ(host.edit->GetText().GetData(), L"abc");
}

} // namespace
