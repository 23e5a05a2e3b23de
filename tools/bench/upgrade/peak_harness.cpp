// Starts a program, waits for it and prints its peak memory as the platform
// counts it for the process (GetProcessMemoryInfo on its handle): read
// while it runs, as the counters may be gone once it has ended, and once
// more after the end. Prints "peak_working_set_mb", "peak_pagefile_mb" and
// "exit_code" lines.
//   peak_harness.exe PROGRAM
#include <windows.h>
#include <psapi.h>

#include <stdio.h>

#include <algorithm>
#include <string>

namespace {

const DWORD kRunLimitMs = 300000;
const DWORD kSampleMs = 20;

struct Peaks {
    SIZE_T workingSet = 0;
    SIZE_T pagefile = 0;
};

void Sample(HANDLE process, Peaks& peaks)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return;
    peaks.workingSet = std::max(peaks.workingSet, std::max(counters.PeakWorkingSetSize, counters.WorkingSetSize));
    peaks.pagefile = std::max(peaks.pagefile, std::max(counters.PeakPagefileUsage, counters.PagefileUsage));
}

double Megabytes(SIZE_T bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: peak_harness PROGRAM\n");
        return 2;
    }
    std::wstring program = argv[1];
    std::wstring folder = program.substr(0, program.rfind(L'\\') + 1);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        fprintf(stderr, "cannot start the program: %lu\n", GetLastError());
        return 1;
    }
    Peaks peaks;
    DWORD started = GetTickCount();
    while (WaitForSingleObject(process.hProcess, kSampleMs) == WAIT_TIMEOUT) {
        Sample(process.hProcess, peaks);
        if (GetTickCount() - started > kRunLimitMs) {
            TerminateProcess(process.hProcess, 1);
            fprintf(stderr, "the program did not end in time\n");
            return 1;
        }
    }
    Sample(process.hProcess, peaks);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    printf("peak_working_set_mb: %.1f\n", Megabytes(peaks.workingSet));
    printf("peak_pagefile_mb: %.1f\n", Megabytes(peaks.pagefile));
    printf("exit_code: %lu\n", exitCode);
    printf("seconds: %.1f\n", (GetTickCount() - started) / 1000.0);
    return 0;
}
