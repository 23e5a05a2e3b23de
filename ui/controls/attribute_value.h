#pragma once

#include <windows.h>

namespace SkinUI {

// Readers of attribute values. Lists stop at the end of the text: numbers
// missing there are 0. Coordinates are clamped to kMaxCoordinate, so that
// sums of a few of them stay inside int.
const int kMaxCoordinate = 1 << 24;

// Optional blanks (when skipBlanks), optional "#", then hexadecimal digits.
DWORD ParseColorValue(const wchar_t* text, bool skipBlanks = false);
// Decimal, signed; non-numeric text gives 0.
int ParseIntValue(const wchar_t* text);
// Exactly "true".
bool ParseBoolValue(const wchar_t* text);
// Up to count decimals, each separated from the previous by one character.
int ParseIntList(const wchar_t* text, long* values, int count);
RECT ParseRectValue(const wchar_t* text);
SIZE ParseSizeValue(const wchar_t* text);
// The same for floating-point numbers; non-finite ones read as 0 and the
// rest are clamped to +-kMaxCoordinate.
int ParseDoubleList(const wchar_t* text, double* values, int count);
int ClampCoordinate(long long value);

} // namespace SkinUI
