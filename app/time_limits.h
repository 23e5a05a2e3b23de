#pragma once

#include <windows.h>

// How long Kestrel waits on the network and on Tarnwick, in milliseconds. Defined in
// time_limits.cpp; test programs link a build of it with short values.

// The whole version request, whatever the server does.
extern const DWORD kVersionRequestDeadlineMs;
// A package download during which no bytes arrive.
extern const DWORD kDownloadStallLimitMs;
// The waits before each new attempt of a package download that broke or stalled.
constexpr int kDownloadRetries = 3;
extern const DWORD kDownloadRetryWaitsMs[kDownloadRetries];
// A newly installed Tarnwick that has run this long without failing is
// healthy, even before it shows its window.
extern const DWORD kFirstStartWatchMs;
