#pragma once

#include "ui/core/ptr_array.h"
#include "ui/core/string_map.h"
#include "ui/core/ui_string.h"

#include <windows.h>

namespace SkinUI {

struct TLoadedImage;

// A registered image: the decoded pixels plus what it was loaded with.
struct TImageRecord {
    TLoadedImage* pImage = nullptr;
    CUIString sResType;
    DWORD dwMask = 0;
    bool bKeepSource = false;
};

// Images registered by name; the registry owns the records and their pixels.
class CImageRegistry {
public:
    CImageRegistry() = default;
    ~CImageRegistry();
    CImageRegistry(const CImageRegistry&) = delete;
    CImageRegistry& operator=(const CImageRegistry&) = delete;

    // Takes the record. The one it replaces stays alive until the registry
    // is emptied: controls' image specs may still point at its image.
    void Set(const wchar_t* name, TImageRecord* record);
    const TImageRecord* Find(const wchar_t* name) const;
    // Recolours the registered images (180, 100, 100 = unchanged).
    void Adjust(bool use, short hue, short saturation, short lightness);
    void RemoveAll();

private:
    CUIStringMapOf<TImageRecord> images_;
    CUIPtrArrayOf<TImageRecord> retired_;
};

} // namespace SkinUI
