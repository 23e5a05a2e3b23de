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

CUIStringMapOf<CUIString>& LanguageStrings()
{
    static CUIStringMapOf<CUIString> strings(83);
    return strings;
}

void AdjustRegistryImages(TUIRegistry& registry, const THslState& hsl)
{
    registry.images.ForEach([&hsl](const wchar_t*, TImageRecord* record) {
        if (record && record->pImage)
            CRenderKit::AdjustImage(hsl.use, record->pImage, hsl.hue, hsl.saturation, hsl.lightness);
    });
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
    fonts.DeleteAll();
}

void TUIRegistry::RemoveAllImages()
{
    images.ForEach([](const wchar_t*, TImageRecord* record) { DeleteImageRecord(record); });
    images.RemoveAll();
    for (int i = 0; i < retiredImages.GetSize(); ++i)
        DeleteImageRecord(retiredImages[i]);
    retiredImages.Empty();
}

void TUIRegistry::RemoveAllClassDefaults()
{
    classDefaults.DeleteAll();
}

TUIRegistry& CUIManager::Shared()
{
    static TUIRegistry* shared = [] {
        TUIRegistry* registry = new TUIRegistry;
        LOGFONTW font = DefaultGuiFont();
        font.lfCharSet = kFontCharset;
        registry->defaultFont.hFont = ::CreateFontIndirectW(&font);
        registry->defaultFont.sFontName = font.lfFaceName;
        registry->defaultFont.iSize = -font.lfHeight;
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
    font.lfHeight = -size;
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
    delete RegistryFor(shared).fonts.Set(key, record);
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
    TFontRecord* record = own_.fonts.Find(key);
    return record ? record : Shared().fonts.Find(key);
}

HFONT CUIManager::FontById(int id)
{
    TFontRecord* record = FindFontRecord(id);
    return record ? record->hFont : DefaultFontRecord()->hFont;
}

TFontRecord* CUIManager::FontRecordById(int id)
{
    TFontRecord* record = FindFontRecord(id);
    if (!record)
        return DefaultFontRecord();
    FillMetrics(*record);
    return record;
}

TFontRecord* CUIManager::DefaultFontRecord()
{
    TFontRecord* record = own_.defaultFont.sFontName.IsEmpty() ? &Shared().defaultFont : &own_.defaultFont;
    FillMetrics(*record);
    return record;
}

HFONT CUIManager::LookupFont(const wchar_t* name, int size, bool bold, bool underline, bool italic) const
{
    auto matches = [=](const wchar_t*, const TFontRecord* record) {
        return record->sFontName == (name ? name : L"") && record->iSize == size && record->bBold == bold &&
               record->bUnderline == underline && record->bItalic == italic;
    };
    const TFontRecord* record = own_.fonts.FindFirst(matches);
    if (!record)
        record = Shared().fonts.FindFirst(matches);
    return record ? record->hFont : nullptr;
}

TFontRecord* CUIManager::FontRecordByHandle(HFONT font)
{
    auto holds = [font](const wchar_t*, const TFontRecord* record) { return record->hFont == font; };
    TFontRecord* record = own_.fonts.FindFirst(holds);
    if (!record)
        record = Shared().fonts.FindFirst(holds);
    if (!record)
        return DefaultFontRecord();
    FillMetrics(*record);
    return record;
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
    TLoadedImage* image = CRenderKit::LoadImage(resourceName, resourceType, mask);
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
    TImageRecord* old = registry.images.Set(name, record);
    if (old)
        registry.retiredImages.Add(old);
    return image;
}

const TImageRecord* CUIManager::ImageRecordByName(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    const TImageRecord* record = own_.images.Find(name);
    return record ? record : Shared().images.Find(name);
}

TLoadedImage* CUIManager::ImageByName(const wchar_t* name) const
{
    const TImageRecord* record = ImageRecordByName(name);
    return record ? record->pImage : nullptr;
}

TLoadedImage* CUIManager::ImageByNameOrLoad(const wchar_t* name, const wchar_t* type, DWORD mask,
    bool keepSource)
{
    TLoadedImage* image = ImageByName(name);
    if (image)
        return image;
    if (!RegisterImage(name, type, mask, keepSource, false))
        return nullptr;
    return ImageByName(name);
}

void CUIManager::SetClassDefaults(const wchar_t* elementName, const wchar_t* list, bool shared)
{
    if (!elementName || !*elementName)
        return;
    delete RegistryFor(shared).classDefaults.Set(elementName, new CUIString(list ? list : L""));
}

const wchar_t* CUIManager::ClassDefaults(const wchar_t* elementName) const
{
    if (!elementName)
        return nullptr;
    const CUIString* list = own_.classDefaults.Find(elementName);
    if (!list)
        list = Shared().classDefaults.Find(elementName);
    return list ? list->GetData() : nullptr;
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
    delete LanguageStrings().Set(IdKey(id), new CUIString(text ? text : L""));
}

const wchar_t* CUIManager::LanguageString(int id)
{
    const CUIString* text = LanguageStrings().Find(IdKey(id));
    return text ? text->GetData() : nullptr;
}

void CUIManager::RemoveAllLanguageStrings()
{
    LanguageStrings().DeleteAll();
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
        const CUIString* value = LanguageStrings().Find(CUIString(digits, static_cast<int>(end - digits)));
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
