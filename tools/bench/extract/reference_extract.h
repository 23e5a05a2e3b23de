#pragma once

#include <string>

// The least that unpacking a package through the 7-Zip library takes: its
// Extract with a callback that writes each item with CreateFileW/WriteFile
// and does nothing else. The yardstick for SevenZipExtractor::ExtractTo.
// Returns the library's result.
long ReferenceExtract(const std::wstring& package, const std::wstring& folder);
