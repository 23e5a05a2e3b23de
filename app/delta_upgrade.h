#pragma once

#include "app/version_answer.h"

#include <windows.h>

#include <string>

class UpgradeSession;

// The upgrade through a delta: downloads it beside the installation like
// the package (same name rules, same proof, same resumption), installs it
// (app/delta_install.h) and finishes like the package. True only when the
// new release is installed; otherwise the installation is as it was, the
// delta and its staging folder are gone, and the full package can follow.
bool UpgradeThroughDelta(const std::wstring& folder, const DeltaOffer& delta, HWND window,
                         UpgradeSession* session);
