#pragma once

#include "app/archive/com_ref.h"

#include "7zip/Archive/IArchive.h"
#include "7zip/IPassword.h"

namespace SevenZip::intl {

// Handed to the reader's Open. Gives no password, so a package whose
// listing is encrypted cannot be opened.
class ArchiveOpenCallback final : public CountedObject<IArchiveOpenCallback, ICryptoGetTextPassword> {
public:
    ArchiveOpenCallback() = default;

    STDMETHOD(SetTotal)(const UInt64* files, const UInt64* bytes) noexcept override;
    STDMETHOD(SetCompleted)(const UInt64* files, const UInt64* bytes) noexcept override;

    STDMETHOD(CryptoGetTextPassword)(BSTR* password) noexcept override;

private:
    ~ArchiveOpenCallback() override = default;

    void* InterfaceFor(REFIID iid) noexcept override;

};

} // namespace SevenZip::intl
