#include "app/archive/seven_zip_extractor.h"

#include "app/archive/archive_extract_callback.h"
#include "app/archive/archive_files.h"
#include "app/archive/archive_open_callback.h"
#include "app/archive/extract_trace.h"
#include "app/archive/in_stream_wrapper.h"
#include "app/archive/seven_zip_library.h"

#include <new>

namespace SevenZip {

using intl::ArchiveExtractCallback;
using intl::ArchiveOpenCallback;
using intl::ComRef;
using intl::InStreamWrapper;

namespace {

constexpr int32_t kPackageUnreadable = 110; // ERROR_OPEN_FAILED
constexpr UInt32 kAllItems = 0xFFFFFFFF;

} // namespace

int32_t SevenZipExtractor::ExtractTo(const std::wstring& folder)
{
    writtenPaths_.clear();
    // An empty folder would put the items at the root of the current drive.
    if (folder.empty())
        return E_INVALIDARG;
    ProbeFormat();
    ComRef<IStream> file = intl::OpenForRead(ArchivePath());
    if (!file)
        return kPackageUnreadable;

    ComRef<IInArchive> reader = intl::OpenReader(CurrentFormat());
    auto stream = ComRef<InStreamWrapper>::Share(new (std::nothrow) InStreamWrapper(file.get()));
    auto openCallback = ComRef<ArchiveOpenCallback>::Share(new (std::nothrow) ArchiveOpenCallback);
    if (!reader || !stream || !openCallback)
        return E_OUTOFMEMORY;
    HRESULT opened = reader->Open(stream.get(), nullptr, openCallback.get());
    if (opened != S_OK)
        return opened;

    auto extractCallback = ComRef<ArchiveExtractCallback>::Share(
        new (std::nothrow) ArchiveExtractCallback(reader.get(), folder, writtenPaths_));
    if (!extractCallback) {
        reader->Close();
        return E_OUTOFMEMORY;
    }
    HRESULT result = reader->Extract(nullptr, kAllItems, 0, extractCallback.get());
    if (result != S_OK)
        extractCallback->DiscardUnfinishedItem();
    reader->Close();
    intl::FlushTrace();
    return result;
}

} // namespace SevenZip
