#include "app/delta_upgrade.h"

#include "app/delta_install.h"
#include "app/install_finish.h"
#include "app/package_check.h"
#include "app/package_fetch.h"
#include "app/package_name.h"
#include "app/safe_path.h"
#include "app/upgrade_download.h"
#include "app/upgrade_session.h"

#include <utility>

bool UpgradeThroughDelta(const std::wstring& folder, const DeltaOffer& delta, HWND window,
                         UpgradeSession* session)
{
    std::wstring deltaName = PackageNameFromAddress(delta.downloadUrl);
    std::wstring deltaPath;
    if (!IsAllowedPackageName(folder, deltaName) || !JoinInsideFolder(folder, deltaName, deltaPath))
        return false;
    // The delta is fetched, resumed and proved as a package is.
    SkinUI::FileHandle file = FetchCheckedPackage(delta.downloadUrl, deltaPath, delta.proof, window, session);
    if (!file)
        return false;
    std::vector<SetAsideEntry> setAside;
    std::vector<std::wstring> written;
    if (InstallDelta(folder, file.get(), deltaName, setAside, written) == DeltaInstallResult::Installed) {
        FinishInstall(folder, setAside, written, deltaPath, std::move(file));
        return true;
    }
    file.reset();
    DeleteFileForGood(deltaPath);
    return false;
}
