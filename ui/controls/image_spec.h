#pragma once

#include "ui/core/ui_string.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

namespace SkinUI {

// One decoded image: a 32-bit top-down DIB section with premultiplied
// pixels (blue, green, red, alpha). The registry that loaded it owns it.
struct TLoadedImage {
    TLoadedImage() = default;
    ~TLoadedImage();
    TLoadedImage(const TLoadedImage&) = delete;
    TLoadedImage& operator=(const TLoadedImage&) = delete;

    // Keeps an unchanged copy of the pixels for colour adjustment.
    bool KeepSource();

    BitmapHandle hBitmap;
    BYTE* pBits = nullptr;
    // Owned copy made by KeepSource, or null.
    BYTE* pSrcBits = nullptr;
    int nX = 0;
    int nY = 0;
    // Pixels of this image per layout unit: 2 for a name@2x file, the
    // window's factor for one resampled to it.
    double dScale = 1.0;
    // The image's size in layout units, the unit of its source rectangles.
    int LayoutWidth() const { return Unscaled(nX); }
    int LayoutHeight() const { return Unscaled(nY); }
    int Unscaled(int pixels) const { return dScale == 1.0 ? pixels : static_cast<int>(pixels / dScale + 0.5); }
    bool bAlpha = false;
    bool bAdjusted = false;
    CUIString sResType;
};

// What an image text asks the registry for.
struct TImageRequest {
    CUIString sName;
    CUIString sResType;
    DWORD dwMask = 0;
    bool bFromResource = false;
    bool bUseHSL = false;
};

// One image attribute of a control, parsed once from its text.
struct TImageSpec {
    // Back to the defaults, the text included.
    void Reset();
    // Reads sText's key='value' items into this spec and the request;
    // a bare name is used whole. Keeps what was read before a malformed item.
    void Parse(TImageRequest& request);
    // The same for a text held elsewhere.
    void Parse(const wchar_t* text, TImageRequest& request);

    CUIString sText;
    CUIString sImageName;
    bool bLoadAttempted = false;
    TLoadedImage* pImage = nullptr;
    // The window DPI pImage was chosen for; another one chooses again.
    int nDpi = 96;
    RECT rcDest = {0, 0, 0, 0};
    RECT rcSource = {0, 0, 0, 0};
    RECT rcCorner = {0, 0, 0, 0};
    BYTE uFade = 255;
    bool bHole = false;
    bool bXTiled = false;
    bool bYTiled = false;
};

} // namespace SkinUI
