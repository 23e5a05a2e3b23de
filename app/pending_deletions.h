#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// The pending-deletion list "temp" in the installation folder: names of
// files that an upgrade could not delete, relative to the folder, joined by
// "|", one byte per character. Retried and rewritten at every start.

// What an upgrade's list can hold. The file is read within these bounds
// whatever it holds: a larger file is no list and goes; names after the
// first kMaxPendingNames and longer names are dropped.
const size_t kMaxPendingListBytes = 1 << 20;
const size_t kMaxPendingNames = 10000;
const size_t kMaxPendingNameLength = 260;

// Deletes what it can of the listed files and keeps the rest on the list;
// the list file goes once nothing remains, or when it cannot be read as a
// list. Names that would lead outside the folder are dropped without
// deleting anything.
void ProcessPendingDeletions(const std::wstring& moduleFolder);

// The list file's path for a module folder.
std::wstring PendingListPath(const std::wstring& moduleFolder);

enum class PendingListRead {
    kRead,
    kMissing,      // there is no list, or it cannot be opened
    kUnreadable,   // larger than any list, or no memory to read it
};

// Reads the list's names in file order, within the bounds above.
PendingListRead ReadPendingList(const std::wstring& listPath, std::vector<std::wstring>& names);

// Writes names joined by "|" with no separator after the last, only as many
// as the reader takes back: the first kMaxPendingNames names that are not
// longer than kMaxPendingNameLength, while the file stays within
// kMaxPendingListBytes. False when a name has a character above 255 (it
// cannot be stored) or the file cannot be written.
bool WritePendingList(const std::wstring& listPath, const std::vector<std::wstring>& names);
