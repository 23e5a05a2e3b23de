#pragma once

#include <string>

// Names read from files and archives become paths under the installation
// folder. A name that could lead anywhere else (absolute, drive-relative,
// UNC, device, ".." components) is refused.

// True when name is a relative path that stays inside the folder it is put under.
bool IsSafeRelativeName(const std::wstring& name);

// folder + name when name is safe and the result fits in 260 characters and
// resolves inside folder; false otherwise.
bool JoinInsideFolder(const std::wstring& folder, const std::wstring& name, std::wstring& path);
