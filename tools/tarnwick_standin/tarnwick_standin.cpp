// Stand-in for Tarnwick. It appends what it sees to "tarnwick.log" beside
// itself, one UTF-8 line each:
//   started: <command line>
//   ready
//   ended: <exit code>         (when it ends after "ready", not by a crash)
//   message 0xFF30 to <window class>: <wParam>
// Without options it records its command line and ends. Options:
//   --main-window       open a window of class "MainWindow" titled "Tarnwick"
//   --upgrade-window    open a window of class "UpgradeWindow" titled "Tarnwick"
//   --handover-delay=N  take N ms to handle the hand-over message
//   --hold=PATH         keep PATH open without delete sharing while running
//   --exit-after=N      end after N ms (default: run until closed)
//   --exit-code=N       the exit code of --exit-after (default 0)
//   --crash             crash at once (an access violation)
//   --crash-after=N     crash N ms after the start
//   --stay              keep running without a window until ended
//   --stamps            log "<event>-at: <performance counter>" for the
//                       start, the main window and the crash
// Kestrel starts Tarnwick with a fixed command line, so options also come
// from the file "tarnwick-<version>.options" beside it, one line of them;
// each version of the stand-in reads only its own.
#include <windows.h>

#include <stdlib.h>

#include <string>

namespace {

const UINT kHandOverMessage = 0xFF30;
const UINT_PTR kExitTimer = 1;
const UINT_PTR kCrashTimer = 2;

struct Options {
    bool mainWindow = false;
    bool upgradeWindow = false;
    DWORD handOverDelay = 0;
    DWORD exitAfter = 0;
    UINT exitCode = 0;
    bool crash = false;
    DWORD crashAfter = 0;
    bool stay = false;
    bool stamps = false;
    std::wstring hold;
};

Options g_options;
int g_windows = 0;

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring LogPath()
{
    return OwnFolder() + L"tarnwick.log";
}

void AppendLog(const std::wstring& line)
{
    std::wstring text = line + L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes,
                        nullptr, nullptr);
    HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

bool TakeValue(const std::wstring& arg, const wchar_t* name, std::wstring& value)
{
    std::wstring prefix = std::wstring(name) + L"=";
    if (arg.compare(0, prefix.size(), prefix) != 0)
        return false;
    value = arg.substr(prefix.size());
    return true;
}

// The options file's one line, as UTF-8 or plain ASCII.
std::wstring OptionsFileLine()
{
    std::wstring path = OwnFolder() + L"tarnwick-" + STANDIN_VERSION + L".options";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::wstring();
    char bytes[1024] = {};
    DWORD read = 0;
    ReadFile(file, bytes, sizeof(bytes) - 1, &read, nullptr);
    CloseHandle(file);
    wchar_t text[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(read), text, 1023);
    return text;
}

void ParseOptions(const std::wstring& commandLine)
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(commandLine.c_str(), &count);
    for (int i = 0; args && i < count; ++i) {
        std::wstring arg = args[i];
        std::wstring value;
        if (arg == L"--main-window")
            g_options.mainWindow = true;
        else if (arg == L"--upgrade-window")
            g_options.upgradeWindow = true;
        else if (TakeValue(arg, L"--handover-delay", value))
            g_options.handOverDelay = wcstoul(value.c_str(), nullptr, 10);
        else if (TakeValue(arg, L"--exit-after", value))
            g_options.exitAfter = wcstoul(value.c_str(), nullptr, 10);
        else if (TakeValue(arg, L"--hold", value))
            g_options.hold = value;
        else if (TakeValue(arg, L"--exit-code", value))
            g_options.exitCode = wcstoul(value.c_str(), nullptr, 10);
        else if (arg == L"--crash")
            g_options.crash = true;
        else if (TakeValue(arg, L"--crash-after", value))
            g_options.crashAfter = wcstoul(value.c_str(), nullptr, 10);
        else if (arg == L"--stay")
            g_options.stay = true;
        else if (arg == L"--stamps")
            g_options.stamps = true;
    }
    LocalFree(args);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kHandOverMessage: {
        if (g_options.handOverDelay)
            Sleep(g_options.handOverDelay);
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        AppendLog(std::wstring(L"message 0xFF30 to ") + className + L": "
                  + std::to_wstring(static_cast<int>(wParam)));
        return 1;
    }
    case WM_DESTROY:
        if (--g_windows == 0)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Stamp(const wchar_t* event)
{
    if (!g_options.stamps)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    AppendLog(std::wstring(event) + L"-at: " + std::to_wstring(now.QuadPart));
}

[[noreturn]] void Crash()
{
    Stamp(L"crash");
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    ExitProcess(3);
}

HWND OpenWindow(HINSTANCE instance, const wchar_t* className)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(className, L"Tarnwick", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                nullptr, nullptr, instance, nullptr);
    if (window)
        ++g_windows;
    return window;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // One append: a reader that sees the first line also sees the second.
    AppendLog(std::wstring(L"started: ") + GetCommandLineW() + L"\nversion: " + STANDIN_VERSION);
    ParseOptions(GetCommandLineW());
    // The file's options come after a program-name placeholder, which the
    // splitting treats as the first argument.
    ParseOptions(L"tarnwick " + OptionsFileLine());
    Stamp(L"start");
    if (g_options.crash)
        Crash();

    HANDLE held = INVALID_HANDLE_VALUE;
    if (!g_options.hold.empty())
        held = CreateFileW(g_options.hold.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);

    HWND timerWindow = nullptr;
    if (g_options.mainWindow) {
        timerWindow = OpenWindow(instance, L"MainWindow");
        Stamp(L"window");
    }
    if (g_options.upgradeWindow)
        timerWindow = OpenWindow(instance, L"UpgradeWindow");
    bool stays = g_windows > 0 || held != INVALID_HANDLE_VALUE || g_options.exitAfter
                 || g_options.crashAfter || g_options.stay;
    if (!stays)
        return 0;

    if (!timerWindow)
        timerWindow = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (g_options.exitAfter)
        SetTimer(timerWindow, kExitTimer, g_options.exitAfter, nullptr);
    if (g_options.crashAfter)
        SetTimer(timerWindow, kCrashTimer, g_options.crashAfter, nullptr);
    AppendLog(L"ready");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == kExitTimer)
            break;
        if (message.message == WM_TIMER && message.wParam == kCrashTimer)
            Crash();
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    AppendLog(L"ended: " + std::to_wstring(g_options.exitCode));
    return static_cast<int>(g_options.exitCode);
}
