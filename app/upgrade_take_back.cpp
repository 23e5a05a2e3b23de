#include "app/upgrade_take_back.h"

#include "app/pending_deletions.h"
#include "app/upgrade_set_aside.h"

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Rename(const std::wstring& folder, const std::wstring& from, const std::wstring& to)
{
    return _wrename((folder + from).c_str(), (folder + to).c_str()) == 0;
}

// One take-back with the steps it has taken, so that a step that cannot be
// taken undoes the others, last first.
class TakeBack {
public:
    TakeBack(const std::wstring& folder, const UpgradeJournal& journal)
        : folder_(folder), journal_(journal)
    {
        for (const SetAsideEntry& entry : journal.kept) {
            reserved_.Add(entry.installedName);
            reserved_.Add(entry.setAsideName);
            if (!Exists(folder + entry.setAsideName))
                alreadyBack_.Add(entry.installedName);
        }
        for (const std::wstring& name : journal.written)
            reserved_.Add(name);
    }

    TakeBackResult Run()
    {
        if (!ClearPackageFiles())
            return Blocked();
        RemovePackageFolders();
        if (!RestoreKept())
            return Blocked();
        DeleteCleared();
        return TakeBackResult::kTakenBack;
    }

private:
    // The package's files move to free names first: a move can be undone,
    // a deletion cannot.
    bool ClearPackageFiles()
    {
        for (auto name = journal_.written.rbegin(); name != journal_.written.rend(); ++name) {
            std::wstring path = folder_ + *name;
            // A kept entry an earlier, cut-short take-back put back is the
            // previous version's, not the package's.
            if (!Exists(path) || IsFolder(path) || alreadyBack_.Contains(*name))
                continue;
            // Into the folder itself, so that the folders the package
            // created are empty and can go before the kept entries return.
            size_t separator = name->find_last_of(L"\\/");
            std::wstring leaf = separator == std::wstring::npos ? *name : name->substr(separator + 1);
            SetAsideEntry moved{*name, MakeSetAsideName(folder_, leaf, reserved_)};
            if (moved.setAsideName.empty() || !Rename(folder_, moved.installedName, moved.setAsideName))
                return false;
            reserved_.Add(moved.setAsideName);
            cleared_.push_back(moved);
        }
        return true;
    }

    // Folders the package created, deepest first; one that still holds a
    // file of the user's stays, and may keep a kept entry from its place.
    void RemovePackageFolders()
    {
        for (auto name = journal_.written.rbegin(); name != journal_.written.rend(); ++name) {
            std::wstring path = folder_ + *name;
            if (IsFolder(path) && RemoveDirectoryW(path.c_str()))
                removedFolders_.push_back(*name);
        }
    }

    bool RestoreKept()
    {
        for (auto entry = journal_.kept.rbegin(); entry != journal_.kept.rend(); ++entry) {
            std::wstring keptPath = folder_ + entry->setAsideName;
            // Already back: an earlier take-back was cut short after this step.
            if (!Exists(keptPath))
                continue;
            if (Rename(folder_, entry->setAsideName, entry->installedName)) {
                restored_.push_back(*entry);
                continue;
            }
            // Held open without delete sharing: its bytes can still be read.
            std::wstring installedPath = folder_ + entry->installedName;
            if (IsFolder(keptPath) || !CopyFileW(keptPath.c_str(), installedPath.c_str(), TRUE))
                return false;
            copied_.push_back(*entry);
        }
        return true;
    }

    TakeBackResult Blocked()
    {
        for (auto entry = copied_.rbegin(); entry != copied_.rend(); ++entry)
            DeleteFileForGood(folder_ + entry->installedName);
        for (auto entry = restored_.rbegin(); entry != restored_.rend(); ++entry)
            Rename(folder_, entry->installedName, entry->setAsideName);
        for (auto name = removedFolders_.rbegin(); name != removedFolders_.rend(); ++name)
            CreateDirectoryW((folder_ + *name).c_str(), nullptr);
        for (auto entry = cleared_.rbegin(); entry != cleared_.rend(); ++entry)
            Rename(folder_, entry->setAsideName, entry->installedName);
        return TakeBackResult::kBlocked;
    }

    void DeleteCleared()
    {
        std::vector<std::wstring> pending;
        for (const SetAsideEntry& entry : cleared_) {
            if (!DeleteFileForGood(folder_ + entry.setAsideName))
                pending.push_back(entry.setAsideName);
        }
        for (const SetAsideEntry& entry : copied_) {
            if (!DeleteFileForGood(folder_ + entry.setAsideName))
                pending.push_back(entry.setAsideName);
        }
        RecordPending(pending);
    }

    // Added to what the list already holds: those names are still to go too.
    void RecordPending(const std::vector<std::wstring>& names)
    {
        if (names.empty())
            return;
        std::wstring listPath = PendingListPath(folder_);
        std::vector<std::wstring> list;
        ReadPendingList(listPath, list);
        for (const std::wstring& name : names) {
            if (std::all_of(name.begin(), name.end(), [](wchar_t c) { return c <= 0xFF; }))
                list.push_back(name);
        }
        WritePendingList(listPath, list);
    }

    const std::wstring& folder_;
    const UpgradeJournal& journal_;
    ReservedNames reserved_;
    ReservedNames alreadyBack_;
    std::vector<SetAsideEntry> cleared_;
    std::vector<std::wstring> removedFolders_;
    std::vector<SetAsideEntry> restored_;
    std::vector<SetAsideEntry> copied_;
};

} // namespace

TakeBackResult TakeBackUpgrade(const std::wstring& folder, const UpgradeJournal& journal)
{
    return TakeBack(folder, journal).Run();
}
