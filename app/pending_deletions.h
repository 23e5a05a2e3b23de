#pragma once

#include <string>
#include <vector>

// The pending-deletion list "temp" in the installation folder: names of
// files that an upgrade could not delete, relative to the folder, joined by
// "|", one byte per character. Retried and rewritten at every start.

// Deletes what it can of the listed files and keeps the rest on the list;
// the list file goes once nothing remains. Names that would lead outside the
// folder are dropped without deleting anything.
void ProcessPendingDeletions(const std::wstring& moduleFolder);

// The list file's path for a module folder.
std::wstring PendingListPath(const std::wstring& moduleFolder);

// Reads the list's names in file order; false when there is no readable list.
bool ReadPendingList(const std::wstring& listPath, std::vector<std::wstring>& names);

// Writes names joined by "|" with no separator after the last. False when a
// name has a character above 255 (it cannot be stored) or the file cannot be written.
bool WritePendingList(const std::wstring& listPath, const std::vector<std::wstring>& names);
