#include "ui/controls/label.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/render_kit.h"
#include "ui/core/accessible_children.h"
#include "ui/core/attribute_table.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/ui_manager.h"

#include <oleacc.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace SkinUI {

namespace {

const UINT kHorizontalAlignBits = DT_CENTER | DT_RIGHT;
const UINT kVerticalAlignBits = DT_VCENTER | DT_BOTTOM;
const int kMeasureExtent = 9999;
// Extra height of a single-line estimate above the font's own.
const int kLineSlack = 8;

bool Contains(const wchar_t* value, const wchar_t* word)
{
    return wcsstr(value, word) != nullptr;
}

} // namespace

CLabelUI::CLabelUI() = default;

CLabelUI::~CLabelUI() = default;

const wchar_t* CLabelUI::GetClass() const
{
    return L"Label";
}

void* CLabelUI::GetInterface(const wchar_t* name)
{
    if (wcscmp(name, L"Label") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const wchar_t* text)
{
    const bool changed = text_ != (text ? text : L"");
    CControlUI::SetText(text);
    needsEstimate_ = true;
    // The status line is read out as it changes.
    if (changed)
        RaiseAccessibleEvent(EVENT_OBJECT_NAMECHANGE, this);
}

void CLabelUI::SetFixedWidth(int cx)
{
    CControlUI::SetFixedWidth(cx);
    needsEstimate_ = true;
}

void CLabelUI::SetFixedHeight(int cy)
{
    CControlUI::SetFixedHeight(cy);
    needsEstimate_ = true;
}

void CLabelUI::SetTextStyle(UINT style)
{
    textStyle_ = style;
    needsEstimate_ = true;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD color)
{
    textColor_ = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color)
{
    disabledTextColor_ = color;
    Invalidate();
}

void CLabelUI::SetFont(int index)
{
    font_ = index;
    needsEstimate_ = true;
    Invalidate();
}

void CLabelUI::ScaleChanged()
{
    CControlUI::ScaleChanged();
    needsEstimate_ = true;
}

void CLabelUI::SetTextPadding(RECT padding)
{
    textPadding_ = padding;
    needsEstimate_ = true;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool show)
{
    if (showHtml_ == show)
        return;
    showHtml_ = show;
    needsEstimate_ = true;
    Invalidate();
}

// Word break stays set when going back to a single line, as the style
// bits were before.
void CLabelUI::SetMultiLine(bool multiLine)
{
    if (multiLine) {
        textStyle_ &= ~DT_SINGLELINE;
        textStyle_ |= DT_WORDBREAK;
    } else {
        textStyle_ |= DT_SINGLELINE;
    }
    needsEstimate_ = true;
}

void CLabelUI::SetEnabledEffect(bool enabled)
{
    effectsOn_ = enabled;
    Invalidate();
}

void CLabelUI::SetEnabledLuminous(bool enabled)
{
    luminous_ = enabled;
    Invalidate();
}

void CLabelUI::SetLuminousFuzzy(float fuzzy)
{
    if (fuzzy < 0.0001f)
        return;
    luminousFuzzy_ = fuzzy;
}

void CLabelUI::SetShadowOffset(int distance, int angle)
{
    if (angle < -180 || angle > 180)
        return;
    const double radians = angle * 3.14159265358979323846 / 180.0;
    shadowOffset_.x = static_cast<LONG>(lround(distance * cos(radians)));
    shadowOffset_.y = static_cast<LONG>(lround(distance * sin(radians)));
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    static const TAttributeRow<CLabelUI> kAttributes[] = {
        // A word counts anywhere in the value; left wins over center and
        // center over right (top, vcenter, bottom likewise).
        {L"align", [](CLabelUI& l, const wchar_t* v) { l.SetHorizontalAlignWord(v); }},
        {L"valign", [](CLabelUI& l, const wchar_t* v) { l.SetVerticalAlignWord(v); }},
        {L"endellipsis",
            [](CLabelUI& l, const wchar_t* v) {
                if (ParseBoolValue(v))
                    l.textStyle_ |= DT_END_ELLIPSIS;
                else
                    l.textStyle_ &= ~DT_END_ELLIPSIS;
            }},
        {L"font", [](CLabelUI& l, const wchar_t* v) { l.SetFont(ParseIntValue(v)); }},
        {L"textcolor", [](CLabelUI& l, const wchar_t* v) { l.SetTextColor(ParseColorValue(v)); }},
        {L"disabledtextcolor", [](CLabelUI& l, const wchar_t* v) { l.SetDisabledTextColor(ParseColorValue(v)); }},
        {L"textpadding", [](CLabelUI& l, const wchar_t* v) { l.SetTextPadding(ParseRectValue(v)); }},
        {L"multiline", [](CLabelUI& l, const wchar_t* v) { l.SetMultiLine(ParseBoolValue(v)); }},
        {L"showhtml", [](CLabelUI& l, const wchar_t* v) { l.SetShowHtml(ParseBoolValue(v)); }},
        {L"enabledeffect", [](CLabelUI& l, const wchar_t* v) { l.SetEnabledEffect(ParseBoolValue(v)); }},
        {L"enabledluminous", [](CLabelUI& l, const wchar_t* v) { l.SetEnabledLuminous(ParseBoolValue(v)); }},
        {L"luminousfuzzy",
            [](CLabelUI& l, const wchar_t* v) { l.SetLuminousFuzzy(static_cast<float>(wcstod(v, nullptr))); }},
        {L"gradientangle", [](CLabelUI& l, const wchar_t* v) { l.SetGradientAngle(ParseIntValue(v)); }},
        {L"enabledstroke", [](CLabelUI& l, const wchar_t* v) { l.SetEnabledStroke(ParseBoolValue(v)); }},
        {L"enabledshadow", [](CLabelUI& l, const wchar_t* v) { l.SetEnabledShadow(ParseBoolValue(v)); }},
        {L"gradientlength", [](CLabelUI& l, const wchar_t* v) { l.SetGradientLength(ParseIntValue(v)); }},
        // "distance,angle", not a size.
        {L"shadowoffset",
            [](CLabelUI& l, const wchar_t* v) {
                SIZE offset = ParseSizeValue(v);
                l.SetShadowOffset(offset.cx, offset.cy);
            }},
        {L"textcolor1", [](CLabelUI& l, const wchar_t* v) { l.SetTextColor1(ParseColorValue(v)); }},
        {L"textshadowcolora", [](CLabelUI& l, const wchar_t* v) { l.SetTextShadowColorA(ParseColorValue(v)); }},
        {L"textshadowcolorb", [](CLabelUI& l, const wchar_t* v) { l.SetTextShadowColorB(ParseColorValue(v)); }},
        {L"strokecolor", [](CLabelUI& l, const wchar_t* v) { l.SetStrokeColor(ParseColorValue(v)); }},
    };
    if (!ApplyAttributeRow(kAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

void CLabelUI::SetHorizontalAlignWord(const wchar_t* value)
{
    if (Contains(value, L"left"))
        textStyle_ &= ~kHorizontalAlignBits;
    else if (Contains(value, L"center"))
        textStyle_ = (textStyle_ & ~kHorizontalAlignBits) | DT_CENTER;
    else if (Contains(value, L"right"))
        textStyle_ = (textStyle_ & ~kHorizontalAlignBits) | DT_RIGHT;
}

void CLabelUI::SetVerticalAlignWord(const wchar_t* value)
{
    if (Contains(value, L"top"))
        textStyle_ &= ~kVerticalAlignBits;
    else if (Contains(value, L"vcenter"))
        textStyle_ = (textStyle_ & ~kVerticalAlignBits) | DT_VCENTER;
    else if (Contains(value, L"bottom"))
        textStyle_ = (textStyle_ & ~kVerticalAlignBits) | DT_BOTTOM;
}

SIZE CLabelUI::EstimateSize(SIZE available)
{
    const SIZE fixed = {GetFixedWidth(), GetFixedHeight()};
    if (fixed.cx > 0 && fixed.cy > 0)
        return fixed;
    if (IsMultiLine() && (available.cx != lastAvailable_.cx || available.cy != lastAvailable_.cy))
        needsEstimate_ = true;
    if (!needsEstimate_)
        return estimated_;

    lastAvailable_ = available;
    estimated_ = fixed;
    const RECT textPadding = GetTextPadding();
    needsEstimate_ = false;
    HDC dc = manager_ ? manager_->GetPaintDC() : nullptr;
    if (!IsMultiLine()) {
        if (estimated_.cy == 0)
            estimated_.cy = textPadding.top + FontHeight() + textPadding.bottom + Scaled(kLineSlack);
        if (estimated_.cx == 0)
            estimated_.cx = textPadding.left + textPadding.right + LineWidth(dc, estimated_.cy);
        return estimated_;
    }
    if (estimated_.cx == 0)
        estimated_.cx = available.cx;
    RECT rect = {textPadding.left, 0, estimated_.cx - textPadding.right, kMeasureExtent};
    Measure(dc, rect, MeasureStyle());
    estimated_.cy = textPadding.top + textPadding.bottom + (rect.bottom - rect.top);
    return estimated_;
}

int CLabelUI::FontHeight() const
{
    if (!manager_)
        return 0;
    TFontRecord* font = manager_->FontRecordById(font_);
    if (!font)
        font = manager_->DefaultFontRecord();
    return font ? font->tm.tmHeight : 0;
}

// The label's style for measuring. Text engines differ in what a vertical
// alignment does to a measured rectangle (one answers the extent, another
// the extent centred in the rectangle), so it is left out: the height of
// the text is the same either way.
UINT CLabelUI::MeasureStyle() const
{
    return (textStyle_ & ~kVerticalAlignBits) | DT_CALCRECT;
}

// Measures (with DT_CALCRECT in style) into rect; nothing without a device
// context or text.
void CLabelUI::Measure(HDC dc, RECT& rect, UINT style)
{
    if (!dc || text_.IsEmpty()) {
        rect.right = rect.left;
        rect.bottom = rect.top;
        return;
    }
    DrawLabelText(dc, rect, textColor_, style);
}

// Plain text on one line is as wide as its extent in the label's font;
// asking for that directly skips the line breaking of the formatted
// drawing, which is most of the cost of laying out many labels.
int CLabelUI::LineWidth(HDC dc, int height)
{
    if (!dc || text_.IsEmpty())
        return 0;
    if (showHtml_) {
        RECT rect = {0, 0, kMeasureExtent, height};
        Measure(dc, rect, (textStyle_ & ~kHorizontalAlignBits) | DT_CALCRECT);
        return rect.right - rect.left;
    }
    CUIString text = CUIManager::ExpandLanguageTokens(text_);
    ScopedSelection font(dc, manager_->FontById(font_));
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text.GetData(), text.GetLength(), &extent);
    return extent.cx;
}

SIZE CLabelUI::CalcTextRect(int width)
{
    return MeasureIn(manager_ ? manager_->GetPaintDC() : nullptr, width);
}

SIZE CLabelUI::MeasureIn(HDC dc, int width)
{
    const int fixedWidth = GetFixedWidth();
    const RECT textPadding = GetTextPadding();
    int right = (fixedWidth > width ? fixedWidth : width) - textPadding.right;
    RECT rect = {textPadding.left, 0, right, kMeasureExtent};
    Measure(dc, rect, MeasureStyle());
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void CLabelUI::DrawLabelText(HDC dc, RECT& rect, DWORD color, UINT style)
{
    if (showHtml_) {
        int links = 0;
        CRenderKit::DrawHtmlText(dc, manager_, rect, text_, color, nullptr, nullptr, links, font_, style);
    } else {
        CRenderKit::DrawText(dc, manager_, rect, text_, color, font_, style);
    }
}

void CLabelUI::ResolveTextColors()
{
    if (!manager_)
        return;
    if (textColor_ == 0)
        textColor_ = manager_->GetDefaultFontColor();
    if (disabledTextColor_ == 0)
        disabledTextColor_ = manager_->GetDefaultDisabledColor();
}

// Every label's text is moved down by half its free height before drawing,
// whatever the vertical alignment; a vertically centred single line ends
// up a quarter of the free height below the centre.
void CLabelUI::PaintText(HDC hDC)
{
    ResolveTextColors();
    RECT rect = pos_;
    const RECT textPadding = GetTextPadding();
    rect.left += textPadding.left;
    rect.top += textPadding.top;
    rect.right -= textPadding.right;
    rect.bottom -= textPadding.bottom;
    SIZE measured = MeasureIn(hDC, rect.right - rect.left);
    int shift = ((rect.bottom - rect.top) - measured.cy) / 2;
    if (shift > 0)
        rect.top += shift;
    if (effectsOn_) {
        PaintEffectText(hDC, rect);
        return;
    }
    if (text_.IsEmpty())
        return;
    DrawLabelText(hDC, rect, IsEnabled() ? textColor_ : disabledTextColor_, textStyle_);
}

void CLabelUI::DoEvent(TUIEvent& event)
{
    if (event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS) {
        focused_ = event.Type == UIEVENT_SETFOCUS;
        return;
    }
    CControlUI::DoEvent(event);
}

DWORD CLabelUI::ClassAccessibleRole() const
{
    return GetText().IsEmpty() ? 0 : ROLE_SYSTEM_STATICTEXT;
}

} // namespace SkinUI
