// A library planted in an installation folder under the name of a system
// library. Whatever process loads it notes itself and the name it was
// loaded by in planted.log beside it, then refuses to stay loaded.
#include <windows.h>

namespace {

// The part after the last backslash.
const wchar_t* FileName(const wchar_t* path)
{
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c) {
        if (*c == L'\\')
            name = c + 1;
    }
    return name;
}

void NoteLoad(HINSTANCE self)
{
    wchar_t library[MAX_PATH] = {};
    wchar_t program[MAX_PATH] = {};
    if (!GetModuleFileNameW(self, library, MAX_PATH) || !GetModuleFileNameW(nullptr, program, MAX_PATH))
        return;
    wchar_t logPath[MAX_PATH] = {};
    lstrcpynW(logPath, library, static_cast<int>(FileName(library) - library) + 1);
    lstrcatW(logPath, L"planted.log");

    char line[2 * MAX_PATH + 4] = {};
    int length = WideCharToMultiByte(CP_UTF8, 0, FileName(program), -1, line, MAX_PATH, nullptr, nullptr);
    if (length == 0)
        return;
    lstrcatA(line, ": ");
    int used = lstrlenA(line);
    if (!WideCharToMultiByte(CP_UTF8, 0, FileName(library), -1, line + used, MAX_PATH, nullptr, nullptr))
        return;
    lstrcatA(line, "\n");

    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(log);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    NoteLoad(self);
    return FALSE;
}
