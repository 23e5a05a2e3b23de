#!/bin/sh
# Extraction benchmark: about 100 MB in 300 files, packed as 7z (LZMA2) and
# zip (deflate) with 7zz, unpacked by ExtractTo and by the reference loop.
# Usage: sh run.sh BUILD_DIR
set -eu
BUILD_DIR=$(cd "$1" && pwd)
DATA="$BUILD_DIR/bench-extract"
SRC="$DATA/source"

if [ ! -f "$DATA/package.7z" ] || [ ! -f "$DATA/package.zip" ]; then
    rm -rf "$DATA"
    mkdir -p "$SRC"
    # Program-like contents: a third incompressible, the rest repetitive text.
    python3 - "$SRC" <<'PY' >&2
import os, random, sys
root = sys.argv[1]
rng = random.Random(4)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(800)]
for index in range(300):
    folder = os.path.join(root, "part%d" % (index % 6))
    os.makedirs(folder, exist_ok=True)
    size = rng.randint(150000, 550000)
    chunks = []
    total = 0
    while total < size:
        if rng.random() < 0.33:
            chunk = rng.randbytes(4096)
        else:
            chunk = b" ".join(rng.choice(words) for _ in range(700))
        chunks.append(chunk)
        total += len(chunk)
    with open(os.path.join(folder, "file%03d.bin" % index), "wb") as out:
        out.write(b"".join(chunks)[:size])
PY
    (cd "$SRC" && 7zz a -bd -bso0 -t7z -m0=LZMA2 "$DATA/package.7z" .)
    (cd "$SRC" && 7zz a -bd -bso0 -tzip -mm=Deflate "$DATA/package.zip" .)
    du -sh "$SRC" "$DATA/package.7z" "$DATA/package.zip" >&2
fi

. "$BUILD_DIR/wine-env.sh"
windows() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
mkdir -p "$DATA/out"
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_extract.exe" "$(windows "$DATA/out")" \
    "$(windows "$DATA/package.7z")" "$(windows "$DATA/package.zip")" > "$DATA/result.txt"
grep '^extract\.' "$DATA/result.txt"
