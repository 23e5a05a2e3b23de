// One Kestrel run over a prepared installation, timed against the stamps
// the stand-in Tarnwicks leave in tarnwick.log (performance counter values,
// which all processes of the machine share):
//   first_start_harness.exe watch FOLDER     ms from the new Tarnwick's
//       window ("window-at") to Kestrel's end
//   first_start_harness.exe takeback FOLDER  ms from the new Tarnwick's
//       crash ("crash-at") to the previous one's start ("start-at" after it),
//       then ms from Kestrel's line about the failed start to that start
//   first_start_harness.exe rename FOLDER    the reference: ms to rename the
//       folder's files beginning with "_" back over those they replace and
//       have the Tarnwick among them start
// Prints the figures alone, or -1 when the run did not go as expected.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

double Milliseconds(long long ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(frequency.QuadPart);
}

long long Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::vector<std::string> LogLines(const std::wstring& folder)
{
    std::vector<std::string> lines;
    FILE* file = _wfopen((folder + L"tarnwick.log").c_str(), L"rb");
    if (!file)
        return lines;
    char line[4096];
    while (fgets(line, sizeof(line), file)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        lines.push_back(text);
    }
    fclose(file);
    return lines;
}

// The counter of the first stamp named event at or after line from; its
// line in at.
long long FindStamp(const std::vector<std::string>& lines, const std::string& event, size_t from, size_t& at)
{
    std::string prefix = event + "-at: ";
    for (at = from; at < lines.size(); ++at) {
        if (lines[at].compare(0, prefix.size(), prefix) == 0)
            return strtoll(lines[at].c_str() + prefix.size(), nullptr, 10);
    }
    return 0;
}

struct KestrelRun {
    long long end = 0;       // 0 when it did not end in time
    long long verdict = 0;   // when its line about a failed start arrived
};

// Runs Kestrel with its standard output on a pipe, noting when the line
// that announces a take-back arrives.
KestrelRun RunKestrel(const std::wstring& folder)
{
    KestrelRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring program = folder + L"Kestrel.exe";
    std::wstring commandLine = L"Kestrel.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  folder.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return run;
    }
    std::string output;
    long long deadline = Now() + static_cast<long long>(120.0 / Milliseconds(1) * 1e3);
    for (;;) {
        DWORD available = 0;
        PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr);
        if (available) {
            std::string chunk(available, '\0');
            DWORD read = 0;
            ReadFile(readEnd, &chunk[0], available, &read, nullptr);
            output.append(chunk, 0, read);
            if (!run.verdict && output.find("taking it back") != std::string::npos)
                run.verdict = Now();
            continue;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            run.end = Now();
            break;
        }
        if (Now() > deadline)
            break;
    }
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

// Stamps may come a moment after Kestrel's end (the previous Tarnwick's start).
std::vector<std::string> LogWithStamp(const std::wstring& folder, const std::string& event, size_t count)
{
    std::vector<std::string> lines;
    for (int tries = 0; tries < 500; ++tries) {
        lines = LogLines(folder);
        size_t found = 0, at = 0, from = 0;
        while (found < count && FindStamp(lines, event, from, at) != 0) {
            ++found;
            from = at + 1;
        }
        if (found >= count)
            break;
        Sleep(10);
    }
    return lines;
}

double Watch(const std::wstring& folder)
{
    long long end = RunKestrel(folder).end;
    std::vector<std::string> lines = LogWithStamp(folder, "window", 1);
    size_t at = 0;
    long long window = FindStamp(lines, "window", 0, at);
    return end && window ? Milliseconds(end - window) : -1;
}

// Two figures: from the crash, and from Kestrel's verdict, to the
// previous Tarnwick's start. Between the two lies the platform's handling
// of the crash (Wine looks for a crash debugger first).
bool TakeBack(const std::wstring& folder, double& fromCrash, double& fromVerdict)
{
    KestrelRun run = RunKestrel(folder);
    if (!run.end || !run.verdict)
        return false;
    // The new Tarnwick's start, its crash, then the previous one's start.
    std::vector<std::string> lines = LogWithStamp(folder, "start", 2);
    size_t crashLine = 0, startLine = 0;
    long long crash = FindStamp(lines, "crash", 0, crashLine);
    long long start = crash ? FindStamp(lines, "start", crashLine + 1, startLine) : 0;
    if (!crash || !start)
        return false;
    fromCrash = Milliseconds(start - crash);
    fromVerdict = Milliseconds(start - run.verdict);
    return true;
}

double Rename(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"_*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    long long start = Now();
    for (const std::wstring& name : names) {
        std::wstring installed = folder + name.substr(1);
        DeleteFileW(installed.c_str());
        if (!MoveFileW((folder + name).c_str(), installed.c_str()))
            return -1;
    }
    // The Tarnwick that is back is started as Kestrel starts it.
    std::wstring program = folder + L"Tarnwick.exe";
    std::wstring commandLine = L"Tarnwick.exe --stamps";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::vector<std::string> lines = LogWithStamp(folder, "start", 1);
    size_t at = 0;
    long long started = FindStamp(lines, "start", 0, at);
    return started ? Milliseconds(started - start) : -1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    std::wstring mode = argv[1];
    std::wstring folder = argv[2];
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    if (mode == L"takeback") {
        double fromCrash = -1, fromVerdict = -1;
        bool ok = TakeBack(folder, fromCrash, fromVerdict);
        printf("%.1f %.1f\n", fromCrash, fromVerdict);
        return ok ? 0 : 1;
    }
    double figure = mode == L"watch" ? Watch(folder) : Rename(folder);
    printf("%.1f\n", figure);
    return figure < 0 ? 1 : 0;
}
