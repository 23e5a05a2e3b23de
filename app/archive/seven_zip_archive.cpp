#include "app/archive/seven_zip_archive.h"

#include "app/archive/archive_files.h"
#include "app/archive/archive_open_callback.h"
#include "app/archive/archive_property.h"
#include "app/archive/in_stream_wrapper.h"
#include "app/archive/seven_zip_library.h"

#include "7zip/PropID.h"

#include <algorithm>
#include <new>

namespace SevenZip {

using intl::ArchiveOpenCallback;
using intl::ComRef;
using intl::InStreamWrapper;

bool SevenZipArchive::SetArchiveFile(const std::wstring& path)
{
    archivePath_ = path;
    return true;
}

bool SevenZipArchive::LoadMetadata()
{
    bool detected = formatForced_ || DetectFormat();
    bool listed = ListItems();
    return detected && listed;
}

void SevenZipArchive::ForceFormat(ArchiveFormat format)
{
    format_ = format;
    formatForced_ = true;
    metadataLoaded_ = false;
}

ArchiveFormat SevenZipArchive::QueryFormat()
{
    if (!metadataLoaded_ && !formatForced_)
        metadataLoaded_ = LoadMetadata();
    return format_;
}

void SevenZipArchive::SetLevel(int32_t level)
{
    level_ = level;
}

int32_t SevenZipArchive::QueryLevel()
{
    return level_;
}

bool SevenZipArchive::ProbeFormat()
{
    formatForced_ = false;
    return DetectFormat();
}

uint32_t SevenZipArchive::ItemCount()
{
    EnsureMetadata();
    return itemCount_;
}

std::vector<std::wstring> SevenZipArchive::ItemNames()
{
    EnsureMetadata();
    return itemNames_;
}

std::vector<uint32_t> SevenZipArchive::ItemSizes()
{
    EnsureMetadata();
    return itemSizes_;
}

std::vector<bool> SevenZipArchive::ItemFolders()
{
    EnsureMetadata();
    return itemFolders_;
}

void SevenZipArchive::EnsureMetadata()
{
    if (!metadataLoaded_)
        metadataLoaded_ = LoadMetadata();
}

// Tries the current format first, then the others in a fixed order; the
// readers check signatures, so the first that opens the file names it.
bool SevenZipArchive::DetectFormat()
{
    ComRef<IStream> file = intl::OpenForRead(archivePath_);
    if (!file)
        return false;
    std::vector<ArchiveFormat> candidates = {format_, Format7z, FormatLzma86, FormatLzma,
                                             FormatCab, FormatZip};
    auto last = std::find(candidates.rbegin(), candidates.rend(), format_);
    candidates.erase(std::next(last).base());

    auto callback = ComRef<ArchiveOpenCallback>::Share(new (std::nothrow) ArchiveOpenCallback);
    if (!callback)
        return false;
    const UInt64 maxStartPosition = 0;
    for (ArchiveFormat candidate : candidates) {
        format_ = candidate;
        ComRef<IInArchive> reader = intl::OpenReader(candidate);
        auto stream = ComRef<InStreamWrapper>::Share(new (std::nothrow) InStreamWrapper(file.get()));
        if (!reader || !stream)
            continue;
        LARGE_INTEGER start = {};
        file->Seek(start, STREAM_SEEK_SET, nullptr);
        HRESULT opened = reader->Open(stream.get(), &maxStartPosition, callback.get());
        reader->Close();
        if (opened == S_OK)
            return true;
    }
    format_ = FormatNone;
    return false;
}

bool SevenZipArchive::ListItems()
{
    ComRef<IStream> file = intl::OpenForRead(archivePath_);
    if (!file)
        return false;
    ComRef<IInArchive> reader = intl::OpenReader(format_);
    auto stream = ComRef<InStreamWrapper>::Share(new (std::nothrow) InStreamWrapper(file.get()));
    auto callback = ComRef<ArchiveOpenCallback>::Share(new (std::nothrow) ArchiveOpenCallback);
    if (!reader || !stream || !callback)
        return false;
    if (reader->Open(stream.get(), nullptr, callback.get()) != S_OK)
        return false;

    UInt32 count = 0;
    if (reader->GetNumberOfItems(&count) != S_OK) {
        reader->Close();
        return false;
    }
    itemCount_ = count;
    itemNames_.assign(count, std::wstring());
    itemSizes_.assign(count, 0);
    itemFolders_.assign(count, false);
    bool complete = true;
    for (UInt32 index = 0; index < count && complete; ++index)
        complete = ReadItem(reader.get(), index);
    reader->Close();
    return complete;
}

bool SevenZipArchive::ReadItem(IInArchive* reader, uint32_t index)
{
    intl::PropValue size;
    if (reader->GetProperty(index, kpidSize, &size.value) != S_OK)
        return false;
    uint64_t unpacked = 0;
    if (intl::AsSize(size.value, unpacked))
        itemSizes_[index] = static_cast<uint32_t>(unpacked);
    intl::PropValue path;
    if (reader->GetProperty(index, kpidPath, &path.value) != S_OK)
        return false;
    if (path.value.vt == VT_BSTR && path.value.bstrVal)
        itemNames_[index].assign(path.value.bstrVal, SysStringLen(path.value.bstrVal));
    intl::PropValue folder;
    if (reader->GetProperty(index, kpidIsDir, &folder.value) != S_OK)
        return false;
    itemFolders_[index] = folder.value.vt == VT_BOOL && folder.value.boolVal != VARIANT_FALSE;
    return true;
}

} // namespace SevenZip
