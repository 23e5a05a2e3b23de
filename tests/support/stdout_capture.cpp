#include "tests/support/stdout_capture.h"

#include "tests/support/files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

namespace testing_support {

StdoutCapture::StdoutCapture()
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"out", 0, file);
    path_ = file;
    fflush(stdout);
    int capture = _wopen(path_.c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (capture < 0)
        return;
    savedStdout_ = _dup(_fileno(stdout));
    _dup2(capture, _fileno(stdout));
    _close(capture);
}

StdoutCapture::~StdoutCapture()
{
    fflush(stdout);
    if (savedStdout_ >= 0) {
        _dup2(savedStdout_, _fileno(stdout));
        _close(savedStdout_);
    }
    DeleteFileW(path_.c_str());
}

std::vector<std::string> StdoutCapture::Lines()
{
    fflush(stdout);
    return ReadLines(path_);
}

} // namespace testing_support
