#include "ui/controls/render_kit_html.h"

#include "ui/controls/attribute_value.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/ui_manager.h"

#include <wchar.h>

#include <vector>

namespace SkinUI {

namespace {

// One placed piece of a line: the piece, the part of its text, and where.
struct TPlaced {
    const THtmlPiece* piece;
    CUIString text;
    int x;
    int width;
};

struct TLine {
    std::vector<TPlaced> placed;
    int width = 0;
    int height = 0;
    int fixedHeight = 0;
    int paragraph = 0;
};

class CHtmlLayout {
public:
    CHtmlLayout(HDC hDC, int width, UINT style) : hDC_(hDC), width_(width < 1 ? 1 : width), style_(style)
    {
        lines_.emplace_back();
    }

    std::vector<TLine> Lay(const std::vector<THtmlPiece>& pieces);

private:
    void Place(const THtmlPiece& piece, const CUIString& text, int width, int height);
    void NewLine();
    void LayText(const THtmlPiece& piece);
    int Measure(const THtmlPiece& piece, const wchar_t* text, int length) const;
    int FitCount(const THtmlPiece& piece, const wchar_t* text, int length, int room) const;

    HDC hDC_;
    int width_;
    UINT style_;
    std::vector<TLine> lines_;
    bool ended_ = false;
};

std::vector<TLine> CHtmlLayout::Lay(const std::vector<THtmlPiece>& pieces)
{
    const bool single = (style_ & DT_SINGLELINE) != 0;
    for (const THtmlPiece& piece : pieces) {
        TLine& line = lines_.back();
        switch (piece.kind) {
        case THtmlPiece::Text:
            LayText(piece);
            break;
        case THtmlPiece::Image:
            if (!single && (style_ & DT_WORDBREAK) && !line.placed.empty() && line.width + piece.width > width_)
                NewLine();
            Place(piece, CUIString(), piece.width, piece.height);
            break;
        case THtmlPiece::Break:
        case THtmlPiece::SoftBreak:
            if (!single && (piece.kind == THtmlPiece::Break || !line.placed.empty() || line.width > 0))
                NewLine();
            lines_.back().paragraph = piece.paragraph;
            break;
        case THtmlPiece::Advance:
            line.width += piece.width;
            break;
        case THtmlPiece::LineHeight:
            line.fixedHeight = piece.height < 0 ? 0 : piece.height;
            break;
        }
    }
    return lines_;
}

void CHtmlLayout::Place(const THtmlPiece& piece, const CUIString& text, int width, int height)
{
    TLine& line = lines_.back();
    if (ended_)
        return;
    line.placed.push_back(TPlaced{&piece, text, line.width, width});
    line.width = ClampCoordinate(static_cast<long long>(line.width) + width);
    line.height = height > line.height ? height : line.height;
    line.paragraph = piece.paragraph;
}

void CHtmlLayout::NewLine()
{
    ended_ = false;
    lines_.emplace_back();
}

int CHtmlLayout::Measure(const THtmlPiece& piece, const wchar_t* text, int length) const
{
    ScopedSelection font(hDC_, piece.font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(hDC_, text, length, &size);
    return size.cx;
}

int CHtmlLayout::FitCount(const THtmlPiece& piece, const wchar_t* text, int length, int room) const
{
    ScopedSelection font(hDC_, piece.font);
    int fit = 0;
    SIZE size = {0, 0};
    if (!GetTextExtentExPointW(hDC_, text, length, room < 0 ? 0 : room, &fit, nullptr, &size))
        fit = 0;
    return fit;
}

void CHtmlLayout::LayText(const THtmlPiece& piece)
{
    const bool wrap = (style_ & DT_WORDBREAK) && !(style_ & DT_SINGLELINE);
    const wchar_t* text = piece.text.GetData();
    int left = piece.text.GetLength();
    while (left > 0) {
        TLine& line = lines_.back();
        int room = width_ - line.width;
        // No line holds many more characters than pixels: measuring only a
        // bounded prefix keeps long texts in narrow rectangles linear.
        const int bound = (room > 0 ? room : 0) + 64;
        const int span = left < bound ? left : bound;
        int fit = FitCount(piece, text, span, room);
        if (fit >= left) {
            Place(piece, CUIString(text, left), Measure(piece, text, left), piece.height);
            return;
        }
        if (!wrap) {
            if (style_ & DT_END_ELLIPSIS) {
                int dots = Measure(piece, L"...", 3);
                int keep = FitCount(piece, text, span, room - dots);
                CUIString cut(text, keep);
                cut += L"...";
                Place(piece, cut, Measure(piece, cut, cut.GetLength()), piece.height);
                ended_ = true;
                return;
            }
            Place(piece, CUIString(text, left), Measure(piece, text, left), piece.height);
            return;
        }
        int take = fit;
        while (take > 0 && text[take] != L' ' && text[take - 1] != L' ')
            --take;
        if (take == 0 && !line.placed.empty()) {
            NewLine();
            continue;
        }
        // A line narrower than one glyph still takes one, or nothing would end.
        take = take > 0 ? take : (fit > 0 ? fit : 1);
        Place(piece, CUIString(text, take), Measure(piece, text, take), piece.height);
        text += take;
        left -= take;
        while (left > 0 && *text == L' ') {
            ++text;
            --left;
        }
        if (left > 0)
            NewLine();
    }
}

int LineHeight(const TLine& line)
{
    int height = line.fixedHeight > 0 ? line.fixedHeight : line.height;
    return ClampCoordinate(static_cast<long long>(height) + line.paragraph);
}

// The link under the mouse from the last drawing, so links of that name
// take the hover colour.
CUIString HoverLink(CUIManager* manager, const RECT* links, const CUIString* names, int count)
{
    if (!links || !names)
        return CUIString();
    POINT mouse = manager->GetMousePos();
    for (int i = 0; i < count; ++i) {
        if (PtInRect(&links[i], mouse))
            return names[i];
    }
    return CUIString();
}

} // namespace

void CRenderKit::DrawHtmlText(HDC hDC, CUIManager* manager, RECT& rc, const wchar_t* text, DWORD color, RECT* links,
    CUIString* linkNames, int& linkCount, int font, UINT style)
{
    const int capacity = linkCount > 0 && links && linkNames ? linkCount : 0;
    const CUIString hover = HoverLink(manager && hDC ? manager : nullptr, links, linkNames, capacity);
    linkCount = 0;
    if (!hDC || !manager || !text || !*text)
        return;
    std::vector<CUIString> names;
    CHtmlReader reader(hDC, manager, color, font);
    const std::vector<THtmlPiece> pieces = reader.Read(text, names);
    CHtmlLayout layout(hDC, rc.right - rc.left, style);
    const std::vector<TLine> lines = layout.Lay(pieces);

    long long total = 0;
    int widest = 0;
    for (const TLine& line : lines) {
        total += LineHeight(line);
        widest = line.width > widest ? line.width : widest;
    }
    if (style & DT_CALCRECT) {
        rc.right = ClampCoordinate(static_cast<long long>(rc.left) + widest);
        rc.bottom = ClampCoordinate(rc.top + total);
        return;
    }
    long long y = rc.top;
    const long long room = static_cast<long long>(rc.bottom) - rc.top;
    if ((style & DT_SINGLELINE) && (style & DT_VCENTER) && total < room)
        y += (room - total) / 2;
    else if ((style & DT_SINGLELINE) && (style & DT_BOTTOM) && total < room)
        y += room - total;

    CRenderClip clip;
    GenerateClip(hDC, rc, clip);
    const int oldMode = SetBkMode(hDC, TRANSPARENT);
    for (const TLine& line : lines) {
        const int height = LineHeight(line);
        long long x = rc.left;
        if (style & DT_CENTER)
            x += (static_cast<long long>(rc.right) - rc.left - line.width) / 2;
        else if (style & DT_RIGHT)
            x += static_cast<long long>(rc.right) - rc.left - line.width;
        for (const TPlaced& placed : line.placed) {
            const THtmlPiece& piece = *placed.piece;
            int offset = height - line.paragraph - piece.height;
            offset = piece.align == EHtmlAlign::Top ? 0 : piece.align == EHtmlAlign::Center ? offset / 2 : offset;
            RECT cell = {ClampCoordinate(x + placed.x), ClampCoordinate(y + offset),
                ClampCoordinate(x + placed.x + placed.width), ClampCoordinate(y + offset + piece.height)};
            if (piece.link >= 0 && linkCount < capacity) {
                links[linkCount] = cell;
                linkNames[linkCount] = names[piece.link];
                ++linkCount;
            }
            if (cell.top >= rc.bottom)
                continue;
            if (piece.kind == THtmlPiece::Image) {
                DrawImageRaw(hDC, piece.image->hBitmap.get(), cell, rc, piece.source, RECT{0, 0, 0, 0}, piece.image->bAlpha);
                continue;
            }
            DWORD textColor = piece.color;
            if (piece.link >= 0 && !hover.IsEmpty() && names[piece.link] == hover)
                textColor = manager->GetDefaultLinkHoverFontColor();
            ScopedSelection font(hDC, piece.font);
            SetTextColor(hDC, ToColorRef(textColor));
            if (piece.selected) {
                SetBkMode(hDC, OPAQUE);
                SetBkColor(hDC, ToColorRef(manager->GetDefaultSelectedBkColor()));
            }
            TextOutW(hDC, cell.left, cell.top, placed.text.GetData(), placed.text.GetLength());
            SetBkMode(hDC, TRANSPARENT);
        }
        y += height;
    }
    SetBkMode(hDC, oldMode);
}

} // namespace SkinUI
