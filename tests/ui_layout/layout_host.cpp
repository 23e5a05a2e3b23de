#include "layout_host.h"

using namespace SkinUI;

int NotifyTypes::Count(const wchar_t* type) const
{
    int count = 0;
    for (const std::wstring& seen : types)
        count += seen == type;
    return count;
}

namespace {

const wchar_t kHostClass[] = L"KestrelLayoutTestHost";

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<LayoutHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host && host->hwnd == hwnd) {
        LRESULT result = 0;
        if (host->manager.ProcessMessage(message, wParam, lParam, result))
            return result;
        if (message == WM_NCDESTROY)
            host->manager.WindowGone();
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterHostClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW cls = {};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = HostProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kHostClass;
    registered = ::RegisterClassW(&cls) != 0;
}

} // namespace

LayoutHost::LayoutHost(int width, int height) : width(width), height(height)
{
    RegisterHostClass();
    HWND window = ::CreateWindowExW(0, kHostClass, L"layout test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
        nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    manager.AttachWindow(window);
    hwnd = window;
    manager.AddNotifier(&notified);
}

LayoutHost::~LayoutHost()
{
    if (hwnd)
        ::DestroyWindow(hwnd);
}

void LayoutHost::Attach(CControlUI* root)
{
    manager.AttachRoot(root);
    Layout();
}

void LayoutHost::Layout()
{
    manager.GetRoot()->SetPos(RECT{0, 0, width, height}, false);
}

LRESULT LayoutHost::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(hwnd, message, wParam, lParam);
}

LRESULT LayoutHost::SendAt(UINT message, int x, int y, WPARAM wParam)
{
    return Send(message, wParam, MAKELPARAM(x, y));
}

void LayoutHost::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The manager's counter starts at 4096 and steps modulo 255.
UINT NthNativeTimerId(int n)
{
    return (4096u + static_cast<UINT>(n)) % 255u;
}
