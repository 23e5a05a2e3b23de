#pragma once

#include "7zip/Archive/IArchive.h"
#include "7zip/IPassword.h"

namespace SevenZip::intl {

// Handed to the reader's Open. Gives no password, so a package whose
// listing is encrypted cannot be opened.
class ArchiveOpenCallback final : public IArchiveOpenCallback, public ICryptoGetTextPassword {
public:
    ArchiveOpenCallback() = default;
    ArchiveOpenCallback(const ArchiveOpenCallback&) = delete;
    ArchiveOpenCallback& operator=(const ArchiveOpenCallback&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) noexcept override;
    STDMETHOD_(ULONG, AddRef)() noexcept override;
    STDMETHOD_(ULONG, Release)() noexcept override;

    STDMETHOD(SetTotal)(const UInt64* files, const UInt64* bytes) noexcept override;
    STDMETHOD(SetCompleted)(const UInt64* files, const UInt64* bytes) noexcept override;

    STDMETHOD(CryptoGetTextPassword)(BSTR* password) noexcept override;

private:
    virtual ~ArchiveOpenCallback() = default;

    LONG refCount_ = 0;
};

} // namespace SevenZip::intl
