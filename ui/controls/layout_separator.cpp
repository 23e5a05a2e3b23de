#include "ui/controls/layout_separator.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/layout_math.h"
#include "ui/controls/render_kit.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

namespace {

const DWORD kDragColor = 0xAA000000;

} // namespace

void CLayoutSeparator::SetSize(int size)
{
    size_ = ClampCoordinate(size);
}

void CLayoutSeparator::SetImmediate(CControlUI* owner, bool immediate)
{
    if (immediate_ == immediate)
        return;
    if (IsDragging() && !immediate_ && owner->GetManager())
        owner->GetManager()->RemovePostPaint(owner);
    immediate_ = immediate;
}

RECT CLayoutSeparator::StripRect(const RECT& item, bool dragged) const
{
    RECT rect = dragged ? dragRect_ : item;
    LONG& nearEdge = vertical_ ? rect.top : rect.left;
    LONG& farEdge = vertical_ ? rect.bottom : rect.right;
    if (size_ >= 0)
        nearEdge = farEdge - size_;
    else
        farEdge = nearEdge - size_;
    return rect;
}

// The size for a drag that has brought the pointer to mouse, within the
// layout's minimum and maximum.
int CLayoutSeparator::DraggedSize(const CControlUI* owner, POINT mouse) const
{
    long long moved = vertical_ ? static_cast<long long>(mouse.y) - dragStart_.y
                                : static_cast<long long>(mouse.x) - dragStart_.x;
    int size = LayoutMath::Clamp(dragStartSize_ + (size_ >= 0 ? moved : -moved));
    if (vertical_)
        return LayoutMath::Limit(size, owner->GetMinHeight(), owner->GetMaxHeight());
    return LayoutMath::Limit(size, owner->GetMinWidth(), owner->GetMaxWidth());
}

void CLayoutSeparator::ApplySize(CControlUI* owner, int size) const
{
    if (vertical_)
        owner->SetFixedHeight(size);
    else
        owner->SetFixedWidth(size);
}

// A deferred drag only moves the drawn strip until the button goes up.
void CLayoutSeparator::MoveDragged(CControlUI* owner, int size)
{
    RECT old = dragRect_;
    LONG& nearEdge = vertical_ ? dragRect_.top : dragRect_.left;
    LONG& farEdge = vertical_ ? dragRect_.bottom : dragRect_.right;
    if (size_ >= 0)
        farEdge = nearEdge + size;
    else
        nearEdge = farEdge - size;
    CUIManager* manager = owner->GetManager();
    if (!manager)
        return;
    RECT dirty;
    UnionRect(&dirty, &old, &dragRect_);
    manager->InvalidateArea(dirty);
}

bool CLayoutSeparator::OnEvent(CControlUI* owner, const TUIEvent& event)
{
    const RECT& item = owner->GetPos();
    RECT strip = StripRect(item, false);
    CUIManager* manager = owner->GetManager();
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
        if (!PtInRect(&strip, event.ptMouse))
            return false;
        state_ |= kDragging;
        dragStart_ = event.ptMouse;
        dragRect_ = item;
        dragStartSize_ = vertical_ ? item.bottom - item.top : item.right - item.left;
        if (!immediate_ && manager)
            manager->AddPostPaint(owner);
        return true;
    case UIEVENT_BUTTONUP:
        if (!IsDragging())
            return false;
        state_ &= ~kDragging;
        if (!immediate_) {
            if (manager)
                manager->RemovePostPaint(owner);
            ApplySize(owner, vertical_ ? dragRect_.bottom - dragRect_.top : dragRect_.right - dragRect_.left);
        }
        return true;
    case UIEVENT_MOUSEMOVE:
        if (!IsDragging())
            return false;
        if (immediate_)
            ApplySize(owner, DraggedSize(owner, event.ptMouse));
        else
            MoveDragged(owner, DraggedSize(owner, event.ptMouse));
        return true;
    case UIEVENT_SETCURSOR:
        if (!PtInRect(&strip, event.ptMouse))
            return false;
        ::SetCursor(::LoadCursor(nullptr, vertical_ ? IDC_SIZENS : IDC_SIZEWE));
        return true;
    default:
        return false;
    }
}

void CLayoutSeparator::PaintDrag(HDC hDC) const
{
    if (IsDragging() && !immediate_)
        CRenderKit::DrawColor(hDC, StripRect(dragRect_, true), kDragColor);
}

} // namespace SkinUI
