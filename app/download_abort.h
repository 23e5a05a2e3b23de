#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

// Lets any thread stop a running package download at once: the user
// leaving, for one. The download waits on Event() beside its own work; an
// abort that comes before the download began stops it as it begins.
class DownloadAbort {
public:
    DownloadAbort() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    DownloadAbort(const DownloadAbort&) = delete;
    DownloadAbort& operator=(const DownloadAbort&) = delete;

    void Abort() { SetEvent(event_.get()); }
    bool Aborted() const { return WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0; }
    HANDLE Event() const { return event_.get(); }

private:
    SkinUI::KernelHandle event_;
};
