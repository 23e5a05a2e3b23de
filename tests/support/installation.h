#pragma once

#include "tests/support/process.h"
#include "tests/support/temp_folder.h"

#include <string>
#include <vector>

namespace testing_support {

// A Tarnwick installation in a fresh temporary folder, or in a chain of
// subfolders of it (each ending with a backslash): Kestrel.exe and, unless
// left out, the stand-in Tarnwick.exe that logs to tarnwick.log.
class Installation {
public:
    explicit Installation(bool withTarnwick = true,
                          const std::wstring& standIn = L"TarnwickStandIn.exe",
                          const std::wstring& subfolders = L"");

    const std::wstring& Folder() const { return path_; }
    std::wstring PathOf(const std::wstring& name) const { return path_ + name; }
    std::wstring KestrelPath() const { return PathOf(L"Kestrel.exe"); }

    void WriteOemFile(const std::string& content) const;
    // Puts another build of Kestrel from the program folder in place of Kestrel.exe.
    void UseKestrel(const std::wstring& program) const;

    // Runs Kestrel.exe to its end.
    ProcessResult RunKestrel(DWORD timeoutMs = 60000) const;
    bool StartKestrel(ChildProcess& child) const;

    // Starts the stand-in Tarnwick from this folder with extra options and
    // waits until it has logged "ready".
    bool StartTarnwick(ChildProcess& child, const std::wstring& options) const;

    std::vector<std::string> TarnwickLog() const;
    // Lines of the log that begin with prefix, with the prefix taken off.
    std::vector<std::string> TarnwickLogLines(const std::string& prefix) const;

private:
    TempFolder folder_;
    std::wstring path_;
};

} // namespace testing_support
