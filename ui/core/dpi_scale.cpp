#include "ui/core/dpi_scale.h"

#include "ui/core/scoped_gdi.h"

namespace SkinUI {

namespace {

typedef UINT(WINAPI* GetDpiForWindowProc)(HWND);

long long RoundedQuotient(long long numerator, long long denominator)
{
    const long long half = denominator / 2;
    return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

int Clamped(long long value)
{
    const long long limit = 0x3FFFFFFF;
    return static_cast<int>(value > limit ? limit : value < -limit ? -limit : value);
}

} // namespace

int CDpiScale::Pixels(int layout) const
{
    if (dpi_ == kLayoutDpi)
        return layout;
    return Clamped(RoundedQuotient(static_cast<long long>(layout) * dpi_, kLayoutDpi));
}

int CDpiScale::Layout(int pixels) const
{
    if (dpi_ == kLayoutDpi)
        return pixels;
    return Clamped(RoundedQuotient(static_cast<long long>(pixels) * kLayoutDpi, dpi_));
}

int CDpiScale::ReadWindowDpi(HWND window)
{
    // Looked up by name: Windows 7 and 8 lack it. Wine 8 has it and answers
    // the LogPixels setting for every process, aware or not; Windows answers
    // 96 to a process that did not declare itself aware.
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    auto getDpiForWindow = user32 ? reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow"))) : nullptr;
    if (getDpiForWindow && window) {
        UINT dpi = getDpiForWindow(window);
        if (dpi)
            return static_cast<int>(dpi);
    }
    WindowDc dc(window);
    if (!dc)
        return kLayoutDpi;
    int dpi = ::GetDeviceCaps(dc.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : kLayoutDpi;
}

} // namespace SkinUI
