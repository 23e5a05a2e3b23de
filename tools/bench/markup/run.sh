#!/bin/sh
# Prints markup.mbps, markup.pugixml_mbps and markup.speed_ratio (pugixml in
# narrow mode), then markup.pugixml_wide_mbps and markup.pugixml_wide_ratio
# (pugixml decoding to UTF-16 like ours).
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_markup.exe" | tr -d '\r'
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_markup_wide.exe" | tr -d '\r'
