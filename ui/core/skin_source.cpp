#include "ui/core/skin_source.h"

#include "ui/core/unique_handle.h"

#include <string.h>

#include <memory>

namespace SkinUI {

namespace {

struct SkinSettings {
    HINSTANCE module = nullptr;
    CUIString resourcePath;
    CUIString zipName;
    bool zipCached = true;
    std::unique_ptr<CZipReader> cachedZip;
};

SkinSettings& Settings()
{
    static SkinSettings settings;
    return settings;
}

enum class FileRead { Ok, CannotOpen, Empty, TooLarge, Short };

// Reads a file whole; limit 0 means no limit.
FileRead ReadWholeFile(const wchar_t* path, std::vector<unsigned char>& bytes, uint64_t limit)
{
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return FileRead::CannotOpen;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size))
        return FileRead::CannotOpen;
    uint64_t length = static_cast<uint64_t>(size.QuadPart);
    if (length == 0)
        return FileRead::Empty;
    if ((limit && length > limit) || length > SIZE_MAX / 2)
        return FileRead::TooLarge;
    bytes.resize(static_cast<size_t>(length));
    size_t done = 0;
    while (done < bytes.size()) {
        size_t left = bytes.size() - done;
        DWORD wanted = left > 0x10000000 ? 0x10000000u : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, wanted, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    if (done < bytes.size()) {
        bytes.clear();
        return FileRead::Short;
    }
    return FileRead::Ok;
}

const wchar_t* FolderReadMessage(FileRead result)
{
    switch (result) {
    case FileRead::CannotOpen:
        return L"Error opening file";
    case FileRead::Empty:
        return L"File is empty";
    case FileRead::TooLarge:
        return L"File too large";
    case FileRead::Short:
        return L"Could not read file";
    case FileRead::Ok:
        break;
    }
    return nullptr;
}

// The archive to read from: the cached one, or one opened for this read.
CZipReader* ArchiveForRead(std::unique_ptr<CZipReader>& opened)
{
    SkinSettings& settings = Settings();
    if (settings.zipCached)
        return settings.cachedZip.get();
    opened = CZipReader::OpenFile(settings.resourcePath + settings.zipName);
    return opened.get();
}

bool ExtractWhole(CZipReader& zip, int index, uint32_t size, std::vector<unsigned char>& bytes)
{
    bytes.resize(size);
    unsigned result = zip.UnzipItem(index, bytes.data(), bytes.size());
    if (result == kZipOk || result == kZipMore)
        return true;
    bytes.clear();
    return false;
}

bool ReadFromSkinSource(const wchar_t* name, std::vector<unsigned char>& bytes, size_t limit)
{
    SkinSettings& settings = Settings();
    if (IS_INTRESOURCE(name))
        return false;
    if (settings.zipName.IsEmpty())
        return ReadWholeFile(settings.resourcePath + name, bytes, limit) == FileRead::Ok;
    std::unique_ptr<CZipReader> opened;
    CZipReader* zip = ArchiveForRead(opened);
    if (!zip)
        return false;
    int index = -1;
    TZipEntry entry;
    if (zip->FindItem(name, true, &index, &entry) != kZipOk || entry.uncompressedSize == 0)
        return false;
    if (limit && entry.uncompressedSize > limit)
        return false;
    return ExtractWhole(*zip, index, entry.uncompressedSize, bytes);
}

bool ReadModuleResource(const wchar_t* name, const wchar_t* type, std::vector<unsigned char>& bytes, size_t limit)
{
    HINSTANCE module = Settings().module;
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource)
        return false;
    DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded || size == 0 || (limit && size > limit))
        return false;
    const void* data = LockResource(loaded);
    if (data) {
        const unsigned char* first = static_cast<const unsigned char*>(data);
        bytes.assign(first, first + size);
    }
    FreeResource(loaded);
    return data != nullptr;
}

} // namespace

const wchar_t* const CSkinSource::kMemoryZipName = L"membuffer";

void CSkinSource::SetModule(HINSTANCE module)
{
    Settings().module = module;
}

HINSTANCE CSkinSource::Module()
{
    return Settings().module;
}

CUIString CSkinSource::GetModuleFolder()
{
    HINSTANCE module = Settings().module;
    if (!module)
        return CUIString();
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CUIString();
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash)
        return CUIString();
    return CUIString(path, static_cast<int>(slash - path) + 1);
}

void CSkinSource::SetResourceFolder(const wchar_t* path)
{
    CUIString& stored = Settings().resourcePath;
    stored = path;
    if (stored.IsEmpty())
        return;
    wchar_t last = stored[stored.GetLength() - 1];
    if (last != L'\\' && last != L'/')
        stored += L'\\';
}

const CUIString& CSkinSource::ResourceFolder()
{
    return Settings().resourcePath;
}

void CSkinSource::UseZipFile(const wchar_t* name, bool cached)
{
    SkinSettings& settings = Settings();
    if (settings.zipName == name && settings.zipCached == cached)
        return;
    if (settings.zipCached)
        settings.cachedZip.reset();
    settings.zipName = name;
    settings.zipCached = cached;
    if (cached)
        settings.cachedZip = CZipReader::OpenFile(settings.resourcePath + settings.zipName);
}

void CSkinSource::UseZipInMemory(const void* bytes, size_t length)
{
    SkinSettings& settings = Settings();
    if (settings.zipName == kMemoryZipName)
        return;
    if (settings.zipCached)
        settings.cachedZip.reset();
    settings.zipName = kMemoryZipName;
    if (settings.zipCached)
        settings.cachedZip = CZipReader::OpenMemory(bytes, length);
}

const CUIString& CSkinSource::ResourceZipName()
{
    return Settings().zipName;
}

bool CSkinSource::IsZipCached()
{
    return Settings().zipCached;
}

CZipReader* CSkinSource::CachedZip()
{
    return Settings().cachedZip.get();
}

bool CSkinSource::ReadLayoutFile(const wchar_t* name, std::vector<unsigned char>& bytes, const wchar_t*& message)
{
    bytes.clear();
    SkinSettings& settings = Settings();
    if (settings.zipName.IsEmpty()) {
        message = FolderReadMessage(ReadWholeFile(settings.resourcePath + name, bytes, kMaxLayoutBytes));
        return message == nullptr;
    }
    std::unique_ptr<CZipReader> opened;
    CZipReader* zip = ArchiveForRead(opened);
    if (!zip) {
        message = L"Error opening zip file";
        return false;
    }
    int index = -1;
    TZipEntry entry;
    if (zip->FindItem(name, true, &index, &entry) != kZipOk) {
        message = L"Could not find ziped file";
        return false;
    }
    if (entry.uncompressedSize == 0) {
        message = L"File is empty";
        return false;
    }
    if (entry.uncompressedSize > kMaxLayoutBytes) {
        message = L"File too large";
        return false;
    }
    if (!ExtractWhole(*zip, index, entry.uncompressedSize, bytes)) {
        message = L"Could not unzip file";
        return false;
    }
    return true;
}

bool CSkinSource::LoadImageBytes(const wchar_t* name, const wchar_t* type, std::vector<unsigned char>& bytes,
    size_t limit)
{
    bytes.clear();
    if (!name)
        return false;
    if (type && !IS_INTRESOURCE(type) && wcscmp(type, L"*COLOR*") == 0)
        return false;
    bool found = type ? ReadModuleResource(name, type, bytes, limit) : ReadFromSkinSource(name, bytes, limit);
    if (found)
        return true;
    if (IS_INTRESOURCE(name))
        return false;
    return ReadWholeFile(name, bytes, limit) == FileRead::Ok;
}

} // namespace SkinUI
