#include "app/upgrade_download.h"

#include "app/bind_callback.h"
#include "app/package_address.h"
#include "app/time_limits.h"
#include "app/upgrade_session.h"

#include <io.h>
#include <stdio.h>
#include <urlmon.h>
#include <wininet.h>

namespace {

constexpr DWORD kFirstHttpError = 400;

// Up to, not including, the last separator; empty when there is none.
std::wstring ParentOf(const std::wstring& path)
{
    size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return std::wstring();
    return path.substr(0, last);
}

bool Exists(const std::wstring& path)
{
    return _waccess(path.c_str(), 0) == 0;
}

constexpr DWORD kLeaveCheckMs = 100;

struct Fetched {
    HRESULT result;
    DWORD httpStatus;
    bool redirectRefused;
    AnswerHeaders headers;
};

// What the first whole answer promised; the rest is asked for only of that file.
struct Promise {
    std::wstring validator;
    ULONGLONG size = 0;
};

ULONGLONG FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A stalled download makes no progress calls, so only a watchdog of its own
// can notice it and abort the binding. A kept size above zero asks for the rest.
Fetched Fetch(const std::wstring& address, const std::wstring& targetPath, HWND window,
              UpgradeSession* session, ULONGLONG kept, const Promise& promise)
{
    AbortableBinding binding;
    StallWatchdog watchdog(kDownloadStallLimitMs, [&binding] { binding.Abort(); });
    BindCallback callback(window, binding, watchdog);
    if (kept > 0)
        callback.RequestRest(kept, promise.size, promise.validator);
    if (session)
        session->AttachDownload(&binding);
    HRESULT result = URLDownloadToFileW(nullptr, address.c_str(), targetPath.c_str(), 0, &callback);
    if (session)
        session->DetachDownload();
    return {result, callback.HttpStatus(), callback.RedirectRefused(), callback.Headers()};
}

// ETag first: a Last-Modified date may stay the same for a file replaced
// within its second.
Promise PromiseOf(const Fetched& fetched)
{
    Promise promise;
    promise.validator = fetched.headers.etag.empty() ? fetched.headers.lastModified
                                                     : fetched.headers.etag;
    promise.size = fetched.headers.length;
    return promise;
}

// An error page or an empty answer is not a package and must not be taken
// for one; nor is a file shorter than announced.
bool IsComplete(const Fetched& fetched, const std::wstring& path, const Promise& promise)
{
    if (fetched.result != S_OK || fetched.redirectRefused || fetched.httpStatus >= kFirstHttpError)
        return false;
    ULONGLONG size = FileSize(path);
    return size != 0 && (promise.size == 0 || size == promise.size);
}

// Only a whole answer that named its file and its size can be continued; a
// refused redirect or an error page ends the download.
bool CanContinue(const Fetched& fetched, const std::wstring& path, const Promise& promise)
{
    if (fetched.redirectRefused || fetched.httpStatus >= kFirstHttpError)
        return false;
    return !promise.validator.empty() && promise.size != 0 && FileSize(path) < promise.size;
}

// False when the user left during the wait.
bool WaitUnlessLeft(DWORD waitMs, UpgradeSession* session)
{
    for (DWORD waited = 0; waited < waitMs; waited += kLeaveCheckMs) {
        if (session && session->LeaveRequested())
            return false;
        Sleep(kLeaveCheckMs);
    }
    return !(session && session->LeaveRequested());
}

bool AppendFile(const std::wstring& from, const std::wstring& to)
{
    FILE* in = _wfopen(from.c_str(), L"rb");
    if (!in)
        return false;
    FILE* out = _wfopen(to.c_str(), L"ab");
    if (!out) {
        fclose(in);
        return false;
    }
    char buffer[64 * 1024];
    bool ok = true;
    size_t got = 0;
    while (ok && (got = fread(buffer, 1, sizeof(buffer), in)) > 0)
        ok = fwrite(buffer, 1, got, out) == got;
    ok = ok && !ferror(in);
    fclose(in);
    return fclose(out) == 0 && ok;
}

// Takes the answer to a request for the rest into targetPath: a 206 for
// exactly the missing bytes of the promised file is appended, a 200 (the
// server ignores ranges, or the file changed) replaces what was kept.
// Anything else ends the download.
bool TakeRest(const Fetched& fetched, const std::wstring& restPath,
              const std::wstring& targetPath, ULONGLONG kept, Promise& promise)
{
    if (fetched.redirectRefused)
        return false;
    if (fetched.httpStatus == HTTP_STATUS_OK) {
        promise = PromiseOf(fetched);
        return MoveFileExW(restPath.c_str(), targetPath.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }
    const AnswerHeaders& range = fetched.headers;
    if (fetched.httpStatus != HTTP_STATUS_PARTIAL_CONTENT || range.rangeFirst != kept
        || range.rangeTotal != promise.size || range.rangeLast + 1 != promise.size)
        return false;
    return AppendFile(restPath, targetPath);
}

// The rest goes to a fresh file of its own next to the package, so that a
// broken answer never touches the bytes kept so far. Wine's urlmon leaves
// the bytes of a broken transfer at its target; where none were left, the
// kept size is zero and the whole file is asked for again.
bool FetchRest(const std::wstring& address, const std::wstring& targetPath, HWND window,
               UpgradeSession* session, Promise& promise, Fetched& fetched)
{
    wchar_t restPath[MAX_PATH] = {};
    if (!GetTempFileNameW(ParentOf(targetPath).c_str(), L"kst", 0, restPath))
        return false;
    ULONGLONG kept = FileSize(targetPath);
    fetched = Fetch(address, restPath, window, session, kept, promise);
    bool taken = TakeRest(fetched, restPath, targetPath, kept, promise);
    _wremove(restPath);
    return taken;
}

} // namespace

std::wstring PackageNameFromAddress(const std::wstring& address)
{
    std::wstring path = address.substr(0, address.find_first_of(L"?#"));
    size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

bool DownloadToFile(const std::wstring& address, const std::wstring& targetPath, HWND window,
                    UpgradeSession* session)
{
    if (!IsHttpsPackageAddress(address))
        return false;
    std::wstring folder = ParentOf(targetPath);
    if (folder.empty() || (!Exists(folder) && !MakeFolderChain(folder)))
        return false;
    if (Exists(targetPath))
        _wremove(targetPath.c_str());

    Fetched fetched = Fetch(address, targetPath, window, session, 0, Promise());
    Promise promise = PromiseOf(fetched);
    for (DWORD waitMs : kDownloadRetryWaitsMs) {
        if (IsComplete(fetched, targetPath, promise) || !CanContinue(fetched, targetPath, promise))
            break;
        if (!WaitUnlessLeft(waitMs, session)
            || !FetchRest(address, targetPath, window, session, promise, fetched))
            break;
    }
    if (IsComplete(fetched, targetPath, promise))
        return true;
    _wremove(targetPath.c_str());
    return false;
}

bool MakeFolderChain(const std::wstring& path)
{
    std::wstring parent = ParentOf(path);
    // A chain that reaches no existing folder has nowhere to start from.
    if (parent.empty())
        return false;
    if (!Exists(parent) && !MakeFolderChain(parent))
        return false;
    return _wmkdir(path.c_str()) == 0;
}
