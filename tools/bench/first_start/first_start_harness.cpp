// One Kestrel run over a prepared installation, timed against the stamps
// the stand-in Tarnwicks leave in tarnwick.log (performance counter values,
// which all processes of the machine share):
//   first_start_harness.exe watch FOLDER     ms from the new Tarnwick's
//       window ("window-at") to Kestrel's end
//   first_start_harness.exe takeback FOLDER  ms from the new Tarnwick's
//       crash ("crash-at") to the previous one's start ("start-at" after it)
//   first_start_harness.exe rename FOLDER    the reference: ms to rename the
//       folder's files beginning with "_" back and delete those they replace
// Prints the figure alone, or -1 when the run did not go as expected.
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

// Kestrel's end, or 0 when it did not end in time.
long long RunKestrel(const std::wstring& folder)
{
    std::wstring program = folder + L"Kestrel.exe";
    std::wstring commandLine = L"Kestrel.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return 0;
    DWORD waited = WaitForSingleObject(process.hProcess, 120000);
    long long end = Now();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 ? end : 0;
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
    long long end = RunKestrel(folder);
    std::vector<std::string> lines = LogWithStamp(folder, "window", 1);
    size_t at = 0;
    long long window = FindStamp(lines, "window", 0, at);
    return end && window ? Milliseconds(end - window) : -1;
}

double TakeBack(const std::wstring& folder)
{
    if (!RunKestrel(folder))
        return -1;
    // The new Tarnwick's start, its crash, then the previous one's start.
    std::vector<std::string> lines = LogWithStamp(folder, "start", 2);
    size_t crashLine = 0, startLine = 0;
    long long crash = FindStamp(lines, "crash", 0, crashLine);
    long long start = crash ? FindStamp(lines, "start", crashLine + 1, startLine) : 0;
    return crash && start ? Milliseconds(start - crash) : -1;
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
    return Milliseconds(Now() - start);
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
    double figure = mode == L"watch" ? Watch(folder) : mode == L"takeback" ? TakeBack(folder) : Rename(folder);
    printf("%.1f\n", figure);
    return figure < 0 ? 1 : 0;
}
