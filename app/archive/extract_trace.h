#pragma once

#include <string>

namespace SevenZip::intl {

// Writes text, the path when there is one, and a line end to standard
// output in UTF-8. A windowed process has no standard output; the line is
// then lost, which is harmless.
void TraceLine(const wchar_t* text, const std::wstring& path = std::wstring());

// Lines are buffered, since a write per line costs more than the rest of an
// item's file work; an extraction flushes them when it ends.
void FlushTrace();

} // namespace SevenZip::intl
