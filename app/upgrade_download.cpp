#include "app/upgrade_download.h"

#include "app/download_abort.h"
#include "app/package_address.h"
#include "app/package_name.h"
#include "app/resume_record.h"
#include "app/package_transfer.h"
#include "app/time_limits.h"
#include "app/upgrade_session.h"

#include <io.h>
#include <wininet.h>

namespace {

constexpr DWORD kFirstHttpError = 400;
constexpr DWORD kFirstServerError = 500;

// Up to, not including, the last separator; empty when there is none.
std::wstring ParentOf(const std::wstring& path)
{
    size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return std::wstring();
    return path.substr(0, last);
}

std::wstring LastComponent(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool Exists(const std::wstring& path)
{
    return _waccess(path.c_str(), 0) == 0;
}

constexpr DWORD kLeaveCheckMs = 100;

// What the first whole answer promised; the rest is asked for only of that file.
struct Promise {
    std::wstring validator;
    ULONGLONG size = 0;
    // The bytes held came from a 200 answer, not an error page.
    bool whole = false;
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

// Bytes are kept across runs only when the answer named its file and size,
// and under a name that the next run may take up again as a leftover
// package (app/package_name.h).
bool MayKeep(const std::wstring& targetPath, const KeptPackage* kept, const Promise& promise)
{
    return kept && !kept->proof.empty() && promise.whole && !promise.validator.empty()
           && promise.size != 0 && HasPackageExtension(LastComponent(targetPath));
}

// The record goes down before the first byte of an answer that is part of
// the file, so that the bytes are known at the next start however this run
// ends; any other answer leaves none.
void RecordAnswer(const std::wstring& address, const std::wstring& targetPath,
                  const KeptPackage* kept, const Promise& promise)
{
    std::wstring recordPath = ResumeRecordPath(targetPath);
    if (!MayKeep(targetPath, kept, promise)) {
        _wremove(recordPath.c_str());
        return;
    }
    ResumeRecord record;
    record.address = address;
    record.validator = promise.validator;
    record.size = promise.size;
    record.proof = kept->proof;
    WriteResumeRecord(recordPath, record);
}

Promise PromiseOf(const AnswerHeaders& headers, DWORD httpStatus);

// A kept size above zero asks for the rest of the promised file.
Transfer Fetch(const std::wstring& address, const std::wstring& targetPath, HWND window,
               UpgradeSession* session, ULONGLONG kept, const Promise& promise,
               const KeptPackage* keptPackage)
{
    TransferRequest request;
    request.address = address;
    request.targetPath = targetPath;
    request.kept = kept;
    request.total = promise.size;
    request.validator = promise.validator;
    request.beforeBody = [&](const AnswerHeaders& headers, Written written) {
        RecordAnswer(address, targetPath, keptPackage,
                     written == Written::Replaced ? PromiseOf(headers, HTTP_STATUS_OK) : promise);
    };
    DownloadAbort abort;
    if (session)
        session->AttachDownload(&abort);
    Transfer transfer = RunTransfer(request, window, kDownloadStallLimitMs, &abort);
    if (session)
        session->DetachDownload();
    return transfer;
}

// ETag first: a Last-Modified date may stay the same for a file replaced
// within its second.
Promise PromiseOf(const AnswerHeaders& headers, DWORD httpStatus)
{
    Promise promise;
    promise.validator = headers.etag.empty() ? headers.lastModified : headers.etag;
    promise.size = headers.length;
    promise.whole = httpStatus == HTTP_STATUS_OK;
    return promise;
}

Promise PromiseOf(const Transfer& fetched)
{
    return PromiseOf(fetched.headers, fetched.httpStatus);
}

// An error page or an empty answer is not a package and must not be taken
// for one; nor is a file shorter than announced.
bool IsComplete(const Transfer& fetched, const std::wstring& path, const Promise& promise)
{
    if (fetched.result != S_OK || fetched.redirectRefused || fetched.httpStatus >= kFirstHttpError)
        return false;
    ULONGLONG size = FileSize(path);
    return size != 0 && (promise.size == 0 || size == promise.size);
}

// Only a whole answer that named its file and its size can be continued; a
// refused redirect or an error page ends the download.
bool CanContinue(const Transfer& fetched, const std::wstring& path, const Promise& promise)
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

// A 206 for exactly the missing bytes of the promised file has been
// appended, a 200 (the server ignores ranges, or the file changed) has
// replaced what was kept; anything else wrote nothing and ends the download.
bool FetchRest(const std::wstring& address, const std::wstring& targetPath, HWND window,
               UpgradeSession* session, Promise& promise, Transfer& fetched,
               const KeptPackage* kept)
{
    fetched = Fetch(address, targetPath, window, session, FileSize(targetPath), promise, kept);
    if (fetched.written == Written::Replaced)
        promise = PromiseOf(fetched);
    return fetched.written != Written::Nothing;
}

// True when the target holds the first bytes of the file that the record
// beside it names, fetched from this address under this proof; promise is
// then that file's. Any other record is deleted. One that matches stays
// until an answer replaces it, so a run that ends before any answer keeps
// the bytes known.
bool TakeKeptBytes(const std::wstring& address, const std::wstring& targetPath,
                   const KeptPackage* kept, Promise& promise)
{
    std::wstring recordPath = ResumeRecordPath(targetPath);
    ResumeRecord record;
    bool readable = ReadResumeRecord(recordPath, record);
    ULONGLONG size = FileSize(targetPath);
    if (!readable || !kept || kept->proof.empty() || record.address != address
        || record.proof != kept->proof || size == 0 || size >= record.size) {
        _wremove(recordPath.c_str());
        return false;
    }
    promise.validator = record.validator;
    promise.size = record.size;
    promise.whole = true;
    return true;
}

// Goes on from bytes an earlier run kept; false when the download must
// start from zero. A server that answers the range wrongly (another start or
// total, 416, a client error) gets no second chance with them: they are
// deleted. When no answer came, or the server is out of service for now
// (5xx), they stay for the retries and the next run. continued tells
// whether they are still part of the file (a 200 replaces them).
bool GoOnFromKeptBytes(const std::wstring& address, const std::wstring& targetPath, HWND window,
                       UpgradeSession* session, Promise& promise, Transfer& fetched,
                       const KeptPackage* kept, bool& continued)
{
    continued = false;
    if (FetchRest(address, targetPath, window, session, promise, fetched, kept)) {
        continued = fetched.httpStatus != HTTP_STATUS_OK;
        return true;
    }
    if ((fetched.httpStatus == 0 || fetched.httpStatus >= kFirstServerError)
        && !fetched.redirectRefused) {
        continued = true;
        return true;
    }
    _wremove(ResumeRecordPath(targetPath).c_str());
    _wremove(targetPath.c_str());
    return false;
}

// A download that ended short keeps its bytes with their record, or leaves
// neither. Bytes whose record could not be written cannot be proved later.
void KeepOrDelete(const std::wstring& address, const std::wstring& targetPath,
                  const KeptPackage* kept, const Transfer& fetched, const Promise& promise)
{
    std::wstring recordPath = ResumeRecordPath(targetPath);
    ULONGLONG held = FileSize(targetPath);
    bool keep = !fetched.redirectRefused && held != 0 && held < promise.size
                && MayKeep(targetPath, kept, promise);
    if (keep)
        RecordAnswer(address, targetPath, kept, promise);
    else
        _wremove(recordPath.c_str());
    if (!keep || !Exists(recordPath))
        _wremove(targetPath.c_str());
}

} // namespace

std::wstring PackageNameFromAddress(const std::wstring& address)
{
    std::wstring path = address.substr(0, address.find_first_of(L"?#"));
    size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

bool DownloadToFile(const std::wstring& address, const std::wstring& targetPath, HWND window,
                    UpgradeSession* session, KeptPackage* kept)
{
    if (!IsHttpsPackageAddress(address))
        return false;
    std::wstring folder = ParentOf(targetPath);
    if (folder.empty() || (!Exists(folder) && !MakeFolderChain(folder)))
        return false;
    Promise promise;
    Transfer fetched;
    bool continued = false;
    bool underWay = TakeKeptBytes(address, targetPath, kept, promise)
                    && GoOnFromKeptBytes(address, targetPath, window, session, promise, fetched,
                                         kept, continued);
    if (kept)
        kept->continued = continued;
    if (!underWay) {
        if (Exists(targetPath))
            _wremove(targetPath.c_str());
        fetched = Fetch(address, targetPath, window, session, 0, Promise(), kept);
        promise = PromiseOf(fetched);
    }
    for (DWORD waitMs : kDownloadRetryWaitsMs) {
        if (IsComplete(fetched, targetPath, promise) || !CanContinue(fetched, targetPath, promise))
            break;
        if (!WaitUnlessLeft(waitMs, session)
            || !FetchRest(address, targetPath, window, session, promise, fetched, kept))
            break;
    }
    if (IsComplete(fetched, targetPath, promise)) {
        _wremove(ResumeRecordPath(targetPath).c_str());
        return true;
    }
    KeepOrDelete(address, targetPath, kept, fetched, promise);
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
