#pragma once

#include "ui/core/ui_string.h"
#include "ui/core/zip_reader.h"

#include <windows.h>

#include <stddef.h>

#include <vector>

namespace SkinUI {

// Where skin files (layouts and images) come from: a folder, a zip file on
// disk or a zip held in memory. Process-wide, set from the UI thread before
// any window exists.
class CSkinSource {
public:
    static const size_t kMaxLayoutBytes = 4194304;
    static const wchar_t* const kMemoryZipName;

    static void SetModule(HINSTANCE module);
    static HINSTANCE Module();
    // The module's folder with its trailing backslash; empty without a module.
    static CUIString GetModuleFolder();

    static void SetResourceFolder(const wchar_t* path);
    static const CUIString& ResourceFolder();

    static void UseZipFile(const wchar_t* name, bool cached = true);
    // The block is not copied and must live as long as the process; once an
    // in-memory zip is in use, later ones are ignored.
    static void UseZipInMemory(const void* bytes, size_t length);
    static const CUIString& ResourceZipName();
    static bool IsZipCached();
    static CZipReader* CachedZip();

    // A layout document read whole, within its size limit; on failure
    // message is the text for the markup's error field.
    static bool ReadLayoutFile(const wchar_t* name, std::vector<unsigned char>& bytes, const wchar_t*& message);

    // The encoded bytes of an image: from a module resource when a type is
    // given, else from the skin source, and failing both from the name taken
    // as a path. The type "*COLOR*" names a colour and gives no bytes.
    // A limit above 0 refuses larger images before reading them.
    static bool LoadImageBytes(const wchar_t* name, const wchar_t* type, std::vector<unsigned char>& bytes,
        size_t limit = 0);
};

} // namespace SkinUI
