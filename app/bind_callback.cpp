#include "app/bind_callback.h"

#include "app/package_address.h"
#include "app/upgrade_messages.h"

#include <wininet.h>

BindCallback::~BindCallback()
{
    abortable_.Detach();
    DropBinding();
}

STDMETHODIMP BindCallback::QueryInterface(REFIID, void** object)
{
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP_(ULONG) BindCallback::AddRef()
{
    return 0;
}

STDMETHODIMP_(ULONG) BindCallback::Release()
{
    return 0;
}

STDMETHODIMP BindCallback::OnStartBinding(DWORD, IBinding* binding)
{
    abortable_.Attach(binding);
    DropBinding();
    if (binding) {
        binding->AddRef();
        binding_ = binding;
    }
    return E_NOTIMPL;
}

STDMETHODIMP BindCallback::GetPriority(LONG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP BindCallback::OnLowResource(DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP BindCallback::OnProgress(ULONG progress, ULONG maximum, ULONG statusCode,
                                      LPCWSTR statusText)
{
    if (RefuseLeavingHttps(statusCode, statusText))
        return E_ABORT;
    // Reports without new bytes (connecting, redirects, the end) are no sign of life.
    if (progress != lastProgress_) {
        lastProgress_ = progress;
        watchdog_.Feed();
    }
    ReadHttpStatus();
    PostMessageW(window_, WM_UPGRADE_PROGRESS, static_cast<WPARAM>(progress),
                 static_cast<LPARAM>(maximum));
    return S_OK;
}

STDMETHODIMP BindCallback::OnStopBinding(HRESULT, LPCWSTR)
{
    ReadHttpStatus();
    DropBinding();
    return E_NOTIMPL;
}

STDMETHODIMP BindCallback::GetBindInfo(DWORD*, BINDINFO*)
{
    return E_NOTIMPL;
}

STDMETHODIMP BindCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

STDMETHODIMP BindCallback::OnObjectAvailable(REFIID, IUnknown*)
{
    return E_NOTIMPL;
}

// urlmon follows redirects itself. Windows reports each one with the new
// address; Wine reports it only at the end, with the old one, so the
// address the binding fetches now is asked for too (when the binding can
// tell it yet). Refusing means aborting the binding, and the flag fails the
// download whatever urlmon makes of the abort.
bool BindCallback::RefuseLeavingHttps(ULONG statusCode, LPCWSTR statusText)
{
    bool redirectedOff = statusCode == BINDSTATUS_REDIRECTING
                         && (!statusText || !IsHttpsPackageAddress(statusText));
    if (!redirectRefused_ && (redirectedOff || FetchesOffHttps())) {
        redirectRefused_ = true;
        abortable_.Abort();
    }
    return redirectRefused_;
}

// False while the binding cannot tell its address yet.
bool BindCallback::FetchesOffHttps() const
{
    if (!binding_)
        return false;
    IWinInetInfo* info = nullptr;
    if (FAILED(binding_->QueryInterface(IID_IWinInetInfo, reinterpret_cast<void**>(&info))) || !info)
        return false;
    wchar_t url[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = sizeof(url) - sizeof(url[0]);
    bool known = info->QueryOption(INTERNET_OPTION_URL, url, &size) == S_OK;
    info->Release();
    return known && !IsHttpsPackageAddress(url);
}

void BindCallback::ReadHttpStatus()
{
    if (httpStatus_ != 0 || !binding_)
        return;
    IWinInetHttpInfo* info = nullptr;
    if (FAILED(binding_->QueryInterface(IID_IWinInetHttpInfo, reinterpret_cast<void**>(&info)))
        || !info)
        return;
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (info->QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr,
                        nullptr)
        == S_OK)
        httpStatus_ = status;
    info->Release();
}

void BindCallback::DropBinding()
{
    if (binding_)
        binding_->Release();
    binding_ = nullptr;
}
