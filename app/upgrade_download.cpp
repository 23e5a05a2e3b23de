#include "app/upgrade_download.h"

#include "app/bind_callback.h"
#include "app/package_address.h"
#include "app/time_limits.h"
#include "app/upgrade_session.h"

#include <io.h>
#include <stdio.h>
#include <urlmon.h>

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

bool IsNonEmptyFile(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    return data.nFileSizeLow != 0 || data.nFileSizeHigh != 0;
}

struct Fetched {
    HRESULT result;
    DWORD httpStatus;
    bool redirectRefused;
};

// A stalled download makes no progress calls, so only a watchdog of its own
// can notice it and abort the binding.
Fetched Fetch(const std::wstring& address, const std::wstring& targetPath, HWND window,
              UpgradeSession* session)
{
    AbortableBinding binding;
    StallWatchdog watchdog(kDownloadStallLimitMs, [&binding] { binding.Abort(); });
    BindCallback callback(window, binding, watchdog);
    if (session)
        session->AttachDownload(&binding);
    HRESULT result = URLDownloadToFileW(nullptr, address.c_str(), targetPath.c_str(), 0, &callback);
    if (session)
        session->DetachDownload();
    return {result, callback.HttpStatus(), callback.RedirectRefused()};
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

    Fetched fetched = Fetch(address, targetPath, window, session);
    // An error page or an empty answer is not a package and must not be taken
    // for one; a partial one after a stall is only garbage.
    if (fetched.result == S_OK && !fetched.redirectRefused && fetched.httpStatus < kFirstHttpError
        && IsNonEmptyFile(targetPath))
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
