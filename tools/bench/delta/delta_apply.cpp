// Installs a delta over an installation folder with the product's own code
// and prints how many bytes it built and how long that took:
//   delta_apply.exe FOLDER\ NAME.delta
// Prints "built_bytes", "seconds" and "result" (0 installed) lines.
#include "app/delta_install.h"
#include "app/delta_manifest.h"
#include "app/first_start.h"
#include "app/install_finish.h"
#include "app/package_check.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <utility>

namespace {

uint64_t BuiltBytes(HANDLE delta)
{
    std::vector<DeltaEntry> entries;
    if (ReadDeltaManifest(delta, entries) != DeltaManifestResult::Ok)
        return 0;
    uint64_t bytes = 0;
    for (const DeltaEntry& entry : entries) {
        if (entry.kind == DeltaEntryKind::Patch || entry.kind == DeltaEntryKind::Whole)
            bytes += entry.size;
    }
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: delta_apply FOLDER\\ NAME.delta\n");
        return 2;
    }
    std::wstring folder = argv[1];
    std::wstring name = argv[2];
    SkinUI::FileHandle delta = OpenDownloadedForCheck(folder + name);
    if (!delta) {
        fprintf(stderr, "cannot open the delta\n");
        return 1;
    }
    uint64_t built = BuiltBytes(delta.get());
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER start = {};
    LARGE_INTEGER end = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    std::vector<SetAsideEntry> setAside;
    std::vector<std::wstring> written;
    DeltaInstallResult result = InstallDelta(folder, delta.get(), name, setAside, written);
    QueryPerformanceCounter(&end);
    if (result == DeltaInstallResult::Installed) {
        FinishInstall(folder, setAside, written, folder + name, std::move(delta));
        // No first start follows here: the old files go at once.
        ConfirmFirstStart(folder);
    }
    printf("built_bytes: %llu\n", static_cast<unsigned long long>(built));
    printf("seconds: %.4f\n", double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    printf("result: %d\n", static_cast<int>(result));
    return result == DeltaInstallResult::Installed ? 0 : 1;
}
