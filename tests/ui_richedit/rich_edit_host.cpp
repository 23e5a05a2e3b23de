#include "rich_edit_host.h"

#include <gtest/gtest.h>
#include <richedit.h>

using namespace SkinUI;

int NotifyRecord::Count(const wchar_t* type) const
{
    int count = 0;
    for (const TUINotify& msg : got)
        count += msg.sType == type;
    return count;
}

namespace {

const wchar_t kHostClass[] = L"KestrelRichEditTestHost";
// Away from the screen's origin, so that screen and client points differ.
const int kLeft = 300;
const int kTop = 200;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<RichEditHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host && host->hwnd == hwnd) {
        LRESULT result = 0;
        if (message == WM_NOTIFY)
            host->notifyCodes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        if (host->manager.ProcessMessage(message, wParam, lParam, result))
            return result;
        if (message == WM_NCDESTROY) {
            host->manager.WindowGone();
            host->hwnd = nullptr;
        }
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

RichEditHost::RichEditHost(int editWidth, int editHeight, Attributes attributes)
{
    RegisterHostClass();
    HWND window = ::CreateWindowExW(0, kHostClass, L"rich edit test", WS_POPUP | WS_VISIBLE, kLeft, kTop,
        editWidth + 2 * kInset, editHeight + 2 * kInset, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window)
        ADD_FAILURE() << "no window: the tests need the session's display";
    hwnd = window;
    manager.AttachWindow(window);
    manager.AddNotifier(&notes);
    root = new CVerticalLayoutUI;
    root->SetInset({kInset, kInset, kInset, kInset});
    root->SetBkColor(0xFFFFFFFF);
    edit = new CRichEditUI;
    edit->SetFixedWidth(editWidth);
    edit->SetFixedHeight(editHeight);
    for (const auto& attribute : attributes)
        edit->SetAttribute(attribute.first, attribute.second);
    root->Add(edit);
    manager.AttachRoot(root);
    Paint();
}

RichEditHost::~RichEditHost()
{
    Destroy();
}

void RichEditHost::Destroy()
{
    if (hwnd)
        ::DestroyWindow(hwnd);
}

void RichEditHost::Paint()
{
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
}

RECT RichEditHost::EditRect() const
{
    return edit->GetPos();
}

LRESULT RichEditHost::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(hwnd, message, wParam, lParam);
}

LRESULT RichEditHost::SendAt(UINT message, POINT point, WPARAM wParam)
{
    return Send(message, wParam, MAKELPARAM(point.x, point.y));
}

LRESULT RichEditHost::SendWheel(POINT point, WPARAM keys, int delta)
{
    ::ClientToScreen(hwnd, &point);
    return Send(WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(point.x, point.y));
}

void RichEditHost::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int RichEditHost::EngineScrollY()
{
    POINT point = {0, 0};
    edit->TxSendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&point), nullptr);
    return point.y;
}

int RichEditHost::LineCount()
{
    LRESULT count = 0;
    edit->TxSendMessage(EM_GETLINECOUNT, 0, 0, &count);
    return static_cast<int>(count);
}

std::wstring NumberedLines(int count)
{
    std::wstring text;
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? L"\n" : L"") + std::wstring(L"line ") + std::to_wstring(i);
    return text;
}
