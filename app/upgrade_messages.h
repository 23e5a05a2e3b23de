#pragma once

#include <windows.h>

// Messages the upgrade worker posts to the upgrade window. Every one but the
// progress report carries wParam = 0 and lParam = 0; a run ends with exactly
// one of the three final ones.
constexpr UINT WM_UPGRADE_PROGRESS = 0xFFF0;        // wParam progress, lParam maximum (0: unknown)
constexpr UINT WM_UPGRADE_DOWNLOAD_FAILED = 0xFFE0;
constexpr UINT WM_UPGRADE_INSTALL_FAILED = 0xFFE1;
constexpr UINT WM_UPGRADE_DONE = 0xFFE2;
// Not final: the delta could not be used and the full package's download
// begins, its progress counted from zero.
constexpr UINT WM_UPGRADE_FULL_PACKAGE = 0xFFE3;
