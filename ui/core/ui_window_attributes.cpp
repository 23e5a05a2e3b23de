#include "ui/core/ui_manager.h"

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

bool Is(const wchar_t* name, const wchar_t* known)
{
    return _wcsicmp(name, known) == 0;
}

} // namespace

void CUIManager::ApplyWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !value)
        return;
    if (!ApplyKnownAttribute(name, value))
        StoreExtraWindowAttribute(name, value);
}

bool CUIManager::ApplyKnownAttribute(const wchar_t* name, const wchar_t* value)
{
    if (Is(name, L"size")) {
        SIZE size = ReadPair(value);
        SetInitSize(size.cx, size.cy);
    } else if (Is(name, L"sizebox")) {
        SetSizeBox(ReadRect(value));
    } else if (Is(name, L"caption")) {
        SetCaptionRect(ReadRect(value));
    } else if (Is(name, L"roundcorner")) {
        SIZE size = ReadPair(value);
        SetRoundCorner(size.cx, size.cy);
    } else if (Is(name, L"mininfo")) {
        SIZE size = ReadPair(value);
        SetMinInfo(size.cx, size.cy);
    } else if (Is(name, L"maxinfo")) {
        SIZE size = ReadPair(value);
        SetMaxInfo(size.cx, size.cy);
    } else if (Is(name, L"showdirty")) {
        SetShowDirty(ReadBool(value));
    } else if (wcscmp(name, L"noactivate") == 0) {
        SetNoActivate(ReadBool(value));
    } else if (Is(name, L"opacity")) {
        SetOpacity(ReadByte(value));
    } else if (wcscmp(name, L"layeredopacity") == 0) {
        SetLayeredOpacity(ReadByte(value));
        InvalidateAll();
    } else if (wcscmp(name, L"layeredimage") == 0) {
        SetLayeredImage(value);
    } else if (Is(name, L"disabledfontcolor")) {
        SetDefaultDisabledColor(ReadColour(value));
    } else if (Is(name, L"defaultfontcolor")) {
        SetDefaultFontColor(ReadColour(value));
    } else if (Is(name, L"linkfontcolor")) {
        SetDefaultLinkFontColor(ReadColour(value));
    } else if (Is(name, L"linkhoverfontcolor")) {
        SetDefaultLinkHoverFontColor(ReadColour(value));
    } else if (Is(name, L"selectedcolor")) {
        SetDefaultSelectedBkColor(ReadColour(value));
    } else {
        return false;
    }
    return true;
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
