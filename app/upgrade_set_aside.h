#pragma once

#include <string>
#include <vector>

// Moving installed entries out of the way of a package before it is
// unpacked, putting them back when the upgrade fails, and deleting them
// once it has succeeded. Names are relative to the installation folder,
// which ends with a backslash.

struct SetAsideEntry {
    std::wstring installedName;
    std::wstring setAsideName;
};

// Names a set-aside name must not take because the package will write there:
// the package file and every item with all the folders above it.
class ReservedNames {
public:
    void Add(const std::wstring& name);
    bool Contains(const std::wstring& name) const;

private:
    std::vector<std::wstring> names_;
};

// The entry's name with "_" put before its last component, as often as it
// takes to reach a name that is neither in the folder nor reserved; empty
// when no such name fits in a path.
std::wstring MakeSetAsideName(const std::wstring& folder, const std::wstring& name,
                              const ReservedNames& reserved);

// Renames to its set-aside name each installed entry that the package
// replaces: a file, or an entry whose kind the package changes. Installed
// folders the package also has as folders (named by a folder item or lying
// above an item) stay, so files the package does not carry keep their
// place. folders tells which items are folder entries. Appends to entries
// in the order made; false when an entry cannot be set aside, entries then
// holding those already moved.
bool SetAsideInstalled(const std::wstring& folder, const std::vector<std::wstring>& items,
                       const std::vector<bool>& folders, const ReservedNames& reserved,
                       std::vector<SetAsideEntry>& entries);

// Moves the entries back under their installed names, last first.
void PutBackSetAside(const std::wstring& folder, const std::vector<SetAsideEntry>& entries);

// Deletes the set-aside entries; those that cannot go now are written to
// the pending-deletion list, replacing its content. The list is left alone
// when everything went.
void PurgeSetAside(const std::wstring& folder, const std::vector<std::wstring>& setAsideNames);

// Deletes a file, read-only or not: a read-only one would otherwise be set
// aside but never deleted.
bool DeleteFileForGood(const std::wstring& path);

// Deletes a folder with its contents, appending the names (relative to
// root) of files that cannot be deleted to failures; a folder that keeps
// such a file stays.
void DeleteFolderTree(const std::wstring& root, const std::wstring& folder,
                      std::vector<std::wstring>& failures);
