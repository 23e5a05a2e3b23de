#!/bin/sh
# Prints upgrade.peak_mb: Kestrel's peak working set during a complete
# upgrade with a 100 MB package (incompressible data in a 7z made with
# 7-Zip's default settings) served at full speed by the local version
# service; the upgrade window opens on the session's display. Also upgrade.peak_pagefile_mb (its private bytes at the
# peak) and, for scale, upgrade.no_upgrade_peak_mb: the same process when no
# upgrade is due (what Wine and the loaded libraries take anyway).
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
DATA="$BUILD_DIR/bench-upgrade"
SERVICE="$DATA/service"
INSTALL="$DATA/install"
RUNS=${KESTREL_BENCH_UPGRADE_RUNS:-2}
PAYLOAD_BYTES=104857600

mkdir -p "$SERVICE/packages" "$SERVICE/answers"
if [ ! -f "$DATA/package.7z" ]; then
    stage="$DATA/stage"
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$BUILD_DIR/bin/BenchTarnwick.exe" "$stage/Tarnwick.exe"
    head -c $PAYLOAD_BYTES /dev/urandom > "$stage/payload.bin"
    # 7-Zip's default settings, as a publisher would pack it (LZMA2, 32 MB dictionary).
    (cd "$stage" && 7zz a -bd -bso0 "$DATA/package.part.7z" .)
    mv "$DATA/package.part.7z" "$DATA/package.7z"
    rm -rf "$stage"
fi
ln -f "$DATA/package.7z" "$SERVICE/packages/big.7z"
# The answer vouches for the package as a release does: its SHA-256, and
# its signature when the build has a publisher key (the demo's, whose
# private half lies beside it).
key=$(sed -n 's/^KESTREL_PACKAGE_KEY:FILEPATH=//p' "$BUILD_DIR/CMakeCache.txt")
if [ -n "$key" ]; then
    private="$(dirname "$key")/private.pem"
    [ -f "$private" ] || { echo "the build's package key has no private half beside it" >&2; exit 1; }
    proof=$(sh "$ROOT/tools/sign_package.sh" "$private" "$DATA/package.7z")
else
    proof="\"PackageSha256\":\"$(sha256sum "$DATA/package.7z" | cut -c1-64)\""
fi
printf '{"Code":0,"Msg":"","Data":{"LatestVersion":"1.0.1.0","UpdateContent":"Tarnwick 1.0.1.0|A 100 MB package","DownloadUrl":"https://localhost:1011/packages/big.7z",%s}}' \
    "$proof" > "$SERVICE/answers/26.json"
echo "package: $(du -m "$DATA/package.7z" | cut -f1) MB" >&2

prepare() {
    rm -rf "$INSTALL"
    mkdir -p "$INSTALL"
    cp "$BUILD_DIR/bin/Kestrel.exe" "$INSTALL/"
    cp "$BUILD_DIR/bin/BenchTarnwick.exe" "$INSTALL/Tarnwick.exe"
    printf '{"id":%s}' "$1" > "$INSTALL/kestrel.dat"
}

# Runs Kestrel once under the harness; its figures go to standard output.
measure() {
    "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/peak_harness.exe" \
        "$(printf 'Z:%s\\Kestrel.exe' "$INSTALL" | sed 's|/|\\|g')" | tr -d '\r' \
        | grep -E '^(peak_working_set_mb|peak_pagefile_mb|exit_code|seconds):'
}

sh "$ROOT/tools/demo_service/serve.sh" start "$SERVICE" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$SERVICE" >&2' EXIT

: > "$DATA/runs.txt"
i=0
while [ $i -lt "$RUNS" ]; do
    prepare 26
    measure > "$DATA/run.txt"
    cat "$DATA/run.txt" >&2
    # A complete upgrade: the payload is in place, the package gone, Tarnwick started.
    size=$(stat -c %s "$INSTALL/payload.bin" 2>/dev/null || echo 0)
    if [ "$size" != $PAYLOAD_BYTES ] || [ -e "$INSTALL/big.7z" ] || [ ! -f "$INSTALL/started.txt" ]; then
        echo "upgrade run $i did not complete (payload $size bytes)" >&2
        exit 1
    fi
    cat "$DATA/run.txt" >> "$DATA/runs.txt"
    i=$((i + 1))
done
prepare 25
measure > "$DATA/baseline.txt"

python3 - "$DATA/runs.txt" "$DATA/baseline.txt" <<'PY'
import sys
def read(path):
    figures = {}
    for line in open(path):
        name, _, value = line.partition(":")
        figures.setdefault(name.strip(), []).append(float(value))
    return figures
runs, baseline = read(sys.argv[1]), read(sys.argv[2])
ws = runs["peak_working_set_mb"]
print("upgrade peak working set over %d runs: %s MB" % (len(ws), ", ".join("%.1f" % v for v in ws)), file=sys.stderr)
print("upgrade.peak_mb: %.1f" % max(ws))
print("upgrade.peak_pagefile_mb: %.1f" % max(runs["peak_pagefile_mb"]))
print("upgrade.no_upgrade_peak_mb: %.1f" % baseline["peak_working_set_mb"][0])
PY
