#include "ui/controls/render_kit.h"

#include "ui/core/scoped_gdi.h"
#include "ui/core/ui_manager.h"

namespace SkinUI {

void CRenderKit::DrawText(HDC hDC, CUIManager* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
    UINT style)
{
    if (!hDC || !manager || !text || !*text)
        return;
    CUIString expanded = CUIManager::ExpandLanguageTokens(text);
    SetBkMode(hDC, TRANSPARENT);
    SetTextColor(hDC, ToColorRef(color));
    ScopedSelection selected(hDC, manager->FontById(font));
    ::DrawTextW(hDC, expanded.GetData(), expanded.GetLength(), &rc, style | DT_NOPREFIX);
}

} // namespace SkinUI
