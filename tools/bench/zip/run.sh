#!/bin/sh
# Prints zip.time_ratio: the reader's extraction time of a 50 MB deflated
# entry divided by zlib's inflate time over the same bytes.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
DATA="$BUILD_DIR/bench-zip"
mkdir -p "$DATA"
if [ ! -f "$DATA/payload.zip" ]; then
    python3 "$HERE/make_archive.py" "$DATA/payload.zip.part"
    mv "$DATA/payload.zip.part" "$DATA/payload.zip"
fi
archive=$(printf 'Z:%s' "$DATA/payload.zip" | sed 's|/|\\|g')
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_zip.exe" "$archive" | tr -d '\r'
