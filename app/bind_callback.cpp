#include "app/bind_callback.h"

#include "app/package_address.h"
#include "app/upgrade_messages.h"

#include <wininet.h>

#include <cwchar>

namespace {

// "bytes FIRST-LAST/TOTAL" with all three numbers; anything else is no range.
bool ParseContentRange(const std::wstring& text, AnswerHeaders& headers)
{
    ULONGLONG first = 0, last = 0, total = 0;
    wchar_t rest = 0;
    if (std::swscanf(text.c_str(), L"bytes %llu-%llu/%llu%lc", &first, &last, &total, &rest) != 3)
        return false;
    if (first > last || last >= total)
        return false;
    headers.rangeFirst = first;
    headers.rangeLast = last;
    headers.rangeTotal = total;
    return true;
}

std::wstring QueryText(IWinInetHttpInfo* info, DWORD what)
{
    char buffer[512] = {};
    DWORD size = sizeof(buffer) - 2;
    if (info->QueryInfo(what, buffer, &size, nullptr, nullptr) != S_OK)
        return std::wstring();
    // The binding answers in the caller's character set: here, the ANSI one.
    std::string narrow(buffer, size);
    return std::wstring(narrow.begin(), narrow.end());
}

} // namespace

void BindCallback::RequestRest(ULONGLONG kept, ULONGLONG total, const std::wstring& validator)
{
    resuming_ = true;
    kept_ = kept;
    total_ = total;
    validator_ = validator;
}

BindCallback::~BindCallback()
{
    abortable_.Detach();
    DropBinding();
}

STDMETHODIMP BindCallback::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IHttpNegotiate)
        return E_NOTIMPL;
    *object = static_cast<IHttpNegotiate*>(this);
    return S_OK;
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
    PostProgress(progress, maximum);
    return S_OK;
}

// The bar goes on from the kept bytes; it only goes back when the server
// sends the whole file again. Until the answer tells which, a resuming
// download reports nothing.
void BindCallback::PostProgress(ULONG progress, ULONG maximum)
{
    ULONGLONG shown = progress;
    ULONGLONG size = maximum;
    if (resuming_) {
        if (httpStatus_ == 0)
            return;
        if (httpStatus_ == HTTP_STATUS_PARTIAL_CONTENT) {
            shown += kept_;
            size = total_;
        }
    }
    PostMessageW(window_, WM_UPGRADE_PROGRESS, static_cast<WPARAM>(shown),
                 static_cast<LPARAM>(size));
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

STDMETHODIMP BindCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders)
{
    if (!additionalHeaders)
        return E_POINTER;
    *additionalHeaders = nullptr;
    if (!resuming_)
        return S_OK;
    std::wstring extra = L"Range: bytes=" + std::to_wstring(kept_) + L"-\r\nIf-Range: "
                         + validator_ + L"\r\n";
    size_t bytes = (extra.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!copy)
        return E_OUTOFMEMORY;
    memcpy(copy, extra.c_str(), bytes);
    *additionalHeaders = copy;
    return S_OK;
}

STDMETHODIMP BindCallback::OnResponse(DWORD, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders)
{
    if (additionalHeaders)
        *additionalHeaders = nullptr;
    return S_OK;
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
        == S_OK) {
        httpStatus_ = status;
        ReadHeaders(info);
    }
    info->Release();
}

void BindCallback::ReadHeaders(IWinInetHttpInfo* info)
{
    headers_.etag = QueryText(info, HTTP_QUERY_ETAG);
    headers_.lastModified = QueryText(info, HTTP_QUERY_LAST_MODIFIED);
    std::wstring length = QueryText(info, HTTP_QUERY_CONTENT_LENGTH);
    headers_.length = length.empty() ? 0 : std::wcstoull(length.c_str(), nullptr, 10);
    ParseContentRange(QueryText(info, HTTP_QUERY_CONTENT_RANGE), headers_);
}

void BindCallback::DropBinding()
{
    if (binding_)
        binding_->Release();
    binding_ = nullptr;
}
