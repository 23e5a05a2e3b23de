#include "app/archive/archive_open_callback.h"

#include "app/archive/com_ref.h"

namespace SevenZip::intl {

STDMETHODIMP ArchiveOpenCallback::QueryInterface(REFIID iid, void** object) noexcept
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IArchiveOpenCallback)
        *object = static_cast<IArchiveOpenCallback*>(this);
    else if (iid == IID_ICryptoGetTextPassword)
        *object = static_cast<ICryptoGetTextPassword*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ArchiveOpenCallback::AddRef() noexcept
{
    return IncrementReferences(refCount_);
}

STDMETHODIMP_(ULONG) ArchiveOpenCallback::Release() noexcept
{
    ULONG left = DecrementReferences(refCount_);
    if (left == 0)
        delete this;
    return left;
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
