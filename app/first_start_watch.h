#pragma once

#include <windows.h>

#include <string>

// Starting the newly installed Tarnwick and judging its first start.
// Healthy: its window (class "MainWindow", title "Tarnwick", the window
// the hand-over looks for) exists, it has run for the watch limit, or it
// ended with exit code 0. Failed: it could not be started, or it ended with
// any other code (a crash included) before that.

enum class FirstStartVerdict {
    kWindowShown,
    kRanLong,
    kEndedCleanly,
    kEnded,          // failed: exitCode holds its code
    kNotStarted,     // failed
};

struct FirstStartOutcome {
    FirstStartVerdict verdict = FirstStartVerdict::kNotStarted;
    DWORD exitCode = 0;

    bool Healthy() const
    {
        return verdict != FirstStartVerdict::kEnded && verdict != FirstStartVerdict::kNotStarted;
    }
};

// Starts moduleFolder + "Tarnwick.exe" as StartMainApp does and watches it
// for at most limitMs.
FirstStartOutcome WatchFirstStart(const std::wstring& moduleFolder, DWORD limitMs);

// True when a Tarnwick main window exists, of any process.
bool TarnwickWindowExists();
