#pragma once

#include "ui/core/ui_string.h"
#include "ui/core/unique_handle.h"

#include <windows.h>
#include <commctrl.h>

namespace SkinUI {

class CControlUI;

// The window's tooltip: one tracking tool on the owner window, made when
// the first tip is shown, showing one control's text at a time.
class CTooltip {
public:
    CTooltip() = default;
    CTooltip(const CTooltip&) = delete;
    CTooltip& operator=(const CTooltip&) = delete;

    HWND Window() const { return window_.get(); }
    // The hover delay mouse tracking waits: the tooltip's own once it exists.
    DWORD HoverTime(DWORD fallback) const;

    // Shows the text over the control at a point of the owner's client area.
    void Show(HWND owner, CControlUI* control, const CUIString& text, POINT point);
    void Hide();
    // Hides the tip when it is the control's.
    void Forget(CControlUI* control);
    // A new tree: no control owns the tip, which stays as it is.
    void ForgetControls() { shown_ = nullptr; }
    // The next tip makes a new tooltip window.
    void Destroy();
    // The tooltip window died with its owner.
    void OwnerGone();

private:
    WindowHandle window_;
    TOOLINFOW toolInfo_ = {};
    CUIString text_;
    CControlUI* shown_ = nullptr;
    int lastWidth_ = -1;
};

} // namespace SkinUI
