#include "app/archive/in_stream_wrapper.h"

#include "app/archive/com_ref.h"

namespace SevenZip::intl {

InStreamWrapper::InStreamWrapper(IStream* stream) : stream_(ComRef<IStream>::Share(stream)) {}

void* InStreamWrapper::InterfaceFor(REFIID iid) noexcept
{
    if (iid == IID_IUnknown || iid == IID_ISequentialInStream || iid == IID_IInStream)
        return static_cast<IInStream*>(this);
    if (iid == IID_IStreamGetSize)
        return static_cast<IStreamGetSize*>(this);
    return nullptr;
}

STDMETHODIMP InStreamWrapper::Read(void* data, UInt32 size, UInt32* processed) noexcept
{
    ULONG read = 0;
    HRESULT result = stream_->Read(data, size, &read);
    if (processed)
        *processed = read;
    // A short read answers S_FALSE; the library expects S_OK and the count.
    return FAILED(result) ? result : S_OK;
}

STDMETHODIMP InStreamWrapper::Seek(Int64 offset, UInt32 origin, UInt64* newPosition) noexcept
{
    return SeekStream(stream_.get(), offset, origin, newPosition);
}

STDMETHODIMP InStreamWrapper::GetSize(UInt64* size) noexcept
{
    STATSTG status = {};
    HRESULT result = stream_->Stat(&status, STATFLAG_NONAME);
    if (SUCCEEDED(result) && size)
        *size = status.cbSize.QuadPart;
    return result;
}

} // namespace SevenZip::intl
