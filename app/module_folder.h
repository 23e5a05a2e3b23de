#pragma once

#include <string>

// The folder of the program's own file, ending with a backslash. False when
// the path does not fit the 260-character buffers the program works with.
bool GetModuleFolder(std::wstring& folder);
