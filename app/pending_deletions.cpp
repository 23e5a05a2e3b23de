#include "app/pending_deletions.h"

#include "app/safe_path.h"
#include "ui/core/unique_handle.h"

#include <io.h>
#include <stdio.h>

#include <algorithm>
#include <new>

namespace {

// Text mode drops the carriage return of a CR LF; every other byte is a
// character with the byte's value.
PendingListRead ReadListText(const std::wstring& listPath, std::wstring& text)
{
    SkinUI::StdioFile file(_wfopen(listPath.c_str(), L"rt"));
    if (!file)
        return PendingListRead::kMissing;
    long long size = _filelengthi64(_fileno(file.get()));
    if (size < 0 || static_cast<unsigned long long>(size) > kMaxPendingListBytes)
        return PendingListRead::kUnreadable;
    text.reserve(static_cast<size_t>(size));
    int c;
    while ((c = fgetc(file.get())) != EOF) {
        // The file may grow while it is read; the bound holds all the same.
        if (text.size() == kMaxPendingListBytes)
            return PendingListRead::kUnreadable;
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return PendingListRead::kRead;
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

// The first kMaxPendingNames names in file order, without those too long
// to name a file.
std::vector<std::wstring> SplitNames(const std::wstring& text)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    for (size_t count = 0; count < kMaxPendingNames; ++count) {
        size_t separator = text.find(L'|', start);
        size_t end = separator == std::wstring::npos ? text.size() : separator;
        if (end - start <= kMaxPendingNameLength)
            names.push_back(text.substr(start, end - start));
        if (separator == std::wstring::npos)
            break;
        start = separator + 1;
    }
    return names;
}

// What the list file takes of a name, its separator included: text mode
// writes each line feed as CR LF.
size_t StoredSize(const std::wstring& name, bool first)
{
    return name.size() + static_cast<size_t>(std::count(name.begin(), name.end(), L'\n')) + (first ? 0 : 1);
}

// Only what the reader takes back is written, so that a list never grows
// beyond what it can read.
std::wstring JoinReadableNames(const std::vector<std::wstring>& names)
{
    std::wstring text;
    size_t stored = 0;
    size_t count = 0;
    for (const std::wstring& name : names) {
        if (count == kMaxPendingNames)
            break;
        if (name.size() > kMaxPendingNameLength)
            continue;
        size_t size = StoredSize(name, count == 0);
        if (stored + size > kMaxPendingListBytes)
            break;
        if (count > 0)
            text.push_back(L'|');
        text += name;
        stored += size;
        ++count;
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

PendingListRead ReadPendingList(const std::wstring& listPath, std::vector<std::wstring>& names)
{
    try {
        std::wstring text;
        PendingListRead read = ReadListText(listPath, text);
        if (read != PendingListRead::kRead)
            return read;
        names = text.empty() ? std::vector<std::wstring>() : SplitNames(text);
        return PendingListRead::kRead;
    } catch (const std::bad_alloc&) {
        return PendingListRead::kUnreadable;
    }
}

bool WritePendingList(const std::wstring& listPath, const std::vector<std::wstring>& names)
{
    return WriteListText(listPath, JoinReadableNames(names));
}

void ProcessPendingDeletions(const std::wstring& moduleFolder)
{
    std::wstring listPath = PendingListPath(moduleFolder);
    std::vector<std::wstring> names;
    switch (ReadPendingList(listPath, names)) {
    case PendingListRead::kMissing:
        return;
    case PendingListRead::kUnreadable:
        // No upgrade writes such a list; kept, it would cost every later start.
        _wremove(listPath.c_str());
        return;
    case PendingListRead::kRead:
        break;
    }

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
