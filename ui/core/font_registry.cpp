#include "ui/core/font_registry.h"

#include "ui/core/scoped_gdi.h"

#include <wchar.h>

#include <algorithm>

namespace SkinUI {

namespace {

// The face name field holds 32 characters including the terminator.
const int kMaxFaceName = LF_FACESIZE - 1;
const BYTE kFontCharset = DEFAULT_CHARSET;

CUIString IdKey(int id)
{
    CUIString key;
    key.Format(L"%d", id);
    return key;
}

LOGFONTW DefaultGuiFont()
{
    LOGFONTW font = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

} // namespace

TFontRecord& TFontRecord::operator=(TFontRecord&& other) noexcept
{
    if (this == &other)
        return *this;
    FontHandle replaced(std::exchange(hFont, std::exchange(other.hFont, nullptr)));
    sFontName = other.sFontName;
    iSize = other.iSize;
    bBold = other.bBold;
    bUnderline = other.bUnderline;
    bItalic = other.bItalic;
    iDpi = other.iDpi;
    tm = other.tm;
    return *this;
}

bool MakeFontRecord(TFontRecord& record, const wchar_t* name, int size, bool bold, bool underline, bool italic,
    int dpi)
{
    CDpiScale scale;
    scale.SetDpi(dpi);
    LOGFONTW font = DefaultGuiFont();
    const wchar_t* face = name ? name : L"";
    size_t length = wcsnlen(face, kMaxFaceName);
    wmemcpy(font.lfFaceName, face, length);
    font.lfFaceName[length] = L'\0';
    font.lfCharSet = kFontCharset;
    font.lfHeight = -scale.Pixels(size);
    // Bold adds to the base weight, kept inside the range GDI documents.
    if (bold)
        font.lfWeight = std::min(font.lfWeight + FW_BOLD, 1000L);
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfItalic = italic ? TRUE : FALSE;
    HFONT handle = ::CreateFontIndirectW(&font);
    if (!handle)
        return false;
    record.hFont = handle;
    record.sFontName.Assign(face, static_cast<int>(length));
    record.iSize = size;
    record.iDpi = scale.Dpi();
    record.bBold = bold;
    record.bUnderline = underline;
    record.bItalic = italic;
    record.tm = {};
    return true;
}

void MakeGuiFontRecord(TFontRecord& record)
{
    LOGFONTW font = DefaultGuiFont();
    font.lfCharSet = kFontCharset;
    record.hFont = ::CreateFontIndirectW(&font);
    record.sFontName = font.lfFaceName;
    CDpiScale session;
    session.SetDpi(::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY));
    record.iSize = session.Layout(-font.lfHeight);
    record.iDpi = session.Dpi();
    record.bBold = font.lfWeight >= FW_BOLD;
    record.bUnderline = font.lfUnderline != 0;
    record.bItalic = font.lfItalic != 0;
}

CFontRegistry::~CFontRegistry()
{
    RemoveAll();
}

void CFontRegistry::Set(int id, TFontRecord* record)
{
    delete fonts_.Set(IdKey(id), record);
}

TFontRecord* CFontRegistry::Find(int id) const
{
    return fonts_.Find(IdKey(id));
}

TFontRecord* CFontRegistry::FindByHandle(HFONT font) const
{
    return fonts_.FindFirst([font](const wchar_t*, const TFontRecord* record) { return record->hFont == font; });
}

TFontRecord* CFontRegistry::FindMatching(const wchar_t* name, int size, bool bold, bool underline, bool italic) const
{
    return fonts_.FindFirst([=](const wchar_t*, const TFontRecord* record) {
        return record->sFontName == (name ? name : L"") && record->iSize == size && record->bBold == bold &&
               record->bUnderline == underline && record->bItalic == italic;
    });
}

void CFontRegistry::RemoveAll()
{
    fonts_.DeleteAll();
}

} // namespace SkinUI
