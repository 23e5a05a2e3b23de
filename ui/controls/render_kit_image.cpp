#include "ui/controls/render_kit.h"

#include "ui/controls/attribute_value.h"
#include "ui/controls/render_kit_blend.h"
#include "ui/core/skin_source.h"
#include "ui/core/ui_manager.h"

#include <math.h>
#include <string.h>

#include <vector>

// Skin images come from layouts and files we do not control: decode only
// the common formats, from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#include <stb_image.h>

namespace SkinUI {

namespace {

const size_t kMaxEncodedBytes = 16 * 1024 * 1024;
const int kMaxImageSide = 16384;
const long long kMaxImagePixels = 16 * 1024 * 1024;

bool IsColorType(const wchar_t* type)
{
    return type && !IS_INTRESOURCE(type) && wcscmp(type, L"*COLOR*") == 0;
}

bool AcceptableSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide
        && static_cast<long long>(width) * height <= kMaxImagePixels;
}

// RGBA bytes into a premultiplied BGRA bitmap; the mask colour (compared
// with the stored pixel) becomes fully transparent.
TLoadedImage* MakeImage(const BYTE* rgba, int width, int height, DWORD mask)
{
    BYTE* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(nullptr, width, height, &bits);
    if (!bitmap)
        return nullptr;
    TLoadedImage* image = new TLoadedImage;
    image->hBitmap.reset(bitmap);
    image->pBits = bits;
    image->nX = width;
    image->nY = height;
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        const BYTE* in = rgba + i * 4;
        BYTE* out = bits + i * 4;
        BYTE alpha = in[3];
        out[3] = alpha;
        if (alpha == 255) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        } else {
            out[0] = static_cast<BYTE>(in[2] * alpha / 255);
            out[1] = static_cast<BYTE>(in[1] * alpha / 255);
            out[2] = static_cast<BYTE>(in[0] * alpha / 255);
            image->bAlpha = true;
        }
        DWORD value;
        memcpy(&value, out, 4);
        if (value == mask) {
            memset(out, 0, 4);
            image->bAlpha = true;
        }
    }
    return image;
}

} // namespace

TLoadedImage* CRenderKit::LoadImageFromBytes(const void* bytes, size_t length, DWORD mask)
{
    if (!bytes || length == 0 || length > kMaxEncodedBytes)
        return nullptr;
    const stbi_uc* encoded = static_cast<const stbi_uc*>(bytes);
    int width = 0;
    int height = 0;
    int channels = 0;
    // The header's size is checked before the decoder allocates anything.
    if (!stbi_info_from_memory(encoded, static_cast<int>(length), &width, &height, &channels)
        || !AcceptableSize(width, height))
        return nullptr;
    int decodedWidth = 0;
    int decodedHeight = 0;
    stbi_uc* rgba = stbi_load_from_memory(encoded, static_cast<int>(length), &decodedWidth, &decodedHeight,
        &channels, 4);
    if (!rgba)
        return nullptr;
    TLoadedImage* image = nullptr;
    if (decodedWidth == width && decodedHeight == height)
        image = MakeImage(rgba, width, height, mask);
    stbi_image_free(rgba);
    return image;
}

TLoadedImage* CRenderKit::LoadImage(const wchar_t* name, const wchar_t* type, DWORD mask)
{
    if (!name)
        return nullptr;
    TLoadedImage* image = nullptr;
    if (IsColorType(type)) {
        if (IS_INTRESOURCE(name))
            return nullptr;
        DWORD color = ParseColorValue(name);
        const BYTE rgba[4] = {static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8),
            static_cast<BYTE>(color), static_cast<BYTE>(color >> 24)};
        image = MakeImage(rgba, 1, 1, mask);
    } else {
        std::vector<unsigned char> bytes;
        if (!CSkinSource::LoadImageBytes(name, type, bytes, kMaxEncodedBytes))
            return nullptr;
        image = LoadImageFromBytes(bytes.data(), bytes.size(), mask);
    }
    if (image && type && !IS_INTRESOURCE(type))
        image->sResType = type;
    return image;
}

namespace {

bool LoadSpecImage(CUIManager* manager, TImageSpec& spec)
{
    TImageRequest request;
    spec.Parse(request);
    spec.sImageName = request.sName;
    if (request.sName.IsEmpty())
        return false;
    const wchar_t* type = request.bFromResource && !request.sResType.IsEmpty() ? request.sResType.GetData()
                                                                                : nullptr;
    spec.nDpi = manager->GetScale().Dpi();
    spec.pImage = manager->ImageByNameOrLoad(request.sName, type, request.dwMask, request.bUseHSL);
    if (!spec.pImage)
        return false;
    const RECT& source = spec.rcSource;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
        spec.rcSource = RECT{0, 0, spec.pImage->LayoutWidth(), spec.pImage->LayoutHeight()};
    return true;
}

// An image description's source rectangle is in the image's layout units; the chosen image may
// hold more pixels per unit.
int ImagePixels(double scale, long units)
{
    return scale == 1.0 ? units : static_cast<int>(floor(units * scale + 0.5));
}

RECT ImagePixels(double scale, const RECT& units)
{
    return RECT{ImagePixels(scale, units.left), ImagePixels(scale, units.top), ImagePixels(scale, units.right),
        ImagePixels(scale, units.bottom)};
}

void ClampToImage(RECT& source, const TLoadedImage& image)
{
    const int width = image.LayoutWidth();
    const int height = image.LayoutHeight();
    source.left = source.left < 0 ? 0 : source.left;
    source.top = source.top < 0 ? 0 : source.top;
    source.right = source.right > width ? width : source.right;
    source.bottom = source.bottom > height ? height : source.bottom;
}

bool IsZeroRect(const RECT& rc)
{
    return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0;
}

RECT DestinationOf(const RECT& item, const RECT& dest)
{
    if (IsZeroRect(dest))
        return item;
    RECT rc;
    rc.left = item.left + dest.left;
    rc.top = item.top + dest.top;
    rc.right = item.left + dest.right < item.right ? item.left + dest.right : item.right;
    rc.bottom = item.top + dest.bottom < item.bottom ? item.top + dest.bottom : item.bottom;
    return rc;
}

} // namespace

bool CRenderKit::DrawImageString(HDC hDC, CUIManager* manager, const RECT& rcItem, const RECT& rcPaint,
    TImageSpec& spec)
{
    if (!manager)
        return true;
    const CDpiScale& scale = manager->GetScale();
    // Moved to a monitor of another scale: the image for it is chosen anew.
    if (spec.nDpi != scale.Dpi() && (spec.pImage || spec.bLoadAttempted)) {
        spec.pImage = nullptr;
        spec.bLoadAttempted = false;
    }
    if (!spec.pImage) {
        if (spec.bLoadAttempted)
            return false;
        spec.bLoadAttempted = true;
        if (spec.sText.IsEmpty() || !LoadSpecImage(manager, spec))
            return false;
    }
    ClampToImage(spec.rcSource, *spec.pImage);
    if (!hDC)
        return true;
    RECT dest = DestinationOf(rcItem, scale.Pixels(spec.rcDest));
    RECT visible;
    if (!IntersectRect(&visible, &dest, &rcItem) || !IntersectRect(&visible, &dest, &rcPaint))
        return true;
    const double density = spec.pImage->dScale;
    // Corners keep their meaning: in the image they are the chosen file's
    // pixels, on the window the layout's units at the window's scale.
    const RECT destCorner = scale.Pixels(spec.rcCorner);
    DrawImageRaw(hDC, spec.pImage->hBitmap.get(), dest, rcPaint, ImagePixels(density, spec.rcSource),
        ImagePixels(density, spec.rcCorner), spec.pImage->bAlpha, spec.uFade, spec.bHole, spec.bXTiled, spec.bYTiled,
        &destCorner);
    return true;
}

} // namespace SkinUI
