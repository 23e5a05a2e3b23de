#!/bin/sh
# Prints kestrel.exe_kb: the size in KB of the shipped (stripped, i686)
# Kestrel.exe. A 64-bit BUILD_DIR, used where 32-bit code cannot run,
# measures the i686 product build instead.
# Usage: sh run.sh BUILD_DIR
set -eu
BUILD_DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
if ! grep -qx 'KESTREL_ARCH:STRING=i686' "$BUILD_DIR/CMakeCache.txt"; then
    BUILD_DIR="$ROOT/build"
fi
bytes=$(wc -c < "$BUILD_DIR/bin/Kestrel.exe")
echo "kestrel.exe_kb: $(( (bytes + 1023) / 1024 ))"
