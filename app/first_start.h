#pragma once

#include "app/upgrade_set_aside.h"

#include <string>
#include <vector>

// The first start of a newly installed version is watched before the
// previous version is deleted. Between the end of the installation and the
// verdict, kestrel.journal records what was kept; a failed first start puts
// the previous version back, starts it, and refuses the failed version from
// then on (kestrel.refused). A line on standard output says why.
//
// Kestrel ended during the watch (killed, power cut) leaves the journal
// behind; the next start settles it before anything else, by one rule:
// - a journal of a failed first start: the take-back is done (again);
// - a journal of a first start not yet judged: when the new Tarnwick is
//   running with its window, it is healthy; otherwise the new version is
//   started and watched again, and judged as the first time.
// Either way one whole version is installed when the run ends: the kept
// entries are only deleted after a healthy verdict, and the package's files
// only after the kept ones are back in place.

// Worker thread, after a completed extraction: keeps the set-aside entries
// and records them with what the package wrote (full paths). False when
// the record cannot be written; the caller then deletes the set-aside
// entries as an upgrade without a watch would.
bool KeepForFirstStart(const std::wstring& folder, const std::vector<SetAsideEntry>& kept,
                       const std::vector<std::wstring>& writtenPaths);

// The new version is healthy: the kept entries are deleted (those in use go
// to the pending-deletion list), the journal and any refusal go.
void ConfirmFirstStart(const std::wstring& folder);

// After a completed upgrade to version: starts the new Tarnwick and watches
// its first start; without a journal, starts it as StartMainApp does.
void StartUpgradedTarnwick(const std::wstring& folder, const std::wstring& version);

// At the start of every run: settles a journal left by an earlier run. True
// when the run has thereby started Tarnwick and ends; false when there was
// nothing to settle or the run goes on as usual. Costs one look at the
// folder when there is no journal.
bool SettleInterruptedUpgrade(const std::wstring& folder);
