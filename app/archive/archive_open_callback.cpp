#include "app/archive/archive_open_callback.h"

#include "app/archive/com_ref.h"

namespace SevenZip::intl {

void* ArchiveOpenCallback::InterfaceFor(REFIID iid) noexcept
{
    if (iid == IID_IUnknown || iid == IID_IArchiveOpenCallback)
        return static_cast<IArchiveOpenCallback*>(this);
    if (iid == IID_ICryptoGetTextPassword)
        return static_cast<ICryptoGetTextPassword*>(this);
    return nullptr;
}

STDMETHODIMP ArchiveOpenCallback::SetTotal(const UInt64*, const UInt64*) noexcept
{
    return S_OK;
}

STDMETHODIMP ArchiveOpenCallback::SetCompleted(const UInt64*, const UInt64*) noexcept
{
    return S_OK;
}

STDMETHODIMP ArchiveOpenCallback::CryptoGetTextPassword(BSTR*) noexcept
{
    return E_ABORT;
}

} // namespace SevenZip::intl
