#pragma once

#include "app/upgrade_set_aside.h"

#include <string>
#include <vector>

// kestrel.journal in the installation folder: what a completed upgrade kept
// of the previous version while the new one makes its first start. As long
// as it exists, the previous version can be put back exactly: the kept
// entries go back under their installed names once everything the package
// wrote is gone. It is replaced whole (written beside, then renamed over),
// so a reader finds either the old or the new record, never half of one.

enum class FirstStartState {
    kWatching,   // the new version's first start is not yet judged
    kFailed,     // it failed; the previous version is still to be put back
};

struct UpgradeJournal {
    FirstStartState state = FirstStartState::kWatching;
    // The version the service offered; refused once it has failed.
    std::wstring version;
    // Previous entries, in the order they were set aside.
    std::vector<SetAsideEntry> kept;
    // What the package wrote, relative to the folder, in the order written
    // (files, and folders it had to create).
    std::vector<std::wstring> written;
};

enum class JournalRead {
    kRead,
    kMissing,
    kDamaged,   // not a journal of this program, or names that leave the folder
};

// The names of the journal and of its replacement while it is written.
extern const wchar_t kJournalFileName[];
extern const wchar_t kJournalNextFileName[];

bool JournalExists(const std::wstring& folder);
JournalRead ReadUpgradeJournal(const std::wstring& folder, UpgradeJournal& journal);
bool WriteUpgradeJournal(const std::wstring& folder, const UpgradeJournal& journal);
void RemoveUpgradeJournal(const std::wstring& folder);
