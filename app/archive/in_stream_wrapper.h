#pragma once

#include "app/archive/com_ref.h"

#include "7zip/IStream.h"

#include <objidl.h>

namespace SevenZip::intl {

// The package file's platform stream as the library's input stream.
class InStreamWrapper final : public IInStream, public IStreamGetSize {
public:
    explicit InStreamWrapper(IStream* stream);
    InStreamWrapper(const InStreamWrapper&) = delete;
    InStreamWrapper& operator=(const InStreamWrapper&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) noexcept override;
    STDMETHOD_(ULONG, AddRef)() noexcept override;
    STDMETHOD_(ULONG, Release)() noexcept override;

    STDMETHOD(Read)(void* data, UInt32 size, UInt32* processed) noexcept override;
    STDMETHOD(Seek)(Int64 offset, UInt32 origin, UInt64* newPosition) noexcept override;

    STDMETHOD(GetSize)(UInt64* size) noexcept override;

private:
    virtual ~InStreamWrapper() = default;

    LONG refCount_ = 0;
    ComRef<IStream> stream_;
};

} // namespace SevenZip::intl
