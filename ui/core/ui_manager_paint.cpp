#include "ui/core/ui_manager.h"

#include "ui/controls/control.h"

namespace SkinUI {

namespace {

// Outline colour of show-dirty: red 220.
HPEN DirtyPen()
{
    static HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    return pen;
}

class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
    ~PaintScope() { ::EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_ = {};
    HDC dc_ = nullptr;
};

} // namespace

void CUIManager::OnPaint()
{
    if (!root_) {
        PaintWithoutRoot();
        return;
    }
    RECT client;
    ::GetClientRect(window_, &client);
    RECT update;
    if (!::GetUpdateRect(window_, &update, FALSE))
        return;
    if (focusNeeded_)
        MoveTabFocus(true);
    painting_ = true;
    if (updateNeeded_)
        LayOut(client);
    if (root_ && window_) {
        if (offscreenPaint_ && !offscreenBitmap_)
            CreateOffscreen(client);
        PaintScope scope(window_);
        PaintTree(scope.dc(), scope.area());
    } else if (window_) {
        ::ValidateRect(window_, nullptr);
    }
    painting_ = false;
    // Something asked for layout while we painted, or the focus move waits
    // for a laid-out tree; BeginPaint swallowed any invalidation before it.
    if ((updateNeeded_ || focusNeeded_) && window_)
        ::InvalidateRect(window_, nullptr, FALSE);
}

void CUIManager::PaintWithoutRoot()
{
    PaintScope scope(window_);
    ::FillRect(scope.dc(), &scope.area(), static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void CUIManager::LayOut(const RECT& client)
{
    updateNeeded_ = false;
    if (::IsRectEmpty(&client))
        return;
    if (root_->IsUpdateNeeded()) {
        DeleteOffscreen();
        RECT rect = client;
        rect.left += layeredInset_.left;
        rect.top += layeredInset_.top;
        rect.right -= layeredInset_.right;
        rect.bottom -= layeredInset_.bottom;
        root_->SetPos(rect, true);
    } else {
        foundControls_.Empty();
        root_->FindControl(&CUIManager::CollectUpdates, this,
            UIFIND_VISIBLE | UIFIND_UPDATETEST | UIFIND_ME_FIRST);
        for (int i = 0; i < foundControls_.GetSize(); ++i) {
            CControlUI* control = foundControls_[i];
            control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
        }
        foundControls_.Empty();
    }
    if (!firstLayout_)
        return;
    firstLayout_ = false;
    // Before anything of the tree is painted.
    EmitNotify(root_, L"windowinit");
}

CControlUI* CALLBACK CUIManager::CollectUpdates(CControlUI* control, LPVOID data)
{
    if (!control->IsUpdateNeeded())
        return nullptr;
    static_cast<CUIManager*>(data)->foundControls_.Add(control);
    return control;
}

bool CUIManager::CreateOffscreen(const RECT& client)
{
    offscreenDc_.reset(::CreateCompatibleDC(paintDc_.get()));
    offscreenBitmap_.reset(::CreateCompatibleBitmap(paintDc_.get(), client.right - client.left,
        client.bottom - client.top));
    if (offscreenDc_ && offscreenBitmap_)
        return true;
    DeleteOffscreen();
    return false;
}

void CUIManager::DeleteOffscreen()
{
    offscreenDc_.reset();
    offscreenBitmap_.reset();
}

void CUIManager::PaintTree(HDC dc, const RECT& area)
{
    if (!offscreenPaint_ || !offscreenDc_) {
        int saved = ::SaveDC(dc);
        root_->Paint(dc, area, nullptr);
        ::RestoreDC(dc, saved);
        return;
    }
    HDC offscreen = offscreenDc_.get();
    {
        ScopedSelection bitmap(offscreen, offscreenBitmap_.get());
        int saved = ::SaveDC(offscreen);
        root_->Paint(offscreen, area, nullptr);
        for (int i = 0; i < postPaintControls_.GetSize(); ++i)
            postPaintControls_[i]->DoPostPaint(offscreen, area);
        ::RestoreDC(offscreen, saved);
        ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, offscreen, area.left,
            area.top, SRCCOPY);
    }
    if (!showDirty_)
        return;
    ScopedSelection pen(dc, DirtyPen());
    ScopedSelection brush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, area.left, area.top, area.right, area.bottom);
}

void CUIManager::PrintClient(HDC dc, LPARAM flags)
{
    if (!root_ || !dc)
        return;
    RECT client;
    ::GetClientRect(window_, &client);
    int saved = ::SaveDC(dc);
    root_->Paint(dc, client, nullptr);
    ::RestoreDC(dc, saved);
    if (!(flags & PRF_CHILDREN))
        return;
    for (HWND child = ::GetWindow(window_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        POINT origin;
        ::OffsetViewportOrgEx(dc, rect.left, rect.top, &origin);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
        ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    }
}

} // namespace SkinUI
