#include "ui/controls/control.h"

#include "ui/controls/attribute_value.h"
#include "ui/core/ui_manager.h"

#include <math.h>

namespace SkinUI {

namespace {

bool IsEmptyArea(const RECT& rc)
{
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

// A share of a length as an int: the fraction is finite and bounded, and
// the product is cut toward zero and clamped like any coordinate.
int Share(double fraction, long length)
{
    return ClampCoordinate(static_cast<long long>(fraction * length));
}

double SaneFraction(double value)
{
    if (!isfinite(value))
        return 0;
    return fmax(-kMaxCoordinate, fmin(kMaxCoordinate, value));
}

RECT Offset(const RECT& rc, long long dx, long long dy)
{
    return RECT{ClampCoordinate(rc.left + dx), ClampCoordinate(rc.top + dy), ClampCoordinate(rc.right + dx),
        ClampCoordinate(rc.bottom + dy)};
}

} // namespace

int CControlUI::Scaled(int layout) const
{
    return manager_ ? manager_->ScaledPixels(layout) : layout;
}

RECT CControlUI::Scaled(const RECT& layout) const
{
    return manager_ ? manager_->GetScale().Pixels(layout) : layout;
}

int CControlUI::LayoutValueFor(int current, int pixels) const
{
    if (Scaled(current) == pixels)
        return current;
    return manager_ ? manager_->GetScale().Layout(pixels) : pixels;
}

const RECT& CControlUI::GetPos() const
{
    return pos_;
}

RECT CControlUI::GetRelativePos() const
{
    if (!parent_)
        return RECT{0, 0, 0, 0};
    const RECT& parent = parent_->GetPos();
    return Offset(pos_, -static_cast<long long>(parent.left), -static_cast<long long>(parent.top));
}

RECT CControlUI::GetClientPos() const
{
    return pos_;
}

void CControlUI::SetPos(RECT rc, bool invalidate)
{
    rc = Offset(rc, 0, 0);
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    RECT old = IsEmptyArea(pos_) ? rc : pos_;

    if (floating_) {
        if (parent_) {
            const RECT& parent = parent_->GetPos();
            const long width = parent.right - parent.left;
            const long height = parent.bottom - parent.top;
            pos_ = Offset(rc, parent.left, parent.top);
            const SIZE xy = {ClampCoordinate(static_cast<long long>(rc.left) - Share(floatPercent_.left, width)),
                ClampCoordinate(static_cast<long long>(rc.top) - Share(floatPercent_.top, height))};
            fixedXY_.cx = LayoutValueFor(fixedXY_.cx, xy.cx);
            fixedXY_.cy = LayoutValueFor(fixedXY_.cy, xy.cy);
            fixedWidth_ = LayoutValueFor(fixedWidth_, ClampCoordinate(static_cast<long long>(rc.right) - xy.cx
                - Share(floatPercent_.right, width)));
            fixedHeight_ = LayoutValueFor(fixedHeight_, ClampCoordinate(static_cast<long long>(rc.bottom) - xy.cy
                - Share(floatPercent_.bottom, height)));
        }
    } else {
        pos_ = rc;
    }
    if (!manager_)
        return;
    if (!settingPos_) {
        settingPos_ = true;
        onSize_(this);
        settingPos_ = false;
    }
    updateNeeded_ = false;
    if (invalidate && IsVisible() && !InvalidateUnion(old, pos_))
        return;
    PlaceCover(pos_);
}

// A floating cover is placed relative to this control; another one takes
// this control's place, within its own limits.
void CControlUI::PlaceCover(const RECT& rc)
{
    if (!cover_ || !cover_->IsVisible())
        return;
    CControlUI& cover = *cover_;
    if (cover.IsFloat()) {
        const long width = GetWidth();
        const long height = GetHeight();
        const SIZE xy = cover.GetFixedXY();
        const TPercentInfo percent = cover.GetFloatPercent();
        RECT place;
        place.left = ClampCoordinate(static_cast<long long>(Share(percent.left, width)) + xy.cx);
        place.top = ClampCoordinate(static_cast<long long>(Share(percent.top, height)) + xy.cy);
        place.right = ClampCoordinate(static_cast<long long>(Share(percent.right, width)) + xy.cx
            + cover.GetFixedWidth());
        place.bottom = ClampCoordinate(static_cast<long long>(Share(percent.bottom, height)) + xy.cy
            + cover.GetFixedHeight());
        cover.SetPos(place, false);
        return;
    }
    long width = rc.right - rc.left;
    long height = rc.bottom - rc.top;
    width = width < cover.GetMinWidth() ? cover.GetMinWidth() : width;
    width = width > cover.GetMaxWidth() ? cover.GetMaxWidth() : width;
    height = height < cover.GetMinHeight() ? cover.GetMinHeight() : height;
    height = height > cover.GetMaxHeight() ? cover.GetMaxHeight() : height;
    cover.SetPos(RECT{rc.left, rc.top, rc.left + width, rc.top + height}, false);
}

bool CControlUI::InvalidateUnion(const RECT& rcOld, const RECT& rcNew)
{
    RECT dirty;
    UnionRect(&dirty, &rcOld, &rcNew);
    for (CControlUI* parent = parent_; parent; parent = parent->GetParent()) {
        if (!parent->IsVisible() || !IntersectRect(&dirty, &dirty, &parent->GetPos()))
            return false;
    }
    manager_->InvalidateArea(dirty);
    return true;
}

void CControlUI::Move(int dx, int dy, bool invalidate)
{
    RECT old = pos_;
    pos_ = Offset(pos_, dx, dy);
    if (invalidate && manager_ && IsVisible() && !InvalidateUnion(old, pos_))
        return;
    if (cover_ && cover_->IsVisible())
        cover_->Move(dx, dy, false);
}

int CControlUI::GetWidth() const
{
    return pos_.right - pos_.left;
}

int CControlUI::GetHeight() const
{
    return pos_.bottom - pos_.top;
}

int CControlUI::GetX() const
{
    return pos_.left;
}

int CControlUI::GetY() const
{
    return pos_.top;
}

RECT CControlUI::GetPadding() const
{
    return Scaled(padding_);
}

void CControlUI::SetPadding(RECT padding)
{
    padding_ = Offset(padding, 0, 0);
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const
{
    return SIZE{Scaled(fixedXY_.cx), Scaled(fixedXY_.cy)};
}

void CControlUI::SetFixedXY(SIZE xy)
{
    fixedXY_.cx = ClampCoordinate(xy.cx);
    fixedXY_.cy = ClampCoordinate(xy.cy);
    NeedParentUpdate();
}

TPercentInfo CControlUI::GetFloatPercent() const
{
    return floatPercent_;
}

void CControlUI::SetFloatPercent(TPercentInfo percent)
{
    floatPercent_.left = SaneFraction(percent.left);
    floatPercent_.top = SaneFraction(percent.top);
    floatPercent_.right = SaneFraction(percent.right);
    floatPercent_.bottom = SaneFraction(percent.bottom);
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const
{
    return Scaled(fixedWidth_);
}

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    fixedWidth_ = ClampCoordinate(cx);
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const
{
    return Scaled(fixedHeight_);
}

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    fixedHeight_ = ClampCoordinate(cy);
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const
{
    return Scaled(minWidth_);
}

void CControlUI::SetMinWidth(int cx)
{
    if (cx < 0 || ClampCoordinate(cx) == minWidth_)
        return;
    minWidth_ = ClampCoordinate(cx);
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const
{
    return Scaled(maxWidth_ > minWidth_ ? maxWidth_ : minWidth_);
}

void CControlUI::SetMaxWidth(int cx)
{
    if (cx < 0 || ClampCoordinate(cx) == maxWidth_)
        return;
    maxWidth_ = ClampCoordinate(cx);
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const
{
    return Scaled(minHeight_);
}

void CControlUI::SetMinHeight(int cy)
{
    if (cy < 0 || ClampCoordinate(cy) == minHeight_)
        return;
    minHeight_ = ClampCoordinate(cy);
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const
{
    return Scaled(maxHeight_ > minHeight_ ? maxHeight_ : minHeight_);
}

void CControlUI::SetMaxHeight(int cy)
{
    if (cy < 0 || ClampCoordinate(cy) == maxHeight_)
        return;
    maxHeight_ = ClampCoordinate(cy);
    NeedParentUpdate();
}

bool CControlUI::IsVisible() const
{
    return visible_ && internVisible_;
}

void CControlUI::ReleaseFocusOnHide()
{
    if (manager_ && manager_->GetFocus() == this)
        manager_->FocusControl(nullptr);
}

void CControlUI::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    const bool wasVisible = IsVisible();
    visible_ = visible;
    focused_ = false;
    if (!visible)
        ReleaseFocusOnHide();
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
    if (cover_)
        cover_->SetInternVisible(IsVisible());
}

void CControlUI::SetInternVisible(bool visible)
{
    internVisible_ = visible;
    if (!visible)
        ReleaseFocusOnHide();
    if (cover_)
        cover_->SetInternVisible(IsVisible());
}

bool CControlUI::IsEnabled() const
{
    return enabled_;
}

void CControlUI::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const
{
    return mouseEnabled_;
}

void CControlUI::SetMouseEnabled(bool enabled)
{
    mouseEnabled_ = enabled;
}

bool CControlUI::IsKeyboardEnabled() const
{
    return keyboardEnabled_;
}

void CControlUI::SetKeyboardEnabled(bool enabled)
{
    keyboardEnabled_ = enabled;
}

bool CControlUI::IsFocused() const
{
    return focused_;
}

void CControlUI::SetFocus()
{
    if (manager_)
        manager_->FocusControl(this);
}

bool CControlUI::IsFloat() const
{
    return floating_;
}

void CControlUI::SetFloat(bool floating)
{
    if (floating_ == floating)
        return;
    floating_ = floating;
    NeedParentUpdate();
}

void CControlUI::Invalidate()
{
    if (!IsVisible() || !manager_)
        return;
    RECT dirty = pos_;
    for (CControlUI* parent = parent_; parent; parent = parent->GetParent()) {
        if (!IntersectRect(&dirty, &dirty, &parent->GetPos()))
            return;
    }
    manager_->InvalidateArea(dirty);
}

bool CControlUI::IsUpdateNeeded() const
{
    return updateNeeded_;
}

void CControlUI::NeedUpdate()
{
    if (!IsVisible())
        return;
    updateNeeded_ = true;
    Invalidate();
    if (manager_)
        manager_->MarkForUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (parent_) {
        parent_->NeedUpdate();
        parent_->Invalidate();
    } else {
        NeedUpdate();
    }
    if (manager_)
        manager_->MarkForUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if ((flags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    if (hitTest && (!data || !::PtInRect(&pos_, *static_cast<const POINT*>(data))))
        return nullptr;
    if ((flags & UIFIND_UPDATETEST) && proc(this, data))
        return nullptr;
    const bool mayAnswer = !hitTest || IsMouseEnabled();
    if ((flags & UIFIND_ME_FIRST) && mayAnswer) {
        if (CControlUI* found = proc(this, data))
            return found;
    }
    if (cover_) {
        if (CControlUI* found = cover_->FindControl(proc, data, flags))
            return found;
    }
    if (!(flags & UIFIND_ME_FIRST) && mayAnswer)
        return proc(this, data);
    return nullptr;
}

} // namespace SkinUI
