#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <process.h>

#include <memory>
#include <new>

// A thread that shares an object with its starter: either may end first,
// and the object lives until both are done with it. The entry takes its
// reference with TakeShared.

template <class T>
std::shared_ptr<T> TakeShared(void* parameter)
{
    std::unique_ptr<std::shared_ptr<T>> held(static_cast<std::shared_ptr<T>*>(parameter));
    return *held;
}

// The running thread; none when no thread can be made.
template <class T>
SkinUI::KernelHandle StartSharedThread(const std::shared_ptr<T>& shared, unsigned(__stdcall* entry)(void*))
{
    std::unique_ptr<std::shared_ptr<T>> forThread(new (std::nothrow) std::shared_ptr<T>(shared));
    if (!forThread)
        return SkinUI::KernelHandle();
    SkinUI::KernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, forThread.get(), 0, nullptr)));
    if (thread)
        forThread.release();
    return thread;
}
