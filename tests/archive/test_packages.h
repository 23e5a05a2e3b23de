#pragma once

#include <string>

// Paths of the packages and source files that make_packages.sh prepared.
std::wstring PackagePath(const std::wstring& name);
std::wstring SourcePath(const std::wstring& relative);
