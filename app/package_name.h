#pragma once

#include <string>

// The file name that a downloaded package takes in the installation folder
// comes from the answer, and whatever lies there is deleted before the
// download. So the name must never lead to an installed file. Allowed are a
// name that nothing has yet, and a regular file left by an earlier download
// (one that failed keeps its package), recognised by the package formats'
// usual extensions: .7z .zip .cab .lzma .lzma86 .delta. Refused, whether they
// exist or not: Tarnwick.exe, Kestrel.exe, the running program's own file
// name, kestrel.dat, the pending-deletion list "temp", Kestrel's state
// files (IsKestrelStateName) and the records of kept partial packages
// (app/resume_record.h). Windows folds
// names (case, trailing dots and spaces, 8.3 short aliases): the fixed names
// are compared folded, and what an existing name leads to is asked of the
// file system itself, under its real name.

// True when the package may be downloaded to folder + name (folder ends with
// a backslash): a plain file name that holds nothing or a leftover package.
bool IsAllowedPackageName(const std::wstring& folder, const std::wstring& name);

// True when name (a path relative to the installation folder) is one of
// the files Kestrel keeps its own state in: the upgrade journal, its
// replacement while written, and the refused version. No package may carry
// them, and no download may take their names.
bool IsKestrelStateName(const std::wstring& name);

// True when name ends in one of the package formats' usual extensions, in any case.
bool HasPackageExtension(const std::wstring& name);
