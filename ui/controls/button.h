#pragma once

#include "ui/controls/image_spec.h"
#include "ui/controls/label.h"

namespace SkinUI {

// A label that reacts to mouse and keyboard: paints one of its state images
// and text colours, can cross-fade between its normal and hot images and
// sends "click" when activated.
class CButtonUI : public CLabelUI {
public:
    enum StateBits : UINT {
        kFocused = 0x01,
        kSelected = 0x02,
        kDisabled = 0x04,
        kHot = 0x08,
        kPushed = 0x10,
        kCaptured = 0x40,
    };
    static const int kFadeTimerId = 11;
    static const UINT kFadeElapse = 30;

    CButtonUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;

    UINT GetState() const { return state_; }
    int GetFadeAlpha() const { return fadeAlpha_; }

    void SetNormalImage(const wchar_t* text);
    void SetHotImage(const wchar_t* text);
    void SetHotForeImage(const wchar_t* text);
    void SetPushedImage(const wchar_t* text);
    void SetPushedForeImage(const wchar_t* text);
    void SetFocusedImage(const wchar_t* text);
    void SetDisabledImage(const wchar_t* text);
    void SetFiveStatusImage(const wchar_t* text);
    void SetFadeAlphaDelta(BYTE delta);
    BYTE GetFadeAlphaDelta() const { return fadeDelta_; }
    void SetHotBkColor(DWORD color) { hotBkColor_ = color; }
    void SetHotTextColor(DWORD color) { hotTextColor_ = color; }
    void SetPushedTextColor(DWORD color) { pushedTextColor_ = color; }
    void SetFocusedTextColor(DWORD color) { focusedTextColor_ = color; }
    void SetHotBorderColor(DWORD color);
    void SetPushedBorderColor(DWORD color);

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    CUIString GetAccessibleDefaultAction() const override;
    bool DoAccessibleDefaultAction() override;
    void DoEvent(TUIEvent& event) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;
    void PaintBorder(HDC dc) override;

protected:
    DWORD ClassAccessibleRole() const override;

private:
    void SetImage(TImageSpec& spec, const wchar_t* text);
    void SyncState();
    bool IsFading() const { return fadeDelta_ != 0; }
    bool DrawFaded(HDC dc, TImageSpec& spec, int fade);
    void DrawNormal(HDC dc);
    void DrawFore(HDC dc, TImageSpec* preferred);
    void PaintHot(HDC dc);
    void DrawStateBorder(HDC dc, DWORD color, const RECT& size);
    void OnMouseMove(const TUIEvent& event);
    void OnButtonUp(const TUIEvent& event);
    void OnMouseEnter(const TUIEvent& event);
    void OnMouseLeave(const TUIEvent& event);
    void OnFadeTimer();
    void StartFade();

    UINT state_ = 0;
    DWORD hotBkColor_ = 0;
    DWORD hotTextColor_ = 0;
    DWORD pushedTextColor_ = 0;
    DWORD focusedTextColor_ = 0;
    // Kept in int so that a step past either end is clamped, never wrapped.
    int fadeAlpha_ = 255;
    BYTE fadeDelta_ = 0;
    TImageSpec normalImage_;
    TImageSpec hotImage_;
    TImageSpec hotForeImage_;
    TImageSpec pushedImage_;
    TImageSpec pushedForeImage_;
    TImageSpec focusedImage_;
    TImageSpec disabledImage_;
    DWORD hotBorderColor_ = 0;
    RECT hotBorderSize_ = {0, 0, 0, 0};
    DWORD pushedBorderColor_ = 0;
    RECT pushedBorderSize_ = {0, 0, 0, 0};
};

} // namespace SkinUI
