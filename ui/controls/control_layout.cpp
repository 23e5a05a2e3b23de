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

const RECT& CControlUI::GetPos() const
{
    return m_rcItem;
}

RECT CControlUI::GetRelativePos() const
{
    if (!m_pParent)
        return RECT{0, 0, 0, 0};
    const RECT& parent = m_pParent->GetPos();
    return Offset(m_rcItem, -static_cast<long long>(parent.left), -static_cast<long long>(parent.top));
}

RECT CControlUI::GetClientPos() const
{
    return m_rcItem;
}

void CControlUI::SetPos(RECT rc, bool invalidate)
{
    rc = Offset(rc, 0, 0);
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    RECT old = IsEmptyArea(m_rcItem) ? rc : m_rcItem;

    if (m_bFloat) {
        if (m_pParent) {
            const RECT& parent = m_pParent->GetPos();
            const long width = parent.right - parent.left;
            const long height = parent.bottom - parent.top;
            m_rcItem = Offset(rc, parent.left, parent.top);
            m_cXY.cx = ClampCoordinate(static_cast<long long>(rc.left) - Share(m_piFloatPercent.left, width));
            m_cXY.cy = ClampCoordinate(static_cast<long long>(rc.top) - Share(m_piFloatPercent.top, height));
            m_cxFixed = ClampCoordinate(static_cast<long long>(rc.right) - m_cXY.cx
                - Share(m_piFloatPercent.right, width));
            m_cyFixed = ClampCoordinate(static_cast<long long>(rc.bottom) - m_cXY.cy
                - Share(m_piFloatPercent.bottom, height));
        }
    } else {
        m_rcItem = rc;
    }
    if (!m_pManager)
        return;
    if (!m_bSetPos) {
        m_bSetPos = true;
        m_OnSize(this);
        m_bSetPos = false;
    }
    m_bUpdateNeeded = false;
    if (invalidate && IsVisible() && !InvalidateUnion(old, m_rcItem))
        return;
    PlaceCover(m_rcItem);
}

// A floating cover is placed relative to this control; another one takes
// this control's place, within its own limits.
void CControlUI::PlaceCover(const RECT& rc)
{
    if (!m_pCover || !m_pCover->IsVisible())
        return;
    CControlUI& cover = *m_pCover;
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
    for (CControlUI* parent = m_pParent; parent; parent = parent->GetParent()) {
        if (!parent->IsVisible() || !IntersectRect(&dirty, &dirty, &parent->GetPos()))
            return false;
    }
    m_pManager->InvalidateArea(dirty);
    return true;
}

void CControlUI::Move(int dx, int dy, bool invalidate)
{
    RECT old = m_rcItem;
    m_rcItem = Offset(m_rcItem, dx, dy);
    if (invalidate && m_pManager && IsVisible() && !InvalidateUnion(old, m_rcItem))
        return;
    if (m_pCover && m_pCover->IsVisible())
        m_pCover->Move(dx, dy, false);
}

int CControlUI::GetWidth() const
{
    return m_rcItem.right - m_rcItem.left;
}

int CControlUI::GetHeight() const
{
    return m_rcItem.bottom - m_rcItem.top;
}

int CControlUI::GetX() const
{
    return m_rcItem.left;
}

int CControlUI::GetY() const
{
    return m_rcItem.top;
}

RECT CControlUI::GetPadding() const
{
    return m_rcPadding;
}

void CControlUI::SetPadding(RECT padding)
{
    m_rcPadding = Offset(padding, 0, 0);
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const
{
    return m_cXY;
}

void CControlUI::SetFixedXY(SIZE xy)
{
    m_cXY.cx = ClampCoordinate(xy.cx);
    m_cXY.cy = ClampCoordinate(xy.cy);
    NeedParentUpdate();
}

TPercentInfo CControlUI::GetFloatPercent() const
{
    return m_piFloatPercent;
}

void CControlUI::SetFloatPercent(TPercentInfo percent)
{
    m_piFloatPercent.left = SaneFraction(percent.left);
    m_piFloatPercent.top = SaneFraction(percent.top);
    m_piFloatPercent.right = SaneFraction(percent.right);
    m_piFloatPercent.bottom = SaneFraction(percent.bottom);
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const
{
    return m_cxFixed;
}

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    m_cxFixed = ClampCoordinate(cx);
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const
{
    return m_cyFixed;
}

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    m_cyFixed = ClampCoordinate(cy);
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const
{
    return m_cxMin;
}

void CControlUI::SetMinWidth(int cx)
{
    if (cx < 0 || ClampCoordinate(cx) == m_cxMin)
        return;
    m_cxMin = ClampCoordinate(cx);
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const
{
    return m_cxMax > m_cxMin ? m_cxMax : m_cxMin;
}

void CControlUI::SetMaxWidth(int cx)
{
    if (cx < 0 || ClampCoordinate(cx) == m_cxMax)
        return;
    m_cxMax = ClampCoordinate(cx);
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const
{
    return m_cyMin;
}

void CControlUI::SetMinHeight(int cy)
{
    if (cy < 0 || ClampCoordinate(cy) == m_cyMin)
        return;
    m_cyMin = ClampCoordinate(cy);
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const
{
    return m_cyMax > m_cyMin ? m_cyMax : m_cyMin;
}

void CControlUI::SetMaxHeight(int cy)
{
    if (cy < 0 || ClampCoordinate(cy) == m_cyMax)
        return;
    m_cyMax = ClampCoordinate(cy);
    NeedParentUpdate();
}

bool CControlUI::IsVisible() const
{
    return m_bVisible && m_bInternVisible;
}

void CControlUI::ReleaseFocusOnHide()
{
    if (m_pManager && m_pManager->GetFocus() == this)
        m_pManager->FocusControl(nullptr);
}

void CControlUI::SetVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    const bool wasVisible = IsVisible();
    m_bVisible = visible;
    m_bFocused = false;
    if (!visible)
        ReleaseFocusOnHide();
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
    if (m_pCover)
        m_pCover->SetInternVisible(IsVisible());
}

void CControlUI::SetInternVisible(bool visible)
{
    m_bInternVisible = visible;
    if (!visible)
        ReleaseFocusOnHide();
    if (m_pCover)
        m_pCover->SetInternVisible(IsVisible());
}

bool CControlUI::IsEnabled() const
{
    return m_bEnabled;
}

void CControlUI::SetEnabled(bool enabled)
{
    if (m_bEnabled == enabled)
        return;
    m_bEnabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const
{
    return m_bMouseEnabled;
}

void CControlUI::SetMouseEnabled(bool enabled)
{
    m_bMouseEnabled = enabled;
}

bool CControlUI::IsKeyboardEnabled() const
{
    return m_bKeyboardEnabled;
}

void CControlUI::SetKeyboardEnabled(bool enabled)
{
    m_bKeyboardEnabled = enabled;
}

bool CControlUI::IsFocused() const
{
    return m_bFocused;
}

void CControlUI::SetFocus()
{
    if (m_pManager)
        m_pManager->FocusControl(this);
}

bool CControlUI::IsFloat() const
{
    return m_bFloat;
}

void CControlUI::SetFloat(bool floating)
{
    if (m_bFloat == floating)
        return;
    m_bFloat = floating;
    NeedParentUpdate();
}

void CControlUI::Invalidate()
{
    if (!IsVisible() || !m_pManager)
        return;
    RECT dirty = m_rcItem;
    for (CControlUI* parent = m_pParent; parent; parent = parent->GetParent()) {
        if (!IntersectRect(&dirty, &dirty, &parent->GetPos()))
            return;
    }
    m_pManager->InvalidateArea(dirty);
}

bool CControlUI::IsUpdateNeeded() const
{
    return m_bUpdateNeeded;
}

void CControlUI::NeedUpdate()
{
    if (!IsVisible())
        return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager)
        m_pManager->MarkForUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager)
        m_pManager->MarkForUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if ((flags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    if (hitTest && (!data || !::PtInRect(&m_rcItem, *static_cast<const POINT*>(data))))
        return nullptr;
    if ((flags & UIFIND_UPDATETEST) && proc(this, data))
        return nullptr;
    const bool mayAnswer = !hitTest || IsMouseEnabled();
    if ((flags & UIFIND_ME_FIRST) && mayAnswer) {
        if (CControlUI* found = proc(this, data))
            return found;
    }
    if (m_pCover) {
        if (CControlUI* found = m_pCover->FindControl(proc, data, flags))
            return found;
    }
    if (!(flags & UIFIND_ME_FIRST) && mayAnswer)
        return proc(this, data);
    return nullptr;
}

} // namespace SkinUI
