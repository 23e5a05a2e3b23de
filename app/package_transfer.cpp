#include "app/package_transfer.h"

#include "app/download_abort.h"
#include "app/http_client.h"
#include "app/package_address.h"
#include "app/shared_thread.h"
#include "app/upgrade_messages.h"

#include <wininet.h>

#include <atomic>
#include <cwchar>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Certificates are validated. Redirects are followed by hand, so that each
// new address is judged before anything is asked of it. Nothing is taken
// from or written to the cache: every byte counted came from the server.
const DWORD kRequestFlags = INTERNET_FLAG_SECURE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE
                            | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT
                            | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_COOKIES
                            | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI;
constexpr int kMostRedirects = 8;
constexpr DWORD kPiece = 64 * 1024;

// One request, shared by the download and the thread that runs it, so that
// either may be the last to let go of it. The thread writes the file only
// under the lock and only while the download still wants it.
struct Exchange {
    TransferRequest request;
    HWND window = nullptr;
    DWORD stallLimitMs = 0;
    std::atomic<DWORD> lastBytes{0};
    std::mutex lock;
    bool abandoned = false;
    SkinUI::FileHandle file;
    Transfer transfer;
};

bool SendRequest(const std::wstring& address, const TransferRequest& request, DWORD limitMs,
                 RequestHandles& handles)
{
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(address.c_str(), 0, 0, &parts) || !parts.lpszUrlPath)
        return false;
    std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo)
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    object = object.substr(0, object.find(L'#'));
    if (object.empty())
        object = L"/";

    handles.internet.reset(InternetOpenW(L"Kestrel", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!handles.internet)
        return false;
    handles.connection.reset(InternetConnectW(handles.internet.get(), host, parts.nPort, nullptr,
                                              nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!handles.connection)
        return false;
    handles.request.reset(HttpOpenRequestW(handles.connection.get(), L"GET", object.c_str(), nullptr,
                                           nullptr, nullptr, kRequestFlags, 0));
    if (!handles.request)
        return false;
    // WinINet's own limits end a thread that was given up on a silent server.
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handles.request.get(), option, &limitMs, sizeof(limitMs));
    std::wstring extra;
    if (request.kept > 0)
        extra = L"Range: bytes=" + std::to_wstring(request.kept) + L"-\r\nIf-Range: "
                + request.validator + L"\r\n";
    return HttpSendRequestW(handles.request.get(), extra.empty() ? nullptr : extra.c_str(),
                            static_cast<DWORD>(extra.size()), nullptr, 0)
           != FALSE;
}

std::wstring QueryText(HINTERNET request, DWORD what)
{
    wchar_t buffer[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = sizeof(buffer) - sizeof(buffer[0]);
    if (!HttpQueryInfoW(request, what, buffer, &size, nullptr))
        return std::wstring();
    return std::wstring(buffer, size / sizeof(buffer[0]));
}

DWORD QueryStatus(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr))
        return 0;
    return status;
}

bool IsRedirect(DWORD status)
{
    return status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT
           || status == HTTP_STATUS_REDIRECT_METHOD || status == HTTP_STATUS_REDIRECT_KEEP_VERB
           || status == HTTP_STATUS_PERMANENT_REDIRECT;
}

// The Location of a redirect, taken relative to the address that gave it.
std::wstring RedirectTarget(const std::wstring& address, HINTERNET request)
{
    std::wstring location = QueryText(request, HTTP_QUERY_LOCATION);
    if (location.empty())
        return std::wstring();
    wchar_t combined[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD length = INTERNET_MAX_URL_LENGTH;
    if (!InternetCombineUrlW(address.c_str(), location.c_str(), combined, &length, ICU_NO_ENCODE))
        return std::wstring();
    return std::wstring(combined, length);
}

// "bytes FIRST-LAST/TOTAL" with all three numbers; anything else is no range.
void ParseContentRange(const std::wstring& text, AnswerHeaders& headers)
{
    ULONGLONG first = 0, last = 0, total = 0;
    wchar_t rest = 0;
    if (std::swscanf(text.c_str(), L"bytes %llu-%llu/%llu%lc", &first, &last, &total, &rest) != 3)
        return;
    if (first > last || last >= total)
        return;
    headers.rangeFirst = first;
    headers.rangeLast = last;
    headers.rangeTotal = total;
}

AnswerHeaders ReadHeaders(HINTERNET request)
{
    AnswerHeaders headers;
    headers.etag = QueryText(request, HTTP_QUERY_ETAG);
    headers.lastModified = QueryText(request, HTTP_QUERY_LAST_MODIFIED);
    std::wstring length = QueryText(request, HTTP_QUERY_CONTENT_LENGTH);
    headers.length = length.empty() ? 0 : std::wcstoull(length.c_str(), nullptr, 10);
    ParseContentRange(QueryText(request, HTTP_QUERY_CONTENT_RANGE), headers);
    return headers;
}

// A 200 is the whole file, whatever was asked; a 206 counts only when it
// carries exactly the missing bytes of the file that was promised.
Written Judge(const TransferRequest& request, DWORD status, const AnswerHeaders& headers)
{
    if (status == HTTP_STATUS_OK)
        return Written::Replaced;
    if (status != HTTP_STATUS_PARTIAL_CONTENT || request.kept == 0)
        return Written::Nothing;
    bool exactRest = headers.rangeFirst == request.kept && headers.rangeTotal == request.total
                     && headers.rangeLast + 1 == request.total;
    return exactRest ? Written::Appended : Written::Nothing;
}

// Appending needs the kept bytes to be exactly as many as were asked past.
SkinUI::FileHandle OpenTarget(const TransferRequest& request, Written written)
{
    DWORD disposition = written == Written::Appended ? OPEN_EXISTING : CREATE_ALWAYS;
    SkinUI::FileHandle file(CreateFileW(request.targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || written != Written::Appended)
        return file;
    LARGE_INTEGER size = {};
    LARGE_INTEGER end = {};
    if (!GetFileSizeEx(file.get(), &size) || static_cast<ULONGLONG>(size.QuadPart) != request.kept
        || !SetFilePointerEx(file.get(), end, nullptr, FILE_END))
        return SkinUI::FileHandle();
    return file;
}

void ReadBody(Exchange& exchange, HINTERNET request, ULONGLONG base, ULONGLONG size)
{
    std::vector<char> piece(kPiece);
    ULONGLONG received = 0;
    for (;;) {
        // A read waits until its buffer is full; asking first what has come
        // takes each piece as it arrives, so that progress and the stall
        // limit see every byte.
        DWORD available = 0;
        DWORD read = 0;
        BOOL ok = InternetQueryDataAvailable(request, &available, 0, 0);
        if (ok && available > 0)
            ok = InternetReadFile(request, piece.data(), available < kPiece ? available : kPiece, &read);
        std::lock_guard<std::mutex> hold(exchange.lock);
        if (exchange.abandoned || !ok)
            return;
        if (read == 0) {
            exchange.transfer.result = S_OK;
            return;
        }
        DWORD wrote = 0;
        if (!WriteFile(exchange.file.get(), piece.data(), read, &wrote, nullptr) || wrote != read)
            return;
        received += read;
        exchange.lastBytes = GetTickCount();
        PostMessageW(exchange.window, WM_UPGRADE_PROGRESS, static_cast<WPARAM>(base + received),
                     static_cast<LPARAM>(size));
    }
}

void Run(Exchange& exchange)
{
    std::wstring address = exchange.request.address;
    RequestHandles handles;
    DWORD status = 0;
    for (int hop = 0;; ++hop) {
        handles.Close();
        if (!SendRequest(address, exchange.request, exchange.stallLimitMs, handles))
            return;
        status = QueryStatus(handles.request.get());
        if (!IsRedirect(status))
            break;
        address = RedirectTarget(address, handles.request.get());
        if (hop == kMostRedirects || !IsHttpsPackageAddress(address)) {
            std::lock_guard<std::mutex> hold(exchange.lock);
            exchange.transfer.redirectRefused = true;
            return;
        }
    }
    AnswerHeaders headers = ReadHeaders(handles.request.get());
    Written written = Judge(exchange.request, status, headers);
    {
        std::lock_guard<std::mutex> hold(exchange.lock);
        exchange.transfer.httpStatus = status;
        exchange.transfer.headers = headers;
        if (exchange.abandoned)
            return;
        if (written == Written::Nothing) {
            exchange.transfer.result = S_OK;
            return;
        }
        exchange.file = OpenTarget(exchange.request, written);
        if (!exchange.file)
            return;
        exchange.transfer.written = written;
        if (exchange.request.beforeBody)
            exchange.request.beforeBody(headers, written);
    }
    bool rest = written == Written::Appended;
    ReadBody(exchange, handles.request.get(), rest ? exchange.request.kept : 0,
             rest ? exchange.request.total : headers.length);
}

unsigned __stdcall ExchangeThread(void* shared)
{
    std::shared_ptr<Exchange> exchange = TakeShared<Exchange>(shared);
    // Nothing leaves the thread: a transfer that throws has failed.
    try {
        Run(*exchange);
    } catch (...) {
    }
    std::lock_guard<std::mutex> hold(exchange->lock);
    exchange->file.reset();
    return 0;
}

} // namespace

// A blocked WinINet call cannot be cut short (under Wine closing its handle
// from another thread does not end it), so the request runs on a thread of
// its own. On a stall or an abort the download stops waiting at once, and
// closes the file so that the thread writes nothing more; the thread ends
// with WinINet's own time-out, or with the process.
Transfer RunTransfer(const TransferRequest& request, HWND window, DWORD stallLimitMs,
                     const DownloadAbort* abort)
{
    auto exchange = std::make_shared<Exchange>();
    exchange->request = request;
    exchange->window = window;
    exchange->stallLimitMs = stallLimitMs;
    exchange->lastBytes = GetTickCount();
    Transfer given;
    given.result = E_ABORT;
    if (abort && abort->Aborted())
        return given;
    SkinUI::KernelHandle thread = StartSharedThread(exchange, &ExchangeThread);
    if (!thread)
        return Transfer();
    HANDLE waits[2] = {thread.get(), abort ? abort->Event() : nullptr};
    DWORD count = abort ? 2 : 1;
    for (;;) {
        DWORD idle = GetTickCount() - exchange->lastBytes;
        if (idle >= stallLimitMs)
            break;
        DWORD woken = WaitForMultipleObjects(count, waits, FALSE, stallLimitMs - idle);
        if (woken == WAIT_OBJECT_0) {
            std::lock_guard<std::mutex> hold(exchange->lock);
            return exchange->transfer;
        }
        if (woken != WAIT_TIMEOUT)
            break;
    }
    std::lock_guard<std::mutex> hold(exchange->lock);
    exchange->abandoned = true;
    exchange->file.reset();
    given = exchange->transfer;
    given.result = E_ABORT;
    return given;
}
