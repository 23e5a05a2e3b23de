#include "app/upgrade_worker.h"

#include "app/archive/seven_zip_extractor.h"
#include "app/delta_upgrade.h"
#include "app/install_finish.h"
#include "app/module_folder.h"
#include "app/package_fetch.h"
#include "app/package_name.h"
#include "app/resume_record.h"
#include "app/safe_path.h"
#include "app/upgrade_download.h"
#include "app/upgrade_set_aside.h"
#include "ui/core/unique_handle.h"

#include <objbase.h>

#include <stdio.h>

#include <utility>
#include <vector>

namespace {

// How a run ends; the window hears it as one of the final messages.
enum class UpgradeOutcome { Done, DownloadFailed, InstallFailed };

UINT FinalMessage(UpgradeOutcome outcome)
{
    switch (outcome) {
    case UpgradeOutcome::Done: return WM_UPGRADE_DONE;
    case UpgradeOutcome::DownloadFailed: return WM_UPGRADE_DOWNLOAD_FAILED;
    case UpgradeOutcome::InstallFailed: break;
    }
    return WM_UPGRADE_INSTALL_FAILED;
}

// The one place a run's outcome reaches the window.
void ReportOutcome(HWND window, UpgradeOutcome outcome)
{
    PostMessageW(window, FinalMessage(outcome), 0, 0);
}

class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (initialized_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

bool SameName(const std::wstring& a, const std::wstring& b)
{
    ReservedNames one;
    one.Add(a);
    return one.Contains(b);
}

// Every item must land inside the folder, and none may replace the package
// while it is being read, nor a file that Kestrel keeps its own state in,
// nor take the name of its record for the next run.
bool ItemNamesAcceptable(const std::wstring& folder, const std::vector<std::wstring>& items,
                         const std::wstring& packageName)
{
    std::wstring path;
    for (const std::wstring& item : items) {
        if (item.empty())
            continue;
        if (!JoinInsideFolder(folder, item, path) || SameName(item, packageName)
            || IsKestrelStateName(item) || SameName(item, packageName + kResumeRecordSuffix))
            return false;
    }
    return true;
}

// Takes away what a failed extraction wrote, contents before their folders.
void RemoveWritten(const std::vector<std::wstring>& written)
{
    for (auto path = written.rbegin(); path != written.rend(); ++path) {
        DWORD attributes = GetFileAttributesW(path->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(path->c_str());
            continue;
        }
        DeleteFileForGood(*path);
    }
}

// Nothing is deleted before the new files are in place: the set-aside
// entries are what a failed extraction is rolled back to. Installed folders
// are unpacked into, never set aside whole, so what the user keeps in them
// outlives the upgrade.
UpgradeOutcome Install(const std::wstring& folder, const std::wstring& packagePath,
                       const std::wstring& packageName, SkinUI::FileHandle checkedPackage)
{
    SevenZip::SevenZipExtractor extractor;
    extractor.SetArchiveFile(packagePath);
    std::vector<std::wstring> items = extractor.ItemNames();
    if (!ItemNamesAcceptable(folder, items, packageName))
        return UpgradeOutcome::InstallFailed;

    ReservedNames reserved;
    reserved.Add(packageName);
    for (const std::wstring& item : items)
        reserved.Add(item);
    std::vector<SetAsideEntry> entries;
    if (!SetAsideInstalled(folder, items, extractor.ItemFolders(), reserved, entries)) {
        PutBackSetAside(folder, entries);
        return UpgradeOutcome::InstallFailed;
    }
    if (extractor.ExtractTo(folder) != 0) {
        RemoveWritten(extractor.WrittenPaths());
        PutBackSetAside(folder, entries);
        return UpgradeOutcome::InstallFailed;
    }
    FinishInstall(folder, entries, extractor.WrittenPaths(), packagePath, std::move(checkedPackage));
    return UpgradeOutcome::Done;
}

UpgradeOutcome Upgrade(const std::wstring& folder, const std::wstring& address, const PackageProof& proof,
                       HWND window, UpgradeSession* session, const DeltaOffer& delta)
{
    if (!delta.downloadUrl.empty()) {
        if (UpgradeThroughDelta(folder, delta, window, session))
            return UpgradeOutcome::Done;
        if (session && session->LeaveRequested())
            return UpgradeOutcome::DownloadFailed;
        PostMessageW(window, WM_UPGRADE_FULL_PACKAGE, 0, 0);
    }
    std::wstring packageName = PackageNameFromAddress(address);
    std::wstring packagePath;
    // The download replaces what lies at the package path: the name must
    // not lead to an installed file.
    if (!IsAllowedPackageName(folder, packageName)
        || !JoinInsideFolder(folder, packageName, packagePath))
        return UpgradeOutcome::DownloadFailed;
    SkinUI::FileHandle package = FetchCheckedPackage(address, packagePath, proof, window, session);
    if (!package)
        return UpgradeOutcome::DownloadFailed;
    return Install(folder, packagePath, packageName, std::move(package));
}

} // namespace

void RunUpgradeWorker(std::wstring address, PackageProof proof, HWND window,
                      std::shared_ptr<UpgradeSession> session, DeltaOffer delta)
{
    // Nothing leaves the thread: an upgrade that throws (memory running out) failed.
    try {
        std::wstring folder;
        if (GetModuleFolder(folder))
            RunUpgradeInFolder(folder, address, proof, window, session.get(), delta);
        else
            ReportOutcome(window, UpgradeOutcome::DownloadFailed);
    } catch (...) {
        ReportOutcome(window, UpgradeOutcome::DownloadFailed);
    }
    if (session)
        session->MarkEnded();
}

void RunUpgradeInFolder(const std::wstring& folder, const std::wstring& address,
                        const PackageProof& proof, HWND window, UpgradeSession* session,
                        const DeltaOffer& delta)
{
    ComApartment apartment;
    ReportOutcome(window, Upgrade(folder, address, proof, window, session, delta));
}
