#!/bin/sh
# download.retry_ok: 1 when a complete upgrade succeeds although the local
# version service cuts the package transfer three times within the run (at
# 25, 50 and 75 % of a 16 MB package), each retry asking only for the rest;
# 0 otherwise. Also download.retry_refetch_ratio: the package bytes the
# service sent in that run over the package's size (1.00 when no byte was
# sent twice). The real waits between attempts (1, 4 and 10 s) are part of
# the run.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
DATA="$BUILD_DIR/bench-download"
SERVICE="$DATA/service"
INSTALL="$DATA/install"
PAYLOAD_BYTES=16777216

rm -rf "$SERVICE" "$INSTALL"
mkdir -p "$SERVICE/packages" "$SERVICE/answers" "$INSTALL"
. "$ROOT/tools/bench/payload_package.sh"
payload_package "$BUILD_DIR" "$DATA/cut.7z" $PAYLOAD_BYTES
cp "$DATA/cut.7z" "$SERVICE/packages/cut.7z"
size=$(stat -c %s "$DATA/cut.7z")
echo "$((size / 4)) $((size / 2)) $((size * 3 / 4))" > "$SERVICE/answers/package-cut"

proof=$(package_proof "$BUILD_DIR" "$ROOT" "$DATA/cut.7z")
printf '{"Code":0,"Msg":"","Data":{"LatestVersion":"1.0.1.0","UpdateContent":"Tarnwick 1.0.1.0|A package cut three times","DownloadUrl":"https://localhost:1011/packages/cut.7z",%s}}' \
    "$proof" > "$SERVICE/answers/26.json"
cp "$BUILD_DIR/bin/Kestrel.exe" "$INSTALL/"
cp "$BUILD_DIR/bin/BenchTarnwick.exe" "$INSTALL/Tarnwick.exe"
printf '{"id":26}' > "$INSTALL/kestrel.dat"

sh "$ROOT/tools/demo_service/serve.sh" start "$SERVICE" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$SERVICE" >&2' EXIT
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/peak_harness.exe" \
    "$(printf 'Z:%s\\Kestrel.exe' "$INSTALL" | sed 's|/|\\|g')" | tr -d '\r' >&2

installed=$(stat -c %s "$INSTALL/payload.bin" 2>/dev/null || echo 0)
ok=0
if [ "$installed" = $PAYLOAD_BYTES ] && [ ! -e "$INSTALL/cut.7z" ] && [ -f "$INSTALL/started.txt" ]; then
    ok=1
fi
cat "$SERVICE/demo-service/answers/packages.log" >&2
echo "download.retry_ok: $ok"
awk -v size="$size" '{ sent += $4 } END { printf "download.retry_refetch_ratio: %.3f\n", sent / size }' \
    "$SERVICE/demo-service/answers/packages.log"
