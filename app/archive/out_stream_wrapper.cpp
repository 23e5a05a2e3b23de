#include "app/archive/out_stream_wrapper.h"

#include "app/archive/com_ref.h"

namespace SevenZip::intl {

OutStreamWrapper::OutStreamWrapper(IStream* stream) : stream_(ComRef<IStream>::Share(stream)) {}

void* OutStreamWrapper::InterfaceFor(REFIID iid) noexcept
{
    if (iid != IID_IUnknown && iid != IID_ISequentialOutStream && iid != IID_IOutStream)
        return nullptr;
    return static_cast<IOutStream*>(this);
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
