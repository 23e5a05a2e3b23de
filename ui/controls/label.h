#pragma once

#include "ui/controls/control.h"

namespace SkinUI {

// Draws the control's text with alignment, padding, font and colour, plain,
// with inline markup, or with anti-aliased effects (glow, outline, shadow,
// gradient).
class CLabelUI : public CControlUI {
public:
    static const UINT kDefaultTextStyle = DT_VCENTER | DT_SINGLELINE;

    CLabelUI();
    ~CLabelUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;

    void SetTextStyle(UINT style);
    UINT GetTextStyle() const { return textStyle_; }
    void SetTextColor(DWORD color);
    DWORD GetTextColor() const { return textColor_; }
    void SetDisabledTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return disabledTextColor_; }
    void SetFont(int index);
    int GetFont() const { return font_; }
    void SetTextPadding(RECT padding);
    RECT GetTextPadding() const { return Scaled(textPadding_); }
    void SetShowHtml(bool show = true);
    bool IsShowHtml() const { return showHtml_; }
    void SetMultiLine(bool multiLine = true);
    bool IsMultiLine() const { return (textStyle_ & DT_SINGLELINE) == 0; }
    // Extent of the text laid out in the given width (at least the fixed
    // width), measured on the manager's paint device context.
    SIZE CalcTextRect(int width);

    void SetEnabledEffect(bool enabled);
    bool GetEnabledEffect() const { return effectsOn_; }
    void SetEnabledLuminous(bool enabled);
    void SetLuminousFuzzy(float fuzzy);
    void SetGradientAngle(int angle) { gradientAngle_ = angle; }
    void SetGradientLength(int length) { gradientLength_ = length; }
    void SetEnabledStroke(bool enabled) { stroke_ = enabled; }
    void SetEnabledShadow(bool enabled) { shadow_ = enabled; }
    void SetShadowOffset(int distance, int angle);
    void SetTextColor1(DWORD color) { textColor1_ = color; }
    void SetTextShadowColorA(DWORD color) { shadowColorA_ = color; }
    void SetTextShadowColorB(DWORD color) { shadowColorB_ = color; }
    void SetStrokeColor(DWORD color) { strokeColor_ = color; }

    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void ScaleChanged() override;
    void DoEvent(TUIEvent& event) override;
    void PaintText(HDC dc) override;

protected:
    DWORD ClassAccessibleRole() const override;
    // The colours that 0 leaves to the manager's defaults, filled in once.
    void ResolveTextColors();
    void DrawLabelText(HDC dc, RECT& rect, DWORD color, UINT style);

    DWORD textColor_ = 0;
    DWORD disabledTextColor_ = 0;
    int font_ = -1;
    UINT textStyle_ = kDefaultTextStyle;
    RECT textPadding_ = {0, 0, 0, 0};
    bool showHtml_ = false;

private:
    void SetHorizontalAlignWord(const wchar_t* value);
    void SetVerticalAlignWord(const wchar_t* value);
    int FontHeight() const;
    int LineWidth(HDC dc, int height);
    UINT MeasureStyle() const;
    void Measure(HDC dc, RECT& rect, UINT style);
    SIZE MeasureIn(HDC dc, int width);
    void PaintEffectText(HDC dc, const RECT& rect);

    bool needsEstimate_ = true;
    SIZE lastAvailable_ = {0, 0};
    SIZE estimated_ = {0, 0};
    float luminousFuzzy_ = 3.0f;
    int gradientLength_ = 0;
    int gradientAngle_ = 0;
    bool effectsOn_ = false;
    bool luminous_ = false;
    bool stroke_ = false;
    bool shadow_ = false;
    DWORD textColor1_ = static_cast<DWORD>(-1);
    DWORD shadowColorA_ = 0xFF000000;
    DWORD shadowColorB_ = static_cast<DWORD>(-1);
    DWORD strokeColor_ = 0;
    POINT shadowOffset_ = {0, 0};
};

} // namespace SkinUI
