#include "app/startup.h"

#include "app/module_folder.h"
#include "app/oem_identity.h"
#include "app/pending_deletions.h"
#include "app/singleton_exe.h"

#include <stdio.h>

#include <string>

namespace {

const UINT kHandOverMessage = 0xFF30;

void WriteLine(const char* line)
{
    printf("%s\n", line);
    fflush(stdout);
}

// A Tarnwick that is already running gets the OEM identifier and takes over;
// its own upgrade window, when open, is the one to tell.
bool HandOverToRunningTarnwick()
{
    if (!FindWindowW(L"MainWindow", L"Tarnwick"))
        return false;
    HWND upgradeWindow = FindWindowW(L"UpgradeWindow", L"Tarnwick");
    HWND mainWindow = FindWindowW(L"MainWindow", L"Tarnwick");
    HWND target = upgradeWindow ? upgradeWindow : mainWindow;
    if (target)
        SendMessageW(target, kHandOverMessage, static_cast<WPARAM>(OemId()), 0);
    return true;
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RunAfterHandOverCheck(const std::wstring& moduleFolder)
{
    std::wstring installedVersion;
    std::wstring tarnwickPath = moduleFolder + L"Tarnwick.exe";
    if (FileExists(tarnwickPath))
        GetFileVersionString(tarnwickPath, L"FileVersion", installedVersion);

    ProcessPendingDeletions(moduleFolder);

    StartMainApp(moduleFolder);
}

} // namespace

int RunKestrel(HINSTANCE instance)
{
    SingletonExe guard;
    guard.SetRunningHandler([] { WriteLine("has a exe running!"); })
        .SetOtherRunHandler([] { WriteLine("has other exe want to run"); })
        .Start(L"BrindleKestrel");

    int id = ReadOemId();
    if (id != 0)
        SetOemId(id);

    if (HandOverToRunningTarnwick())
        return 0;

    std::wstring moduleFolder;
    if (!GetModuleFolder(moduleFolder))
        return 0;
    RunAfterHandOverCheck(moduleFolder);
    return 0;
}
