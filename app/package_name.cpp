#include "app/package_name.h"

#include "app/refused_version.h"
#include "app/resume_record.h"
#include "app/safe_path.h"
#include "app/upgrade_journal.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

namespace {

const wchar_t* const kReservedNames[] = {L"Tarnwick.exe", L"Kestrel.exe", L"kestrel.dat", L"temp"};
const wchar_t* const kStateNames[] = {kJournalFileName, kJournalNextFileName, kRefusedFileName};
const wchar_t* const kPackageExtensions[] = {L".7z", L".zip", L".cab", L".lzma", L".lzma86", L".delta"};

// Separators, stream colons and wildcards have no place in one file name;
// a wildcard would also make the file system search instead of open.
bool IsPlainFileName(const std::wstring& name)
{
    if (!IsSafeRelativeName(name))
        return false;
    for (wchar_t c : name) {
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c))
            return false;
    }
    return true;
}

// The name Windows opens for name: trailing dots and spaces do not count.
std::wstring WithoutTrailingDots(const std::wstring& name)
{
    size_t end = name.find_last_not_of(L". ");
    return end == std::wstring::npos ? std::wstring() : name.substr(0, end + 1);
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE)
           == CSTR_EQUAL;
}

std::wstring OwnFileName()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring full(path, length);
    return full.substr(full.find_last_of(L"\\/") + 1);
}

bool IsReservedName(const std::wstring& name)
{
    std::wstring folded = WithoutTrailingDots(name);
    if (folded.empty())
        return true;
    for (const wchar_t* reserved : kReservedNames) {
        if (SameNameIgnoringCase(folded, reserved))
            return true;
    }
    // A download there would replace Kestrel's own state or the record of a
    // kept partial package.
    if (IsKestrelStateName(folded) || IsResumeRecordName(folded))
        return true;
    std::wstring own = OwnFileName();
    return own.empty() || SameNameIgnoringCase(folded, own);
}

} // namespace

bool HasPackageExtension(const std::wstring& name)
{
    for (const wchar_t* extension : kPackageExtensions) {
        size_t length = wcslen(extension);
        if (name.size() > length && SameNameIgnoringCase(name.substr(name.size() - length), extension))
            return true;
    }
    return false;
}

namespace {

// The entry at path, found the way the file system resolves the name (so by
// its short alias too), must be a regular file whose real name is that of a
// package. Anything that cannot be looked at counts as not a leftover.
bool IsLeftoverPackage(const std::wstring& path)
{
    WIN32_FIND_DATAW found = {};
    SkinUI::FindHandle find(FindFirstFileW(path.c_str(), &found));
    if (!find)
        return false;
    const DWORD notRegular =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return (found.dwFileAttributes & notRegular) == 0 && HasPackageExtension(found.cFileName);
}

} // namespace

bool IsKestrelStateName(const std::wstring& name)
{
    std::wstring folded = WithoutTrailingDots(name);
    while (!folded.empty() && (folded[0] == L'\\' || folded[0] == L'/'))
        folded.erase(0, 1);
    for (const wchar_t* state : kStateNames) {
        if (SameNameIgnoringCase(folded, state))
            return true;
    }
    return false;
}

bool IsAllowedPackageName(const std::wstring& folder, const std::wstring& name)
{
    std::wstring path;
    if (!IsPlainFileName(name) || IsReservedName(name) || !JoinInsideFolder(folder, name, path))
        return false;
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return IsLeftoverPackage(path);
    // Only a name that is certainly free counts as new; any other failure
    // (no access, a sharing violation) may hide an installed file.
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}
