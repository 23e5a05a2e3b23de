#pragma once

#include <windows.h>

#include <stdio.h>

#include <utility>

namespace SkinUI {

template <typename H>
H NullHandle()
{
    return H{};
}

// INVALID_HANDLE_VALUE is a cast, not a constant a template can take.
inline HANDLE InvalidHandleValue()
{
    return INVALID_HANDLE_VALUE;
}

// Move-only owner of one platform handle, released with Close when it is
// not the kind's invalid value. One typedef per handle kind keeps the
// owners one line each.
template <typename H, auto Close, H (*Invalid)() = &NullHandle<H>>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid(); }

    H release()
    {
        return std::exchange(handle_, Invalid());
    }

    void reset() { reset(Invalid()); }

    void reset(H handle)
    {
        H old = std::exchange(handle_, handle);
        if (old != Invalid())
            Close(old);
    }

    // For out-parameters of platform calls.
    H* put()
    {
        reset();
        return &handle_;
    }

private:
    H handle_ = Invalid();
};

inline void CloseHandleChecked(HANDLE handle) { ::CloseHandle(handle); }
inline void CloseFindHandle(HANDLE handle) { ::FindClose(handle); }
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void CloseStdioFile(FILE* file) { fclose(file); }
inline void FreeLoadedModule(HMODULE module) { ::FreeLibrary(module); }
// Named apart from windowsx.h's DeleteFont and DeleteRgn macros.
inline void DeleteFontHandle(HFONT font) { ::DeleteObject(font); }
inline void DeleteRegionHandle(HRGN region) { ::DeleteObject(region); }
inline void DeleteBitmapHandle(HBITMAP bitmap) { ::DeleteObject(bitmap); }
// An owned window may already be gone with its owner.
inline void DestroyOwnedWindow(HWND window)
{
    if (::IsWindow(window))
        ::DestroyWindow(window);
}

using KernelHandle = UniqueHandle<HANDLE, &CloseHandleChecked>;
using FileHandle = UniqueHandle<HANDLE, &CloseHandleChecked, &InvalidHandleValue>;
using FindHandle = UniqueHandle<HANDLE, &CloseFindHandle, &InvalidHandleValue>;
using GdiObject = UniqueHandle<HGDIOBJ, &DeleteGdiObject>;
using MemoryDc = UniqueHandle<HDC, &DeleteMemoryDc>;
using FontHandle = UniqueHandle<HFONT, &DeleteFontHandle>;
using RegionHandle = UniqueHandle<HRGN, &DeleteRegionHandle>;
using BitmapHandle = UniqueHandle<HBITMAP, &DeleteBitmapHandle>;
using WindowHandle = UniqueHandle<HWND, &DestroyOwnedWindow>;
using ModuleHandle = UniqueHandle<HMODULE, &FreeLoadedModule>;
using StdioFile = UniqueHandle<FILE*, &CloseStdioFile>;

// What CreateProcess hands back, its two handles owned.
struct OwnedProcess {
    KernelHandle process;
    KernelHandle thread;
    DWORD processId = 0;
};

inline OwnedProcess AdoptProcess(const PROCESS_INFORMATION& started)
{
    OwnedProcess owned;
    owned.process.reset(started.hProcess);
    owned.thread.reset(started.hThread);
    owned.processId = started.dwProcessId;
    return owned;
}

} // namespace SkinUI
