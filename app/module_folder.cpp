#include "app/module_folder.h"

#include <windows.h>

bool GetModuleFolder(std::wstring& folder)
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A full buffer means the path was cut short; a cut path is never used.
    if (length == 0 || length >= MAX_PATH)
        return false;
    std::wstring full(path, length);
    size_t slash = full.rfind(L'\\');
    if (slash == std::wstring::npos)
        return false;
    folder = full.substr(0, slash + 1);
    return true;
}
