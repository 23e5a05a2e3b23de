#include "tests/support/ui_host.h"

using namespace SkinUI;

CRecorderUI::CRecorderUI(const wchar_t* name, int height, UINT flags, const wchar_t* cls)
    : cls_(cls), flags_(flags)
{
    SetName(name);
    SetFixedHeight(height);
}

void CRecorderUI::DoEvent(TUIEvent& event)
{
    events.push_back(event);
    CControlUI::DoEvent(event);
}

bool CRecorderUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop)
{
    ++paints;
    return CControlUI::DoPaint(dc, paint, stop);
}

int CRecorderUI::Count(int type) const
{
    int count = 0;
    for (const TUIEvent& event : events)
        count += event.Type == type;
    return count;
}

long long CRecorderUI::LastParam(int type) const
{
    long long param = -1;
    for (const TUIEvent& event : events) {
        if (event.Type == type)
            param = static_cast<long long>(event.wParam);
    }
    return param;
}

void NotifyLog::Notify(TUINotify& msg)
{
    got.push_back(msg);
    if (onNotify)
        onNotify(msg);
}

int NotifyLog::Count(const wchar_t* type) const
{
    int count = 0;
    for (const TUINotify& msg : got)
        count += msg.sType == type;
    return count;
}

namespace {

const wchar_t kHostClass[] = L"KestrelManagerTestHost";

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<ManagerHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host && host->hwnd == hwnd) {
        LRESULT result = 0;
        if (host->manager.ProcessMessage(message, wParam, lParam, result))
            return result;
        if (message == WM_NCDESTROY)
            host->manager.WindowGone();
        // Closing is the test's business.
        if (message == WM_CLOSE)
            return 0;
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

ManagerHost::ManagerHost(int width, int height)
{
    RegisterHostClass();
    HWND window = ::CreateWindowExW(0, kHostClass, L"manager test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
        nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    manager.AttachWindow(window);
    hwnd = window;
    manager.AddNotifier(&log);
}

ManagerHost::~ManagerHost()
{
    if (hwnd)
        ::DestroyWindow(hwnd);
}

CVerticalLayoutUI* ManagerHost::Attach(std::vector<CRecorderUI*> children)
{
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    for (CRecorderUI* child : children)
        root->Add(child);
    manager.AttachRoot(root);
    Paint();
    // The paint after the first layout settles the first focus.
    ::UpdateWindow(hwnd);
    return root;
}

void ManagerHost::Paint()
{
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
}

LRESULT ManagerHost::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(hwnd, message, wParam, lParam);
}

LRESULT ManagerHost::SendAt(UINT message, int x, int y, WPARAM wParam)
{
    return Send(message, wParam, MAKELPARAM(x, y));
}

void ManagerHost::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

ShiftHeld::ShiftHeld()
{
    ::GetKeyboardState(saved_);
    BYTE state[256];
    memcpy(state, saved_, sizeof(state));
    state[VK_SHIFT] = 0x80;
    ::SetKeyboardState(state);
}

ShiftHeld::~ShiftHeld()
{
    ::SetKeyboardState(saved_);
}
