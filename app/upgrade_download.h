#pragma once

#include <windows.h>

#include <string>

class UpgradeSession;

// Fetching the upgrade package into the installation folder.

// The package's file name: the address's last component after "/" or "\",
// without its query and fragment; empty when that component is empty.
std::wstring PackageNameFromAddress(const std::wstring& address);

// Downloads address to targetPath, reporting progress to window; whatever
// lay at targetPath is removed first. Only an https address is fetched
// (app/package_address.h), and only as long as every redirect stays on
// https; any other address fails before anything is touched. True when a
// non-empty answer that is not an HTTP error now lies at targetPath; after a
// failure nothing is left there. A download that receives no bytes for
// kDownloadStallLimitMs is aborted, and so is one whose session's user
// leaves. One that broke or stalled is tried again up to three times, after
// 1, 4 and 10 s, asking only for the missing bytes when the answer named its
// size and its file (ETag or Last-Modified); the user leaving ends it.
bool DownloadToFile(const std::wstring& address, const std::wstring& targetPath, HWND window,
                    UpgradeSession* session = nullptr);

// Creates path and any missing parents; false when path already exists or
// a folder cannot be made.
bool MakeFolderChain(const std::wstring& path);
