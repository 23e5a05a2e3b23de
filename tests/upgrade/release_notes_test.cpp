#include "app/release_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::wstring Repeated(const std::wstring& part, size_t count)
{
    std::wstring text;
    for (size_t i = 0; i < count; ++i)
        text += part;
    return text;
}

bool SplitsAPair(const std::wstring& text, size_t position)
{
    return position > 0 && position < text.size() && text[position] >= 0xDC00 && text[position] <= 0xDFFF;
}

// Each paragraph of the result, and where the original's text went.
void ExpectShortParagraphs(const std::wstring& text)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        EXPECT_LE(end - start, kLongestNotesParagraph);
        EXPECT_FALSE(SplitsAPair(text, end + 1));
        start = end + 1;
    }
}

std::wstring WithoutLineFeeds(std::wstring text)
{
    text.erase(std::remove(text.begin(), text.end(), L'\n'), text.end());
    return text;
}

TEST(ReleaseNotes, BarsBreakLinesAndOverlongParagraphsAreBroken)
{
    const std::wstring prose = Repeated(L"word ", 300);
    const std::wstring word(1500, L'x');
    struct {
        std::wstring content;
        std::wstring shown;
    } cases[] = {
        {L"a|b|c", L"a\nb\nc"},
        {L"", L""},
        {L"||", L"\n\n"},
        {std::wstring(kLongestNotesParagraph, L'y'), std::wstring(kLongestNotesParagraph, L'y')},
        // After the last space of the longest stretch; the rest follows.
        {prose, Repeated(Repeated(L"word ", 51) + L"\n", 5) + Repeated(L"word ", 45)},
        {word, Repeated(std::wstring(256, L'x') + L"\n", 5) + std::wstring(220, L'x')},
    };
    for (const auto& c : cases) {
        std::wstring shown = ReleaseNotesText(c.content);
        EXPECT_EQ(c.shown, shown) << c.content.size();
        ExpectShortParagraphs(shown);
    }
}

TEST(ReleaseNotes, LongNotesAreCutAtACharacterAndMarked)
{
    const std::wstring pair = L"\xD83D\xDE00";
    struct {
        std::wstring content;
        std::wstring kept; // the start of the content that is shown, all of it when equal
    } cases[] = {
        {std::wstring(kMaxReleaseNotesChars, L'a'), std::wstring(kMaxReleaseNotesChars, L'a')},
        {std::wstring(kMaxReleaseNotesChars + 1, L'a'), std::wstring(kMaxReleaseNotesChars - 1, L'a') + L"\u2026"},
        // A surrogate pair across the cut goes whole.
        {std::wstring(kMaxReleaseNotesChars - 2, L'a') + pair + L"bc",
         std::wstring(kMaxReleaseNotesChars - 2, L'a') + L"\u2026"},
        {std::wstring(kMaxReleaseNotesChars - 3, L'a') + pair + L"bc",
         std::wstring(kMaxReleaseNotesChars - 3, L'a') + pair + L"\u2026"},
        {Repeated(pair, kMaxReleaseNotesChars), Repeated(pair, kMaxReleaseNotesChars / 2 - 1) + L"\u2026"},
    };
    for (const auto& c : cases) {
        std::wstring shown = ReleaseNotesText(c.content);
        EXPECT_TRUE(WithoutLineFeeds(shown) == c.kept) << c.content.size() << " shown as " << shown.size();
        ExpectShortParagraphs(shown);
    }
}

TEST(ReleaseNotes, PiecesEndAfterALineBreakAndNeverSplitACharacter)
{
    const std::wstring pair = L"\xD83D\xDE00";
    const std::wstring texts[] = {
        Repeated(L"- a line of the changelog\n", 400),
        Repeated(pair, 3000),
        std::wstring(kNotesPieceChars * 2 + 7, L'x'),
        L"short",
    };
    for (const std::wstring& text : texts) {
        ReleaseNotesFeed feed(text);
        EXPECT_EQ(text.size(), feed.Size());
        std::wstring joined;
        while (!feed.Done()) {
            std::wstring piece = feed.NextPiece();
            ASSERT_FALSE(piece.empty());
            EXPECT_LE(piece.size(), kNotesPieceChars);
            joined += piece;
            if (text.find(L'\n') != std::wstring::npos && !feed.Done()) {
                EXPECT_EQ(L'\n', piece.back());
            }
            EXPECT_FALSE(SplitsAPair(text, joined.size()));
        }
        EXPECT_TRUE(joined == text) << text.size();
    }
}

} // namespace
