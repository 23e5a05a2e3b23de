#include "app/first_start.h"

#include "app/first_start_watch.h"
#include "app/oem_identity.h"
#include "app/refused_version.h"
#include "app/time_limits.h"
#include "app/upgrade_journal.h"
#include "app/upgrade_take_back.h"

#include <windows.h>

#include <stdio.h>

namespace {

void WriteLine(const std::string& line)
{
    printf("%s\n", line.c_str());
    fflush(stdout);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string FailureReason(const FirstStartOutcome& outcome)
{
    if (outcome.verdict == FirstStartVerdict::kNotStarted)
        return "could not be started";
    char code[16] = {};
    snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(outcome.exitCode));
    return std::string("ended with exit code ") + code + " before its window appeared";
}

void Confirm(const std::wstring& folder, const UpgradeJournal& journal)
{
    std::vector<std::wstring> kept;
    for (const SetAsideEntry& entry : journal.kept) {
        // Only what is still there: a name of a file already gone would
        // stay on the pending-deletion list for good.
        if (GetFileAttributesW((folder + entry.setAsideName).c_str()) != INVALID_FILE_ATTRIBUTES)
            kept.push_back(entry.setAsideName);
    }
    PurgeSetAside(folder, kept);
    RemoveUpgradeJournal(folder);
    ForgetRefusedVersion(folder);
}

// The version is refused before anything is put back, so that a run cut
// short during the take-back does not offer it again.
void FinishTakeBack(const std::wstring& folder, UpgradeJournal& journal)
{
    std::wstring version = journal.version;
    if (version.empty())
        GetFileVersionString(folder + L"Tarnwick.exe", L"FileVersion", version);
    RefuseVersion(folder, version);
    if (TakeBackUpgrade(folder, journal) != TakeBackResult::kTakenBack) {
        WriteLine("kestrel: the previous version cannot be put back now (files in use); "
                  "the next start tries again");
        return;
    }
    RemoveUpgradeJournal(folder);
    WriteLine("kestrel: the previous version is back; version " + Narrow(version)
              + " will not be installed again");
    StartMainApp(folder);
}

void RunFirstStart(const std::wstring& folder, UpgradeJournal& journal)
{
    FirstStartOutcome outcome = WatchFirstStart(folder, kFirstStartWatchMs);
    if (outcome.Healthy()) {
        Confirm(folder, journal);
        return;
    }
    WriteLine("kestrel: Tarnwick " + Narrow(journal.version) + " " + FailureReason(outcome)
              + "; taking it back");
    journal.state = FirstStartState::kFailed;
    WriteUpgradeJournal(folder, journal);
    FinishTakeBack(folder, journal);
}

} // namespace

bool KeepForFirstStart(const std::wstring& folder, const std::vector<SetAsideEntry>& kept,
                       const std::vector<std::wstring>& writtenPaths)
{
    UpgradeJournal journal;
    journal.kept = kept;
    for (const std::wstring& path : writtenPaths) {
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0)
            journal.written.push_back(path.substr(folder.size()));
    }
    return WriteUpgradeJournal(folder, journal);
}

void ConfirmFirstStart(const std::wstring& folder)
{
    UpgradeJournal journal;
    if (ReadUpgradeJournal(folder, journal) == JournalRead::kRead)
        Confirm(folder, journal);
}

void StartUpgradedTarnwick(const std::wstring& folder, const std::wstring& version)
{
    UpgradeJournal journal;
    if (ReadUpgradeJournal(folder, journal) != JournalRead::kRead) {
        StartMainApp(folder);
        return;
    }
    journal.version = version;
    WriteUpgradeJournal(folder, journal);
    RunFirstStart(folder, journal);
}

bool SettleInterruptedUpgrade(const std::wstring& folder)
{
    if (!JournalExists(folder))
        return false;
    UpgradeJournal journal;
    JournalRead read = ReadUpgradeJournal(folder, journal);
    if (read == JournalRead::kMissing)
        return false;
    if (read == JournalRead::kDamaged) {
        // Nothing can be put back by it; the installed version stays, and
        // the kept entries stay on the disk under their set-aside names.
        WriteLine("kestrel: the upgrade journal cannot be read; the installed version stays");
        RemoveUpgradeJournal(folder);
        return false;
    }
    if (journal.state == FirstStartState::kFailed) {
        FinishTakeBack(folder, journal);
        return true;
    }
    if (TarnwickWindowExists()) {
        Confirm(folder, journal);
        return false;
    }
    RunFirstStart(folder, journal);
    return true;
}
