#include "app/delta_upgrade.h"

#include "app/delta_install.h"
#include "app/install_finish.h"
#include "app/package_check.h"
#include "app/package_key.h"
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
    if (!DownloadToFile(delta.downloadUrl, deltaPath, window, session))
        return false;
    SkinUI::FileHandle file = OpenDownloadedForCheck(deltaPath);
    bool left = session && session->LeaveRequested();
    std::vector<SetAsideEntry> setAside;
    if (!left && file && PackageIsGenuine(file.get(), delta.proof, CompiledPackageKey())
        && InstallDelta(folder, file.get(), deltaName, setAside) == DeltaInstallResult::Installed) {
        FinishInstall(folder, setAside, deltaPath, std::move(file));
        return true;
    }
    file.reset();
    DeleteFileForGood(deltaPath);
    return false;
}
