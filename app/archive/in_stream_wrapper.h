#pragma once

#include "app/archive/com_ref.h"

#include "7zip/IStream.h"

#include <objidl.h>

namespace SevenZip::intl {

// The package file's platform stream as the library's input stream.
class InStreamWrapper final : public CountedObject<IInStream, IStreamGetSize> {
public:
    explicit InStreamWrapper(IStream* stream);

    STDMETHOD(Read)(void* data, UInt32 size, UInt32* processed) noexcept override;
    STDMETHOD(Seek)(Int64 offset, UInt32 origin, UInt64* newPosition) noexcept override;

    STDMETHOD(GetSize)(UInt64* size) noexcept override;

private:
    ~InStreamWrapper() override = default;

    void* InterfaceFor(REFIID iid) noexcept override;

    ComRef<IStream> stream_;
};

} // namespace SevenZip::intl
