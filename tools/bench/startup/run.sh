#!/bin/sh
# Prints startup.no_upgrade_ratio: Kestrel's time from its start to
# Tarnwick's start when no upgrade is due, over that of BareGet.exe (the
# version GET and Tarnwick's start, nothing else), both started by a
# Wine-side harness against the local version service, alternating, median
# of the rounds; then the two medians in milliseconds.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
DATA="$BUILD_DIR/bench-startup"
INSTALL="$DATA/install"
ROUNDS=${KESTREL_BENCH_STARTUP_ROUNDS:-15}

rm -rf "$INSTALL"
mkdir -p "$INSTALL"
cp "$BUILD_DIR/bin/Kestrel.exe" "$BUILD_DIR/bin/BareGet.exe" "$INSTALL/"
cp "$BUILD_DIR/bin/BenchTarnwick.exe" "$INSTALL/Tarnwick.exe"
# OEM 25 gets the service's default answer: 1.0.0.9, the installed version.
printf '{"id":25}' > "$INSTALL/kestrel.dat"

sh "$ROOT/tools/demo_service/serve.sh" start "$DATA/service" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$DATA/service" >&2' EXIT
folder=$(printf 'Z:%s' "$INSTALL" | sed 's|/|\\|g')
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/startup_harness.exe" "$folder" "$ROUNDS" \
    localhost 1011 /v1/oem/clientVersion?oemId=25 25 | tr -d '\r'
