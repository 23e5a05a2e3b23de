#include "ui/core/system_library.h"

#include <string>

namespace SkinUI {

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    // A side-by-side assembly named by the manifest (comctl32 6) still
    // wins: activation-context redirection comes before any search.
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // Windows 7 without its loader update does not know the flag: the full
    // path names the system folder instead, and the altered search path
    // takes the library's own dependencies from there too.
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path.push_back(L'\\');
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace SkinUI
