#include "app/upgrade_set_aside.h"

#include "app/pending_deletions.h"
#include "app/safe_path.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

#include <io.h>
#include <stdio.h>

#include <algorithm>
#include <map>

namespace {

std::wstring Normalized(const std::wstring& name)
{
    std::wstring result = name;
    std::replace(result.begin(), result.end(), L'/', L'\\');
    while (!result.empty() && result.back() == L'\\')
        result.pop_back();
    if (!result.empty())
        CharLowerBuffW(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

bool Exists(const std::wstring& path)
{
    return _waccess(path.c_str(), 0) == 0;
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDotEntry(const wchar_t* name)
{
    return lstrcmpiW(name, L".") == 0 || lstrcmpiW(name, L"..") == 0;
}

// The pending-deletion list holds single-byte names only; a name it cannot
// hold stays on disk unrecorded rather than costing the others their place.
std::vector<std::wstring> StorableNames(const std::vector<std::wstring>& names)
{
    std::vector<std::wstring> storable;
    for (const std::wstring& name : names) {
        if (std::all_of(name.begin(), name.end(), [](wchar_t c) { return c <= 0xFF; }))
            storable.push_back(name);
    }
    return storable;
}

struct PackageEntry {
    std::wstring name;
    bool folder = false;
};

// The package's entries, each folder above an item included and placed
// before it, each name once; a name is a folder when any item makes it one.
std::vector<PackageEntry> PackageEntries(const std::vector<std::wstring>& items,
                                         const std::vector<bool>& folders)
{
    std::vector<PackageEntry> entries;
    std::map<std::wstring, size_t> seen;
    auto note = [&](const std::wstring& name, bool folder) {
        auto found = seen.emplace(Normalized(name), entries.size());
        if (found.second)
            entries.push_back({name, folder});
        else if (folder)
            entries[found.first->second].folder = true;
    };
    for (size_t index = 0; index < items.size(); ++index) {
        const std::wstring& item = items[index];
        size_t separator = item.find_first_of(L"\\/");
        while (separator != std::wstring::npos) {
            if (separator > 0)
                note(item.substr(0, separator), true);
            separator = item.find_first_of(L"\\/", separator + 1);
        }
        if (!Normalized(item).empty())
            note(item, index < folders.size() && folders[index]);
    }
    return entries;
}

} // namespace

bool DeleteFileForGood(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(path.c_str()) != FALSE;
}

void ReservedNames::Add(const std::wstring& name)
{
    std::wstring normalized = Normalized(name);
    while (!normalized.empty()) {
        names_.push_back(normalized);
        size_t last = normalized.rfind(L'\\');
        normalized.resize(last == std::wstring::npos ? 0 : last);
    }
}

bool ReservedNames::Contains(const std::wstring& name) const
{
    return std::find(names_.begin(), names_.end(), Normalized(name)) != names_.end();
}

std::wstring MakeSetAsideName(const std::wstring& folder, const std::wstring& name,
                              const ReservedNames& reserved)
{
    std::wstring candidate = name;
    while (!candidate.empty() && (candidate.back() == L'\\' || candidate.back() == L'/'))
        candidate.pop_back();
    size_t last = candidate.find_last_of(L"\\/");
    size_t insertAt = last == std::wstring::npos ? 0 : last + 1;
    std::wstring path;
    do {
        candidate.insert(insertAt, 1, L'_');
        if (!JoinInsideFolder(folder, candidate, path))
            return std::wstring();
    } while (Exists(path) || reserved.Contains(candidate));
    return candidate;
}

bool SetAsideInstalled(const std::wstring& folder, const std::vector<std::wstring>& items,
                       const std::vector<bool>& folders, const ReservedNames& reserved,
                       std::vector<SetAsideEntry>& entries)
{
    for (const PackageEntry& packaged : PackageEntries(items, folders)) {
        std::wstring installedPath;
        if (!JoinInsideFolder(folder, packaged.name, installedPath) || !Exists(installedPath))
            continue;
        if (packaged.folder && IsFolder(installedPath))
            continue;
        SetAsideEntry entry;
        entry.installedName = packaged.name;
        entry.setAsideName = MakeSetAsideName(folder, packaged.name, reserved);
        if (entry.setAsideName.empty())
            return false;
        std::wstring setAsidePath = folder + entry.setAsideName;
        if (_wrename(installedPath.c_str(), setAsidePath.c_str()) != 0)
            return false;
        entries.push_back(entry);
    }
    return true;
}

void PutBackSetAside(const std::wstring& folder, const std::vector<SetAsideEntry>& entries)
{
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        std::wstring setAsidePath = folder + entry->setAsideName;
        std::wstring installedPath = folder + entry->installedName;
        _wrename(setAsidePath.c_str(), installedPath.c_str());
    }
}

void PurgeSetAside(const std::wstring& folder, const std::vector<std::wstring>& setAsideNames)
{
    std::vector<std::wstring> failures;
    for (const std::wstring& name : setAsideNames) {
        std::wstring path = folder + name;
        if (IsFolder(path))
            DeleteFolderTree(folder, path, failures);
        else if (!DeleteFileForGood(path))
            failures.push_back(name);
    }
    if (failures.empty())
        return;
    WritePendingList(PendingListPath(folder), StorableNames(failures));
}

void DeleteFolderTree(const std::wstring& root, const std::wstring& folder,
                      std::vector<std::wstring>& failures)
{
    WIN32_FIND_DATAW found = {};
    SkinUI::FindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
    if (search) {
        do {
            if (IsDotEntry(found.cFileName))
                continue;
            std::wstring path = folder + L"\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolderTree(root, path, failures);
            else if (!DeleteFileForGood(path))
                failures.push_back(path.substr(root.size()));
        } while (FindNextFileW(search.get(), &found));
    }
    // The folder can only be removed once the search no longer holds it.
    search.reset();
    RemoveDirectoryW(folder.c_str());
}
