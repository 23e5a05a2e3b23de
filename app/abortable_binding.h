#pragma once

#include <windows.h>
#include <urlmon.h>

#include <mutex>

// The IBinding of a running download, which any thread may abort: a
// watchdog when the download stalls, or whoever no longer wants it. The
// download's status callback attaches the binding when it starts and
// detaches it once the download has ended, both on the download's thread.
// An abort before the binding has started aborts it as it starts; one after
// the download has ended does nothing.
class AbortableBinding {
public:
    AbortableBinding() = default;
    ~AbortableBinding();
    AbortableBinding(const AbortableBinding&) = delete;
    AbortableBinding& operator=(const AbortableBinding&) = delete;

    void Attach(IBinding* binding);
    void Detach();
    void Abort();

private:
    std::mutex lock_;
    IBinding* binding_ = nullptr;
    bool aborted_ = false;
};
