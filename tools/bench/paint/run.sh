#!/bin/sh
# Prints paint.tree10k_layout_ms (one layout of 10,000 labels).
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_paint.exe" | tr -d '\r'
