#include "ui/core/window_wnd.h"

#include "ui/core/skin_source.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

namespace {

const wchar_t kObjectProperty[] = L"WndX";

HINSTANCE ModuleForClasses()
{
    HINSTANCE module = CSkinSource::Module();
    return module ? module : ::GetModuleHandleW(nullptr);
}

bool Registered(ATOM atom)
{
    return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

HWND CWindowWnd::CreateNative(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                              int height, HMENU menu)
{
    bool registered = SuperclassName() ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    hwnd_ = ::CreateWindowExW(exStyle, ClassName(), title, style, x, y, width, height, parent, menu,
                              ModuleForClasses(), this);
    return hwnd_;
}

HWND CWindowWnd::CreateNative(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                              HMENU menu)
{
    return CreateNative(parent, title, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, menu);
}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = ClassStyle();
    wc.lpfnWndProc = &CWindowWnd::WindowProc;
    wc.hInstance = ModuleForClasses();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName();
    return Registered(::RegisterClassW(&wc));
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, SuperclassName(), &wc) &&
        !::GetClassInfoExW(ModuleForClasses(), SuperclassName(), &wc))
        return false;
    previous_ = wc.lpfnWndProc;
    superclassed_ = true;
    wc.lpfnWndProc = &CWindowWnd::PropertyWindowProc;
    wc.hInstance = ModuleForClasses();
    wc.lpszClassName = ClassName();
    return Registered(::RegisterClassExW(&wc));
}

void CWindowWnd::Show(bool show, bool takeFocus)
{
    if (!::IsWindow(hwnd_))
        return;
    ::ShowWindow(hwnd_, !show ? SW_HIDE : takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
}

UINT CWindowWnd::RunModal()
{
    UINT result = 0;
    HWND window = hwnd_;
    HWND owner = ::GetWindow(window, GW_OWNER);
    ::EnableWindow(owner, FALSE);
    ::ShowWindow(window, SW_SHOWNORMAL);
    MSG msg = {};
    bool quit = false;
    while (::IsWindow(window)) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            break;
        }
        if (got == -1)
            break;
        if (msg.hwnd == window && msg.message == WM_CLOSE) {
            result = static_cast<UINT>(msg.wParam);
            // Before the close is dispatched, so that activation can return to the owner.
            ::EnableWindow(owner, TRUE);
            ::SetFocus(owner);
        }
        if (!CUIManager::PreTranslateAll(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
    if (quit)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    return result;
}

void CWindowWnd::RequestClose(UINT result)
{
    if (::IsWindow(hwnd_))
        ::PostMessageW(hwnd_, WM_CLOSE, result, 0);
}

void CWindowWnd::CenterOnOwner()
{
    RECT d = {};
    ::GetWindowRect(hwnd_, &d);
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& w = monitor.rcWork;
    RECT c = w;
    if (owner && !::IsIconic(owner))
        ::GetWindowRect(owner, &c);
    int width = d.right - d.left;
    int height = d.bottom - d.top;
    int x = (c.left + c.right) / 2 - width / 2;
    int y = (c.top + c.bottom) / 2 - height / 2;
    if (x < w.left)
        x = w.left;
    else if (x + width > w.right)
        x = w.right - width;
    if (y < w.top)
        y = w.top;
    else if (y + height > w.bottom)
        y = w.bottom - height;
    ::SetWindowPos(hwnd_, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(hwnd_, message, wParam, lParam);
}

LRESULT CWindowWnd::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(hwnd_, message, wParam, lParam);
}

LRESULT CWindowWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPrevious(message, wParam, lParam);
}

void CWindowWnd::OnWindowGone(HWND)
{
}

LRESULT CWindowWnd::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
}

void CWindowWnd::Detach()
{
    if (superclassed_)
        ::RemovePropW(hwnd_, kObjectProperty);
    else
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return Route(window, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::PropertyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        ::SetPropW(hwnd, kObjectProperty, window);
    } else {
        window = static_cast<CWindowWnd*>(::GetPropW(hwnd, kObjectProperty));
    }
    return Route(window, hwnd, message, wParam, lParam);
}

LRESULT CWindowWnd::Route(CWindowWnd* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message != WM_NCDESTROY)
        return window->OnMessage(message, wParam, lParam);
    LRESULT answer = window->CallPrevious(message, wParam, lParam);
    window->Detach();
    window->OnWindowGone(hwnd);
    return answer;
}

} // namespace SkinUI
