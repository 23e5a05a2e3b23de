#!/bin/sh
# Proves the harness: a Windows program that crashes must end with a
# non-zero status, promptly, instead of hanging in a crash dialog or
# exiting 0 after a backtrace.
#   expect-failure.sh WINE_RUN PROGRAM
set -u
start=$(date +%s)
"$1" "$2" >/dev/null 2>&1
status=$?
elapsed=$(( $(date +%s) - start ))
if [ $status -eq 0 ]; then
    echo "FAIL: the crashing program exited 0"; exit 1
fi
if [ $elapsed -gt 20 ]; then
    echo "FAIL: the crash took ${elapsed}s to end"; exit 1
fi
echo "crash ended with status $status after ${elapsed}s"
