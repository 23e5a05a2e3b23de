#include "app/pending_deletions.h"

#include "app/safe_path.h"
#include "ui/core/unique_handle.h"

#include <stdio.h>


namespace {

// Text mode drops the carriage return of a CR LF; every other byte is a
// character with the byte's value.
bool ReadListText(const std::wstring& listPath, std::wstring& text)
{
    SkinUI::StdioFile file(_wfopen(listPath.c_str(), L"rt"));
    if (!file)
        return false;
    int c;
    while ((c = fgetc(file.get())) != EOF)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return true;
}

bool WriteListText(const std::wstring& listPath, const std::wstring& text)
{
    for (wchar_t c : text) {
        if (c > 0xFF)
            return false;
    }
    SkinUI::StdioFile file(_wfopen(listPath.c_str(), L"wt"));
    if (!file)
        return false;
    for (wchar_t c : text)
        fputc(static_cast<unsigned char>(c), file.get());
    return fclose(file.release()) == 0;
}

std::vector<std::wstring> SplitNames(const std::wstring& text)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    for (;;) {
        size_t separator = text.find(L'|', start);
        if (separator == std::wstring::npos) {
            names.push_back(text.substr(start));
            return names;
        }
        names.push_back(text.substr(start, separator - start));
        start = separator + 1;
    }
}

std::wstring JoinNames(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text.push_back(L'|');
        text += names[i];
    }
    return text;
}

// True when the name is to stay on the list.
bool RetryDeletion(const std::wstring& moduleFolder, const std::wstring& name)
{
    // The empty name stands for the folder itself, which is never deleted as a file.
    if (name.empty())
        return true;
    std::wstring path;
    if (!JoinInsideFolder(moduleFolder, name, path))
        return false;
    return _wremove(path.c_str()) != 0;
}

} // namespace

std::wstring PendingListPath(const std::wstring& moduleFolder)
{
    return moduleFolder + L"temp";
}

bool ReadPendingList(const std::wstring& listPath, std::vector<std::wstring>& names)
{
    std::wstring text;
    if (!ReadListText(listPath, text))
        return false;
    names = text.empty() ? std::vector<std::wstring>() : SplitNames(text);
    return true;
}

bool WritePendingList(const std::wstring& listPath, const std::vector<std::wstring>& names)
{
    return WriteListText(listPath, JoinNames(names));
}

void ProcessPendingDeletions(const std::wstring& moduleFolder)
{
    std::wstring listPath = PendingListPath(moduleFolder);
    std::vector<std::wstring> names;
    if (!ReadPendingList(listPath, names))
        return;

    std::vector<std::wstring> remaining;
    for (const std::wstring& name : names) {
        if (RetryDeletion(moduleFolder, name))
            remaining.push_back(name);
    }
    if (remaining.empty()) {
        _wremove(listPath.c_str());
        return;
    }
    // When the list cannot be rewritten the old one stays and is retried next time.
    WritePendingList(listPath, remaining);
}
