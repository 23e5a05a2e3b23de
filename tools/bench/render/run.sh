#!/bin/sh
# Prints render.ninepatch_mpix_s and render.ninepatch_ratio.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_render.exe" | tr -d '\r'
