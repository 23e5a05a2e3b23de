#pragma once

#include <windows.h>

namespace SkinUI {

// One native window and the object its messages are routed to: class
// registration, creation, modal running, centring and closing.
class CWindowWnd {
public:
    CWindowWnd() = default;
    virtual ~CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    // Null when the class cannot be registered or the window not created.
    HWND CreateNative(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                      int height, HMENU menu = nullptr);
    HWND CreateNative(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                      HMENU menu = nullptr);

    void Show(bool show = true, bool takeFocus = true);
    // The wParam of the WM_CLOSE that ended the window, or 0.
    UINT RunModal();
    void RequestClose(UINT result = IDOK);
    void CenterOnOwner();

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    virtual const wchar_t* ClassName() const = 0;
    virtual const wchar_t* SuperclassName() const { return nullptr; }
    virtual UINT ClassStyle() const { return CS_DBLCLKS; }
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnWindowGone(HWND window);

    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool RegisterWindowClass();
    bool RegisterSuperclass();
    void Detach();

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PropertyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(CWindowWnd* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = ::DefWindowProcW;
    bool superclassed_ = false;
};

} // namespace SkinUI
