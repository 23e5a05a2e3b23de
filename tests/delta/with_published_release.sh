#!/bin/sh
# Driver of the published-release test: makes two releases of a small
# Tarnwick, has tools/publish.py make 1.0.1.0 with a delta from 1.0.0.9
# and hands the folder to the program as KESTREL_PUBLISHED (old/, new/, out/).
#   sh with_published_release.sh WINE_RUN PROGRAM BUILD_DIR
set -eu
WINE_RUN=$1
PROGRAM=$2
BUILD_DIR=$3
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
DATA=$(mktemp -d "$BUILD_DIR/published-release.XXXXXX")
trap 'rm -rf "$DATA"' EXIT

python3 - "$DATA/old" "$DATA/new" <<'PY'
import os, random, sys
old, new = sys.argv[1:3]
rng = random.Random(7)
def put(root, name, data):
    path = os.path.join(root, *name.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, "wb").write(data)
program = rng.randbytes(2_000_000)
rebuilt = bytearray(program)
for at in range(50_000, len(program), 400_000):
    rebuilt[at:at + 3000] = rng.randbytes(3000)
shared = rng.randbytes(300_000)
put(old, "Tarnwick.exe", program)
put(new, "Tarnwick.exe", bytes(rebuilt))
for root in (old, new):
    put(root, "data/shared.bin", shared)
    put(root, "empty.txt", b"")
put(old, "bin/plugin.dll", rng.randbytes(50_000))
put(new, "bin/plugin.dll", rng.randbytes(50_000))
put(old, "legacy.txt", b"dropped in 1.0.1.0")
put(new, "bin/new/extra.dll", b"new in 1.0.1.0" * 100)
put(old, "readme.txt", b"Tarnwick 1.0.0.9\r\n")
put(new, "readme.txt", b"Tarnwick 1.0.1.0\r\n")
PY
python3 "$ROOT/tools/publish.py" --version 1.0.1.0 --release-dir "$DATA/new" \
    --previous "$DATA/old@1.0.0.9" --base-url https://localhost/ --out "$DATA/out" --level 3
KESTREL_PUBLISHED=$(printf 'Z:%s\\' "$DATA" | tr / '\\')
export KESTREL_PUBLISHED

set +e
"$WINE_RUN" "$PROGRAM" --gtest_color=no
status=$?
set -e
exit $status
