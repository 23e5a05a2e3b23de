#include "ui/controls/attribute_value.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <wchar.h>

namespace SkinUI {

namespace {

bool IsBlank(wchar_t ch)
{
    return ch != 0 && ch <= L' ';
}

// Up to count numbers, each read by readOne(at, &end) and separated from the
// previous by any one character; the end of the text ends the list.
template <typename T, typename ReadOne>
int ParseList(const wchar_t* text, T* values, int count, ReadOne readOne)
{
    for (int i = 0; i < count; ++i)
        values[i] = 0;
    if (!text)
        return 0;
    const wchar_t* at = text;
    int read = 0;
    while (read < count) {
        wchar_t* end = nullptr;
        values[read++] = readOne(at, &end);
        if (*end == 0)
            break;
        at = end + 1;
    }
    return read;
}

} // namespace

int ClampCoordinate(long long value)
{
    if (value > kMaxCoordinate)
        return kMaxCoordinate;
    if (value < -kMaxCoordinate)
        return -kMaxCoordinate;
    return static_cast<int>(value);
}

DWORD ParseColorValue(const wchar_t* text, bool skipBlanks)
{
    if (!text)
        return 0;
    while (skipBlanks && IsBlank(*text))
        ++text;
    if (*text == L'#')
        ++text;
    DWORD value = 0;
    for (;; ++text) {
        wchar_t ch = *text;
        int digit;
        if (ch >= L'0' && ch <= L'9')
            digit = ch - L'0';
        else if (ch >= L'a' && ch <= L'f')
            digit = ch - L'a' + 10;
        else if (ch >= L'A' && ch <= L'F')
            digit = ch - L'A' + 10;
        else
            return value;
        value = value << 4 | static_cast<DWORD>(digit);
    }
}

int ParseIntValue(const wchar_t* text)
{
    if (!text)
        return 0;
    long long value = wcstoll(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool ParseBoolValue(const wchar_t* text)
{
    return text && wcscmp(text, L"true") == 0;
}

int ParseIntList(const wchar_t* text, long* values, int count)
{
    return ParseList(text, values, count, [](const wchar_t* at, wchar_t** end) -> long {
        return ClampCoordinate(wcstoll(at, end, 10));
    });
}

RECT ParseRectValue(const wchar_t* text)
{
    long values[4];
    ParseIntList(text, values, 4);
    return RECT{values[0], values[1], values[2], values[3]};
}

SIZE ParseSizeValue(const wchar_t* text)
{
    long values[2];
    ParseIntList(text, values, 2);
    return SIZE{values[0], values[1]};
}

int ParseDoubleList(const wchar_t* text, double* values, int count)
{
    return ParseList(text, values, count, [](const wchar_t* at, wchar_t** end) {
        double value = wcstod(at, end);
        if (!isfinite(value))
            value = 0;
        return fmax(-kMaxCoordinate, fmin(kMaxCoordinate, value));
    });
}

} // namespace SkinUI
