#include "ui/core/tooltip.h"

#include "ui/controls/control.h"
#include "ui/core/skin_source.h"

namespace SkinUI {

DWORD CTooltip::HoverTime(DWORD fallback) const
{
    if (!window_)
        return fallback;
    return static_cast<DWORD>(::SendMessageW(window_.get(), TTM_GETDELAYTIME, TTDT_INITIAL, 0));
}

void CTooltip::Show(HWND owner, CControlUI* control, const CUIString& text, POINT point)
{
    text_ = text;
    toolInfo_ = {};
    toolInfo_.cbSize = TTTOOLINFOW_V2_SIZE;
    toolInfo_.uFlags = TTF_IDISHWND;
    toolInfo_.hwnd = owner;
    toolInfo_.uId = reinterpret_cast<UINT_PTR>(owner);
    toolInfo_.rect = control->GetPos();
    toolInfo_.hinst = CSkinSource::Module();
    toolInfo_.lpszText = const_cast<wchar_t*>(text_.GetData());
    int width = control->GetToolTipWidth();
    if (!window_) {
        window_.reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, CSkinSource::Module(),
            nullptr));
        if (!window_)
            return;
        ::SendMessageW(window_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
        lastWidth_ = -1;
    }
    if (control != shown_ || width != lastWidth_) {
        ::SendMessageW(window_.get(), TTM_SETMAXTIPWIDTH, 0, width);
        lastWidth_ = width;
    }
    ::SendMessageW(window_.get(), TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
    ::SendMessageW(window_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&toolInfo_));
    shown_ = control;
    // The tracking position is in screen coordinates.
    ::ClientToScreen(owner, &point);
    ::SendMessageW(window_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(point.x, point.y));
}

void CTooltip::Hide()
{
    if (window_)
        ::SendMessageW(window_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&toolInfo_));
}

void CTooltip::Forget(CControlUI* control)
{
    if (control != shown_)
        return;
    shown_ = nullptr;
    Hide();
}

void CTooltip::Destroy()
{
    if (!window_)
        return;
    window_.reset();
    shown_ = nullptr;
    lastWidth_ = -1;
}

void CTooltip::OwnerGone()
{
    window_.release();
    shown_ = nullptr;
}

} // namespace SkinUI
