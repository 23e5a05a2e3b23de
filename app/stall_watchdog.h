#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <atomic>
#include <functional>

// Calls onStall once, on a thread of its own, when limitMs pass without a
// call to Feed, counted from construction. The thread ends with the object.
class StallWatchdog {
public:
    StallWatchdog(DWORD limitMs, std::function<void()> onStall);
    ~StallWatchdog();
    StallWatchdog(const StallWatchdog&) = delete;
    StallWatchdog& operator=(const StallWatchdog&) = delete;

    // Something happened: the limit counts again from now. Any thread.
    void Feed();

private:
    static unsigned __stdcall ThreadEntry(void* watchdog);
    void Watch();

    DWORD limitMs_;
    std::function<void()> onStall_;
    std::atomic<DWORD> lastFed_;
    SkinUI::KernelHandle stop_;
    SkinUI::KernelHandle thread_;
};
