#!/bin/sh
# A release made by tools/publish.py: a 20 MB stand-in Tarnwick whose code
# changed by about 1 %, 49 unchanged 1 MB files and one new 1 MB file.
#   delta.size_ratio          the delta's size / the full package's
#   upgrade.delta_time_ratio  Kestrel's start to the new Tarnwick running,
#                             through the delta / through the full package,
#                             both served at 5 MB/s by the local service
#   delta.apply_mb_s          MB of new files a second that installing the
#                             delta builds (patches decoded, every base and
#                             result hashed), over the bytes it built
#   delta.upgrade_peak_mb     Kestrel's peak working set during the delta upgrade
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../../.." && pwd)
DATA="$BUILD_DIR/bench-delta"
SERVICE="$DATA/service"
INSTALL="$DATA/install"
RATE=5000000

rm -rf "$DATA"
mkdir -p "$SERVICE/answers"
python3 "$HERE/make_releases.py" "$BUILD_DIR/bin/BenchTarnwick.exe" "$DATA/old" "$DATA/new"
key=$(sed -n 's/^KESTREL_PACKAGE_KEY:FILEPATH=//p' "$BUILD_DIR/CMakeCache.txt")
key_option=
[ -n "$key" ] && key_option="--key $(dirname "$key")/private.pem"
python3 "$ROOT/tools/publish.py" --version 1.0.1.0 --release-dir "$DATA/new" \
    --previous "$DATA/old@1.0.0.9" $key_option --base-url https://localhost:1011/packages/ \
    --out "$SERVICE/packages" >&2
package="$SERVICE/packages/tarnwick-1.0.1.0.7z"
delta="$SERVICE/packages/tarnwick-1.0.0.9-1.0.1.0.delta"
# OEM 28 is offered the delta, OEM 29 the same answer without it.
cp "$SERVICE/packages/answer.json" "$SERVICE/answers/28.json"
python3 - "$SERVICE/packages/answer.json" "$SERVICE/answers/29.json" <<'PY'
import json, sys
answer = json.load(open(sys.argv[1]))
del answer["Data"]["Deltas"]
json.dump(answer, open(sys.argv[2], "w"))
PY

prepare() {
    rm -rf "$INSTALL"
    cp -r "$DATA/old" "$INSTALL"
    cp "$BUILD_DIR/bin/Kestrel.exe" "$INSTALL/"
    printf '{"id":%s}' "$1" > "$INSTALL/kestrel.dat"
}
win_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
measure() {
    "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/peak_harness.exe" "$(win_path "$INSTALL")\\Kestrel.exe" \
        | tr -d '\r' | grep -E '^(peak_working_set_mb|seconds):'
}
# The upgrade is complete: the new release in place, Tarnwick started.
check_upgraded() {
    for f in Tarnwick.exe data/asset00.bin data/asset49.bin; do
        cmp -s "$DATA/new/$f" "$INSTALL/$f" || { echo "upgrade through $1: $f is not the new release's" >&2; exit 1; }
    done
    [ -f "$INSTALL/started.txt" ] || { echo "upgrade through $1: Tarnwick was not started" >&2; exit 1; }
}

KESTREL_DEMO_PACKAGE_RATE=$RATE sh "$ROOT/tools/demo_service/serve.sh" start "$SERVICE" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$SERVICE" >&2' EXIT
prepare 28
measure > "$DATA/delta.txt"
check_upgraded delta
prepare 29
measure > "$DATA/full.txt"
check_upgraded "the full package"
cat "$DATA/delta.txt" "$DATA/full.txt" >&2

prepare 1
cp "$delta" "$INSTALL/up.delta"
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/delta_apply.exe" "$(win_path "$INSTALL")\\" up.delta | tr -d '\r' > "$DATA/apply.txt"
cat "$DATA/apply.txt" >&2

python3 - "$delta" "$package" "$DATA/delta.txt" "$DATA/full.txt" "$DATA/apply.txt" <<'PY'
import os, sys
def read(path):
    return {k.strip(): float(v) for k, _, v in (l.partition(":") for l in open(path) if ":" in l)}
delta, package = (os.path.getsize(p) for p in sys.argv[1:3])
through_delta, through_package, apply = (read(p) for p in sys.argv[3:6])
print("delta.size_ratio: %.4f" % (delta / package))
print("upgrade.delta_time_ratio: %.3f" % (through_delta["seconds"] / through_package["seconds"]))
print("delta.apply_mb_s: %.1f" % (apply["built_bytes"] / 1e6 / apply["seconds"]))
print("delta.upgrade_peak_mb: %.1f" % through_delta["peak_working_set_mb"])
PY
