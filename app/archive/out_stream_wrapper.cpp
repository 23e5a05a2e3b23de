#include "app/archive/out_stream_wrapper.h"

#include "app/archive/com_ref.h"

namespace SevenZip::intl {

OutStreamWrapper::OutStreamWrapper(IStream* stream) : stream_(ComRef<IStream>::Share(stream)) {}

STDMETHODIMP OutStreamWrapper::QueryInterface(REFIID iid, void** object) noexcept
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_ISequentialOutStream && iid != IID_IOutStream)
        return E_NOINTERFACE;
    *object = static_cast<IOutStream*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OutStreamWrapper::AddRef() noexcept
{
    return IncrementReferences(refCount_);
}

STDMETHODIMP_(ULONG) OutStreamWrapper::Release() noexcept
{
    ULONG left = DecrementReferences(refCount_);
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP OutStreamWrapper::Write(const void* data, UInt32 size, UInt32* processed) noexcept
{
    ULONG written = 0;
    HRESULT result = stream_->Write(data, size, &written);
    if (processed)
        *processed = written;
    return result;
}

STDMETHODIMP OutStreamWrapper::Seek(Int64 offset, UInt32 origin, UInt64* newPosition) noexcept
{
    return SeekStream(stream_.get(), offset, origin, newPosition);
}

STDMETHODIMP OutStreamWrapper::SetSize(UInt64 size) noexcept
{
    ULARGE_INTEGER newSize;
    newSize.QuadPart = size;
    return stream_->SetSize(newSize);
}

} // namespace SevenZip::intl
