#pragma once

#include <windows.h>

namespace SkinUI {

// Loads a library from the system folder only: never from the program's
// folder (which, for an elevated updater, anyone who can write there would
// control), the current folder or the path. None when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

} // namespace SkinUI
