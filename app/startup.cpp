#include "app/startup.h"

#include "app/first_start.h"
#include "app/http_client.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/module_folder.h"
#include "app/oem_identity.h"
#include "app/pending_deletions.h"
#include "app/refused_version.h"
#include "app/singleton_exe.h"
#include "app/version_answer.h"
#include "ui/core/skin_source.h"
#include "ui/core/ui_manager.h"

#include <objbase.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace {

const UINT kHandOverMessage = 0xFF30;
// A Tarnwick that does not answer in this time is left to itself: waiting
// longer would hold the single-instance name from every later start.
const UINT kHandOverTimeoutMs = 5000;

void WriteLine(const char* line)
{
    printf("%s\n", line);
    fflush(stdout);
}

// A Tarnwick that is already running gets the OEM identifier and takes over;
// its own upgrade window, when open, is the one to tell. A hand-over that
// times out ends the run all the same.
bool HandOverToRunningTarnwick()
{
    if (!FindWindowW(L"MainWindow", L"Tarnwick"))
        return false;
    HWND upgradeWindow = FindWindowW(L"UpgradeWindow", L"Tarnwick");
    HWND mainWindow = FindWindowW(L"MainWindow", L"Tarnwick");
    HWND target = upgradeWindow ? upgradeWindow : mainWindow;
    DWORD_PTR ignored = 0;
    if (target)
        SendMessageTimeoutW(target, kHandOverMessage, static_cast<WPARAM>(OemId()), 0,
                            SMTO_ABORTIFHUNG, kHandOverTimeoutMs, &ignored);
    return true;
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct VersionCheck {
    bool requestSucceeded = false;
    VersionAnswer answer;
    bool upgradeDue = true;
    // The delta from the installed release, when the answer offers one.
    DeltaOffer delta;
};

// The client is the caller's: its handles stay open until the run ends.
// A version whose first start failed here is not offered again.
VersionCheck CheckVersion(HttpClient& client, const std::wstring& moduleFolder,
                          const std::wstring& installedVersion)
{
    VersionCheck check;
    std::string body = client.Get(VersionServiceAddress(OemId()), std::string());
    check.requestSucceeded = client.LastState() == kHttpOk;
    if (check.requestSucceeded)
        check.answer = ParseVersionAnswer(body);
    check.upgradeDue = IsUpgradeDue(installedVersion, check.answer.latestVersion)
                       && !IsVersionRefused(moduleFolder, check.answer.latestVersion);
    if (const DeltaOffer* delta = DeltaFor(check.answer, installedVersion))
        check.delta = *delta;
    return check;
}

const DWORD kWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

// Shows the upgrade window until it closes; true when the upgrade completed.
bool RunUpgradeWindow(const VersionCheck& check)
{
    const VersionAnswer& answer = check.answer;
    MainWindow window(answer.updateContent, answer.downloadUrl, answer.packageProof, check.delta);
    HWND handle = window.CreateNative(nullptr, L"Lumo Lumo Upgrade Version", kWindowStyle, WS_EX_WINDOWEDGE,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    if (!handle)
        return false;
    SetWindowLongW(handle, GWL_STYLE, GetWindowLongW(handle, GWL_STYLE) & ~WS_THICKFRAME);
    window.CenterOnOwner();
    window.Show(true, true);
    SkinUI::CUIManager::RunMessageLoop();
    // A worker that is installing ends its transaction before the process does.
    window.Session()->RequestLeave();
    window.Session()->WaitUntilEnded();
    return window.Succeeded();
}

void TakeOutcome(const VersionCheck& check, const std::wstring& moduleFolder)
{
    if (!check.requestSucceeded) {
        ShowMessageBox(L"Error", L"Get Data Failed!", kButtonsOk, nullptr);
        return;
    }
    if (check.answer.code != 0 || !check.upgradeDue) {
        StartMainApp(moduleFolder);
        return;
    }
    if (RunUpgradeWindow(check))
        StartUpgradedTarnwick(moduleFolder, check.answer.latestVersion);
}

// The skin package travels as module resource ZIPRES/101. Its bytes are
// copied once and stay in memory for the rest of the process.
void HandSkinPackageToFramework(HINSTANCE instance)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(101), L"ZIPRES");
    if (!resource)
        return;
    HGLOBAL loaded = LoadResource(instance, resource);
    DWORD size = SizeofResource(instance, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes && size != 0) {
        unsigned char* copy = new unsigned char[size];
        memcpy(copy, bytes, size);
        SkinUI::CSkinSource::UseZipInMemory(copy, size);
    }
    if (loaded)
        FreeResource(loaded);
}

// The framework's set-up before any window; false when COM cannot start,
// which ends the run without an outcome.
bool PrepareUserInterface(HINSTANCE instance)
{
    SkinUI::CSkinSource::SetModule(instance);
    if (FAILED(CoInitialize(nullptr)))
        return false;
    HandSkinPackageToFramework(instance);
    return true;
}

void RunAfterHandOverCheck(HINSTANCE instance, const std::wstring& moduleFolder)
{
    std::wstring installedVersion;
    std::wstring tarnwickPath = moduleFolder + L"Tarnwick.exe";
    if (FileExists(tarnwickPath))
        GetFileVersionString(tarnwickPath, L"FileVersion", installedVersion);

    ProcessPendingDeletions(moduleFolder);

    HttpClient client;
    VersionCheck check = CheckVersion(client, moduleFolder, installedVersion);
    if (!PrepareUserInterface(instance))
        return;
    TakeOutcome(check, moduleFolder);
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

    std::wstring moduleFolder;
    bool haveFolder = GetModuleFolder(moduleFolder);
    // Before the hand-over: a Tarnwick left on trial by an earlier run is
    // judged first, and may be the one that is running.
    if (haveFolder && SettleInterruptedUpgrade(moduleFolder))
        return 0;
    if (HandOverToRunningTarnwick() || !haveFolder)
        return 0;
    RunAfterHandOverCheck(instance, moduleFolder);
    return 0;
}
