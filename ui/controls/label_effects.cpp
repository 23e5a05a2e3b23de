#include "ui/controls/label.h"

#include "ui/controls/render_kit.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/ui_manager.h"

#include <gdiplus.h>

#include <memory>

namespace SkinUI {

namespace {

using namespace Gdiplus;

const DWORD kUnsetColor = static_cast<DWORD>(-1);

StringAlignment HorizontalAlignment(UINT style)
{
    if (style & DT_CENTER)
        return StringAlignmentCenter;
    if (style & DT_RIGHT)
        return StringAlignmentFar;
    return StringAlignmentNear;
}

StringAlignment VerticalAlignment(UINT style)
{
    if (style & DT_VCENTER)
        return StringAlignmentCenter;
    if (style & DT_BOTTOM)
        return StringAlignmentFar;
    return StringAlignmentNear;
}

// GDI+ takes only TrueType fonts; a raster face (the default dialog font
// can be one) becomes the generic sans serif at the same pixel height and
// style.
std::unique_ptr<Font> MakeFont(HDC hDC, HFONT handle)
{
    auto font = [&] {
        ScopedSelection selected(hDC, handle);
        return std::make_unique<Font>(hDC);
    }();
    if (font->GetLastStatus() == Ok)
        return font;
    LOGFONTW logFont = {};
    GetObjectW(handle, sizeof(logFont), &logFont);
    INT style = FontStyleRegular;
    if (logFont.lfWeight >= FW_BOLD)
        style |= FontStyleBold;
    if (logFont.lfItalic)
        style |= FontStyleItalic;
    if (logFont.lfUnderline)
        style |= FontStyleUnderline;
    REAL height = static_cast<REAL>(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight);
    font = std::make_unique<Font>(FontFamily::GenericSansSerif(), height > 0 ? height : 12.0f, style, UnitPixel);
    if (font->GetLastStatus() != Ok)
        return nullptr;
    return font;
}

RectF Shifted(const RectF& box, REAL dx, REAL dy)
{
    return RectF(box.X + dx, box.Y + dy, box.Width, box.Height);
}

} // namespace

// Glow, outline and shadow first, then the text with its gradient brush.
// The glow is the text drawn small and stretched back, which blurs it.
void CLabelUI::PaintEffectText(HDC hDC, const RECT& rect)
{
    if (text_.IsEmpty() || !manager_ || !CRenderKit::StartGraphics())
        return;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;

    std::unique_ptr<Font> made = MakeFont(hDC, manager_->FontById(font_));
    if (!made)
        return;
    const Font& font = *made;
    StringFormat format;
    format.SetAlignment(HorizontalAlignment(textStyle_));
    format.SetLineAlignment(VerticalAlignment(textStyle_));
    if (textStyle_ & DT_SINGLELINE)
        format.SetFormatFlags(StringFormatFlagsNoWrap);

    Graphics graphics(hDC);
    graphics.SetTextRenderingHint(TextRenderingHintAntiAlias);
    const RectF box(static_cast<REAL>(rect.left), static_cast<REAL>(rect.top), static_cast<REAL>(width),
        static_cast<REAL>(height));
    const Rect gradientBox(rect.left, rect.top, width, gradientLength_ > 0 ? gradientLength_ : height);
    DWORD second = textColor1_ == kUnsetColor ? textColor_ : textColor1_;
    LinearGradientBrush brush(gradientBox, Color(textColor_), Color(second), static_cast<REAL>(gradientAngle_));
    const REAL dx = static_cast<REAL>(shadowOffset_.x);
    const REAL dy = static_cast<REAL>(shadowOffset_.y);

    if (luminous_) {
        int smallWidth = static_cast<int>(width / luminousFuzzy_) + 1;
        int smallHeight = static_cast<int>(height / luminousFuzzy_) + 1;
        Bitmap glow(smallWidth, smallHeight, PixelFormat32bppARGB);
        Graphics small(&glow);
        small.SetTextRenderingHint(TextRenderingHintAntiAlias);
        small.ScaleTransform(1.0f / luminousFuzzy_, 1.0f / luminousFuzzy_);
        small.DrawString(text_, text_.GetLength(), &font, RectF(0, 0, box.Width, box.Height), &format, &brush);
        graphics.SetInterpolationMode(InterpolationModeHighQualityBicubic);
        graphics.DrawImage(&glow, box.X + dx, box.Y + dy, box.Width, box.Height);
    }
    if (stroke_ && strokeColor_ != 0) {
        SolidBrush outline{Color(strokeColor_)};
        const REAL offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& offset : offsets)
            graphics.DrawString(text_, text_.GetLength(), &font, Shifted(box, offset[0], offset[1]), &format,
                &outline);
    }
    if (shadow_ && (shadowColorA_ != 0 || shadowColorB_ != kUnsetColor)) {
        DWORD shadowEnd = shadowColorB_ == kUnsetColor ? shadowColorA_ : shadowColorB_;
        LinearGradientBrush shadow(
            gradientBox, Color(shadowColorA_), Color(shadowEnd), static_cast<REAL>(gradientAngle_));
        graphics.DrawString(text_, text_.GetLength(), &font, Shifted(box, dx, dy), &format, &shadow);
    }
    graphics.DrawString(text_, text_.GetLength(), &font, box, &format, &brush);
}

} // namespace SkinUI
