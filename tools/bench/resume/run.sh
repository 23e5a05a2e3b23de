#!/bin/sh
# download.resume_refetch_ratio: the package bytes the local version service
# sends in a run that resumes a 100 MB package kept at 60 % by an earlier
# run, over the 40 % that remained (1.00 when only the rest is sent; the goal
# is at most 1.02). The first run is cut at 60 % while the service answers
# ranged requests with 503, so it ends with the bytes kept and their record;
# it is ended once that retry was refused, as a user would end it.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
DATA="$BUILD_DIR/bench-resume"
SERVICE="$DATA/service"
INSTALL="$DATA/install"
PAYLOAD_BYTES=104857600

rm -rf "$SERVICE" "$INSTALL"
mkdir -p "$SERVICE/packages" "$SERVICE/answers" "$INSTALL"
. "$ROOT/tools/bench/payload_package.sh"
payload_package "$BUILD_DIR" "$DATA/resume.7z" $PAYLOAD_BYTES
cp "$DATA/resume.7z" "$SERVICE/packages/resume.7z"
size=$(stat -c %s "$DATA/resume.7z")
cut=$((size * 6 / 10))

proof=$(package_proof "$BUILD_DIR" "$ROOT" "$DATA/resume.7z")
printf '{"Code":0,"Msg":"","Data":{"LatestVersion":"1.0.1.0","UpdateContent":"Tarnwick 1.0.1.0|A package resumed","DownloadUrl":"https://localhost:1011/packages/resume.7z",%s}}' \
    "$proof" > "$SERVICE/answers/26.json"
cp "$BUILD_DIR/bin/Kestrel.exe" "$INSTALL/"
cp "$BUILD_DIR/bin/BenchTarnwick.exe" "$INSTALL/Tarnwick.exe"
printf '{"id":26}' > "$INSTALL/kestrel.dat"
kestrel=$(printf 'Z:%s\\Kestrel.exe' "$INSTALL" | sed 's|/|\\|g')

sh "$ROOT/tools/demo_service/serve.sh" start "$SERVICE" >&2
trap 'sh "$ROOT/tools/demo_service/serve.sh" stop "$SERVICE" >&2' EXIT
answers="$SERVICE/demo-service/answers"
log="$answers/packages.log"

# First run: cut at 60 %, the retry meets the outage, the run shows its
# failure and is ended.
echo "$cut" > "$answers/package-cut"
: > "$answers/package-outage"
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/peak_harness.exe" "$kestrel" >/dev/null 2>&1 &
first=$!
i=0
while ! grep -q ' 503 ' "$log" 2>/dev/null && [ $i -lt 3000 ]; do
    sleep 0.1
    i=$((i + 1))
done
sleep 1
"$BUILD_DIR/wine-run" taskkill /F /IM Kestrel.exe >/dev/null 2>&1 || true
wait $first || true
kept=$(stat -c %s "$INSTALL/resume.7z" 2>/dev/null || echo 0)
first_sent=$(awk '{ sent += $4 } END { print sent + 0 }' "$log" 2>/dev/null || echo 0)
first_lines=$(wc -l < "$log" 2>/dev/null || echo 0)

# Second run: the service is whole again.
rm -f "$answers/package-cut" "$answers/package-outage"
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/peak_harness.exe" "$kestrel" | tr -d '\r' >&2
cat "$log" >&2
echo "resume: first run kept $kept of $size bytes (sent $first_sent)" >&2

installed=$(stat -c %s "$INSTALL/payload.bin" 2>/dev/null || echo 0)
if [ "$kept" -eq 0 ] || [ "$installed" != $PAYLOAD_BYTES ] || [ -e "$INSTALL/resume.7z" ]; then
    echo "resume: the second run did not resume and install the package" >&2
    echo "download.resume_refetch_ratio: nan"
    exit 0
fi
tail -n +"$((first_lines + 1))" "$log" | awk -v rest="$((size - kept))" \
    '{ sent += $4 } END { printf "download.resume_refetch_ratio: %.3f\n", sent / rest }'
