#pragma once

#include <windows.h>

#include <functional>
#include <string>

class DownloadAbort;

// One GET of the package, or of its rest, over WinINet, written into the
// target file by Kestrel itself as the bytes arrive: whatever ends the run
// (the user leaving, the process killed, the machine going off), what has
// arrived is in the file. The answer's headers are judged before a byte is
// written, so a wrong answer never touches the bytes already held.

// What an answer said about the file it carries.
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

enum class Written {
    Nothing,   // the answer was no part of the file: the target is as it was
    Appended,  // a 206 for exactly the missing bytes, added to the kept ones
    Replaced,  // a whole answer (200), written over whatever the target held
};

struct TransferRequest {
    std::wstring address;
    std::wstring targetPath;
    // Above zero: the target holds that many bytes of a file of total bytes
    // that carries validator (ETag or Last-Modified), and only the rest is
    // asked for (Range, with If-Range).
    ULONGLONG kept = 0;
    ULONGLONG total = 0;
    std::wstring validator;
    // Called once the answer is known to be part of the file, before its
    // first byte is written (on the transfer's own thread, never after the
    // download has given the transfer up).
    std::function<void(const AnswerHeaders&, Written)> beforeBody;
};

struct Transfer {
    // S_OK when the answer was read to its end; E_ABORT when aborted or
    // stalled; E_FAIL when it broke or could not be made or written.
    HRESULT result = E_FAIL;
    // 0 when no answer came.
    DWORD httpStatus = 0;
    // A redirect led off https (app/package_address.h): nothing was written.
    bool redirectRefused = false;
    AnswerHeaders headers;
    Written written = Written::Nothing;
};

// Runs one request; progress goes to window as WM_UPGRADE_PROGRESS, counting
// the kept bytes when the answer is their rest and from zero when it is the
// whole file. Redirects are followed only while they stay on https. An
// answer during which no bytes arrive for stallLimitMs is given up, and so
// is one that abort stops. Error answers (400 and above) write nothing.
Transfer RunTransfer(const TransferRequest& request, HWND window, DWORD stallLimitMs,
                     const DownloadAbort* abort);
