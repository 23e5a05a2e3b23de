#pragma once

#include "ui/controls/image_spec.h"
#include "ui/core/ui_string.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

namespace SkinUI {

class CUIManager;
class CControlUI;

// A clip set on a device context for a while: the destructor selects the
// previous clip again and frees both regions.
class CRenderClip {
public:
    CRenderClip() = default;
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

    // Temporarily back to the clip that was there before, and again to ours.
    void UsePreviousClip();
    void UseNewClip();

private:
    friend class CRenderKit;
    void Release();

    HDC hDC = nullptr;
    RECT rcItem = {0, 0, 0, 0};
    RegionHandle hRgn;
    RegionHandle hOldRgn;
};

// The framework's stateless drawing toolkit. Colours are 0xAARRGGBB.
class CRenderKit {
public:
    // Makes sure GDI+ runs for the whole process; called before the
    // first window paints and safe to call again.
    static bool StartGraphics();

    static TLoadedImage* LoadImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0);
    static TLoadedImage* LoadImageFromBytes(const void* bytes, size_t length, DWORD mask = 0);
    // The image for a display factor above 1: "name@2x.ext" from the skin,
    // resampled down to the factor when it lies between 1 and 2. None when
    // the skin has no such file (the plain image is then stretched).
    static TLoadedImage* LoadImageForScale(const wchar_t* name, const wchar_t* type, DWORD mask, double factor);
    // An area-averaged copy of the image at width x height (no larger).
    static TLoadedImage* ResampleImage(const TLoadedImage& image, int width, int height);

    static bool DrawImageString(HDC hDC, CUIManager* manager, const RECT& rcItem, const RECT& rcPaint,
        TImageSpec& spec);
    // rcCorner is in the bitmap's pixels; rcDestCorner, when given, is what
    // the corners take on the destination (both are the same without it).
    static void DrawImageRaw(HDC hDC, HBITMAP bitmap, const RECT& rcDest, const RECT& rcPaint,
        const RECT& rcSource, const RECT& rcCorner, bool alpha, BYTE fade = 255, bool hole = false,
        bool xTiled = false, bool yTiled = false, const RECT* rcDestCorner = nullptr);

    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
    static void DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
    static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color,
        int style = PS_SOLID);

    static void DrawText(HDC hDC, CUIManager* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
        UINT style);
    static void DrawHtmlText(HDC hDC, CUIManager* manager, RECT& rc, const wchar_t* text, DWORD color,
        RECT* links, CUIString* linkNames, int& linkCount, int font, UINT style);

    static void GenerateClip(HDC hDC, const RECT& rc, CRenderClip& clip);
    static void GenerateRoundClip(HDC hDC, const RECT& rcPaint, const RECT& rcItem, int width, int height,
        CRenderClip& clip);

    static DWORD AdjustColor(DWORD color, short h, short s, short l);
    static void AdjustImage(bool use, TLoadedImage* image, short h, short s, short l);

    static HBITMAP GenerateBitmap(CUIManager* manager, const RECT& rc, CControlUI* stop, DWORD color);

    // The system's 0x00BBGGRR form of a colour, its alpha dropped.
    static COLORREF ToColorRef(DWORD color)
    {
        return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    }
};

} // namespace SkinUI
