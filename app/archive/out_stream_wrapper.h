#pragma once

#include "app/archive/com_ref.h"

#include "7zip/IStream.h"

#include <objidl.h>

namespace SevenZip::intl {

// A target file's platform stream as the library's output stream.
class OutStreamWrapper final : public CountedObject<IOutStream> {
public:
    explicit OutStreamWrapper(IStream* stream);

    STDMETHOD(Write)(const void* data, UInt32 size, UInt32* processed) noexcept override;
    STDMETHOD(Seek)(Int64 offset, UInt32 origin, UInt64* newPosition) noexcept override;
    STDMETHOD(SetSize)(UInt64 size) noexcept override;

private:
    ~OutStreamWrapper() override = default;

    void* InterfaceFor(REFIID iid) noexcept override;

    ComRef<IStream> stream_;
};

} // namespace SevenZip::intl
