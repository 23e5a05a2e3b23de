#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// A child process whose standard output and error go to a file that the
// test reads once the process has ended. Terminated if still running when
// the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // commandLine is the whole command line, program name included if wanted.
    bool Start(const std::wstring& application, const std::wstring& commandLine,
               const std::wstring& currentFolder = std::wstring());

    // True when the process ended within timeoutMs.
    bool Wait(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    std::string Output() const;
    HANDLE Handle() const { return process_; }
    void Terminate();

private:
    void Close();

    HANDLE process_ = nullptr;
    std::wstring outputPath_;
};

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string output;
};

ProcessResult RunProcess(const std::wstring& application, const std::wstring& commandLine,
                         DWORD timeoutMs = 60000,
                         const std::wstring& currentFolder = std::wstring());

// Polls until the predicate holds or timeoutMs pass; true when it held.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

} // namespace testing_support
