#include "app/install_finish.h"

#include "app/first_start.h"

#include <stdio.h>

void FinishInstall(const std::wstring& folder, const std::vector<SetAsideEntry>& setAside,
                   const std::vector<std::wstring>& writtenPaths, const std::wstring& downloadedPath,
                   SkinUI::FileHandle downloaded)
{
    // The previous version stays until the new one has started well.
    if (!KeepForFirstStart(folder, setAside, writtenPaths)) {
        std::vector<std::wstring> names;
        for (const SetAsideEntry& entry : setAside)
            names.push_back(entry.setAsideName);
        PurgeSetAside(folder, names);
    }
    downloaded.reset();
    _wremove(downloadedPath.c_str());
}
