#pragma once

#include "app/upgrade_messages.h"
#include "app/upgrade_session.h"
#include "app/version_answer.h"

#include <windows.h>

#include <memory>
#include <string>

// The upgrade worker: downloads the package into the installation folder,
// sets aside the installed entries it replaces, unpacks it and reports to
// the upgrade window only by posted messages, ending every run with exactly
// one of WM_UPGRADE_DOWNLOAD_FAILED, WM_UPGRADE_INSTALL_FAILED and
// WM_UPGRADE_DONE. A failed installation leaves the installed entries as
// they were.

// A downloaded package that fails its check (app/package_check.h) is
// deleted and the run ends with WM_UPGRADE_DOWNLOAD_FAILED.

// A delta offered for the installed version (app/delta_upgrade.h) is tried
// first; when it cannot be applied the window hears WM_UPGRADE_FULL_PACKAGE
// and the full package follows in the same run.

// Thread entry: the upgrade over the program's own folder. proof is what
// the version answer gives to vouch for the package. The session, when
// given, can stop the download and learns when the worker has ended.
void RunUpgradeWorker(std::wstring address, PackageProof proof, HWND window,
                      std::shared_ptr<UpgradeSession> session = nullptr,
                      DeltaOffer delta = DeltaOffer());

// The upgrade over folder (ending with a backslash).
void RunUpgradeInFolder(const std::wstring& folder, const std::wstring& address,
                        const PackageProof& proof, HWND window, UpgradeSession* session = nullptr,
                        const DeltaOffer& delta = DeltaOffer());
