#include "app/safe_path.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Windows drops trailing dots and spaces from a component, so "..", ". ."
// and "..." all need refusing, not only "..".
bool IsDotsOnly(const std::wstring& component)
{
    bool hasDot = false;
    for (wchar_t c : component) {
        if (c == L'.')
            hasDot = true;
        else if (c != L' ')
            return false;
    }
    return hasDot;
}

bool FullPath(const std::wstring& path, std::wstring& full)
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    full.assign(buffer, length);
    return true;
}

} // namespace

bool IsSafeRelativeName(const std::wstring& name)
{
    if (name.empty() || IsSeparator(name[0]))
        return false;
    if (name.find(L':') != std::wstring::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        if (IsDotsOnly(name.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

bool JoinInsideFolder(const std::wstring& folder, const std::wstring& name, std::wstring& path)
{
    if (!IsSafeRelativeName(name))
        return false;
    std::wstring joined = folder + name;
    if (joined.size() >= MAX_PATH)
        return false;
    std::wstring fullFolder;
    std::wstring fullJoined;
    if (!FullPath(folder, fullFolder) || !FullPath(joined, fullJoined))
        return false;
    if (fullJoined.size() <= fullFolder.size()
        || CompareStringOrdinal(fullJoined.c_str(), static_cast<int>(fullFolder.size()),
                                fullFolder.c_str(), static_cast<int>(fullFolder.size()), TRUE)
               != CSTR_EQUAL)
        return false;
    path = joined;
    return true;
}
