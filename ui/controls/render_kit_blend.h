#pragma once

#include <windows.h>

namespace SkinUI {

typedef BOOL(WINAPI* AlphaBlendProc)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillProc)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// The optional msimg32 entries, looked up once per process. Either may be
// null (an old system, or a caller that wants the software paths); the
// render kit then draws with its own code.
struct TBlendPrimitives {
    AlphaBlendProc alphaBlend = nullptr;
    GradientFillProc gradientFill = nullptr;
};

TBlendPrimitives& BlendPrimitives();

// Blends the premultiplied 32-bit source part into the destination
// rectangle of hDC, stretched, with a constant opacity: what AlphaBlend
// does, restricted to the part inside rcClip. Rectangles must already lie
// inside the source pixels.
void SoftwareAlphaBlend(HDC hDC, const RECT& rcDest, const RECT& rcClip, const BYTE* pixels, int stride,
    const RECT& rcSource, BYTE fade);

// A 32-bit top-down DIB section with its pixel pointer.
HBITMAP CreateTopDownBitmap(HDC hDC, int width, int height, BYTE** pixels);

} // namespace SkinUI
