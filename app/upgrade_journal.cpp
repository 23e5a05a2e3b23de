#include "app/upgrade_journal.h"

#include "app/safe_path.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

const wchar_t kJournalFileName[] = L"kestrel.journal";
const wchar_t kJournalNextFileName[] = L"kestrel.journal.new";

namespace {

const char kHeader[] = "kestrel journal 1";
const char kEnd[] = "end";
// Far more than the names of any package; a larger file is no journal.
const DWORD kMaxJournalBytes = 16u << 20;

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                            size, nullptr, nullptr);
    return bytes;
}

bool FromUtf8(const std::string& bytes, std::wstring& text)
{
    text.clear();
    if (bytes.empty())
        return true;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0)
        return false;
    text.resize(size);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        &text[0], size);
    return true;
}

std::string Serialize(const UpgradeJournal& journal)
{
    std::string text = std::string(kHeader) + "\n";
    text += journal.state == FirstStartState::kFailed ? "state failed\n" : "state watching\n";
    text += "version " + ToUtf8(journal.version) + "\n";
    // File names hold no tab and no line feed: both are control characters.
    for (const SetAsideEntry& entry : journal.kept)
        text += "kept " + ToUtf8(entry.installedName) + "\t" + ToUtf8(entry.setAsideName) + "\n";
    for (const std::wstring& name : journal.written)
        text += "written " + ToUtf8(name) + "\n";
    return text + kEnd + "\n";
}

bool SafeName(const std::wstring& folder, const std::wstring& name)
{
    std::wstring path;
    return JoinInsideFolder(folder, name, path);
}

bool TakeWord(std::string& line, const char* word)
{
    std::string prefix = std::string(word) + " ";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return false;
    line.erase(0, prefix.size());
    return true;
}

bool ParseLine(const std::wstring& folder, std::string line, UpgradeJournal& journal)
{
    std::wstring text;
    if (line == "state failed" || line == "state watching") {
        journal.state = line == "state failed" ? FirstStartState::kFailed : FirstStartState::kWatching;
        return true;
    }
    if (TakeWord(line, "version"))
        return FromUtf8(line, journal.version);
    if (TakeWord(line, "written")) {
        if (!FromUtf8(line, text) || !SafeName(folder, text))
            return false;
        journal.written.push_back(text);
        return true;
    }
    if (!TakeWord(line, "kept"))
        return false;
    size_t tab = line.find('\t');
    SetAsideEntry entry;
    if (tab == std::string::npos || !FromUtf8(line.substr(0, tab), entry.installedName)
        || !FromUtf8(line.substr(tab + 1), entry.setAsideName))
        return false;
    if (!SafeName(folder, entry.installedName) || !SafeName(folder, entry.setAsideName))
        return false;
    journal.kept.push_back(entry);
    return true;
}

JournalRead Parse(const std::wstring& folder, const std::string& text, UpgradeJournal& journal)
{
    size_t start = 0;
    bool header = false;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return JournalRead::kDamaged;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!header) {
            if (line != kHeader)
                return JournalRead::kDamaged;
            header = true;
            continue;
        }
        if (line == kEnd)
            return start == text.size() ? JournalRead::kRead : JournalRead::kDamaged;
        if (!ParseLine(folder, line, journal))
            return JournalRead::kDamaged;
    }
    return JournalRead::kDamaged;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes)
{
    SkinUI::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        || written != bytes.size())
        return false;
    // On the disk before it takes the journal's name: after a power cut the
    // name leads to a whole record.
    return FlushFileBuffers(file.get()) != FALSE;
}

} // namespace

bool JournalExists(const std::wstring& folder)
{
    return GetFileAttributesW((folder + kJournalFileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

JournalRead ReadUpgradeJournal(const std::wstring& folder, UpgradeJournal& journal)
{
    journal = UpgradeJournal();
    SkinUI::FileHandle file(CreateFileW((folder + kJournalFileName).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? JournalRead::kMissing : JournalRead::kDamaged;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxJournalBytes)
        return JournalRead::kDamaged;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty()
        && (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)
            || read != bytes.size()))
        return JournalRead::kDamaged;
    JournalRead result = Parse(folder, bytes, journal);
    if (result != JournalRead::kRead)
        journal = UpgradeJournal();
    return result;
}

bool WriteUpgradeJournal(const std::wstring& folder, const UpgradeJournal& journal)
{
    std::wstring next = folder + kJournalNextFileName;
    if (!WriteWhole(next, Serialize(journal))) {
        DeleteFileW(next.c_str());
        return false;
    }
    if (MoveFileExW(next.c_str(), (folder + kJournalFileName).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(next.c_str());
    return false;
}

void RemoveUpgradeJournal(const std::wstring& folder)
{
    DeleteFileW((folder + kJournalFileName).c_str());
    DeleteFileW((folder + kJournalNextFileName).c_str());
}
