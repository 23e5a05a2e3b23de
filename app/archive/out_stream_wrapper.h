#pragma once

#include "app/archive/com_ref.h"

#include "7zip/IStream.h"

#include <objidl.h>

namespace SevenZip::intl {

// A target file's platform stream as the library's output stream.
class OutStreamWrapper final : public IOutStream {
public:
    explicit OutStreamWrapper(IStream* stream);
    OutStreamWrapper(const OutStreamWrapper&) = delete;
    OutStreamWrapper& operator=(const OutStreamWrapper&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) noexcept override;
    STDMETHOD_(ULONG, AddRef)() noexcept override;
    STDMETHOD_(ULONG, Release)() noexcept override;

    STDMETHOD(Write)(const void* data, UInt32 size, UInt32* processed) noexcept override;
    STDMETHOD(Seek)(Int64 offset, UInt32 origin, UInt64* newPosition) noexcept override;
    STDMETHOD(SetSize)(UInt64 size) noexcept override;

private:
    virtual ~OutStreamWrapper() = default;

    LONG refCount_ = 0;
    ComRef<IStream> stream_;
};

} // namespace SevenZip::intl
