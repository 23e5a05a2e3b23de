#pragma once

#include "app/upgrade_messages.h"
#include "app/upgrade_session.h"

#include <windows.h>

#include <memory>
#include <string>

// The upgrade worker: downloads the package into the installation folder,
// sets aside the installed entries it replaces, unpacks it and reports to
// the upgrade window only by posted messages, ending every run with exactly
// one of WM_UPGRADE_DOWNLOAD_FAILED, WM_UPGRADE_INSTALL_FAILED and
// WM_UPGRADE_DONE. A failed installation leaves the installed entries as
// they were.

// Thread entry: the upgrade over the program's own folder. The session, when
// given, can stop the download and learns when the worker has ended.
void RunUpgradeWorker(std::wstring address, HWND window, std::shared_ptr<UpgradeSession> session);

// The upgrade over folder (ending with a backslash).
void RunUpgradeInFolder(const std::wstring& folder, const std::wstring& address, HWND window,
                        UpgradeSession* session = nullptr);
