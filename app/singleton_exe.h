#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

// Single-instance guard on a named auto-reset event in the global namespace.
//
// The first copy claims the event and, when it has an other-run handler,
// runs a waiter thread that calls the handler each time a later copy
// signals the event. A later copy calls its running handler, signals the
// event and ends the process with exit code 1314.
class SingletonExe {
public:
    using Handler = std::function<void()>;

    SingletonExe() = default;
    ~SingletonExe();

    SingletonExe(const SingletonExe&) = delete;
    SingletonExe& operator=(const SingletonExe&) = delete;

    SingletonExe& SetRunningHandler(Handler handler);
    SingletonExe& SetOtherRunHandler(Handler handler);

    // Returns only in the running copy.
    void Start(std::wstring name);

private:
    void WaitLoop();

    std::thread waiter_;
    Handler runningHandler_;
    Handler otherRunHandler_;
    // Held until the process ends so that the name stays claimed.
    HANDLE instanceEvent_ = nullptr;
    // Once the waiter runs, the stop event is the waiter's to close on its
    // way out; one left after a failed wait goes with the guard.
    SkinUI::KernelHandle stopEvent_;
};
