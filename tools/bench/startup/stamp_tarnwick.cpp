// A Tarnwick for the start-up benchmarks: notes the moment it starts (the
// performance counter, shared by every process of the Wine session), its
// process id and its command line in "started.txt" beside itself, and ends.
// The file is written under another name and then renamed, so a reader
// never sees half of it.
#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char line[1024];
    int length = snprintf(line, sizeof(line), "%lld %lu %ls\n", static_cast<long long>(now.QuadPart),
                          GetCurrentProcessId(), GetCommandLineW());
    if (length < 0 || length >= static_cast<int>(sizeof(line)))
        return 1;
    std::wstring folder = ModuleFolder();
    std::wstring part = folder + L"started.part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(part.c_str(), (folder + L"started.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
