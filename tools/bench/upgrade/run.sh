#!/bin/sh
# Prints Kestrel's peak working set during a complete upgrade with a 100 MB
# package (incompressible data in a 7z) served at full speed by the local
# version service; the upgrade window opens on the session's display.
# upgrade.peak_mb: a package packed with an 8 MiB LZMA2 dictionary, as a
# publisher packs for Kestrel (decoding takes the dictionary, once per
# decoding thread); upgrade.peak_default_mb: one packed with 7-Zip's default
# settings (LZMA2, 32 MB dictionary). Also upgrade.peak_pagefile_mb (private
# bytes at the peak, publisher's package) and, for scale,
# upgrade.no_upgrade_peak_mb: the same process when no upgrade is due (what
# Wine and the loaded libraries take anyway).
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
# make_package NAME 7ZZ_OPTION...: the package NAME.7z (kept between runs).
make_package() {
    name=$1; shift
    [ -f "$DATA/$name.7z" ] && return 0
    stage="$DATA/stage"
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$BUILD_DIR/bin/BenchTarnwick.exe" "$stage/Tarnwick.exe"
    head -c $PAYLOAD_BYTES /dev/urandom > "$stage/payload.bin"
    (cd "$stage" && 7zz a -bd -bso0 "$@" "$DATA/$name.part.7z" .)
    mv "$DATA/$name.part.7z" "$DATA/$name.7z"
    rm -rf "$stage"
}
make_package publisher -m0=LZMA2:d=8m
make_package default

# offer NAME ID: the service offers NAME.7z to OEM ID. The answer vouches for
# the package as a release does: its SHA-256, and its signature when the
# build has a publisher key (the demo's, whose private half lies beside it).
offer() {
    ln -f "$DATA/$1.7z" "$SERVICE/packages/$1.7z"
    key=$(sed -n 's/^KESTREL_PACKAGE_KEY:FILEPATH=//p' "$BUILD_DIR/CMakeCache.txt")
    if [ -n "$key" ]; then
        private="$(dirname "$key")/private.pem"
        [ -f "$private" ] || { echo "the build's package key has no private half beside it" >&2; exit 1; }
        proof=$(sh "$ROOT/tools/sign_package.sh" "$private" "$DATA/$1.7z")
    else
        proof="\"PackageSha256\":\"$(sha256sum "$DATA/$1.7z" | cut -c1-64)\""
    fi
    printf '{"Code":0,"Msg":"","Data":{"LatestVersion":"1.0.1.0","UpdateContent":"Tarnwick 1.0.1.0|A 100 MB package","DownloadUrl":"https://localhost:1011/packages/%s.7z",%s}}' \
        "$1" "$proof" > "$SERVICE/answers/$2.json"
    echo "package $1: $(du -m "$DATA/$1.7z" | cut -f1) MB" >&2
}

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
offer publisher 26
offer default 27

sh "$ROOT/tools/demo_service/serve.sh" start "$SERVICE" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$SERVICE" >&2' EXIT

# upgrades NAME ID: RUNS complete upgrades of OEM ID, with NAME.7z; their
# figures go to NAME.runs.
upgrades() {
    : > "$DATA/$1.runs"
    i=0
    while [ $i -lt "$RUNS" ]; do
        prepare "$2"
        measure > "$DATA/run.txt"
        cat "$DATA/run.txt" >&2
        # A complete upgrade: the payload is in place, the package gone, Tarnwick started.
        size=$(stat -c %s "$INSTALL/payload.bin" 2>/dev/null || echo 0)
        if [ "$size" != $PAYLOAD_BYTES ] || [ -e "$INSTALL/$1.7z" ] || [ ! -f "$INSTALL/started.txt" ]; then
            echo "upgrade run $i with $1.7z did not complete (payload $size bytes)" >&2
            exit 1
        fi
        cat "$DATA/run.txt" >> "$DATA/$1.runs"
        i=$((i + 1))
    done
}
upgrades publisher 26
upgrades default 27
prepare 25
measure > "$DATA/baseline.txt"

python3 - "$DATA/publisher.runs" "$DATA/default.runs" "$DATA/baseline.txt" <<'PY'
import sys
def read(path):
    figures = {}
    for line in open(path):
        name, _, value = line.partition(":")
        figures.setdefault(name.strip(), []).append(float(value))
    return figures
publisher, default, baseline = (read(path) for path in sys.argv[1:4])
for name, runs in (("publisher's", publisher), ("default", default)):
    ws = runs["peak_working_set_mb"]
    print("upgrade peak working set, %s package, over %d runs: %s MB"
          % (name, len(ws), ", ".join("%.1f" % v for v in ws)), file=sys.stderr)
print("upgrade.peak_mb: %.1f" % max(publisher["peak_working_set_mb"]))
print("upgrade.peak_default_mb: %.1f" % max(default["peak_working_set_mb"]))
print("upgrade.peak_pagefile_mb: %.1f" % max(publisher["peak_pagefile_mb"]))
print("upgrade.no_upgrade_peak_mb: %.1f" % baseline["peak_working_set_mb"][0])
PY
