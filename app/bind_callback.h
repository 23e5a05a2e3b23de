#pragma once

#include "app/abortable_binding.h"
#include "app/stall_watchdog.h"

#include <windows.h>
#include <urlmon.h>

// Status callback of the package download: every progress report becomes a
// WM_UPGRADE_PROGRESS message to the upgrade window, and a report of new
// bytes feeds the watchdog. A redirect to anything but an https address
// (app/package_address.h) aborts the binding. The binding is attached to abortable for the
// length of the download. Lives on the caller's stack for the length of one
// download; not reference-counted.
class BindCallback final : public IBindStatusCallback {
public:
    BindCallback(HWND window, AbortableBinding& abortable, StallWatchdog& watchdog)
        : window_(window), abortable_(abortable), watchdog_(watchdog)
    {
    }
    ~BindCallback();
    BindCallback(const BindCallback&) = delete;
    BindCallback& operator=(const BindCallback&) = delete;

    // The HTTP status of the answer; 0 when none was seen (not HTTP, or no answer).
    DWORD HttpStatus() const { return httpStatus_; }
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

private:
    bool RefuseLeavingHttps(ULONG statusCode, LPCWSTR statusText);
    bool FetchesOffHttps() const;
    void ReadHttpStatus();
    void DropBinding();

    HWND window_;
    AbortableBinding& abortable_;
    StallWatchdog& watchdog_;
    ULONG lastProgress_ = 0;
    // Held only to ask for the answer's status: a download tool reports an
    // error page as a successful download.
    IBinding* binding_ = nullptr;
    DWORD httpStatus_ = 0;
    bool redirectRefused_ = false;
};
