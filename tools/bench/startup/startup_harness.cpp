// Times the no-upgrade start: from the creation of a process to the moment
// the Tarnwick it starts is running (as the benchmark Tarnwick notes it),
// for Kestrel.exe and for BareGet.exe, which only does the version GET and
// starts Tarnwick. The two alternate, each round in the other order first;
// the figure is the median of the rounds' ratios.
//   startup_harness.exe FOLDER ROUNDS HOST PORT PATH OEMID
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const DWORD kRunLimitMs = 30000;

double Milliseconds(long long ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(frequency.QuadPart);
}

struct Stamp {
    long long counter = 0;
    DWORD processId = 0;
    std::string commandLine;
};

bool ReadStamp(const std::wstring& path, Stamp& stamp)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return false;
    char line[1024] = {};
    size_t length = fread(line, 1, sizeof(line) - 1, file);
    fclose(file);
    line[length] = '\0';
    char* rest = nullptr;
    stamp.counter = strtoll(line, &rest, 10);
    stamp.processId = strtoul(rest, &rest, 10);
    stamp.commandLine = rest + (*rest == ' ' ? 1 : 0);
    while (!stamp.commandLine.empty() && (stamp.commandLine.back() == '\n' || stamp.commandLine.back() == '\r'))
        stamp.commandLine.pop_back();
    return stamp.counter != 0;
}

// Milliseconds from CreateProcessW to Tarnwick's first line; negative when
// Tarnwick did not start with the expected command line.
double TimeToTarnwick(const std::wstring& folder, const std::wstring& program, std::wstring commandLine,
                      const std::string& expected)
{
    std::wstring stampPath = folder + L"started.txt";
    DeleteFileW(stampPath.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW((folder + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, kRunLimitMs);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    Stamp stamp;
    DWORD waited = GetTickCount();
    while (!ReadStamp(stampPath, stamp)) {
        if (GetTickCount() - waited > kRunLimitMs)
            return -1;
        Sleep(5);
    }
    // Tarnwick is gone before the next run begins.
    if (HANDLE tarnwick = OpenProcess(SYNCHRONIZE, FALSE, stamp.processId)) {
        WaitForSingleObject(tarnwick, kRunLimitMs);
        CloseHandle(tarnwick);
    }
    if (stamp.commandLine != expected) {
        fprintf(stderr, "Tarnwick started with \"%s\", not \"%s\"\n", stamp.commandLine.c_str(), expected.c_str());
        return -1;
    }
    return Milliseconds(stamp.counter - start.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 7) {
        fprintf(stderr, "usage: startup_harness FOLDER ROUNDS HOST PORT PATH OEMID\n");
        return 2;
    }
    std::wstring folder = argv[1];
    if (folder.back() != L'\\')
        folder += L'\\';
    int rounds = _wtoi(argv[2]);
    std::wstring bareLine = std::wstring(L"BareGet.exe ") + argv[3] + L" " + argv[4] + L" " + argv[5] + L" " + argv[6];
    char expected[64];
    snprintf(expected, sizeof(expected), "-show -oemid:%ls", argv[6]);

    // One untimed run of each: the first HTTPS request of a session loads more.
    if (TimeToTarnwick(folder, L"Kestrel.exe", L"Kestrel.exe", expected) < 0
        || TimeToTarnwick(folder, L"BareGet.exe", bareLine, expected) < 0) {
        fprintf(stderr, "a warm-up run did not start Tarnwick\n");
        return 1;
    }
    std::vector<double> kestrel, bare, ratios;
    for (int round = 0; round < rounds; ++round) {
        double k = 0, b = 0;
        if (round % 2 == 0) {
            k = TimeToTarnwick(folder, L"Kestrel.exe", L"Kestrel.exe", expected);
            b = TimeToTarnwick(folder, L"BareGet.exe", bareLine, expected);
        } else {
            b = TimeToTarnwick(folder, L"BareGet.exe", bareLine, expected);
            k = TimeToTarnwick(folder, L"Kestrel.exe", L"Kestrel.exe", expected);
        }
        if (k < 0 || b < 0) {
            fprintf(stderr, "round %d: Tarnwick did not start\n", round);
            return 1;
        }
        fprintf(stderr, "round %2d: Kestrel %7.1f ms, bare GET %7.1f ms, ratio %.3f\n", round, k, b, k / b);
        kestrel.push_back(k);
        bare.push_back(b);
        ratios.push_back(k / b);
    }
    fprintf(stderr, "ratio: min %.3f, median %.3f, max %.3f\n", *std::min_element(ratios.begin(), ratios.end()),
            Median(ratios), *std::max_element(ratios.begin(), ratios.end()));
    printf("startup.no_upgrade_ratio: %.3f\n", Median(ratios));
    printf("startup.kestrel_ms: %.1f\n", Median(kestrel));
    printf("startup.bare_get_ms: %.1f\n", Median(bare));
    return 0;
}
