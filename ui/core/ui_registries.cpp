#include "ui/core/ui_manager.h"

#include "ui/controls/image_spec.h"
#include "ui/controls/render_kit.h"

#include <wchar.h>
#include <wctype.h>

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

struct THslState {
    bool use = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
};

THslState& Hsl()
{
    static THslState state;
    return state;
}

CUIStringMap& LanguageStrings()
{
    static CUIStringMap strings(83);
    return strings;
}

void AdjustRegistryImages(TUIRegistry& registry, const THslState& hsl)
{
    for (int i = 0; i < registry.images.GetSize(); ++i) {
        TImageRecord* record = static_cast<TImageRecord*>(registry.images.Find(registry.images.GetAt(i)));
        if (record && record->pImage)
            CRenderKit::AdjustImage(hsl.use, record->pImage, hsl.hue, hsl.saturation, hsl.lightness);
    }
}

void DeleteImageRecord(TImageRecord* record)
{
    if (!record)
        return;
    delete record->pImage;
    delete record;
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

TUIRegistry::TUIRegistry() = default;

TUIRegistry::~TUIRegistry()
{
    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllClassDefaults();
}

void TUIRegistry::RemoveAllFonts()
{
    for (int i = 0; i < fonts.GetSize(); ++i) {
        delete static_cast<TFontRecord*>(fonts.Find(fonts.GetAt(i)));
    }
    fonts.RemoveAll();
}

void TUIRegistry::RemoveAllImages()
{
    for (int i = 0; i < images.GetSize(); ++i)
        DeleteImageRecord(static_cast<TImageRecord*>(images.Find(images.GetAt(i))));
    images.RemoveAll();
    for (int i = 0; i < retiredImages.GetSize(); ++i)
        DeleteImageRecord(static_cast<TImageRecord*>(retiredImages[i]));
    retiredImages.Empty();
}

void TUIRegistry::RemoveAllClassDefaults()
{
    for (int i = 0; i < classDefaults.GetSize(); ++i)
        delete static_cast<CUIString*>(classDefaults.Find(classDefaults.GetAt(i)));
    classDefaults.RemoveAll();
}

TUIRegistry& CUIManager::Shared()
{
    static TUIRegistry* shared = [] {
        TUIRegistry* registry = new TUIRegistry;
        LOGFONTW font = DefaultGuiFont();
        font.lfCharSet = kFontCharset;
        registry->defaultFont.hFont = ::CreateFontIndirectW(&font);
        registry->defaultFont.sFontName = font.lfFaceName;
        // The system font comes at the session's DPI; its size is kept in
        // layout units like every other.
        CDpiScale session;
        session.SetDpi(::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY));
        registry->defaultFont.iSize = session.Layout(-font.lfHeight);
        registry->defaultFont.iDpi = session.Dpi();
        registry->defaultFont.bBold = font.lfWeight >= FW_BOLD;
        registry->defaultFont.bUnderline = font.lfUnderline != 0;
        registry->defaultFont.bItalic = font.lfItalic != 0;
        registry->dwDisabledColor = 0xFFA7A6AA;
        registry->dwTextColor = 0xFF000000;
        registry->dwLinkColor = 0xFF0000FF;
        registry->dwLinkHoverColor = 0xFFD3215F;
        registry->dwSelectedBkColor = 0xFFBAE4FF;
        return registry;
    }();
    return *shared;
}

TUIRegistry& CUIManager::RegistryFor(bool shared)
{
    return shared || forceSharedRes_ ? Shared() : own_;
}

bool CUIManager::MakeFont(TFontRecord& record, const wchar_t* name, int size, bool bold, bool underline,
    bool italic)
{
    LOGFONTW font = DefaultGuiFont();
    const wchar_t* face = name ? name : L"";
    size_t length = wcsnlen(face, kMaxFaceName);
    wmemcpy(font.lfFaceName, face, length);
    font.lfFaceName[length] = L'\0';
    font.lfCharSet = kFontCharset;
    font.lfHeight = -scale_.Pixels(size);
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
    record.iDpi = scale_.Dpi();
    record.bBold = bold;
    record.bUnderline = underline;
    record.bItalic = italic;
    record.tm = {};
    FillMetrics(record);
    return true;
}

void CUIManager::FillMetrics(TFontRecord& record)
{
    if (!record.hFont || record.tm.tmHeight != 0)
        return;
    // Without a window of its own the screen's DC measures as well.
    WindowDc screen;
    if (!paintDc_)
        screen = WindowDc(nullptr);
    HDC dc = paintDc_ ? paintDc_.get() : screen.get();
    ScopedSelection font(dc, record.hFont);
    ::GetTextMetricsW(dc, &record.tm);
}

HFONT CUIManager::RegisterFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
    bool shared)
{
    TFontRecord* record = new TFontRecord;
    if (!MakeFont(*record, name, size, bold, underline, italic)) {
        delete record;
        return nullptr;
    }
    CUIString key = IdKey(id);
    CUIStringMap& fonts = RegistryFor(shared).fonts;
    delete static_cast<TFontRecord*>(fonts.Set(key, record));
    return record->hFont;
}

void CUIManager::ReplaceDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
    bool shared)
{
    TFontRecord record;
    if (!MakeFont(record, name, size, bold, underline, italic))
        return;
    TFontRecord& target = RegistryFor(shared).defaultFont;
    target = std::move(record);
}

TFontRecord* CUIManager::FindFontRecord(int id) const
{
    if (id < 0)
        return nullptr;
    CUIString key = IdKey(id);
    void* record = own_.fonts.Find(key);
    return static_cast<TFontRecord*>(record ? record : Shared().fonts.Find(key));
}

HFONT CUIManager::FontById(int id)
{
    TFontRecord* record = FindFontRecord(id);
    if (!record)
        return DefaultFontRecord()->hFont;
    FitFontToScale(*record);
    return record->hFont;
}

TFontRecord* CUIManager::FontRecordById(int id)
{
    TFontRecord* record = FindFontRecord(id);
    if (!record)
        return DefaultFontRecord();
    FitFontToScale(*record);
    FillMetrics(*record);
    return record;
}

TFontRecord* CUIManager::DefaultFontRecord()
{
    TFontRecord* record = own_.defaultFont.sFontName.IsEmpty() ? &Shared().defaultFont : &own_.defaultFont;
    FitFontToScale(*record);
    FillMetrics(*record);
    return record;
}

HFONT CUIManager::LookupFont(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    CUIStringMap* maps[] = {&own_.fonts, &Shared().fonts};
    for (CUIStringMap* fonts : maps) {
        for (int i = 0; i < fonts->GetSize(); ++i) {
            TFontRecord* record = static_cast<TFontRecord*>(fonts->Find(fonts->GetAt(i)));
            if (record->sFontName == (name ? name : L"") && record->iSize == size && record->bBold == bold &&
                record->bUnderline == underline && record->bItalic == italic) {
                FitFontToScale(*record);
                return record->hFont;
            }
        }
    }
    return nullptr;
}

TFontRecord* CUIManager::FontRecordByHandle(HFONT font)
{
    CUIStringMap* maps[] = {&own_.fonts, &Shared().fonts};
    for (CUIStringMap* fonts : maps) {
        for (int i = 0; i < fonts->GetSize(); ++i) {
            TFontRecord* record = static_cast<TFontRecord*>(fonts->Find(fonts->GetAt(i)));
            if (record->hFont != font)
                continue;
            FillMetrics(*record);
            return record;
        }
    }
    return DefaultFontRecord();
}

TLoadedImage* CUIManager::RegisterImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool keepSource,
    bool shared)
{
    if (!name || !*name)
        return nullptr;
    const wchar_t* resourceType = type && *type ? type : nullptr;
    const wchar_t* resourceName = name;
    if (resourceType && wcscmp(resourceType, L"*COLOR*") != 0 && iswdigit(name[0])) {
        // Only a whole run of digits in the resource id range is an id.
        wchar_t* end = nullptr;
        unsigned long id = wcstoul(name, &end, 10);
        if (*end == L'\0' && id >= 1 && id <= 0xFFFF)
            resourceName = MAKEINTRESOURCEW(id);
    }
    return StoreImage(name, CRenderKit::LoadImage(resourceName, resourceType, mask), resourceType, mask, keepSource,
        shared);
}

TLoadedImage* CUIManager::StoreImage(const wchar_t* key, TLoadedImage* image, const wchar_t* resourceType, DWORD mask,
    bool keepSource, bool shared)
{
    if (!image)
        return nullptr;
    if (keepSource)
        image->KeepSource();
    image->sResType = resourceType ? resourceType : L"";
    const THslState& hsl = Hsl();
    if (hsl.use)
        CRenderKit::AdjustImage(true, image, hsl.hue, hsl.saturation, hsl.lightness);
    TImageRecord* record = new TImageRecord;
    record->pImage = image;
    record->sResType = image->sResType;
    record->dwMask = mask;
    record->bKeepSource = keepSource;
    TUIRegistry& registry = RegistryFor(shared);
    // Controls' image specs may still point at the replaced image.
    void* old = registry.images.Set(key, record);
    if (old)
        registry.retiredImages.Add(old);
    return image;
}

const TImageRecord* CUIManager::ImageRecordByName(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    void* record = own_.images.Find(name);
    return static_cast<const TImageRecord*>(record ? record : Shared().images.Find(name));
}

TLoadedImage* CUIManager::ImageByName(const wchar_t* name) const
{
    const TImageRecord* record = ImageRecordByName(name);
    return record ? record->pImage : nullptr;
}

TLoadedImage* CUIManager::ImageByNameOrLoad(const wchar_t* name, const wchar_t* type, DWORD mask,
    bool keepSource)
{
    if (TLoadedImage* scaled = ScaledImage(name, type, mask, keepSource))
        return scaled;
    TLoadedImage* image = ImageByName(name);
    if (image)
        return image;
    if (!RegisterImage(name, type, mask, keepSource, false))
        return nullptr;
    return ImageByName(name);
}

// Above 100 % the skin's double-density file, chosen once per scale; none
// when the skin has no such file.
TLoadedImage* CUIManager::ScaledImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool keepSource)
{
    if (!name || !*name || scale_.Factor() <= 1.0)
        return nullptr;
    const CUIString key = ImageKey(name);
    if (TLoadedImage* image = ImageByName(key))
        return image;
    const wchar_t* resourceType = type && *type ? type : nullptr;
    return StoreImage(key, CRenderKit::LoadImageForScale(name, resourceType, mask, scale_.Factor()), resourceType, mask,
        keepSource, false);
}

void CUIManager::SetClassDefaults(const wchar_t* elementName, const wchar_t* list, bool shared)
{
    if (!elementName || !*elementName)
        return;
    CUIStringMap& defaults = RegistryFor(shared).classDefaults;
    delete static_cast<CUIString*>(defaults.Set(elementName, new CUIString(list ? list : L"")));
}

const wchar_t* CUIManager::ClassDefaults(const wchar_t* elementName) const
{
    if (!elementName)
        return nullptr;
    void* list = own_.classDefaults.Find(elementName);
    if (!list)
        list = Shared().classDefaults.Find(elementName);
    return list ? static_cast<CUIString*>(list)->GetData() : nullptr;
}

void CUIManager::SetColour(DWORD TUIRegistry::*field, DWORD colour, bool shared)
{
    if (!shared) {
        own_.*field = colour;
        return;
    }
    DWORD old = Shared().*field;
    Shared().*field = colour;
    if (own_.*field == old)
        own_.*field = colour;
}

void CUIManager::SetDefaultDisabledColor(DWORD colour, bool shared)
{
    SetColour(&TUIRegistry::dwDisabledColor, colour, shared);
}

void CUIManager::SetDefaultFontColor(DWORD colour, bool shared)
{
    SetColour(&TUIRegistry::dwTextColor, colour, shared);
}

void CUIManager::SetDefaultLinkFontColor(DWORD colour, bool shared)
{
    SetColour(&TUIRegistry::dwLinkColor, colour, shared);
}

void CUIManager::SetDefaultLinkHoverFontColor(DWORD colour, bool shared)
{
    SetColour(&TUIRegistry::dwLinkHoverColor, colour, shared);
}

void CUIManager::SetDefaultSelectedBkColor(DWORD colour, bool shared)
{
    SetColour(&TUIRegistry::dwSelectedBkColor, colour, shared);
}

void CUIManager::SetLanguageString(int id, const wchar_t* text)
{
    delete static_cast<CUIString*>(LanguageStrings().Set(IdKey(id), new CUIString(text ? text : L"")));
}

const wchar_t* CUIManager::LanguageString(int id)
{
    CUIString* text = static_cast<CUIString*>(LanguageStrings().Find(IdKey(id)));
    return text ? text->GetData() : nullptr;
}

void CUIManager::RemoveAllLanguageStrings()
{
    CUIStringMap& strings = LanguageStrings();
    for (int i = 0; i < strings.GetSize(); ++i)
        delete static_cast<CUIString*>(strings.Find(strings.GetAt(i)));
    strings.RemoveAll();
}

CUIString CUIManager::ExpandLanguageTokens(const wchar_t* text)
{
    CUIString result;
    if (!text)
        return result;
    // One pass over the text: a replacement is never scanned again, so a
    // string holding its own token cannot grow.
    const wchar_t* p = text;
    while (*p) {
        const wchar_t* digits = p + 2;
        const wchar_t* end = digits;
        while (p[0] == L'%' && p[1] == L'{' && iswdigit(*end))
            ++end;
        if (end == digits || *end != L'}') {
            result += *p++;
            continue;
        }
        // The id is looked up by its digit text, never converted, so a long
        // run of digits cannot overflow into another id.
        while (end - digits > 1 && *digits == L'0')
            ++digits;
        CUIString* value = static_cast<CUIString*>(
            LanguageStrings().Find(CUIString(digits, static_cast<int>(end - digits))));
        if (value)
            result += *value;
        else
            result.Append(p, static_cast<int>(end + 1 - p));
        p = end + 1;
    }
    return result;
}

void CUIManager::SetHSL(bool use, short hue, short saturation, short lightness)
{
    THslState& hsl = Hsl();
    if (hsl.use == use && hsl.hue == hue && hsl.saturation == saturation && hsl.lightness == lightness)
        return;
    hsl.use = use;
    hsl.hue = hue < 0 ? 0 : hue > 360 ? 360 : hue;
    hsl.saturation = saturation < 0 ? 0 : saturation > 200 ? 200 : saturation;
    hsl.lightness = lightness < 0 ? 0 : lightness > 200 ? 200 : lightness;
    AdjustRegistryImages(Shared(), hsl);
    for (int i = 0; i < GetManagerCount(); ++i) {
        CUIManager* manager = GetManager(i);
        AdjustRegistryImages(manager->own_, hsl);
        manager->InvalidateAll();
    }
}

void CUIManager::GetHSL(short* hue, short* saturation, short* lightness)
{
    const THslState& hsl = Hsl();
    if (hue)
        *hue = hsl.hue;
    if (saturation)
        *saturation = hsl.saturation;
    if (lightness)
        *lightness = hsl.lightness;
}

bool CUIManager::IsUseHSL()
{
    return Hsl().use;
}

} // namespace SkinUI
