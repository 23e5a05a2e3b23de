#include "ui/controls/render_kit_html.h"

#include "ui/controls/attribute_value.h"
#include "ui/core/scoped_gdi.h"
#include "ui/core/ui_manager.h"

#include <wchar.h>

namespace SkinUI {

namespace {

// Fonts that markup tags make on the fly get ids from here up, each one
// not yet registered, so no registered font that a control uses is replaced.
const int kFirstMarkupFontId = 0x4000;
const int kMarkupFontIdSpan = 4096;

} // namespace

THtmlFont CHtmlReader::DescOf(const TFontRecord& record)
{
    THtmlFont desc;
    desc.face = record.sFontName;
    desc.size = record.iSize;
    desc.bold = record.bBold;
    desc.underline = record.bUnderline;
    desc.italic = record.bItalic;
    return desc;
}

CHtmlReader::CHtmlReader(HDC hDC, CUIManager* manager, DWORD color, int font) : hDC_(hDC), manager_(manager)
{
    TFontRecord* record = manager->FontRecordById(font);
    baseFont_ = record->hFont;
    fonts_.push_back(DescOf(*record));
    colors_.push_back(color);
    paragraphs_.push_back(0);
    aligns_.push_back(EHtmlAlign::Bottom);
    selected_.push_back(false);
    links_.push_back(-1);
}

std::vector<THtmlPiece> CHtmlReader::Read(const wchar_t* text, std::vector<CUIString>& linkNames)
{
    const wchar_t* at = text;
    const wchar_t* runStart = at;
    while (*at) {
        if (*at == L'<' || *at == L'{')
            ReadTag(at, runStart, linkNames);
        else
            ++at;
    }
    AddText(runStart, static_cast<int>(at - runStart));
    return pieces_;
}

static bool IsTagLetter(wchar_t ch)
{
    return ch != 0 && wcschr(L"abcfinprsuvxy", ch) != nullptr;
}

// On a tag, ends the text run before it, applies it and moves past it;
// anything else moves one character on.
void CHtmlReader::ReadTag(const wchar_t*& at, const wchar_t*& runStart, std::vector<CUIString>& linkNames)
{
    const int kind = *at == L'<' ? 0 : 1;
    const wchar_t closer = kind == 0 ? L'>' : L'}';
    const wchar_t* p = at + 1;
    const bool closing = *p == L'/';
    if (closing)
        ++p;
    const wchar_t tag = *p;
    const bool candidate = IsTagLetter(tag) && (p[1] == closer || p[1] == L' ') && (!raw_ || (closing && tag == L'r'));
    // Once a closer is missing from some point on, it is missing from every
    // later point too: texts full of openers are scanned once, not once per opener.
    const wchar_t* end = candidate && !closerMissing_[kind] ? wcschr(p, closer) : nullptr;
    if (!end) {
        closerMissing_[kind] = closerMissing_[kind] || candidate;
        ++at;
        return;
    }
    AddText(runStart, static_cast<int>(at - runStart));
    const wchar_t* first = p + 1;
    while (first < end && (*first == L' ' || *first == L'\t'))
        ++first;
    CUIString argument(first, static_cast<int>(end - first));
    argument.Replace(L"\t", L" ");
    if (closing)
        CloseTag(tag);
    else
        OpenTag(tag, argument, linkNames);
    at = end + 1;
    runStart = at;
}

void CHtmlReader::OpenTag(wchar_t tag, const CUIString& argument, std::vector<CUIString>& linkNames)
{
    THtmlFont font = fonts_.back();
    switch (tag) {
    case L'a':
        links_.push_back(static_cast<int>(linkNames.size()));
        linkNames.push_back(argument);
        colors_.push_back(manager_->GetDefaultLinkFontColor());
        font.underline = true;
        fonts_.push_back(font);
        break;
    case L'b':
        font.bold = true;
        fonts_.push_back(font);
        break;
    case L'c':
        colors_.push_back(ParseColorValue(argument, true));
        break;
    case L'f':
        if (argument[0] >= L'0' && argument[0] <= L'9')
            fonts_.push_back(DescOf(*manager_->FontRecordById(ParseIntValue(argument))));
        else
            fonts_.push_back(NamedFont(argument));
        break;
    case L'i':
        if (argument.IsEmpty()) {
            font.italic = true;
            fonts_.push_back(font);
        } else {
            AddImage(argument);
        }
        break;
    case L'n':
        AddKind(THtmlPiece::Break);
        break;
    case L'p':
        AddKind(THtmlPiece::SoftBreak);
        paragraphs_.push_back(ClampCoordinate(ParseIntValue(argument)));
        break;
    case L'r':
        raw_ = true;
        break;
    case L's':
        selected_.push_back(!selected_.back());
        break;
    case L'u':
        font.underline = true;
        fonts_.push_back(font);
        break;
    case L'v':
        aligns_.push_back(argument == L"center" ? EHtmlAlign::Center : argument == L"top" ? EHtmlAlign::Top : EHtmlAlign::Bottom);
        break;
    case L'x':
        AddKind(THtmlPiece::Advance, ClampCoordinate(ParseIntValue(argument)));
        break;
    case L'y':
        AddKind(THtmlPiece::LineHeight, ClampCoordinate(ParseIntValue(argument)));
        break;
    default:
        break;
    }
}

void CHtmlReader::CloseTag(wchar_t tag)
{
    switch (tag) {
    case L'a':
        Pop(links_);
        Pop(colors_);
        Pop(fonts_);
        break;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        Pop(fonts_);
        break;
    case L'c':
        Pop(colors_);
        break;
    case L'p':
        Pop(paragraphs_);
        AddKind(THtmlPiece::SoftBreak);
        break;
    case L'r':
        raw_ = false;
        break;
    case L's':
        Pop(selected_);
        break;
    case L'v':
        Pop(aligns_);
        break;
    default:
        break;
    }
}

// "name [size] [bold] [underline] [italic]": the face is every word before
// the first number or style word, so faces may contain blanks.
THtmlFont CHtmlReader::NamedFont(const CUIString& argument) const
{
    THtmlFont desc;
    desc.face.Empty();
    bool inFace = true;
    int at = 0;
    while (at < argument.GetLength()) {
        int end = argument.Find(L' ', at);
        if (end < 0)
            end = argument.GetLength();
        CUIString part = argument.Mid(at, end - at);
        at = end + 1;
        if (part.IsEmpty())
            continue;
        const bool number = part[0] >= L'0' && part[0] <= L'9';
        const bool style = part == L"bold" || part == L"underline" || part == L"italic";
        if (inFace && !number && !style) {
            if (!desc.face.IsEmpty())
                desc.face += L' ';
            desc.face += part;
            continue;
        }
        inFace = false;
        if (number) {
            int size = ParseIntValue(part);
            desc.size = size < 1 ? desc.size : size > 1000 ? 1000 : size;
        }
        desc.bold = desc.bold || part == L"bold";
        desc.underline = desc.underline || part == L"underline";
        desc.italic = desc.italic || part == L"italic";
    }
    return desc;
}

HFONT CHtmlReader::FontFor(const THtmlFont& desc)
{
    const THtmlFont& base = fonts_.front();
    if (desc.face == base.face && desc.size == base.size && desc.bold == base.bold
        && desc.underline == base.underline && desc.italic == base.italic)
        return baseFont_;
    HFONT found = manager_->LookupFont(desc.face, desc.size, desc.bold, desc.underline, desc.italic);
    if (found)
        return found;
    TFontRecord* fallback = manager_->DefaultFontRecord();
    for (int id = kFirstMarkupFontId; id < kFirstMarkupFontId + kMarkupFontIdSpan; ++id) {
        if (manager_->FontRecordById(id) != fallback)
            continue;
        HFONT made = manager_->RegisterFont(id, desc.face, desc.size, desc.bold, desc.underline, desc.italic);
        return made ? made : baseFont_;
    }
    return baseFont_;
}

void CHtmlReader::AddText(const wchar_t* text, int length)
{
    if (length <= 0)
        return;
    THtmlPiece piece;
    piece.kind = THtmlPiece::Text;
    piece.text.Assign(text, length);
    piece.font = FontFor(fonts_.back());
    piece.color = colors_.back();
    piece.selected = selected_.back();
    piece.link = links_.back();
    piece.paragraph = paragraphs_.back();
    piece.align = aligns_.back();
    TEXTMETRICW metrics = {};
    {
        ScopedSelection font(hDC_, piece.font);
        GetTextMetricsW(hDC_, &metrics);
    }
    piece.height = metrics.tmHeight;
    piece.ascent = metrics.tmAscent;
    pieces_.push_back(piece);
}

void CHtmlReader::AddKind(THtmlPiece::Kind kind, int value)
{
    THtmlPiece piece;
    piece.kind = kind;
    piece.width = value;
    piece.height = value;
    piece.paragraph = paragraphs_.back();
    pieces_.push_back(piece);
}

// "<i name [frames [frame]]>" or "<i file='...' [res=...] [restype='...'] [frames [frame]]>".
void CHtmlReader::AddImage(const CUIString& argument)
{
    TImageSpec spec;
    CUIString rest;
    int numbersAt = 0;
    if (argument.Find(L"='") >= 0) {
        numbersAt = argument.ReverseFind(L'\'') + 1;
        spec.sText = argument.Left(numbersAt);
    } else {
        numbersAt = argument.Find(L' ');
        numbersAt = numbersAt < 0 ? argument.GetLength() : numbersAt;
        spec.sText = argument.Left(numbersAt);
    }
    rest = argument.Mid(numbersAt);
    TImageRequest request;
    spec.Parse(request);
    const wchar_t* type = request.bFromResource && !request.sResType.IsEmpty() ? request.sResType.GetData() : nullptr;
    const TLoadedImage* image = manager_->ImageByNameOrLoad(request.sName, type, request.dwMask, false);
    if (!image)
        return;
    long numbers[2];
    while (rest.GetLength() > 0 && rest[0] == L' ')
        rest = rest.Mid(1);
    int count = ParseIntList(rest, numbers, 2);
    int frames = count >= 1 && numbers[0] >= 1 ? numbers[0] : 1;
    frames = frames > image->nX ? image->nX : frames;
    int frame = count >= 2 && numbers[1] >= 0 && numbers[1] < frames ? numbers[1] : 0;
    const int frameWidth = image->nX / frames;
    THtmlPiece piece;
    piece.kind = THtmlPiece::Image;
    piece.image = image;
    piece.source = RECT{frame * frameWidth, 0, (frame + 1) * frameWidth, image->nY};
    piece.width = frameWidth;
    piece.height = image->nY;
    piece.ascent = image->nY;
    piece.paragraph = paragraphs_.back();
    piece.align = aligns_.back();
    piece.link = links_.back();
    pieces_.push_back(piece);
}

} // namespace SkinUI
