// Stand-in for Tarnwick. It appends what it sees to "tarnwick.log" beside
// itself, one UTF-8 line each:
//   started: <command line>
//   ready
//   message 0xFF30 to <window class>: <wParam>
// Without options it records its command line and ends. Options:
//   --main-window       open a window of class "MainWindow" titled "Tarnwick"
//   --upgrade-window    open a window of class "UpgradeWindow" titled "Tarnwick"
//   --handover-delay=N  take N ms to handle the hand-over message
//   --hold=PATH         keep PATH open without delete sharing while running
//   --exit-after=N      end after N ms (default: run until closed)
#include <windows.h>

#include <stdlib.h>

#include <string>

namespace {

const UINT kHandOverMessage = 0xFF30;
const UINT_PTR kExitTimer = 1;

struct Options {
    bool mainWindow = false;
    bool upgradeWindow = false;
    DWORD handOverDelay = 0;
    DWORD exitAfter = 0;
    std::wstring hold;
};

Options g_options;
int g_windows = 0;

std::wstring LogPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1) + L"tarnwick.log";
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

void ParseOptions()
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
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
    ParseOptions();

    HANDLE held = INVALID_HANDLE_VALUE;
    if (!g_options.hold.empty())
        held = CreateFileW(g_options.hold.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);

    HWND timerWindow = nullptr;
    if (g_options.mainWindow)
        timerWindow = OpenWindow(instance, L"MainWindow");
    if (g_options.upgradeWindow)
        timerWindow = OpenWindow(instance, L"UpgradeWindow");
    bool stays = g_windows > 0 || held != INVALID_HANDLE_VALUE || g_options.exitAfter;
    if (!stays)
        return 0;

    if (!timerWindow)
        timerWindow = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (g_options.exitAfter)
        SetTimer(timerWindow, kExitTimer, g_options.exitAfter, nullptr);
    AppendLog(L"ready");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == kExitTimer)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    return 0;
}
