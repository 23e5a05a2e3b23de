#include "ui/core/ui_manager.h"

#include "ui/core/attribute_table.h"

#include <stdlib.h>
#include <wchar.h>

namespace SkinUI {

namespace {

typedef BOOL(WINAPI* SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);

// Decimal numbers separated by any single character; numbers missing at
// the end of the text stay 0.
void ReadNumbers(const wchar_t* value, LONG* numbers, int count)
{
    const wchar_t* p = value;
    for (int i = 0; i < count; ++i) {
        numbers[i] = 0;
        if (!*p)
            continue;
        wchar_t* end = nullptr;
        numbers[i] = wcstol(p, &end, 10);
        p = *end ? end + 1 : end;
    }
}

SIZE ReadPair(const wchar_t* value)
{
    LONG numbers[2];
    ReadNumbers(value, numbers, 2);
    return {numbers[0], numbers[1]};
}

RECT ReadRect(const wchar_t* value)
{
    LONG numbers[4];
    ReadNumbers(value, numbers, 4);
    return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

DWORD ReadColour(const wchar_t* value)
{
    if (*value == L'#')
        ++value;
    return wcstoul(value, nullptr, 16);
}

bool ReadBool(const wchar_t* value)
{
    return wcscmp(value, L"true") == 0;
}

BYTE ReadByte(const wchar_t* value)
{
    return static_cast<BYTE>(_wtoi(value));
}

template <void (CUIManager::*Set)(int, int)>
void ApplyPair(CUIManager& manager, const wchar_t* value)
{
    SIZE pair = ReadPair(value);
    (manager.*Set)(pair.cx, pair.cy);
}

// Colours set from the layout are this window's, never the shared ones.
template <void (CUIManager::*Set)(DWORD, bool)>
void ApplyColour(CUIManager& manager, const wchar_t* value)
{
    (manager.*Set)(ReadColour(value), false);
}

using TWindowRow = TAttributeRow<CUIManager>;
const TWindowRow::TMatch kAnyCase = TWindowRow::kAnyCase;
const TWindowRow::TMatch kExact = TWindowRow::kExact;

// The root Window element's attributes: names in any case, but for the
// three rows marked kExact.
const TWindowRow kWindowAttributes[] = {
    {L"size", &ApplyPair<&CUIManager::SetInitSize>, kAnyCase},
    {L"sizebox", [](CUIManager& m, const wchar_t* v) { m.SetSizeBox(ReadRect(v)); }, kAnyCase},
    {L"caption", [](CUIManager& m, const wchar_t* v) { m.SetCaptionRect(ReadRect(v)); }, kAnyCase},
    {L"roundcorner", &ApplyPair<&CUIManager::SetRoundCorner>, kAnyCase},
    {L"mininfo", &ApplyPair<&CUIManager::SetMinInfo>, kAnyCase},
    {L"maxinfo", &ApplyPair<&CUIManager::SetMaxInfo>, kAnyCase},
    {L"showdirty", [](CUIManager& m, const wchar_t* v) { m.SetShowDirty(ReadBool(v)); }, kAnyCase},
    {L"noactivate", [](CUIManager& m, const wchar_t* v) { m.SetNoActivate(ReadBool(v)); }, kExact},
    {L"opacity", [](CUIManager& m, const wchar_t* v) { m.SetOpacity(ReadByte(v)); }, kAnyCase},
    // Unlike the setter, the attribute repaints the window.
    {L"layeredopacity",
        [](CUIManager& m, const wchar_t* v) {
            m.SetLayeredOpacity(ReadByte(v));
            m.InvalidateAll();
        },
        kExact},
    {L"layeredimage", [](CUIManager& m, const wchar_t* v) { m.SetLayeredImage(v); }, kExact},
    {L"disabledfontcolor", &ApplyColour<&CUIManager::SetDefaultDisabledColor>, kAnyCase},
    {L"defaultfontcolor", &ApplyColour<&CUIManager::SetDefaultFontColor>, kAnyCase},
    {L"linkfontcolor", &ApplyColour<&CUIManager::SetDefaultLinkFontColor>, kAnyCase},
    {L"linkhoverfontcolor", &ApplyColour<&CUIManager::SetDefaultLinkHoverFontColor>, kAnyCase},
    {L"selectedcolor", &ApplyColour<&CUIManager::SetDefaultSelectedBkColor>, kAnyCase},
};

} // namespace

void CUIManager::ApplyWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !value)
        return;
    // A name the table does not know is kept for the application to read.
    if (!ApplyAttributeRow(kWindowAttributes, *this, name, value))
        StoreExtraWindowAttribute(name, value);
}

void CUIManager::SetOpacity(BYTE opacity)
{
    opacity_ = opacity;
    if (!window_)
        return;
    // Optional in the platform: looked up by name.
    HMODULE user32 = ::GetModuleHandleW(L"User32.dll");
    auto setAttributes = user32 ? reinterpret_cast<SetLayeredWindowAttributesProc>(
        ::GetProcAddress(user32, "SetLayeredWindowAttributes")) : nullptr;
    if (setAttributes) {
        LONG exStyle = ::GetWindowLongW(window_, GWL_EXSTYLE);
        ::SetWindowLongW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        setAttributes(window_, 0, opacity, LWA_ALPHA);
    }
    InvalidateAll();
}

void CUIManager::StoreExtraWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !*name || !value || !*value)
        return;
    // The first value given wins.
    extraWindowAttributes_.Insert(name, value);
}

const wchar_t* CUIManager::ExtraWindowAttribute(const wchar_t* name) const
{
    return name ? extraWindowAttributes_.Find(name) : nullptr;
}

void CUIManager::RemoveAllExtraWindowAttributes()
{
    extraWindowAttributes_.RemoveAll();
}

} // namespace SkinUI
