#include "ui/controls/linear_layout.h"

#include "ui/controls/attribute_value.h"

#include <string.h>

namespace SkinUI {

CLinearLayoutUI::CLinearLayoutUI(bool vertical, const wchar_t* sizeAttribute)
    : separator_(vertical), sizeAttribute_(sizeAttribute)
{
}

UINT CLinearLayoutUI::GetControlFlags() const
{
    return IsEnabled() && separator_.GetSize() != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CLinearLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (wcscmp(name, sizeAttribute_) == 0)
        separator_.SetSize(ParseIntValue(value));
    else if (wcscmp(name, L"sepimm") == 0)
        separator_.SetImmediate(this, ParseBoolValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CLinearLayoutUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    RECT area = ContentRect();
    if (items_.IsEmpty()) {
        ProcessScrollBar(area, 0, 0);
        return;
    }
    ArrangeChildren(area, AvailableSize(area));
}

RECT CLinearLayoutUI::GetThumbRect(bool useNew) const
{
    return separator_.StripRect(pos_, useNew);
}

void CLinearLayoutUI::DoEvent(TUIEvent& event)
{
    if (separator_.GetSize() != 0 && IsEnabled() && separator_.OnEvent(this, event))
        return;
    CContainerUI::DoEvent(event);
}

void CLinearLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    separator_.PaintDrag(hDC);
    CContainerUI::DoPostPaint(hDC, rcPaint);
}

} // namespace SkinUI
