#pragma once

#include "app/archive/com_ref.h"

#include <objidl.h>

#include <string>

// File-system steps of reading and unpacking a package, on wide paths.
namespace SevenZip::intl {

// folder + relative, with one "\" between them when folder has no separator at its end.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& relative);

// path up to and including its last separator; empty when it has none.
std::wstring ParentFolder(const std::wstring& path);

// Creates every missing folder on path; true when it exists afterwards.
bool EnsureFolder(const std::wstring& path);

// Deletes a file, or a folder with its contents, for good; true when
// nothing was there or the deletion succeeded.
bool RemovePath(const std::wstring& path);

ComRef<IStream> OpenForRead(const std::wstring& path);

// Creates the file or truncates an existing one.
ComRef<IStream> OpenForWrite(const std::wstring& path);

} // namespace SevenZip::intl
