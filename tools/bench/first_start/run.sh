#!/bin/sh
# The watched first start after an upgrade to the 50-file release (the new
# stand-in Tarnwick and 49 files of 64 KB over an installation that has
# older copies of them all), median of the rounds:
#   upgrade.watch_extra_ms  from the new Tarnwick's window appearing to
#                           Kestrel's end (goal: at most 100)
#   upgrade.takeback_ms     from the new Tarnwick's crash at its start to the
#                           previous Tarnwick running, all 50 files put back
#   upgrade.takeback_kestrel_ms  the part of it from Kestrel's verdict (its
#                           line on standard output) on; the rest is the
#                           platform ending the crashed process
#   upgrade.takeback_rename_ms  the reference: the same 50 files renamed back
#                           over the new ones by a bare loop, then the
#                           Tarnwick among them started
#   upgrade.takeback_ratio  takeback_kestrel_ms over the reference
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
DATA="$BUILD_DIR/bench-first-start"
SERVICE="$DATA/service"
PRISTINE="$DATA/pristine"
INSTALL="$DATA/install"
ROUNDS=${KESTREL_BENCH_FIRST_START_ROUNDS:-5}

rm -rf "$DATA"
mkdir -p "$SERVICE/packages" "$SERVICE/answers" "$PRISTINE" "$DATA/stage"
cp "$BUILD_DIR/bin/TarnwickStandIn1010.exe" "$DATA/stage/Tarnwick.exe"
i=1
while [ $i -le 49 ]; do
    head -c 65536 /dev/urandom > "$DATA/stage/f$i.dat"
    head -c 65536 /dev/urandom > "$PRISTINE/f$i.dat"
    i=$((i + 1))
done
(cd "$DATA/stage" && 7zz a -bd -bso0 -mx=1 "$SERVICE/packages/release50.7z" .)
cp "$BUILD_DIR/bin/Kestrel.exe" "$PRISTINE/"
cp "$BUILD_DIR/bin/TarnwickStandIn.exe" "$PRISTINE/Tarnwick.exe"
printf '{"id":26}' > "$PRISTINE/kestrel.dat"
printf -- '--stamps' > "$PRISTINE/tarnwick-1.0.0.9.options"

key=$(sed -n 's/^KESTREL_PACKAGE_KEY:FILEPATH=//p' "$BUILD_DIR/CMakeCache.txt")
if [ -n "$key" ]; then
    proof=$(sh "$ROOT/tools/sign_package.sh" "$(dirname "$key")/private.pem" "$SERVICE/packages/release50.7z")
else
    proof="\"PackageSha256\":\"$(sha256sum "$SERVICE/packages/release50.7z" | cut -c1-64)\""
fi
printf '{"Code":0,"Msg":"","Data":{"LatestVersion":"1.0.1.0","UpdateContent":"Tarnwick 1.0.1.0|The 50-file release","DownloadUrl":"https://localhost:1011/packages/release50.7z",%s}}' \
    "$proof" > "$SERVICE/answers/26.json"

sh "$ROOT/tools/demo_service/serve.sh" start "$SERVICE" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$SERVICE" >&2' EXIT
folder=$(printf 'Z:%s' "$INSTALL" | sed 's|/|\\|g')

# One round of MODE over a fresh copy of the installation; the new
# Tarnwick does OPTIONS.
round() {
    rm -rf "$INSTALL"
    cp -r "$PRISTINE" "$INSTALL"
    printf -- '%s' "$2" > "$INSTALL/tarnwick-1.0.1.0.options"
    "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/first_start_harness.exe" "$1" "$folder" | tr -d '\r' | tail -n 1
    # Let the started Tarnwick end before its folder goes.
    sleep 0.5
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

n=0; : > "$DATA/watch"; : > "$DATA/takeback"; : > "$DATA/rename"
while [ $n -lt "$ROUNDS" ]; do
    round watch '--stamps --main-window --exit-after=200' >> "$DATA/watch"
    round takeback '--stamps --crash' >> "$DATA/takeback"
    # The reference: kept files beside the new ones, as the take-back finds them.
    rm -rf "$INSTALL"
    mkdir -p "$INSTALL"
    for f in "$DATA/stage/"*; do
        name=$(basename "$f")
        cp "$f" "$INSTALL/$name"
        cp "$f" "$INSTALL/_$name"
    done
    "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/first_start_harness.exe" rename "$folder" | tr -d '\r' | tail -n 1 >> "$DATA/rename"
    n=$((n + 1))
done
watch=$(median < "$DATA/watch")
takeback=$(cut -d' ' -f1 "$DATA/takeback" | median)
takeback_kestrel=$(cut -d' ' -f2 "$DATA/takeback" | median)
rename=$(median < "$DATA/rename")
echo "upgrade.watch_extra_ms: $watch"
echo "upgrade.takeback_ms: $takeback"
echo "upgrade.takeback_kestrel_ms: $takeback_kestrel"
echo "upgrade.takeback_rename_ms: $rename"
awk -v a="$takeback_kestrel" -v b="$rename" 'BEGIN { printf "upgrade.takeback_ratio: %.2f\n", (b > 0) ? a / b : 0 }'
