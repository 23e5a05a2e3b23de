#include "ui/core/ui_manager.h"

#include "ui/controls/control.h"

#include <wchar.h>

namespace SkinUI {

namespace {

CControlUI* CALLBACK TellScaleChanged(CControlUI* control, LPVOID)
{
    control->ScaleChanged();
    return nullptr;
}

} // namespace

void CUIManager::SetDpi(int dpi)
{
    const int before = scale_.Dpi();
    scale_.SetDpi(dpi);
    if (scale_.Dpi() == before)
        return;
    // Fonts and images follow on their next use; the offscreen bitmap and
    // every control's measure are remade for the new size.
    DeleteOffscreen();
    if (!root_)
        return;
    root_->FindControl(&TellScaleChanged, nullptr, UIFIND_ALL);
    root_->NeedUpdate();
    updateNeeded_ = true;
    InvalidateAll();
}

// Moving to a monitor of another scale: the system suggests the window's
// new rectangle, which keeps its size in layout units.
void CUIManager::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    SetDpi(LOWORD(wParam));
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!suggested || !window_)
        return;
    ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
        suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A font made for another DPI (a shared font last used by a window on
// another monitor, or the default font made at the session's DPI) is made
// again at this window's.
void CUIManager::FitFontToScale(TFontRecord& record)
{
    if (!record.hFont || record.iDpi == scale_.Dpi())
        return;
    TFontRecord remade;
    const CUIString face = record.sFontName;
    if (MakeFontRecord(remade, face, record.iSize, record.bBold, record.bUnderline, record.bItalic, scale_.Dpi()))
        record = std::move(remade);
}

// Images decoded for a scale other than the layout's are kept under their
// name and that scale, beside the plain ones.
CUIString CUIManager::ImageKey(const wchar_t* name) const
{
    CUIString key = name;
    if (scale_.IsIdentity())
        return key;
    wchar_t suffix[16];
    swprintf(suffix, sizeof(suffix) / sizeof(suffix[0]), L"|%ddpi", scale_.Dpi());
    key += suffix;
    return key;
}

} // namespace SkinUI
