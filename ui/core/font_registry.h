#pragma once

#include "ui/core/dpi_scale.h"
#include "ui/core/string_map.h"
#include "ui/core/ui_string.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

namespace SkinUI {

// A registered font, which owns its handle; the text metrics are filled on
// first use when the window had no device context at registration (tmHeight
// stays 0 until then).
struct TFontRecord {
    TFontRecord() = default;
    ~TFontRecord() { FontHandle owned(hFont); }
    TFontRecord(const TFontRecord&) = delete;
    TFontRecord& operator=(const TFontRecord&) = delete;
    TFontRecord& operator=(TFontRecord&& other) noexcept;

    HFONT hFont = nullptr;
    CUIString sFontName;
    int iSize = 0;
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    // The DPI the handle was made for; iSize stays in layout units.
    int iDpi = CDpiScale::kLayoutDpi;
    TEXTMETRICW tm = {};
};

// Makes the font a description asks for, on the system's GUI font, its
// size in layout units made at dpi; the metrics are left to be filled.
// False when GDI makes none.
bool MakeFontRecord(TFontRecord& record, const wchar_t* name, int size, bool bold, bool underline, bool italic,
    int dpi);
// The system's GUI font as it is, for the process-wide default; it comes at
// the session's DPI.
void MakeGuiFontRecord(TFontRecord& record);

// Fonts registered by id, and the default font.
class CFontRegistry {
public:
    CFontRegistry() = default;
    ~CFontRegistry();
    CFontRegistry(const CFontRegistry&) = delete;
    CFontRegistry& operator=(const CFontRegistry&) = delete;

    // Takes the record; the one it replaces under the id goes.
    void Set(int id, TFontRecord* record);
    TFontRecord* Find(int id) const;
    TFontRecord* FindByHandle(HFONT font) const;
    TFontRecord* FindMatching(const wchar_t* name, int size, bool bold, bool underline, bool italic) const;
    // The registered fonts go; the default font stays.
    void RemoveAll();

    TFontRecord& Default() { return default_; }
    const TFontRecord& Default() const { return default_; }

private:
    CUIStringMapOf<TFontRecord> fonts_;
    TFontRecord default_;
};

} // namespace SkinUI
