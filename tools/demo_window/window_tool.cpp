// A small helper for the demo, which runs Kestrel's windows on a display
// that nobody may be watching: it waits for a window, tells where it is so
// that the demo can crop a screenshot, and presses a key in it.
//
//   window_tool wait CLASS TITLE MS    prints "x y width height" once the
//                                      window exists; exit 1 after MS
//   window_tool key CLASS TITLE VK     posts the key (decimal virtual key)
//   window_tool gone CLASS TITLE MS    exit 0 once the window has gone
// TITLE "-" matches any title.
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

namespace {

HWND Find(const wchar_t* className, const wchar_t* title)
{
    return FindWindowW(className, wcscmp(title, L"-") == 0 ? nullptr : title);
}

template <typename Predicate>
bool WaitFor(Predicate done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

int Wait(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = Find(className, title)) != nullptr && IsWindowVisible(window); }, timeoutMs))
        return 1;
    RECT rect;
    GetWindowRect(window, &rect);
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

int PressKey(const wchar_t* className, const wchar_t* title, UINT key)
{
    HWND window = Find(className, title);
    if (!window)
        return 1;
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: window_tool wait|key|gone CLASS TITLE ARG\n");
        return 2;
    }
    const wchar_t* action = argv[1];
    DWORD number = wcstoul(argv[4], nullptr, 10);
    if (wcscmp(action, L"wait") == 0)
        return Wait(argv[2], argv[3], number);
    if (wcscmp(action, L"key") == 0)
        return PressKey(argv[2], argv[3], number);
    if (wcscmp(action, L"gone") == 0)
        return WaitFor([&] { return Find(argv[2], argv[3]) == nullptr; }, number) ? 0 : 1;
    return 2;
}
