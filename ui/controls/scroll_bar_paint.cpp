#include "ui/controls/scroll_bar.h"

#include "ui/controls/render_kit.h"

namespace SkinUI {

namespace {

const UINT kStateDisabled = 0x04;
const UINT kStateHot = 0x08;
const UINT kStatePushed = 0x10;

bool IsEmptyRect(const RECT& rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

} // namespace

bool CScrollBarUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintTrack(hDC);
    PaintPart(hDC, button1_, showButton1_);
    PaintPart(hDC, button2_, showButton2_);
    PaintPart(hDC, thumb_, !IsEmptyRect(thumb_.rect));
    PaintRail(hDC);
    PaintBorder(hDC);
    return true;
}

CScrollBarUI::ImageState CScrollBarUI::StateImage(UINT state)
{
    if (state & kStateDisabled)
        return kDisabled;
    if (state & kStatePushed)
        return kPushed;
    if (state & kStateHot)
        return kHot;
    return kNormal;
}

void CScrollBarUI::SyncDisabled(UINT& state) const
{
    if (IsEnabled())
        state &= ~kStateDisabled;
    else
        state |= kStateDisabled;
}

void CScrollBarUI::PaintTrack(HDC hDC)
{
    UINT state = thumb_.state;
    SyncDisabled(state);
    DrawStateImage(hDC, trackImages_, StateImage(state), nullptr);
}

void CScrollBarUI::PaintPart(HDC hDC, Part& part, bool shown)
{
    SyncDisabled(part.state);
    if (!shown)
        return;
    if (part.color != 0)
        CRenderKit::DrawColor(hDC, part.rect, GetAdjustColor(part.color));
    DrawStateImage(hDC, part.images, StateImage(part.state), &part.rect);
}

void CScrollBarUI::PaintRail(HDC hDC)
{
    if (IsEmptyRect(thumb_.rect))
        return;
    int t = Thickness();
    RECT rail = thumb_.rect;
    if (horizontal_) {
        rail.left = (thumb_.rect.left + thumb_.rect.right) / 2 - t / 2;
        rail.right = rail.left + t;
    } else {
        rail.top = (thumb_.rect.top + thumb_.rect.bottom) / 2 - t / 2;
        rail.bottom = rail.top + t;
    }
    DrawStateImage(hDC, railImages_, StateImage(thumb_.state), &rail);
}

// The chosen state's image, or the normal one when that does not draw. A
// part image is drawn with its dest replaced by the part's place.
void CScrollBarUI::DrawStateImage(HDC hDC, TImageSpec* images, ImageState state, const RECT* part)
{
    if (state != kNormal && DrawPartImage(hDC, images[state], part))
        return;
    DrawPartImage(hDC, images[kNormal], part);
}

bool CScrollBarUI::DrawPartImage(HDC hDC, TImageSpec& image, const RECT* part)
{
    if (image.sText.IsEmpty())
        return false;
    if (!part)
        return DrawImage(hDC, image);
    // Loading parses the text, which would overwrite the dest set here.
    if (!image.pImage && !DrawImage(nullptr, image))
        return false;
    image.rcDest = RECT{part->left - pos_.left, part->top - pos_.top, part->right - pos_.left,
        part->bottom - pos_.top};
    return DrawImage(hDC, image);
}

} // namespace SkinUI
