#pragma once

#include <string>

// The file name that a downloaded package takes in the installation folder
// comes from the answer, and whatever lies there is deleted before the
// download. So the name must never lead to an installed file. Allowed are a
// name that nothing has yet, and a regular file left by an earlier download
// (one that failed keeps its package), recognised by the package formats'
// usual extensions: .7z .zip .cab .lzma .lzma86 .delta. Refused, whether they
// exist or not: Tarnwick.exe, Kestrel.exe, the running program's own file
// name, kestrel.dat and the pending-deletion list "temp". Windows folds
// names (case, trailing dots and spaces, 8.3 short aliases): the fixed names
// are compared folded, and what an existing name leads to is asked of the
// file system itself, under its real name.

// True when the package may be downloaded to folder + name (folder ends with
// a backslash): a plain file name that holds nothing or a leftover package.
bool IsAllowedPackageName(const std::wstring& folder, const std::wstring& name);
