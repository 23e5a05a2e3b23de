#include "app/stall_watchdog.h"

#include <process.h>

#include <utility>

StallWatchdog::StallWatchdog(DWORD limitMs, std::function<void()> onStall)
    : limitMs_(limitMs), onStall_(std::move(onStall)), lastFed_(GetTickCount()),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    if (stop_)
        thread_.reset(reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, &StallWatchdog::ThreadEntry, this, 0, nullptr)));
}

StallWatchdog::~StallWatchdog()
{
    if (!thread_)
        return;
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
}

void StallWatchdog::Feed()
{
    lastFed_ = GetTickCount();
}

unsigned __stdcall StallWatchdog::ThreadEntry(void* watchdog)
{
    // Nothing leaves the thread; a stall handler that throws has still been called.
    try {
        static_cast<StallWatchdog*>(watchdog)->Watch();
    } catch (...) {
    }
    return 0;
}

void StallWatchdog::Watch()
{
    for (;;) {
        DWORD idle = GetTickCount() - lastFed_;
        if (idle >= limitMs_) {
            onStall_();
            return;
        }
        if (WaitForSingleObject(stop_.get(), limitMs_ - idle) != WAIT_TIMEOUT)
            return;
    }
}
