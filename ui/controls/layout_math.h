#pragma once

#include <windows.h>

namespace SkinUI {

// Arithmetic shared by the linear layouts. Sums run in 64 bits and come
// back clamped to +-kLayoutLimit, so that the width or height of any
// rectangle built from them still fits in int.
namespace LayoutMath {

const int kLayoutLimit = 1 << 30;

inline int Clamp(long long value)
{
    if (value > kLayoutLimit)
        return kLayoutLimit;
    if (value < -kLayoutLimit)
        return -kLayoutLimit;
    return static_cast<int>(value);
}

inline int Min(int a, int b)
{
    return a < b ? a : b;
}

// A fixed size of at least 1 wins; otherwise the maximum applies.
inline int FixedOrMax(int fixed, int maximum)
{
    return fixed >= 1 ? fixed : maximum;
}

// Raised to the minimum first, then lowered to the maximum.
inline int Limit(int value, int minimum, int maximum)
{
    if (value < minimum)
        value = minimum;
    if (value > maximum)
        value = maximum;
    return value;
}

inline RECT Rect(long long left, long long top, long long right, long long bottom)
{
    return RECT{Clamp(left), Clamp(top), Clamp(right), Clamp(bottom)};
}

} // namespace LayoutMath

} // namespace SkinUI
