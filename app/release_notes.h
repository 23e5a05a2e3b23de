#pragma once

#include <cstddef>
#include <string>

// The release notes as the notes box shows them. The text engine's time
// grows faster than the length of a paragraph (on some engines a word of a
// few thousand characters takes seconds), so overlong paragraphs are broken
// and the box is filled piece by piece while the window goes on working.

// Notes longer than this are cut, and "…" shows where.
const size_t kMaxReleaseNotesChars = 1 << 20;
// A paragraph longer than this is broken, at a space where one is near.
const size_t kLongestNotesParagraph = 256;
// What the box takes at a time; a piece ends after a line break when it can.
const size_t kNotesPieceChars = 1024;

// "|" marks a line break in the update content.
std::wstring ReleaseNotesText(const std::wstring& updateContent);

// Hands out a text in pieces that never split a character.
class ReleaseNotesFeed {
public:
    ReleaseNotesFeed() = default;
    explicit ReleaseNotesFeed(std::wstring text) : text_(std::move(text)) {}

    size_t Size() const { return text_.size(); }
    bool Done() const { return next_ >= text_.size(); }
    std::wstring NextPiece();

private:
    std::wstring text_;
    size_t next_ = 0;
};
