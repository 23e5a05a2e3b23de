#pragma once

#include "app/abortable_binding.h"
#include "app/stall_watchdog.h"

#include <windows.h>
#include <urlmon.h>

#include <string>

// What an answer said about the file it carries, read from its headers.
struct AnswerHeaders {
    std::wstring etag;
    std::wstring lastModified;
    // Content-Range "bytes FIRST-LAST/TOTAL"; rangeTotal 0 when absent or unreadable.
    ULONGLONG rangeFirst = 0;
    ULONGLONG rangeLast = 0;
    ULONGLONG rangeTotal = 0;
    // Content-Length; 0 when absent.
    ULONGLONG length = 0;
};

// Status callback of the package download: every progress report becomes a
// WM_UPGRADE_PROGRESS message to the upgrade window, and a report of new
// bytes feeds the watchdog. A redirect to anything but an https address
// (app/package_address.h) aborts the binding. The binding is attached to abortable for the
// length of the download. A callback made to fetch the rest of a file asks
// for the bytes from `kept` on, only if the file still carries `validator`
// (If-Range); its progress reports count the kept bytes once the answer is a
// 206, and from zero when it is not. Lives on the caller's stack for the
// length of one download; not reference-counted.
class BindCallback final : public IBindStatusCallback, public IHttpNegotiate {
public:
    BindCallback(HWND window, AbortableBinding& abortable, StallWatchdog& watchdog)
        : window_(window), abortable_(abortable), watchdog_(watchdog)
    {
    }
    ~BindCallback();
    BindCallback(const BindCallback&) = delete;
    BindCallback& operator=(const BindCallback&) = delete;

    // Asks for the rest of a file of which kept bytes are held.
    void RequestRest(ULONGLONG kept, ULONGLONG total, const std::wstring& validator);

    // The HTTP status of the answer; 0 when none was seen (not HTTP, or no answer).
    DWORD HttpStatus() const { return httpStatus_; }
    // The answer's headers; empty until the status was seen.
    const AnswerHeaders& Headers() const { return headers_; }
    // True once a redirect was refused: whatever the download wrote is not the package.
    bool RedirectRefused() const { return redirectRefused_; }

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(OnStartBinding)(DWORD reserved, IBinding* binding) override;
    STDMETHOD(GetPriority)(LONG* priority) override;
    STDMETHOD(OnLowResource)(DWORD reserved) override;
    STDMETHOD(OnProgress)(ULONG progress, ULONG maximum, ULONG statusCode,
                          LPCWSTR statusText) override;
    STDMETHOD(OnStopBinding)(HRESULT result, LPCWSTR error) override;
    STDMETHOD(GetBindInfo)(DWORD* flags, BINDINFO* info) override;
    STDMETHOD(OnDataAvailable)(DWORD flags, DWORD size, FORMATETC* format,
                               STGMEDIUM* medium) override;
    STDMETHOD(OnObjectAvailable)(REFIID iid, IUnknown* object) override;
    STDMETHOD(BeginningTransaction)(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                    LPWSTR* additionalHeaders) override;
    STDMETHOD(OnResponse)(DWORD status, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                          LPWSTR* additionalHeaders) override;

private:
    bool RefuseLeavingHttps(ULONG statusCode, LPCWSTR statusText);
    bool FetchesOffHttps() const;
    void ReadHttpStatus();
    void ReadHeaders(IWinInetHttpInfo* info);
    void PostProgress(ULONG progress, ULONG maximum);
    void DropBinding();

    HWND window_;
    AbortableBinding& abortable_;
    StallWatchdog& watchdog_;
    ULONG lastProgress_ = 0;
    // Held only to ask for the answer's status: a download tool reports an
    // error page as a successful download.
    IBinding* binding_ = nullptr;
    DWORD httpStatus_ = 0;
    AnswerHeaders headers_;
    bool redirectRefused_ = false;
    bool resuming_ = false;
    ULONGLONG kept_ = 0;
    ULONGLONG total_ = 0;
    std::wstring validator_;
};
