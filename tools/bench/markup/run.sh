#!/bin/sh
# Prints markup.mbps, markup.pugixml_mbps and markup.speed_ratio.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_markup.exe" | tr -d '\r'
