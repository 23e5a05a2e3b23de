#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <atomic>
#include <mutex>

class DownloadAbort;

// What the upgrade window and its worker share. Leaving the window while
// the package downloads aborts the download at once; leaving while it
// installs lets the worker end its transaction (installed or rolled back)
// before the process ends, so an installation is never left half written.
class UpgradeSession {
public:
    UpgradeSession();
    UpgradeSession(const UpgradeSession&) = delete;
    UpgradeSession& operator=(const UpgradeSession&) = delete;

    // UI thread: the user confirmed leaving, or the window has gone.
    void RequestLeave();
    bool LeaveRequested() const { return leave_; }

    // Worker thread, around one download: a leave aborts it, also one that
    // came before the download started.
    void AttachDownload(DownloadAbort* download);
    void DetachDownload();

    // Worker thread, its last act.
    void MarkEnded();
    // Start-up, before the process ends.
    void WaitUntilEnded() const;

private:
    std::atomic<bool> leave_{false};
    std::mutex lock_;
    DownloadAbort* download_ = nullptr;
    SkinUI::KernelHandle ended_;
};
