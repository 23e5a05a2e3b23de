#include "app/singleton_exe.h"

#include <stdlib.h>

#include <exception>

namespace {

const int kAnotherCopyExitCode = 1314;

} // namespace

SingletonExe::~SingletonExe()
{
    // Only this signal ends the waiter's wait, so the waiter has not touched
    // the handle yet; after the join it is closed or left to the owner.
    if (stopEvent_)
        SetEvent(stopEvent_.get());
    if (waiter_.joinable())
        waiter_.join();
    otherRunHandler_ = nullptr;
    runningHandler_ = nullptr;
}

SingletonExe& SingletonExe::SetRunningHandler(Handler handler)
{
    runningHandler_ = std::move(handler);
    return *this;
}

SingletonExe& SingletonExe::SetOtherRunHandler(Handler handler)
{
    otherRunHandler_ = std::move(handler);
    return *this;
}

void SingletonExe::Start(std::wstring name)
{
    std::wstring eventName = L"Global\\" + name;
    instanceEvent_ = CreateEventW(nullptr, FALSE, FALSE, eventName.c_str());
    // A creation that fails for any reason counts as another running copy.
    if (!instanceEvent_ || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (runningHandler_)
            runningHandler_();
        if (instanceEvent_)
            SetEvent(instanceEvent_);
        exit(kAnotherCopyExitCode);
    }
    if (!otherRunHandler_)
        return;

    stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent_)
        return;
    try {
        waiter_ = std::thread(&SingletonExe::WaitLoop, this);
    } catch (const std::exception&) {
        // Without a waiter the guard still holds the name; later copies just go unannounced.
        stopEvent_.reset();
    }
}

void SingletonExe::WaitLoop()
{
    HANDLE handles[2] = {instanceEvent_, stopEvent_.get()};
    for (;;) {
        DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) {
            // Nothing leaves the thread; an announcement that fails is only lost.
            try {
                otherRunHandler_();
            } catch (...) {
            }
            continue;
        }
        if (result == WAIT_OBJECT_0 + 1)
            stopEvent_.reset();
        // A failed wait would fail again at once; stop rather than spin.
        return;
    }
}
