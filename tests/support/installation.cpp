#include "tests/support/installation.h"

#include "tests/support/files.h"

namespace testing_support {

Installation::Installation(bool withTarnwick, const std::wstring& standIn, const std::wstring& subfolders)
    : path_(folder_.Path())
{
    for (size_t end = subfolders.find(L'\\'); end != std::wstring::npos; end = subfolders.find(L'\\', end + 1)) {
        path_ = folder_.Path() + subfolders.substr(0, end + 1);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    CopyFileTo(ProgramFolder() + L"Kestrel.exe", KestrelPath());
    if (withTarnwick)
        CopyFileTo(ProgramFolder() + standIn, PathOf(L"Tarnwick.exe"));
}

void Installation::WriteOemFile(const std::string& content) const
{
    WriteBytes(PathOf(L"kestrel.dat"), content);
}

void Installation::UseKestrel(const std::wstring& program) const
{
    CopyFileTo(ProgramFolder() + program, KestrelPath());
}

ProcessResult Installation::RunKestrel(DWORD timeoutMs) const
{
    return RunProcess(KestrelPath(), L"Kestrel.exe", timeoutMs);
}

bool Installation::StartKestrel(ChildProcess& child) const
{
    return child.Start(KestrelPath(), L"Kestrel.exe");
}

bool Installation::StartTarnwick(ChildProcess& child, const std::wstring& options) const
{
    size_t readyBefore = TarnwickLogLines("ready").size();
    if (!child.Start(PathOf(L"Tarnwick.exe"), L"Tarnwick.exe " + options))
        return false;
    return WaitUntil([&] { return TarnwickLogLines("ready").size() > readyBefore; }, 20000);
}

std::vector<std::string> Installation::TarnwickLog() const
{
    return ReadLines(PathOf(L"tarnwick.log"));
}

std::vector<std::string> Installation::TarnwickLogLines(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& line : TarnwickLog()) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line.substr(prefix.size()));
    }
    return found;
}

} // namespace testing_support
