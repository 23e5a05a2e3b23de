#include "app/time_limits.h"

#ifndef KESTREL_SHORT_TIME_LIMITS
// Users start Tarnwick through Kestrel: a stuck version service must not keep
// them from it for longer than this.
const DWORD kVersionRequestDeadlineMs = 15000;
// A large package on a slow line may take as long as it needs, as long as
// bytes keep arriving.
const DWORD kDownloadStallLimitMs = 60000;
// A dropped line is often back within seconds; a server that is restarting
// needs a little longer.
const DWORD kDownloadRetryWaitsMs[kDownloadRetries] = {1000, 4000, 10000};
// A start that has not failed in a minute is not the kind of failure that
// taking the version back can cure.
const DWORD kFirstStartWatchMs = 60000;
#else
// Test programs (CMake target property KESTREL_SHORT_TIME_LIMITS): long
// enough for a local server, short enough to keep the test run quick.
const DWORD kVersionRequestDeadlineMs = 3000;
// A first TLS handshake under Wine on a loaded machine takes seconds.
const DWORD kDownloadStallLimitMs = 3000;
const DWORD kDownloadRetryWaitsMs[kDownloadRetries] = {100, 200, 300};
// The stand-ins that fail late do so well within this.
const DWORD kFirstStartWatchMs = 4000;
#endif
