#include "ui/core/window_impl_base.h"

#include "ui/controls/control.h"
#include "ui/core/skin_source.h"

#include <windowsx.h>

#include <string.h>

#include <new>
#include <vector>

namespace SkinUI {

namespace {

// A zip resource of skin source kind 4, copied once per process and kept
// for its life: the in-memory skin source reads from the copy.
struct TZipResourceCopy {
    CUIString name;
    unsigned char* bytes;
    DWORD size;
};

const TZipResourceCopy* ZipResourceCopy(const wchar_t* name)
{
    static std::vector<TZipResourceCopy> copies;
    if (!name || !*name)
        return nullptr;
    for (const TZipResourceCopy& copy : copies) {
        if (copy.name == name)
            return &copy;
    }
    UINT id = 0;
    const wchar_t* resourceName = CLayoutBuilder::ResourceIdFromText(name, id) ? MAKEINTRESOURCEW(id) : name;
    HINSTANCE module = CSkinSource::Module();
    HRSRC found = ::FindResourceW(module, resourceName, L"ZIPRES");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    DWORD size = found ? ::SizeofResource(module, found) : 0;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    unsigned char* bytes = data && size > 0 ? new (std::nothrow) unsigned char[size] : nullptr;
    if (bytes)
        memcpy(bytes, data, size);
    if (loaded)
        ::FreeResource(loaded);
    if (!bytes)
        return nullptr;
    copies.push_back({name, bytes, size});
    return &copies.back();
}

RECT WorkAreaNear(HWND window, RECT* monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    if (monitor)
        *monitor = info.rcMonitor;
    return info.rcWork;
}

} // namespace

const TNotifyMapEntry WindowImplBase::kNotifyEntries[] = {
    {L"click", L"", kNotifyWithRecord, nullptr, RecordHandler(&WindowImplBase::OnButtonClick)},
    {nullptr, nullptr, kNotifyTableEnd, nullptr, nullptr},
};

const TNotifyMap WindowImplBase::kNotifyMap = {&CNotifyPump::kNotifyMap, kNotifyEntries};

WindowImplBase::~WindowImplBase()
{
    if (::IsWindow(GetHWND()))
        ::DestroyWindow(GetHWND());
    if (accessible_)
        accessible_->Disconnect();
}

const TNotifyMap* WindowImplBase::MessageMap() const
{
    return &kNotifyMap;
}

void WindowImplBase::Notify(TUINotify& msg)
{
    DispatchNotify(msg);
}

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool&)
{
    // The handled flag stays as it is: the key still reaches the controls.
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return OnDefaultKey(wParam);
    return 0;
}

CControlUI* WindowImplBase::CreateCustomControl(const wchar_t*)
{
    return nullptr;
}

LRESULT WindowImplBase::OnDefaultKey(WPARAM key)
{
    if (key != VK_ESCAPE)
        return 0;
    RequestClose(IDOK);
    return 1;
}

void WindowImplBase::OnButtonClick(TUINotify& msg)
{
    if (!msg.pSender)
        return;
    CUIString name = msg.pSender->GetName();
    if (name == L"closebtn")
        RequestClose(IDOK);
    else if (name == L"minbtn")
        Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == L"maxbtn")
        Send(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == L"restorebtn")
        Send(WM_SYSCOMMAND, SC_RESTORE, 0);
}

WindowImplBase::MessageOperation WindowImplBase::OperationFor(UINT message)
{
    switch (message) {
    case WM_CREATE: return &WindowImplBase::OnCreate;
    case WM_DESTROY: return &WindowImplBase::OnDestroy;
    case WM_SIZE: return &WindowImplBase::OnSize;
    case WM_SETFOCUS: return &WindowImplBase::OnSetFocus;
    case WM_KILLFOCUS: return &WindowImplBase::OnKillFocus;
    case WM_CLOSE: return &WindowImplBase::OnClose;
    case WM_GETMINMAXINFO: return &WindowImplBase::OnGetMinMaxInfo;
    case WM_NCCALCSIZE: return &WindowImplBase::OnNcCalcSize;
    case WM_NCHITTEST: return &WindowImplBase::OnNcHitTest;
    case WM_NCPAINT: return &WindowImplBase::OnNcPaint;
    case WM_NCACTIVATE: return &WindowImplBase::OnNcActivate;
    case WM_KEYDOWN: return &WindowImplBase::OnKeyDown;
    case WM_CHAR: return &WindowImplBase::OnChar;
    case WM_SYSCOMMAND: return &WindowImplBase::OnSysCommand;
    case WM_MOUSEMOVE: return &WindowImplBase::OnMouseMove;
    case WM_LBUTTONDOWN: return &WindowImplBase::OnLButtonDown;
    case WM_LBUTTONUP: return &WindowImplBase::OnLButtonUp;
    case WM_MOUSEWHEEL: return &WindowImplBase::OnMouseWheel;
    case WM_MOUSEHOVER: return &WindowImplBase::OnMouseHover;
    default: return nullptr;
    }
}

LRESULT WindowImplBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = true;
    LRESULT answer = 0;
    if (AnswerAccessibleObject(message, wParam, lParam, answer))
        return answer;
    if (MessageOperation operation = OperationFor(message)) {
        answer = (this->*operation)(message, wParam, lParam, handled);
        if (handled)
            return answer;
    }
    handled = false;
    answer = OnOtherMessage(message, wParam, lParam, handled);
    if (handled)
        return answer;
    LRESULT result = 0;
    if (manager_.ProcessMessage(message, wParam, lParam, result))
        return result;
    return CallPrevious(message, wParam, lParam);
}

// The tree stays with the manager, which deletes it when the window object
// goes: a handler of one of its controls may still be on the stack here.
void WindowImplBase::OnWindowGone(HWND)
{
    // Screen readers may still hold the object: from now on it answers
    // that it is no longer connected.
    if (accessible_) {
        accessible_->Disconnect();
        accessible_.reset();
    }
    manager_.RemovePreMessageFilter(this);
    manager_.RemoveNotifier(this);
    manager_.WindowGone();
}

bool WindowImplBase::AnswerAccessibleObject(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer)
{
    // The object id is a 32-bit value, sign-extended or not in a 64-bit lParam.
    if (message != WM_GETOBJECT || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) ||
        !::IsWindow(GetHWND()))
        return false;
    if (!accessible_)
        *accessible_.put() = new (std::nothrow) CAccessibleWindow(GetHWND(), &manager_, this);
    // A failed answer is an error code: the default object is better than none.
    answer = accessible_ ? accessible_->AnswerGetObject(wParam) : 0;
    return answer > 0;
}

DWORD WindowImplBase::AccessibleRole()
{
    return ROLE_SYSTEM_CLIENT;
}

CUIString WindowImplBase::AccessibleName()
{
    wchar_t title[256] = {};
    ::GetWindowTextW(GetHWND(), title, sizeof(title) / sizeof(title[0]));
    return title;
}

CUIString WindowImplBase::AccessibleDescription()
{
    return CUIString();
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&)
{
    HWND window = GetHWND();
    ::SetWindowLongW(window, GWL_STYLE, FrameStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT client = {};
    ::GetClientRect(window, &client);
    ::SetWindowPos(window, nullptr, client.left, client.top, client.right - client.left,
                   client.bottom - client.top, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
    manager_.AttachWindow(window);
    manager_.AddPreMessageFilter(this);
    if (CSkinSource::ResourceFolder().IsEmpty())
        CSkinSource::SetResourceFolder(CSkinSource::GetModuleFolder() + SkinFolder());
    if (!UseSkinSource())
        return 0;
    CControlUI* root = BuildTree();
    if (!root)
        FailWithoutLayout();
    manager_.AttachRoot(root);
    manager_.AddNotifier(this);
    OnLayoutLoaded();
    return 0;
}

bool WindowImplBase::UseSkinSource()
{
    switch (SkinSourceKind()) {
    case kSkinFromZipFile:
        CSkinSource::UseZipFile(SkinZipName(), true);
        return true;
    case kSkinFromZipResource: {
        const TZipResourceCopy* copy = ZipResourceCopy(SkinResourceId());
        if (!copy)
            return false;
        CSkinSource::UseZipInMemory(copy->bytes, copy->size);
        return true;
    }
    default:
        return true;
    }
}

CControlUI* WindowImplBase::BuildTree()
{
    CLayoutBuilder builder;
    if (SkinSourceKind() != kSkinFromXmlResource)
        return builder.Build(SkinFile(), this, &manager_);
    UINT id = 0;
    if (!CLayoutBuilder::ResourceIdFromText(SkinFile(), id))
        return nullptr;
    return builder.Build(TResourceId{id}, L"xml", this, &manager_);
}

void WindowImplBase::FailWithoutLayout()
{
    ::OutputDebugStringW(L"资源错误");
    ::OutputDebugStringW(SkinFile());
    ::MessageBoxW(nullptr, L"加载资源文件失败", L"SkinUI", MB_ICONERROR);
    ::ExitProcess(1);
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&)
{
    HWND window = GetHWND();
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(window, &point);
    RECT client = {};
    ::GetClientRect(window, &client);
    if (!::IsZoomed(window)) {
        RECT box = manager_.GetSizeBox();
        bool left = point.x < client.left + box.left;
        bool right = point.x > client.right - box.right;
        if (point.y < client.top + box.top)
            return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (point.y > client.bottom - box.bottom)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
    }
    RECT caption = manager_.GetCaptionRect();
    if (point.x >= client.left + caption.left && point.x < client.right - caption.right && point.y >= caption.top &&
        point.y < caption.bottom) {
        if (IsCaptionControl(manager_.FindControlAt(point)))
            return HTCAPTION;
    }
    return HTCLIENT;
}

bool WindowImplBase::IsCaptionControl(CControlUI* control) const
{
    if (!control)
        return false;
    const wchar_t* name = control->GetClass();
    return _wcsicmp(name, L"Button") != 0 && _wcsicmp(name, L"Option") != 0 && _wcsicmp(name, L"Text") != 0;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool&)
{
    HWND window = GetHWND();
    if (!::IsZoomed(window))
        return 0;
    // Both forms of the parameters begin with the proposed window rectangle.
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    RECT work = WorkAreaNear(window, nullptr);
    proposed->right = proposed->left + (work.right - work.left);
    proposed->bottom = proposed->top + (work.bottom - work.top);
    return WVR_REDRAW;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled)
{
    RECT monitor = {};
    RECT work = WorkAreaNear(GetHWND(), &monitor);
    ::OffsetRect(&work, -monitor.left, -monitor.top);
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMaxPosition = {work.left, work.top};
    info->ptMaxTrackSize = {work.right - work.left, work.bottom - work.top};
    SIZE minimum = manager_.GetMinInfo();
    info->ptMinTrackSize = {minimum.cx, minimum.cy};
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = false;
    HWND window = GetHWND();
    SIZE corner = manager_.GetRoundCorner();
    if (::IsIconic(window) || (corner.cx == 0 && corner.cy == 0))
        return 0;
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    RegionHandle region(::CreateRoundRectRgn(0, 0, bounds.right - bounds.left + 1, bounds.bottom - bounds.top + 1,
                                             corner.cx, corner.cy));
    // A region the window took belongs to the system from then on.
    if (region && ::SetWindowRgn(window, region.get(), TRUE))
        region.release();
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&)
{
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        Send(WM_CLOSE);
        return 0;
    }
    HWND window = GetHWND();
    bool wasMaximised = ::IsZoomed(window) != FALSE;
    LRESULT answer = CallPrevious(message, wParam, lParam);
    if (::IsWindow(window) && (::IsZoomed(window) != FALSE) != wasMaximised)
        SwapMaxRestoreButtons(wasMaximised);
    return answer;
}

void WindowImplBase::SwapMaxRestoreButtons(bool wasMaximised)
{
    CControlUI* maxButton = manager_.FindControlByName(L"maxbtn");
    CControlUI* restoreButton = manager_.FindControlByName(L"restorebtn");
    if (!maxButton || !restoreButton)
        return;
    maxButton->SetVisible(wasMaximised);
    restoreButton->SetVisible(!wasMaximised);
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled)
{
    if (::IsIconic(GetHWND())) {
        handled = false;
        return 0;
    }
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&)
{
    return 0;
}

LONG WindowImplBase::FrameStyle() const
{
    return ::GetWindowLongW(GetHWND(), GWL_STYLE) & ~WS_CAPTION;
}

#define SKINUI_NOT_HANDLED(operation)                                                                  \
    LRESULT WindowImplBase::operation(UINT, WPARAM, LPARAM, bool& handled)                              \
    {                                                                                                  \
        handled = false;                                                                               \
        return 0;                                                                                      \
    }

SKINUI_NOT_HANDLED(OnClose)
SKINUI_NOT_HANDLED(OnDestroy)
SKINUI_NOT_HANDLED(OnMouseWheel)
SKINUI_NOT_HANDLED(OnMouseHover)
SKINUI_NOT_HANDLED(OnChar)
SKINUI_NOT_HANDLED(OnKeyDown)
SKINUI_NOT_HANDLED(OnKillFocus)
SKINUI_NOT_HANDLED(OnSetFocus)
SKINUI_NOT_HANDLED(OnLButtonDown)
SKINUI_NOT_HANDLED(OnLButtonUp)
SKINUI_NOT_HANDLED(OnMouseMove)
SKINUI_NOT_HANDLED(OnOtherMessage)

#undef SKINUI_NOT_HANDLED

} // namespace SkinUI
