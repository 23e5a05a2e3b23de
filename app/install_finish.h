#pragma once

#include "app/upgrade_set_aside.h"
#include "ui/core/unique_handle.h"

#include <string>
#include <vector>

// The end of a successful installation, whether it came from the full
// package or from a delta: the set-aside entries go (or onto the
// pending-deletion list) and the downloaded file is deleted.
void FinishInstall(const std::wstring& folder, const std::vector<SetAsideEntry>& setAside,
                   const std::wstring& downloadedPath, SkinUI::FileHandle downloaded);
