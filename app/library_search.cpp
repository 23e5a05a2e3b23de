#include "app/library_search.h"

#include "ui/core/system_library.h"

#include <windows.h>

#include <delayimp.h>

// How the loaders differ, and why the program is built as it is:
// - Windows takes a static import that is not one of its "known DLLs" from
//   the program's folder first, before any code of the program runs. So the
//   program imports statically only known DLLs (kernel32, user32, gdi32,
//   gdiplus, ole32, ...); bcrypt, version and wininet are
//   delay-loaded, which resolves them at their first call, long after the
//   search below has been restricted.
// - A library loaded by bare name (ours, or one a system library loads for
//   us) is looked for in the program's folder too, on Windows and under Wine
//   alike, unless SetDefaultDllDirectories has restricted the search.
// - Wine prefers its built-in copies for static imports, so a library
//   planted under a statically imported name does not load there; the
//   import table shows what Windows would do.

namespace {

using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

// Libraries that system libraries load by bare name on the program's
// behalf. Where the search cannot be restricted they are loaded from the
// system folder first, so that a later load by name finds them loaded.
const wchar_t* const kLoadedByNameForUs[] = {
    L"schannel.dll", L"cryptbase.dll", L"userenv.dll", L"apphelp.dll", L"propsys.dll",
    L"dwmapi.dll", L"uxtheme.dll", L"oleacc.dll", L"clbcatq.dll",
};

// The delay-load helper asks here before it loads an import by bare name.
FARPROC WINAPI LoadDelayedImport(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary || !info->szDll)
        return nullptr;
    wchar_t name[MAX_PATH] = {};
    for (int i = 0; info->szDll[i] && i < MAX_PATH - 1; ++i)
        name[i] = static_cast<unsigned char>(info->szDll[i]);
    return reinterpret_cast<FARPROC>(SkinUI::LoadSystemLibrary(name));
}

// Windows 7 has the call only with its loader update: looked up, not imported.
bool SetSystemFolderOnly()
{
    auto set = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
    return set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

void RestrictLibrarySearch()
{
    __pfnDliNotifyHook2 = LoadDelayedImport;
    if (SetSystemFolderOnly())
        return;
    for (const wchar_t* name : kLoadedByNameForUs)
        SkinUI::LoadSystemLibrary(name);
}
