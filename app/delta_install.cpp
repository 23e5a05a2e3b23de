#include "app/delta_install.h"

#include "app/delta_decode.h"
#include "app/delta_manifest.h"
#include "app/package_check.h"
#include "app/safe_path.h"
#include "ui/core/unique_handle.h"

#include <string.h>

const wchar_t kDeltaStagingFolder[] = L"_kestrel-delta";

namespace {

bool IsBuilt(const DeltaEntry& entry)
{
    return entry.kind == DeltaEntryKind::Patch || entry.kind == DeltaEntryKind::Whole;
}

bool NeedsInstalledMatch(const DeltaEntry& entry)
{
    return entry.kind == DeltaEntryKind::Patch || entry.kind == DeltaEntryKind::Keep;
}

// Inside the folder, and clear of the delta itself and of the staging folder.
bool NamesAcceptable(const std::wstring& folder, const std::vector<DeltaEntry>& entries,
                     const std::wstring& deltaName)
{
    std::wstring path;
    for (const DeltaEntry& entry : entries) {
        ReservedNames withFolders;
        withFolders.Add(entry.name);
        if (!JoinInsideFolder(folder, entry.name, path) || withFolders.Contains(deltaName)
            || withFolders.Contains(kDeltaStagingFolder))
            return false;
    }
    return true;
}

// The installed file, open without write sharing from its check until the
// patch has read it; none when it is missing or not what the delta expects.
SkinUI::FileHandle OpenIfMatching(const std::wstring& path, uint64_t size,
                                  const unsigned char (&sha256)[kSha256Bytes])
{
    SkinUI::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER actual = {};
    unsigned char digest[kSha256Bytes] = {};
    if (!file || !GetFileSizeEx(file.get(), &actual) || static_cast<uint64_t>(actual.QuadPart) != size
        || !HashFile(file.get(), digest) || memcmp(digest, sha256, kSha256Bytes) != 0)
        return SkinUI::FileHandle();
    return file;
}

// One open base per patch, in entry order; false at the first installed
// file that differs from the manifest.
bool InstalledFilesMatch(const std::wstring& folder, const std::vector<DeltaEntry>& entries,
                         std::vector<SkinUI::FileHandle>& bases)
{
    for (const DeltaEntry& entry : entries) {
        if (!NeedsInstalledMatch(entry))
            continue;
        bool patch = entry.kind == DeltaEntryKind::Patch;
        SkinUI::FileHandle file = OpenIfMatching(folder + entry.name, patch ? entry.baseSize : entry.size,
                                                 patch ? entry.baseSha256 : entry.sha256);
        if (!file)
            return false;
        if (patch)
            bases.push_back(std::move(file));
    }
    return true;
}

// Makes the folders above name under root, appending those it made.
bool MakeParents(const std::wstring& root, const std::wstring& name, std::vector<std::wstring>& made)
{
    for (size_t cut = name.find(L'\\'); cut != std::wstring::npos; cut = name.find(L'\\', cut + 1)) {
        std::wstring path = root + name.substr(0, cut);
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!CreateDirectoryW(path.c_str(), nullptr))
            return false;
        made.push_back(path);
    }
    return true;
}

bool FileMatches(const std::wstring& path, const DeltaEntry& entry)
{
    return static_cast<bool>(OpenIfMatching(path, entry.size, entry.sha256));
}

bool BuildStaged(const std::wstring& staging, HANDLE delta, const std::vector<DeltaEntry>& entries,
                 std::vector<SkinUI::FileHandle>& bases)
{
    std::vector<std::wstring> made;
    size_t nextBase = 0;
    for (const DeltaEntry& entry : entries) {
        if (!IsBuilt(entry))
            continue;
        std::wstring target = staging + entry.name;
        if (!MakeParents(staging, entry.name, made))
            return false;
        bool built = false;
        if (entry.kind == DeltaEntryKind::Patch) {
            SkinUI::FileHandle base = std::move(bases[nextBase++]);
            built = ApplyPatch(base.get(), entry.baseSize, delta, entry.payloadOffset,
                               entry.payloadSize, target, entry.size);
        } else {
            built = DecodeWhole(delta, entry.payloadOffset, entry.payloadSize, target, entry.size);
        }
        if (!built || !FileMatches(target, entry))
            return false;
    }
    return true;
}

void RemoveStaging(const std::wstring& folder, const std::wstring& staging)
{
    std::vector<std::wstring> failures;
    DeleteFolderTree(folder, staging.substr(0, staging.size() - 1), failures);
}

bool IsRegularFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What the transaction moves away: the files replaced and the installed
// files the new release drops (a folder of the user's that took such a
// name stays).
std::vector<std::wstring> NamesToSetAside(const std::wstring& folder,
                                          const std::vector<DeltaEntry>& entries)
{
    std::vector<std::wstring> names;
    for (const DeltaEntry& entry : entries) {
        if (IsBuilt(entry)
            || (entry.kind == DeltaEntryKind::Remove && IsRegularFile(folder + entry.name)))
            names.push_back(entry.name);
    }
    return names;
}

// Takes back the moved files and the folders made for them, newest first.
void UndoMoves(const std::vector<std::wstring>& moved, const std::vector<std::wstring>& made)
{
    for (auto path = moved.rbegin(); path != moved.rend(); ++path)
        DeleteFileForGood(*path);
    for (auto path = made.rbegin(); path != made.rend(); ++path)
        RemoveDirectoryW(path->c_str());
}

bool MoveStagedIntoPlace(const std::wstring& folder, const std::wstring& staging,
                         const std::vector<DeltaEntry>& entries, std::vector<std::wstring>& written)
{
    std::vector<std::wstring> moved;
    std::vector<std::wstring> made;
    for (const DeltaEntry& entry : entries) {
        if (!IsBuilt(entry))
            continue;
        std::wstring installed = folder + entry.name;
        size_t madeBefore = made.size();
        if (!MakeParents(folder, entry.name, made)
            || !MoveFileExW((staging + entry.name).c_str(), installed.c_str(), 0)) {
            UndoMoves(moved, made);
            return false;
        }
        written.insert(written.end(), made.begin() + madeBefore, made.end());
        written.push_back(installed);
        moved.push_back(installed);
    }
    return true;
}

bool Commit(const std::wstring& folder, const std::wstring& staging, const std::wstring& deltaName,
            const std::vector<DeltaEntry>& entries, std::vector<SetAsideEntry>& setAside,
            std::vector<std::wstring>& written)
{
    std::vector<std::wstring> names = NamesToSetAside(folder, entries);
    ReservedNames reserved;
    reserved.Add(deltaName);
    reserved.Add(kDeltaStagingFolder);
    for (const std::wstring& name : names)
        reserved.Add(name);
    std::vector<SetAsideEntry> moved;
    if (!SetAsideInstalled(folder, names, std::vector<bool>(names.size(), false), reserved, moved)
        || !MoveStagedIntoPlace(folder, staging, entries, written)) {
        written.clear();
        PutBackSetAside(folder, moved);
        return false;
    }
    setAside = std::move(moved);
    return true;
}

} // namespace

DeltaInstallResult InstallDelta(const std::wstring& folder, HANDLE delta,
                                const std::wstring& deltaName,
                                std::vector<SetAsideEntry>& setAside,
                                std::vector<std::wstring>& written)
{
    std::vector<DeltaEntry> entries;
    if (ReadDeltaManifest(delta, entries) != DeltaManifestResult::Ok
        || !NamesAcceptable(folder, entries, deltaName))
        return DeltaInstallResult::Failed;
    std::vector<SkinUI::FileHandle> bases;
    if (!InstalledFilesMatch(folder, entries, bases))
        return DeltaInstallResult::DoesNotFit;
    std::wstring staging = folder + kDeltaStagingFolder + L"\\";
    // A staging folder left by a run that was cut off holds nothing of value.
    RemoveStaging(folder, staging);
    bool built = CreateDirectoryW(staging.c_str(), nullptr) && BuildStaged(staging, delta, entries, bases);
    // The bases must be closed before the transaction can rename them.
    bases.clear();
    bool installed = built && Commit(folder, staging, deltaName, entries, setAside, written);
    RemoveStaging(folder, staging);
    return installed ? DeltaInstallResult::Installed : DeltaInstallResult::Failed;
}
