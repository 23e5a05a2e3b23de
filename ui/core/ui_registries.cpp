#include "ui/core/ui_manager.h"

#include "ui/controls/image_spec.h"
#include "ui/controls/render_kit.h"

#include <wchar.h>
#include <wctype.h>

namespace SkinUI {

namespace {

CUIString IdKey(int id)
{
    CUIString key;
    key.Format(L"%d", id);
    return key;
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

CTextTable& LanguageStrings()
{
    static CTextTable strings;
    return strings;
}

} // namespace

TUIRegistry& CUIManager::Shared()
{
    static TUIRegistry* shared = [] {
        TUIRegistry* registry = new TUIRegistry;
        MakeGuiFontRecord(registry->fonts.Default());
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
    if (!MakeFontRecord(*record, name, size, bold, underline, italic, scale_.Dpi())) {
        delete record;
        return nullptr;
    }
    FillMetrics(*record);
    RegistryFor(shared).fonts.Set(id, record);
    return record->hFont;
}

void CUIManager::ReplaceDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
    bool shared)
{
    TFontRecord record;
    if (!MakeFontRecord(record, name, size, bold, underline, italic, scale_.Dpi()))
        return;
    FillMetrics(record);
    RegistryFor(shared).fonts.Default() = std::move(record);
}

TFontRecord* CUIManager::FindFontRecord(int id) const
{
    if (id < 0)
        return nullptr;
    TFontRecord* record = own_.fonts.Find(id);
    return record ? record : Shared().fonts.Find(id);
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
    TFontRecord& own = own_.fonts.Default();
    TFontRecord* record = own.sFontName.IsEmpty() ? &Shared().fonts.Default() : &own;
    FitFontToScale(*record);
    FillMetrics(*record);
    return record;
}

HFONT CUIManager::LookupFont(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    TFontRecord* record = own_.fonts.FindMatching(name, size, bold, underline, italic);
    if (!record)
        record = Shared().fonts.FindMatching(name, size, bold, underline, italic);
    if (!record)
        return nullptr;
    FitFontToScale(*record);
    return record->hFont;
}

TFontRecord* CUIManager::FontRecordByHandle(HFONT font)
{
    TFontRecord* record = own_.fonts.FindByHandle(font);
    if (!record)
        record = Shared().fonts.FindByHandle(font);
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
    RegistryFor(shared).images.Set(key, record);
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
    RegistryFor(shared).classDefaults.Set(elementName, list);
}

const wchar_t* CUIManager::ClassDefaults(const wchar_t* elementName) const
{
    if (!elementName)
        return nullptr;
    const wchar_t* list = own_.classDefaults.Find(elementName);
    return list ? list : Shared().classDefaults.Find(elementName);
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
    LanguageStrings().Set(IdKey(id), text);
}

const wchar_t* CUIManager::LanguageString(int id)
{
    return LanguageStrings().Find(IdKey(id));
}

void CUIManager::RemoveAllLanguageStrings()
{
    LanguageStrings().RemoveAll();
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
        const wchar_t* value = LanguageStrings().Find(CUIString(digits, static_cast<int>(end - digits)));
        if (value)
            result += value;
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
    Shared().images.Adjust(hsl.use, hsl.hue, hsl.saturation, hsl.lightness);
    for (int i = 0; i < GetManagerCount(); ++i) {
        CUIManager* manager = GetManager(i);
        manager->own_.images.Adjust(hsl.use, hsl.hue, hsl.saturation, hsl.lightness);
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
