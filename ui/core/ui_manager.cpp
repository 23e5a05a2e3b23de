#include "ui/core/ui_manager.h"

#include "ui/controls/control.h"
#include "ui/controls/render_kit.h"
#include "ui/core/skin_source.h"
#include "ui/core/system_library.h"

#include <algorithm>
#include <vector>

namespace SkinUI {

namespace {

CUIPtrArrayOf<CUIManager>& Managers()
{
    static CUIPtrArrayOf<CUIManager> managers;
    return managers;
}

std::vector<CONTROLFACTORYPROC>& Factories()
{
    static std::vector<CONTROLFACTORYPROC> factories;
    return factories;
}

// Common controls (the tooltip class) are loaded here rather than imported:
// under Wine their loading brings up the display driver and the theme
// engine, which a run that never opens a window should not pay for at its
// start. The manifest's side-by-side version is the one loaded either way.
void InitCommonControlsOnce()
{
    HMODULE library = LoadSystemLibrary(L"comctl32.dll");
    using InitProc = void(WINAPI*)();
    auto init = library ? reinterpret_cast<InitProc>(::GetProcAddress(library, "InitCommonControls")) : nullptr;
    if (init)
        init();
}

// Common controls and msimg32 once per process, by the first manager; the
// libraries stay loaded for the tooltips and the render kit.
void InitProcessOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    InitCommonControlsOnce();
    LoadSystemLibrary(L"msimg32.dll");
    CRenderKit::StartGraphics();
}

} // namespace

CUIManager::CUIManager()
{
    InitProcessOnce();
    TUIRegistry& shared = Shared();
    own_.dwDisabledColor = shared.dwDisabledColor;
    own_.dwTextColor = shared.dwTextColor;
    own_.dwLinkColor = shared.dwLinkColor;
    own_.dwLinkHoverColor = shared.dwLinkHoverColor;
    own_.dwSelectedBkColor = shared.dwSelectedBkColor;
}

CUIManager::~CUIManager()
{
    DeleteCleanupControls();
    notifies_.Clear();
    ClearNameMap();
    if (root_) {
        CControlUI* root = root_;
        root_ = nullptr;
        root->Delete();
    }
    own_.RemoveAll();
    RemoveAllExtraWindowAttributes();
    RemoveAllOptionGroups();
    StopAllTimers();
    tooltip_.Destroy();
    DeleteOffscreen();
    paintDc_.reset();
    CUIPtrArrayOf<CUIManager>& managers = Managers();
    int index = managers.Find(this);
    if (index >= 0)
        managers.Remove(index);
}

void CUIManager::AttachWindow(HWND window, const wchar_t* name)
{
    ClearNameMap();
    own_.RemoveAll();
    RemoveAllOptionGroups();
    RemoveAllExtraWindowAttributes();
    StopAllTimers();
    name_.Empty();
    if (name)
        name_ = name;
    if (window == window_)
        return;
    paintDc_.reset();
    DeleteOffscreen();
    window_ = window;
    timers_.BindWindow(window);
    if (window)
        paintDc_ = WindowDc(window);
    scale_.SetDpi(window ? CDpiScale::ReadWindowDpi(window) : CDpiScale::kLayoutDpi);
    if (Managers().Find(this) < 0)
        Managers().Add(this);
}

void CUIManager::WindowGone()
{
    // The native timers and the tooltip died with the window.
    timers_.WindowGone();
    tooltip_.OwnerGone();
    captured_ = false;
    mouseTracking_ = false;
    DeleteOffscreen();
    paintDc_.reset();
    window_ = nullptr;
}

SIZE CUIManager::GetClientSize() const
{
    RECT client = {0, 0, 0, 0};
    if (window_)
        ::GetClientRect(window_, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void CUIManager::SetInitSize(int cx, int cy)
{
    initSize_ = {cx, cy};
    const SIZE size = GetInitSize();
    if (!root_ && window_)
        ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool CUIManager::AttachRoot(CControlUI* control)
{
    FocusControl(nullptr, false);
    key_ = nullptr;
    hover_ = nullptr;
    click_ = nullptr;
    tooltip_.ForgetControls();
    if (root_) {
        ResetForNewRoot();
        DeleteLater(root_);
    }
    root_ = control;
    if (!control)
        return false;
    firstLayout_ = true;
    updateNeeded_ = true;
    focusNeeded_ = true;
    return BindControls(control);
}

void CUIManager::ResetForNewRoot()
{
    DeleteCleanupControls();
    notifies_.Clear();
    ClearNameMap();
    postPaintControls_.Empty();
    nativeWindows_.Empty();
    nativeWindowControls_.Empty();
}

bool CUIManager::BindControls(CControlUI* control, CControlUI* parent)
{
    if (!control)
        return false;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    control->FindControl(&CUIManager::CollectNames, this, UIFIND_ALL);
    return true;
}

CControlUI* CALLBACK CUIManager::CollectNames(CControlUI* control, LPVOID data)
{
    CUIManager* manager = static_cast<CUIManager*>(data);
    CUIString name = control->GetName();
    if (!name.IsEmpty())
        manager->nameMap_.Set(name, control);
    return nullptr;
}

void CUIManager::ClearNameMap()
{
    nameMap_.RemoveAll();
}

void CUIManager::RenameControl(CControlUI* control, const wchar_t* oldName, const wchar_t* newName)
{
    if (oldName && *oldName && nameMap_.Find(oldName) == control)
        nameMap_.Remove(oldName);
    if (control && newName && *newName)
        nameMap_.Set(newName, control);
}

void CUIManager::ForgetControl(CControlUI* control)
{
    if (!control)
        return;
    // Whatever may still point at the control lets go of it, each part of
    // the manager by itself.
    ForgetAsTarget(control);
    tooltip_.Forget(control);
    timers_.Forget(control);
    ForgetName(control);
    notifies_.Forget(control);
    optionGroups_.Forget(control);
    ForgetInLists(control);
}

// The control is no longer the root, nor a target of input.
void CUIManager::ForgetAsTarget(CControlUI* control)
{
    if (control == root_)
        root_ = nullptr;
    if (control == key_)
        key_ = nullptr;
    if (control == hover_)
        hover_ = nullptr;
    if (control == focus_)
        focus_ = nullptr;
    if (control != click_)
        return;
    click_ = nullptr;
    if (captured_)
        ReleaseMouse();
}

void CUIManager::ForgetName(CControlUI* control)
{
    CUIString name = control->GetName();
    if (!name.IsEmpty() && nameMap_.Find(name) == control)
        nameMap_.Remove(name);
}

void CUIManager::ForgetInLists(CControlUI* control)
{
    CUIPtrArrayOf<CControlUI>* lists[] = {&mouseLeaveNeeded_, &postPaintControls_, &cleanupControls_};
    for (CUIPtrArrayOf<CControlUI>* list : lists) {
        int index = list->Find(control);
        if (index >= 0)
            list->Remove(index);
    }
    for (int i = nativeWindowControls_.GetSize() - 1; i >= 0; --i) {
        if (nativeWindowControls_[i] != control)
            continue;
        nativeWindowControls_.Remove(i);
        nativeWindows_.Remove(i);
    }
}

CControlUI* CUIManager::FindControlAt(POINT point) const
{
    if (!root_)
        return nullptr;
    return root_->FindControl(&CUIManager::FindByPoint, &point,
        UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CALLBACK CUIManager::FindByPoint(CControlUI* control, LPVOID data)
{
    const POINT* point = static_cast<const POINT*>(data);
    return ::PtInRect(&control->GetPos(), *point) ? control : nullptr;
}

CControlUI* CUIManager::FindOwnControlAt(POINT point) const
{
    CControlUI* control = FindControlAt(point);
    return control && control->GetManager() == this ? control : nullptr;
}

CControlUI* CUIManager::FindControlByName(const wchar_t* name) const
{
    if (!name || !*name)
        return nullptr;
    return nameMap_.Find(name);
}

void CUIManager::InvalidateArea(const RECT& rect)
{
    if (!window_)
        return;
    RECT clamped = rect;
    clamped.left = std::max(clamped.left, 0L);
    clamped.top = std::max(clamped.top, 0L);
    clamped.right = std::max(clamped.right, clamped.left);
    clamped.bottom = std::max(clamped.bottom, clamped.top);
    ::InvalidateRect(window_, &clamped, FALSE);
}

void CUIManager::InvalidateAll()
{
    if (!window_)
        return;
    RECT client;
    ::GetClientRect(window_, &client);
    InvalidateArea(client);
}

void CUIManager::DeleteLater(CControlUI* control)
{
    if (!control)
        return;
    control->SetManager(this, nullptr, false);
    if (cleanupControls_.Find(control) < 0)
        cleanupControls_.Add(control);
    AskForAsyncPass();
}

// One posted message at a time serves both the queued notifications and
// the controls waiting to be deleted.
void CUIManager::AskForAsyncPass()
{
    if (!asyncPosted_ && window_)
        asyncPosted_ = ::PostMessageW(window_, kAsyncNotifyMessage, 0, 0) != FALSE;
}

void CUIManager::DeleteCleanupControls()
{
    // Deleting one control may take others (its children) off the list.
    while (!cleanupControls_.IsEmpty()) {
        CControlUI* control = cleanupControls_[0];
        cleanupControls_.Remove(0);
        control->Delete();
    }
}

void CUIManager::EmitNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam, LPARAM lParam, bool async,
    bool allowRepeat)
{
    TUINotify msg;
    msg.sType = type ? type : L"";
    msg.pSender = sender;
    msg.dwTimestamp = ::GetTickCount();
    msg.ptMouse = lastMousePos_;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (useVirtualWnd_ && sender)
        msg.sVirtualWnd = sender->GetVirtualWnd();
    if (!async) {
        DeliverNotify(msg);
        return;
    }
    if (notifies_.Add(msg, allowRepeat))
        AskForAsyncPass();
}

void CUIManager::DeliverNotify(TUINotify& msg)
{
    if (msg.pSender && !msg.pSender->OnNotify().IsEmpty())
        msg.pSender->OnNotify()(&msg);
    // A listener may remove itself (or others) while being called.
    for (int i = 0; i < notifiers_.GetSize(); ++i)
        notifiers_[i]->Notify(msg);
}

void CUIManager::DeliverQueuedNotifies()
{
    asyncPosted_ = false;
    while (std::unique_ptr<TUINotify> msg = notifies_.TakeFirst())
        DeliverNotify(*msg);
    DeleteCleanupControls();
}

namespace {

template <typename T>
bool AddUnique(CUIPtrArrayOf<T>& list, T* item)
{
    if (!item || list.Find(item) >= 0)
        return false;
    return list.Add(item);
}

template <typename T>
bool RemoveItem(CUIPtrArrayOf<T>& list, T* item)
{
    int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

} // namespace

bool CUIManager::AddNotifier(INotifyUI* notifier) { return AddUnique(notifiers_, notifier); }
bool CUIManager::RemoveNotifier(INotifyUI* notifier) { return RemoveItem(notifiers_, notifier); }
bool CUIManager::AddPreMessageFilter(IMessageFilterUI* filter) { return AddUnique(preMessageFilters_, filter); }
bool CUIManager::RemovePreMessageFilter(IMessageFilterUI* filter) { return RemoveItem(preMessageFilters_, filter); }
bool CUIManager::AddMessageFilter(IMessageFilterUI* filter) { return AddUnique(messageFilters_, filter); }
bool CUIManager::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveItem(messageFilters_, filter); }
bool CUIManager::AddPostPaint(CControlUI* control) { return AddUnique(postPaintControls_, control); }
bool CUIManager::RemovePostPaint(CControlUI* control) { return RemoveItem(postPaintControls_, control); }
bool CUIManager::AddMouseLeaveNeeded(CControlUI* control) { return AddUnique(mouseLeaveNeeded_, control); }
bool CUIManager::RemoveMouseLeaveNeeded(CControlUI* control) { return RemoveItem(mouseLeaveNeeded_, control); }

bool CUIManager::AddTranslateAccelerator(ITranslateAccelerator* translator)
{
    return AddUnique(translators_, translator);
}

bool CUIManager::RemoveTranslateAccelerator(ITranslateAccelerator* translator)
{
    return RemoveItem(translators_, translator);
}

bool CUIManager::AddNativeWindow(CControlUI* control, HWND child)
{
    if (!control || !child || nativeWindows_.Find(child) >= 0)
        return false;
    nativeWindows_.Add(child);
    nativeWindowControls_.Add(control);
    RECT rect;
    if (window_ && ::GetWindowRect(child, &rect)) {
        ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        InvalidateArea(rect);
    }
    return true;
}

bool CUIManager::RemoveNativeWindow(HWND child)
{
    int index = nativeWindows_.Find(child);
    if (index < 0)
        return false;
    nativeWindows_.Remove(index);
    nativeWindowControls_.Remove(index);
    return true;
}

bool CUIManager::AddOptionGroup(const wchar_t* group, CControlUI* control)
{
    return optionGroups_.Add(group, control);
}

CUIPtrArrayOf<CControlUI>* CUIManager::GetOptionGroup(const wchar_t* group) const { return optionGroups_.Find(group); }
void CUIManager::RemoveOptionGroup(const wchar_t* group, CControlUI* control) { optionGroups_.Remove(group, control); }
void CUIManager::RemoveAllOptionGroups() { optionGroups_.RemoveAll(); }

bool CUIManager::StartTimer(CControlUI* control, UINT id, UINT elapse) { return timers_.Start(control, id, elapse); }
bool CUIManager::StopTimer(CControlUI* control, UINT id) { return timers_.Stop(control, id); }
void CUIManager::StopTimers(CControlUI* control) { timers_.Forget(control); }
void CUIManager::StopAllTimers() { timers_.StopAll(); }

int CUIManager::GetManagerCount() { return Managers().GetSize(); }
CUIManager* CUIManager::GetManager(int index) { return Managers()[index]; }

void CUIManager::AddControlFactory(CONTROLFACTORYPROC factory)
{
    if (factory)
        Factories().push_back(factory);
}

int CUIManager::GetControlFactoryCount() { return static_cast<int>(Factories().size()); }

CONTROLFACTORYPROC CUIManager::GetControlFactory(int index)
{
    if (index < 0 || index >= GetControlFactoryCount())
        return nullptr;
    return Factories()[index];
}

void CUIManager::SetInstance(HINSTANCE instance) { CSkinSource::SetModule(instance); }
HINSTANCE CUIManager::GetInstance() { return CSkinSource::Module(); }
CUIString CUIManager::GetInstancePath() { return CSkinSource::GetModuleFolder(); }
void CUIManager::SetResourcePath(const wchar_t* path) { CSkinSource::SetResourceFolder(path); }
const CUIString& CUIManager::GetResourcePath() { return CSkinSource::ResourceFolder(); }
void CUIManager::SetResourceZip(const wchar_t* name, bool cached) { CSkinSource::UseZipFile(name, cached); }
void CUIManager::SetResourceZip(const void* bytes, size_t length) { CSkinSource::UseZipInMemory(bytes, length); }
const CUIString& CUIManager::GetResourceZip() { return CSkinSource::ResourceZipName(); }
bool CUIManager::IsCachedResourceZip() { return CSkinSource::IsZipCached(); }

} // namespace SkinUI
