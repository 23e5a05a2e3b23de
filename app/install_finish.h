#pragma once

#include "app/upgrade_set_aside.h"
#include "ui/core/unique_handle.h"

#include <string>
#include <vector>

// The end of a successful installation, whether it came from the full
// package or from a delta: the set-aside entries are kept for the new
// version's watched first start, with writtenPaths (full paths of what the
// installation wrote, a folder before its contents), and the downloaded file
// is deleted. When they cannot be kept they go (or onto the pending-deletion
// list) as after an upgrade without a watch.
void FinishInstall(const std::wstring& folder, const std::vector<SetAsideEntry>& setAside,
                   const std::vector<std::wstring>& writtenPaths, const std::wstring& downloadedPath,
                   SkinUI::FileHandle downloaded);
