#include "ui/controls/container.h"

#include "ui/controls/render_kit.h"
#include "ui/controls/scroll_bar.h"

namespace SkinUI {

namespace {

bool Meets(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

} // namespace

bool CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    RECT visible;
    if (!IntersectRect(&visible, &rcPaint, &pos_))
        return true;
    CRenderClip clip;
    CRenderKit::GenerateClip(hDC, visible, clip);
    CControlUI::DoPaint(hDC, rcPaint, stop);

    if (!items_.IsEmpty() && !PaintChildren(hDC, rcPaint, stop))
        return false;
    CScrollBarUI* bars[] = {verticalScrollBar_, horizontalScrollBar_};
    for (CScrollBarUI* bar : bars) {
        if (!bar)
            continue;
        if (bar == stop)
            return false;
        if (bar->IsVisible() && Meets(rcPaint, bar->GetPos()) && !bar->Paint(hDC, rcPaint, stop))
            return false;
    }
    return true;
}

// Children are clipped to the client area; floating ones only to the
// container, so they are painted with the outer clip selected.
bool CContainerUI::PaintChildren(HDC hDC, const RECT& rcPaint, CControlUI* stop)
{
    RECT client = ContentRect();
    RECT inner;
    bool meetsClient = IntersectRect(&inner, &rcPaint, &client) != FALSE;
    CRenderClip childClip;
    if (meetsClient)
        CRenderKit::GenerateClip(hDC, inner, childClip);
    for (int i = 0; i < items_.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child == stop)
            return false;
        if (!child->IsVisible() || !Meets(rcPaint, child->GetPos()))
            continue;
        if (child->IsFloat()) {
            if (!Meets(pos_, child->GetPos()))
                continue;
            if (meetsClient)
                childClip.UsePreviousClip();
            bool painted = child->Paint(hDC, rcPaint, stop);
            if (meetsClient)
                childClip.UseNewClip();
            if (!painted)
                return false;
            continue;
        }
        if (meetsClient && Meets(client, child->GetPos()) && !child->Paint(hDC, rcPaint, stop))
            return false;
    }
    return true;
}

} // namespace SkinUI
