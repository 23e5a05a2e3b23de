#pragma once

#include "app/upgrade_set_aside.h"

#include <windows.h>

#include <string>
#include <vector>

// Installing a delta (app/delta_manifest.h) over the installation folder,
// all or nothing:
// 1. every installed file the delta keeps or patches is compared with the
//    manifest's size and SHA-256; any difference means the delta does not
//    fit this installation;
// 2. the new files are built in the staging folder "_kestrel-delta" inside
//    the installation folder and each is checked against its SHA-256;
// 3. only then are the installed files they replace, and those the new
//    release no longer has, set aside, and the new files moved into place.
// When any step fails, the installation is as it was and the staging
// folder is gone.

extern const wchar_t kDeltaStagingFolder[];

enum class DeltaInstallResult { Installed, DoesNotFit, Failed };

// delta is the checked delta file, deltaName its name in folder (ending
// with a backslash). On Installed, setAside holds what the installation
// moved away, for the caller to purge or keep, and written the full paths
// of the folders it made and the files it moved into place, a folder before
// its contents.
DeltaInstallResult InstallDelta(const std::wstring& folder, HANDLE delta,
                                const std::wstring& deltaName,
                                std::vector<SetAsideEntry>& setAside,
                                std::vector<std::wstring>& written);
