#include "tests/archive/test_packages.h"

#include <windows.h>

namespace {

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

} // namespace

std::wstring PackagePath(const std::wstring& name)
{
    return Environment(L"KESTREL_ARCHIVE_PACKAGES") + name;
}

std::wstring SourcePath(const std::wstring& relative)
{
    return Environment(L"KESTREL_ARCHIVE_SOURCE") + relative;
}
