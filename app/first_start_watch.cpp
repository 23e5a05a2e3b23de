#include "app/first_start_watch.h"

#include "app/oem_identity.h"
#include "ui/core/unique_handle.h"

#include <algorithm>

namespace {

// The window is looked for this often: the run ends at most this long after
// it appears.
const DWORD kPollMs = 10;

bool HasTarnwickWindow(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"MainWindow", L"Tarnwick")) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return true;
    }
    return false;
}

} // namespace

bool TarnwickWindowExists()
{
    return FindWindowW(L"MainWindow", L"Tarnwick") != nullptr;
}

FirstStartOutcome WatchFirstStart(const std::wstring& moduleFolder, DWORD limitMs)
{
    FirstStartOutcome outcome;
    SkinUI::OwnedProcess started;
    if (!LaunchMainApp(moduleFolder, started))
        return outcome;
    DWORD start = GetTickCount();
    for (;;) {
        if (HasTarnwickWindow(started.processId)) {
            outcome.verdict = FirstStartVerdict::kWindowShown;
            return outcome;
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limitMs) {
            outcome.verdict = FirstStartVerdict::kRanLong;
            return outcome;
        }
        DWORD waited = WaitForSingleObject(started.process.get(), std::min(kPollMs, limitMs - elapsed));
        if (waited == WAIT_TIMEOUT)
            continue;
        // A process that cannot be watched is not judged a failure: taking
        // back a version that may work would be the worse mistake.
        if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(started.process.get(), &outcome.exitCode)) {
            outcome.verdict = FirstStartVerdict::kRanLong;
            return outcome;
        }
        outcome.verdict = outcome.exitCode == 0 ? FirstStartVerdict::kEndedCleanly : FirstStartVerdict::kEnded;
        return outcome;
    }
}
