#include "app/bind_callback.h"

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

STDMETHODIMP BindCallback::OnProgress(ULONG progress, ULONG maximum, ULONG, LPCWSTR)
{
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
