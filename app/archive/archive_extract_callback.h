#pragma once

#include "app/archive/com_ref.h"

#include "7zip/Archive/IArchive.h"
#include "7zip/ICoder.h"
#include "7zip/IPassword.h"

#include <string>
#include <vector>

namespace SevenZip::intl {

// Receives one extraction from the reader: puts each item under the
// destination folder, replacing what stands there, and restores its times
// and attributes once its data is complete.
class ArchiveExtractCallback final
    : public CountedObject<IArchiveExtractCallback, ICryptoGetTextPassword, ICompressProgressInfo> {
public:
    // written receives every path that the extraction creates or overwrites,
    // in the order it touches them; it must outlive the callback.
    ArchiveExtractCallback(IInArchive* reader, const std::wstring& folder,
                           std::vector<std::wstring>& written);

    STDMETHOD(SetTotal)(UInt64 total) noexcept override;
    STDMETHOD(SetCompleted)(const UInt64* completed) noexcept override;
    STDMETHOD(GetStream)(UInt32 index, ISequentialOutStream** stream, Int32 askMode) noexcept override;
    STDMETHOD(PrepareOperation)(Int32 askMode) noexcept override;
    STDMETHOD(SetOperationResult)(Int32 result) noexcept override;

    STDMETHOD(CryptoGetTextPassword)(BSTR* password) noexcept override;

    STDMETHOD(SetRatioInfo)(const UInt64* inSize, const UInt64* outSize) noexcept override;

    // Deletes the file of an item whose data never completed, after the
    // reader gave up on it.
    void DiscardUnfinishedItem();

private:
    ~ArchiveExtractCallback() override = default;

    void* InterfaceFor(REFIID iid) noexcept override;

    HRESULT ReadProperties(UInt32 index);
    HRESULT ReadPath(UInt32 index);
    HRESULT OpenTarget(ISequentialOutStream** stream);
    void ApplyTimesAndAttributes();
    void NoteCreatedFolders(const std::wstring& folder);

    ComRef<IInArchive> reader_;
    std::wstring folder_;
    std::wstring relativePath_;
    std::wstring targetPath_;
    bool isFolder_ = false;
    bool hasAttributes_ = false;
    UInt32 attributes_ = 0;
    bool hasModificationTime_ = false;
    FILETIME modificationTime_ = {};
    bool hasAccessTime_ = false;
    FILETIME accessTime_ = {};
    bool hasCreationTime_ = false;
    FILETIME creationTime_ = {};
    bool hasSize_ = false;
    UInt64 size_ = 0;
    UInt64 total_ = 0;
    bool fileUnfinished_ = false;
    std::wstring existingFolder_;
    std::vector<std::wstring>& written_;
};

} // namespace SevenZip::intl
