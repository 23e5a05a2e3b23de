// The yardstick of the start-up figure: a program that only does what the
// no-upgrade path must do, a WinINet GET of the version address (same
// flags as Kestrel: HTTPS with certificate checks) and the start of
// Tarnwick.exe beside it with Tarnwick's command line.
//   BareGet.exe HOST PORT PATH OEMID
#include <windows.h>
#include <wininet.h>

#include <stdlib.h>
#include <wchar.h>

namespace {

// Kestrel's flags plus INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP, which cannot
// matter here: the measured answer is never a redirect.
const DWORD kHttpsRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE
                                 | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_COOKIES
                                 | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP
                                 | INTERNET_FLAG_NO_UI;

bool Get(const wchar_t* host, INTERNET_PORT port, const wchar_t* path)
{
    HINTERNET internet = InternetOpenW(L"Http-connect", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = internet ? InternetConnectW(internet, host, port, nullptr, nullptr,
                                                       INTERNET_SERVICE_HTTP, 0, 0)
                                    : nullptr;
    HINTERNET request = connection ? HttpOpenRequestW(connection, L"GET", path, L"HTTP/1.1", nullptr,
                                                      nullptr, kHttpsRequestFlags, 0)
                                   : nullptr;
    bool ok = request && HttpSendRequestW(request, nullptr, 0, nullptr, 0);
    char buffer[4096];
    DWORD read = 0;
    while (ok && InternetReadFile(request, buffer, sizeof(buffer), &read) && read != 0) {
    }
    if (request)
        InternetCloseHandle(request);
    if (connection)
        InternetCloseHandle(connection);
    if (internet)
        InternetCloseHandle(internet);
    return ok;
}

void StartTarnwick(int oemId)
{
    wchar_t application[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, application, MAX_PATH);
    wchar_t* slash = wcsrchr(application, L'\\');
    if (!slash)
        return;
    wcscpy(slash + 1, L"Tarnwick.exe");
    wchar_t commandLine[MAX_PATH] = {};
    _snwprintf(commandLine, MAX_PATH, L"-show -oemid:%d", oemId);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(application, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (__argc != 5)
        return 2;
    if (!Get(__wargv[1], static_cast<INTERNET_PORT>(_wtoi(__wargv[2])), __wargv[3]))
        return 1;
    StartTarnwick(_wtoi(__wargv[4]));
    return 0;
}
