#pragma once

#include <windows.h>

#include <string>

class UpgradeSession;

// Fetching the upgrade package into the installation folder.

// The package's file name: the address's last component after "/" or "\",
// without its query and fragment; empty when that component is empty.
std::wstring PackageNameFromAddress(const std::wstring& address);

// Downloads address to targetPath, reporting progress to window; whatever
// lay at targetPath is removed first, unless it is bytes kept for this
// download (below). Only an https address is fetched
// (app/package_address.h), and only as long as every redirect stays on
// https; any other address fails before anything is touched. True when a
// non-empty answer that is not an HTTP error now lies at targetPath; after a
// failure nothing is left there but kept bytes. A download that receives no bytes for
// kDownloadStallLimitMs is aborted, and so is one whose session's user
// leaves. One that broke or stalled is tried again up to three times, after
// 1, 4 and 10 s, asking only for the missing bytes when the answer named its
// size and its file (ETag or Last-Modified); the user leaving ends it.
//
// Across runs, when kept is given with a proof: a download that ends short
// (the user left, the retries ran out, the process ended) keeps its bytes
// at targetPath, with a record beside it (app/resume_record.h), provided
// the answer named its file and size and the name is a package's; the next
// download of the same address under the same proof goes on from them. A record that says
// anything else is deleted, with the bytes beside it, and the download
// starts from zero.
struct KeptPackage {
    // What will check the whole file once it is complete; empty: nothing is
    // kept across runs.
    std::string proof;
    // Set by the download: it went on from bytes an earlier run kept.
    bool continued = false;
};

bool DownloadToFile(const std::wstring& address, const std::wstring& targetPath, HWND window,
                    UpgradeSession* session = nullptr, KeptPackage* kept = nullptr);

// Creates path and any missing parents; false when path already exists or
// a folder cannot be made.
bool MakeFolderChain(const std::wstring& path);
