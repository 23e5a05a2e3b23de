#include "ui/controls/control.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/render_kit.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

DWORD CControlUI::GetBkColor() const
{
    return bkColor_;
}

void CControlUI::SetBkColor(DWORD color)
{
    if (bkColor_ == color)
        return;
    bkColor_ = color;
    Invalidate();
}

DWORD CControlUI::GetBkColor2() const
{
    return bkColor2_;
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (bkColor2_ == color)
        return;
    bkColor2_ = color;
    Invalidate();
}

DWORD CControlUI::GetBkColor3() const
{
    return bkColor3_;
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (bkColor3_ == color)
        return;
    bkColor3_ = color;
    Invalidate();
}

DWORD CControlUI::GetForeColor() const
{
    return foreColor_;
}

void CControlUI::SetForeColor(DWORD color)
{
    if (foreColor_ == color)
        return;
    foreColor_ = color;
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
    return bkImage_.sText;
}

void CControlUI::SetBkImage(const wchar_t* text)
{
    if (!SetImageText(bkImage_, text))
        return;
    if (floating_ && fixedWidth_ == 0 && fixedHeight_ == 0 && bkImage_.pImage) {
        fixedWidth_ = bkImage_.pImage->LayoutWidth();
        fixedHeight_ = bkImage_.pImage->LayoutHeight();
    }
    Invalidate();
}

const CUIString& CControlUI::GetForeImage() const
{
    return foreImage_.sText;
}

void CControlUI::SetForeImage(const wchar_t* text)
{
    if (SetImageText(foreImage_, text))
        Invalidate();
}

DWORD CControlUI::GetBorderColor() const
{
    return borderColor_;
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    Invalidate();
}

DWORD CControlUI::GetFocusBorderColor() const
{
    return focusBorderColor_;
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (focusBorderColor_ == color)
        return;
    focusBorderColor_ = color;
    Invalidate();
}

bool CControlUI::IsColorHSL() const
{
    return colorHSL_;
}

void CControlUI::SetColorHSL(bool adjust)
{
    if (colorHSL_ == adjust)
        return;
    colorHSL_ = adjust;
    Invalidate();
}

RECT CControlUI::GetBorderSize() const
{
    return Scaled(borderSize_);
}

void CControlUI::SetBorderSize(RECT size)
{
    borderSize_ = RECT{ClampCoordinate(size.left), ClampCoordinate(size.top), ClampCoordinate(size.right),
        ClampCoordinate(size.bottom)};
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    size = ClampCoordinate(size);
    borderSize_ = RECT{size, size, size, size};
    Invalidate();
}

int CControlUI::GetBorderStyle() const
{
    return borderStyle_;
}

void CControlUI::SetBorderStyle(int style)
{
    borderStyle_ = style;
    Invalidate();
}

SIZE CControlUI::GetBorderRound() const
{
    return SIZE{Scaled(borderRound_.cx), Scaled(borderRound_.cy)};
}

void CControlUI::SetBorderRound(SIZE round)
{
    borderRound_ = SIZE{ClampCoordinate(round.cx), ClampCoordinate(round.cy)};
    Invalidate();
}

const RECT& CControlUI::GetPaintRect() const
{
    return paintRect_;
}

DWORD CControlUI::GetAdjustColor(DWORD color)
{
    if (!colorHSL_)
        return color;
    short h = 180, s = 100, l = 100;
    CUIManager::GetHSL(&h, &s, &l);
    return CRenderKit::AdjustColor(color, h, s, l);
}

bool CControlUI::DrawImage(HDC hDC, TImageSpec& spec)
{
    return CRenderKit::DrawImageString(hDC, manager_, pos_, paintRect_, spec);
}

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    if (this == stop)
        return false;
    if (!IntersectRect(&paintRect_, &rcPaint, &pos_))
        return true;
    if (!onPaint_.IsEmpty() && !onPaint_(this))
        return true;
    if (!DoPaint(hDC, paintRect_, stop))
        return false;
    return cover_ ? cover_->Paint(hDC, rcPaint, nullptr) : true;
}

bool CControlUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    CRenderClip clip;
    const SIZE round = GetBorderRound();
    if (round.cx > 0 || round.cy > 0)
        CRenderKit::GenerateRoundClip(hDC, paintRect_, pos_, round.cx, round.cy, clip);
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
    if (bkColor_ == 0)
        return;
    if (bkColor2_ == 0) {
        // A translucent colour covers the whole item, or repainting a part
        // would blend that part twice against what is behind.
        const bool opaque = (bkColor_ >> 24) == 0xFF;
        CRenderKit::DrawColor(hDC, opaque ? paintRect_ : pos_, GetAdjustColor(bkColor_));
        return;
    }
    if (bkColor3_ != 0) {
        RECT upper = pos_;
        upper.bottom = (pos_.top + pos_.bottom) / 2;
        RECT lower = pos_;
        lower.top = upper.bottom;
        CRenderKit::DrawGradient(hDC, upper, GetAdjustColor(bkColor_), GetAdjustColor(bkColor2_), true, 8);
        CRenderKit::DrawGradient(hDC, lower, GetAdjustColor(bkColor2_), GetAdjustColor(bkColor3_), true,
            8);
        return;
    }
    CRenderKit::DrawGradient(hDC, pos_, GetAdjustColor(bkColor_), GetAdjustColor(bkColor2_), true, 16);
}

void CControlUI::PaintBkImage(HDC hDC)
{
    DrawImage(hDC, bkImage_);
}

void CControlUI::PaintStatusImage(HDC hDC)
{
}

void CControlUI::PaintForeColor(HDC hDC)
{
    if (foreColor_ != 0)
        CRenderKit::DrawColor(hDC, pos_, GetAdjustColor(foreColor_));
}

void CControlUI::PaintText(HDC hDC)
{
}

void CControlUI::PaintBorder(HDC hDC)
{
    if (borderColor_ == 0 && focusBorderColor_ == 0)
        return;
    DWORD color = focused_ && focusBorderColor_ != 0 ? focusBorderColor_ : borderColor_;
    color = GetAdjustColor(color);
    const RECT& rc = pos_;
    const RECT size = GetBorderSize();
    const SIZE round = GetBorderRound();
    if (round.cx > 0 || round.cy > 0) {
        CRenderKit::DrawRoundRect(hDC, rc, size.left, round.cx, round.cy, color, borderStyle_);
        return;
    }
    if (size.left == size.top && size.left == size.right && size.left == size.bottom) {
        CRenderKit::DrawRect(hDC, rc, size.left, color, borderStyle_);
        return;
    }
    if (size.left > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.top, rc.left, rc.bottom}, size.left, color, borderStyle_);
    if (size.top > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.top, rc.right, rc.top}, size.top, color, borderStyle_);
    if (size.right > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.right - 1, rc.top, rc.right - 1, rc.bottom}, size.right, color,
            borderStyle_);
    if (size.bottom > 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom - 1}, size.bottom, color,
            borderStyle_);
}

void CControlUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    onPostPaint_(this);
}

} // namespace SkinUI
