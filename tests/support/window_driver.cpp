#include "tests/support/window_driver.h"

namespace testing_support {

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowW(className, title)) != nullptr && IsWindowVisible(found); },
              timeoutMs);
    return found && IsWindowVisible(found) ? found : nullptr;
}

void ClickAt(HWND window, int x, int y)
{
    LPARAM point = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, point);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(window, WM_LBUTTONUP, 0, point);
}

void PressKey(HWND window, UINT virtualKey)
{
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

int AnswerBoxesUntilEnd(ChildProcess& child, DWORD timeoutMs)
{
    int answered = 0;
    HWND last = nullptr;
    DWORD start = GetTickCount();
    while (!child.Wait(50) && GetTickCount() - start < timeoutMs) {
        HWND box = FindWindowW(L"MessageBox", nullptr);
        if (box && box != last && IsWindowVisible(box)) {
            PressKey(box, VK_ESCAPE);
            last = box;
            ++answered;
        }
    }
    return answered;
}

} // namespace testing_support
