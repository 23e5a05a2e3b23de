#include "ui/controls/image_spec.h"

#include "ui/controls/attribute_value.h"

#include <string.h>

#include <new>

namespace SkinUI {

TLoadedImage::~TLoadedImage()
{
    delete[] pSrcBits;
}

bool TLoadedImage::KeepSource()
{
    if (!pBits || nX <= 0 || nY <= 0)
        return false;
    size_t bytes = static_cast<size_t>(nX) * static_cast<size_t>(nY) * 4;
    if (!pSrcBits) {
        pSrcBits = new (std::nothrow) BYTE[bytes];
        if (!pSrcBits)
            return false;
    }
    memcpy(pSrcBits, pBits, bytes);
    return true;
}

void TImageSpec::Reset()
{
    *this = TImageSpec();
}

namespace {

bool IsBlank(wchar_t ch)
{
    return ch != 0 && ch <= L' ';
}

const wchar_t* SkipBlanks(const wchar_t* at)
{
    while (IsBlank(*at))
        ++at;
    return at;
}

struct TParseState {
    CUIString sType;
    bool bFromResource = false;
};

void ApplyItem(TImageSpec& spec, TImageRequest& request, TParseState& state, const CUIString& key,
    const CUIString& value)
{
    if (key == L"file") {
        request.sName = value;
    } else if (key == L"res") {
        request.sName = value;
        state.bFromResource = true;
    } else if (key == L"restype") {
        state.sType = value;
    } else if (key == L"color") {
        request.sName = value;
        state.sType = L"*COLOR*";
        state.bFromResource = true;
    } else if (key == L"dest") {
        spec.rcDest = ParseRectValue(value);
    } else if (key == L"source") {
        spec.rcSource = ParseRectValue(value);
    } else if (key == L"corner" || key == L"scale9") {
        spec.rcCorner = ParseRectValue(value);
    } else if (key == L"mask") {
        request.dwMask = ParseColorValue(value);
    } else if (key == L"fade") {
        int fade = ParseIntValue(value);
        spec.uFade = static_cast<BYTE>(fade < 0 ? 0 : fade > 255 ? 255 : fade);
    } else if (key == L"hole") {
        spec.bHole = ParseBoolValue(value);
    } else if (key == L"xtiled") {
        spec.bXTiled = ParseBoolValue(value);
    } else if (key == L"ytiled") {
        spec.bYTiled = ParseBoolValue(value);
    } else if (key == L"hsl") {
        request.bUseHSL = ParseBoolValue(value);
    }
}

// Reads one key='value' item at 'at'; null when the text ends the parse.
const wchar_t* ReadItem(const wchar_t* at, CUIString& key, CUIString& value)
{
    at = SkipBlanks(at);
    const wchar_t* keyStart = at;
    while (*at && *at != L'=' && !IsBlank(*at))
        ++at;
    key.Assign(keyStart, static_cast<int>(at - keyStart));
    at = SkipBlanks(at);
    if (*at != L'=')
        return nullptr;
    at = SkipBlanks(at + 1);
    if (*at != L'\'')
        return nullptr;
    const wchar_t* valueStart = ++at;
    while (*at && *at != L'\'')
        ++at;
    if (*at != L'\'')
        return nullptr;
    value.Assign(valueStart, static_cast<int>(at - valueStart));
    return at + 1;
}

} // namespace

void TImageSpec::Parse(TImageRequest& request)
{
    Parse(sText.GetData(), request);
}

void TImageSpec::Parse(const wchar_t* text, TImageRequest& request)
{
    request = TImageRequest();
    request.sName = text;
    TParseState state;
    const wchar_t* at = text ? text : L"";
    CUIString key;
    CUIString value;
    while (at) {
        at = ReadItem(at, key, value);
        if (!at)
            break;
        if (!value.IsEmpty())
            ApplyItem(*this, request, state, key, value);
        // Items are separated by a blank and the list must go on after it.
        if (!IsBlank(at[0]) || at[1] == 0)
            break;
        ++at;
    }
    request.bFromResource = state.bFromResource;
    if (state.bFromResource)
        request.sResType = state.sType;
}

} // namespace SkinUI
