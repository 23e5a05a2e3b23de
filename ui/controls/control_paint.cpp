#include "ui/controls/control.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/render_kit.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

DWORD CControlUI::GetBkColor() const
{
    return m_dwBackColor;
}

void CControlUI::SetBkColor(DWORD color)
{
    if (m_dwBackColor == color)
        return;
    m_dwBackColor = color;
    Invalidate();
}

DWORD CControlUI::GetBkColor2() const
{
    return m_dwBackColor2;
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (m_dwBackColor2 == color)
        return;
    m_dwBackColor2 = color;
    Invalidate();
}

DWORD CControlUI::GetBkColor3() const
{
    return m_dwBackColor3;
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (m_dwBackColor3 == color)
        return;
    m_dwBackColor3 = color;
    Invalidate();
}

DWORD CControlUI::GetForeColor() const
{
    return m_dwForeColor;
}

void CControlUI::SetForeColor(DWORD color)
{
    if (m_dwForeColor == color)
        return;
    m_dwForeColor = color;
    Invalidate();
}

bool CControlUI::SetImageText(TImageSpec& spec, const wchar_t* text)
{
    if (spec.sText == (text ? text : L"") && spec.pImage)
        return false;
    spec.Reset();
    spec.sText = text;
    DrawImage(nullptr, spec);
    return true;
}

const CUIString& CControlUI::GetBkImage() const
{
    return m_diBk.sText;
}

void CControlUI::SetBkImage(const wchar_t* text)
{
    if (!SetImageText(m_diBk, text))
        return;
    if (m_bFloat && m_cxFixed == 0 && m_cyFixed == 0 && m_diBk.pImage) {
        m_cxFixed = m_diBk.pImage->nX;
        m_cyFixed = m_diBk.pImage->nY;
    }
    Invalidate();
}

const CUIString& CControlUI::GetForeImage() const
{
    return m_diFore.sText;
}

void CControlUI::SetForeImage(const wchar_t* text)
{
    if (SetImageText(m_diFore, text))
        Invalidate();
}

DWORD CControlUI::GetBorderColor() const
{
    return m_dwBorderColor;
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (m_dwBorderColor == color)
        return;
    m_dwBorderColor = color;
    Invalidate();
}

DWORD CControlUI::GetFocusBorderColor() const
{
    return m_dwFocusBorderColor;
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (m_dwFocusBorderColor == color)
        return;
    m_dwFocusBorderColor = color;
    Invalidate();
}

bool CControlUI::IsColorHSL() const
{
    return m_bColorHSL;
}

void CControlUI::SetColorHSL(bool adjust)
{
    if (m_bColorHSL == adjust)
        return;
    m_bColorHSL = adjust;
    Invalidate();
}

RECT CControlUI::GetBorderSize() const
{
    return m_rcBorderSize;
}

void CControlUI::SetBorderSize(RECT size)
{
    m_rcBorderSize = RECT{ClampCoordinate(size.left), ClampCoordinate(size.top), ClampCoordinate(size.right),
        ClampCoordinate(size.bottom)};
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    size = ClampCoordinate(size);
    m_rcBorderSize = RECT{size, size, size, size};
    Invalidate();
}

int CControlUI::GetBorderStyle() const
{
    return m_nBorderStyle;
}

void CControlUI::SetBorderStyle(int style)
{
    m_nBorderStyle = style;
    Invalidate();
}

SIZE CControlUI::GetBorderRound() const
{
    return m_cxyBorderRound;
}

void CControlUI::SetBorderRound(SIZE round)
{
    m_cxyBorderRound = SIZE{ClampCoordinate(round.cx), ClampCoordinate(round.cy)};
    Invalidate();
}

const RECT& CControlUI::GetPaintRect() const
{
    return m_rcPaint;
}

DWORD CControlUI::GetAdjustColor(DWORD color)
{
    if (!m_bColorHSL)
        return color;
    short h = 180, s = 100, l = 100;
    CUIManager::GetHSL(&h, &s, &l);
    return CRenderKit::AdjustColor(color, h, s, l);
}

bool CControlUI::DrawImage(HDC hDC, TImageSpec& spec)
{
    return CRenderKit::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, spec);
}

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    if (this == stop)
        return false;
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem))
        return true;
    if (!m_OnPaint.IsEmpty() && !m_OnPaint(this))
        return true;
    if (!DoPaint(hDC, m_rcPaint, stop))
        return false;
    return m_pCover ? m_pCover->Paint(hDC, rcPaint, nullptr) : true;
}

bool CControlUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    CRenderClip clip;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
        CRenderKit::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, clip);
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintForeColor(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    return true;
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (m_dwBackColor == 0)
        return;
    if (m_dwBackColor2 == 0) {
        // A translucent colour covers the whole item, or repainting a part
        // would blend that part twice against what is behind.
        const bool opaque = (m_dwBackColor >> 24) == 0xFF;
        CRenderKit::DrawColor(hDC, opaque ? m_rcPaint : m_rcItem, GetAdjustColor(m_dwBackColor));
        return;
    }
    if (m_dwBackColor3 != 0) {
        RECT upper = m_rcItem;
        upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
        RECT lower = m_rcItem;
        lower.top = upper.bottom;
        CRenderKit::DrawGradient(hDC, upper, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true, 8);
        CRenderKit::DrawGradient(hDC, lower, GetAdjustColor(m_dwBackColor2), GetAdjustColor(m_dwBackColor3), true,
            8);
        return;
    }
    CRenderKit::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true, 16);
}

void CControlUI::PaintBkImage(HDC hDC)
{
    DrawImage(hDC, m_diBk);
}

void CControlUI::PaintStatusImage(HDC hDC)
{
}

void CControlUI::PaintForeColor(HDC hDC)
{
    if (m_dwForeColor != 0)
        CRenderKit::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwForeColor));
}

void CControlUI::PaintText(HDC hDC)
{
}

void CControlUI::PaintBorder(HDC hDC)
{
    if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0)
        return;
    DWORD color = m_bFocused && m_dwFocusBorderColor != 0 ? m_dwFocusBorderColor : m_dwBorderColor;
    color = GetAdjustColor(color);
    const RECT& rc = m_rcItem;
    const RECT& size = m_rcBorderSize;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
        CRenderKit::DrawRoundRect(hDC, rc, size.left, m_cxyBorderRound.cx, m_cxyBorderRound.cy, color, m_nBorderStyle);
        return;
    }
    if (size.left == size.top && size.left == size.right && size.left == size.bottom) {
        CRenderKit::DrawRect(hDC, rc, size.left, color, m_nBorderStyle);
        return;
    }
    if (size.left > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.top, rc.left, rc.bottom}, size.left, color, m_nBorderStyle);
    if (size.top > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.top, rc.right, rc.top}, size.top, color, m_nBorderStyle);
    if (size.right > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.right - 1, rc.top, rc.right - 1, rc.bottom}, size.right, color,
            m_nBorderStyle);
    if (size.bottom > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom - 1}, size.bottom, color,
            m_nBorderStyle);
}

void CControlUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    m_OnPostPaint(this);
}

} // namespace SkinUI
