#include "app/install_finish.h"

#include <stdio.h>

void FinishInstall(const std::wstring& folder, const std::vector<SetAsideEntry>& setAside,
                   const std::wstring& downloadedPath, SkinUI::FileHandle downloaded)
{
    std::vector<std::wstring> names;
    for (const SetAsideEntry& entry : setAside)
        names.push_back(entry.setAsideName);
    PurgeSetAside(folder, names);
    downloaded.reset();
    _wremove(downloadedPath.c_str());
}
