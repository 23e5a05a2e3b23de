#include "tests/support/process.h"

#include "tests/support/files.h"

#include <atomic>
#include <utility>
#include <vector>

namespace testing_support {

namespace {

std::wstring NewOutputPath()
{
    static std::atomic<unsigned> counter{0};
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + L"kt_out_" + std::to_wstring(GetCurrentProcessId()) + L"_"
        + std::to_wstring(counter++) + L".txt";
}

} // namespace

ChildProcess::~ChildProcess()
{
    Close();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), outputPath_(std::move(other.outputPath_))
{
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Close();
        process_ = std::exchange(other.process_, nullptr);
        outputPath_ = std::move(other.outputPath_);
    }
    return *this;
}

void ChildProcess::Close()
{
    if (process_) {
        Terminate();
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (!outputPath_.empty()) {
        DeleteFileW(outputPath_.c_str());
        outputPath_.clear();
    }
}

bool ChildProcess::Start(const std::wstring& application, const std::wstring& commandLine,
                         const std::wstring& currentFolder)
{
    Close();
    outputPath_ = NewOutputPath();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath_.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    BOOL ok = CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info);
    if (output != INVALID_HANDLE_VALUE)
        CloseHandle(output);
    if (!ok)
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    return true;
}

bool ChildProcess::Wait(DWORD timeoutMs)
{
    return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

std::string ChildProcess::Output() const
{
    return outputPath_.empty() ? std::string() : ReadBytes(outputPath_);
}

void ChildProcess::Terminate()
{
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

ProcessResult RunProcess(const std::wstring& application, const std::wstring& commandLine,
                         DWORD timeoutMs, const std::wstring& currentFolder)
{
    ProcessResult result;
    ChildProcess child;
    result.started = child.Start(application, commandLine, currentFolder);
    if (!result.started)
        return result;
    result.timedOut = !child.Wait(timeoutMs);
    if (result.timedOut)
        child.Terminate();
    result.exitCode = child.ExitCode();
    result.output = child.Output();
    return result;
}

} // namespace testing_support
