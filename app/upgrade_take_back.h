#pragma once

#include "app/upgrade_journal.h"

#include <string>

// Puts the previous version back after a failed first start: the package's
// files leave their places, the kept entries return under their installed
// names, and the folder holds what it held before the upgrade. A kept file
// that is in use (opened without delete sharing) cannot be renamed; it is
// copied back instead and the kept copy goes to the pending-deletion list,
// as do the package's files that cannot be deleted now.
//
// All or nothing: when something cannot be moved or copied (a package file
// held open, a full disk), every step already taken is undone and the new
// version stays as it was.
enum class TakeBackResult {
    kTakenBack,
    kBlocked,
};

TakeBackResult TakeBackUpgrade(const std::wstring& folder, const UpgradeJournal& journal);
