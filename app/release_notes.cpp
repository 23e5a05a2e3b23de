#include "app/release_notes.h"

#include <algorithm>

namespace {

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A cut before position leaves no half of a surrogate pair on either side.
size_t CharacterBoundary(const std::wstring& text, size_t position)
{
    if (position > 0 && position < text.size() && IsLowSurrogate(text[position]))
        --position;
    return position;
}

// Where a paragraph starting at start is broken: after the last space in
// the second half of its longest stretch, or else at a character boundary.
size_t ParagraphBreak(const std::wstring& text, size_t start)
{
    size_t limit = start + kLongestNotesParagraph;
    for (size_t space = limit - 1; space >= start + kLongestNotesParagraph / 2; --space) {
        if (text[space] == L' ')
            return space + 1;
    }
    return CharacterBoundary(text, limit);
}

std::wstring WithShortParagraphs(const std::wstring& text)
{
    std::wstring result;
    result.reserve(text.size() + text.size() / kLongestNotesParagraph + 1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find(L'\n', start), text.size());
        while (end - start > kLongestNotesParagraph) {
            size_t cut = ParagraphBreak(text, start);
            result.append(text, start, cut - start);
            result += L'\n';
            start = cut;
        }
        result.append(text, start, end - start + (end < text.size() ? 1 : 0));
        start = end + 1;
    }
    return result;
}

} // namespace

std::wstring ReleaseNotesText(const std::wstring& updateContent)
{
    std::wstring text = updateContent;
    if (text.size() > kMaxReleaseNotesChars) {
        text.resize(CharacterBoundary(text, kMaxReleaseNotesChars - 1));
        text += L'\u2026';
    }
    std::replace(text.begin(), text.end(), L'|', L'\n');
    return WithShortParagraphs(text);
}

std::wstring ReleaseNotesFeed::NextPiece()
{
    size_t end = std::min(next_ + kNotesPieceChars, text_.size());
    if (end < text_.size()) {
        size_t lineEnd = text_.find_last_of(L'\n', end - 1);
        end = lineEnd != std::wstring::npos && lineEnd >= next_ ? lineEnd + 1 : CharacterBoundary(text_, end);
    }
    std::wstring piece = text_.substr(next_, end - next_);
    next_ = end;
    return piece;
}
