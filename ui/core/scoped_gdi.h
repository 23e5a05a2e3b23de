#pragma once

#include <windows.h>

#include <utility>

namespace SkinUI {

// An object selected into a DC for one scope; the previous one goes back
// however the scope is left. A null DC or object selects nothing.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr)
    {
    }
    ~ScopedSelection()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            ::SelectObject(dc_, previous_);
    }

    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A DC borrowed with GetDC, given back to the window it came from. A null
// window borrows the screen's DC.
class WindowDc {
public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() { reset(); }

    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    WindowDc(WindowDc&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr))
    {
    }
    WindowDc& operator=(WindowDc&& other) noexcept
    {
        if (this != &other) {
            reset();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

    void reset()
    {
        HDC dc = std::exchange(dc_, nullptr);
        if (dc)
            ::ReleaseDC(window_, dc);
        window_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

} // namespace SkinUI
