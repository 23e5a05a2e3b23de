#pragma once

#include <windows.h>

// The whole run of the updater from the single-instance guard to the exit;
// returns the process exit code.
int RunKestrel(HINSTANCE instance);
