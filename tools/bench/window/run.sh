#!/bin/sh
# Prints window.first_paint_ms (CreateNative to the end of the first
# WM_PAINT of the upgrade window built from the real skin package),
# window.create_ms (CreateNative alone), paint.full_ms (mean full repaint
# of that window) and paint.full_ms_192dpi with paint.192dpi_ratio (the same
# window moved to 192 DPI): each the median over a few fresh processes, as
# the first window of a process is the case that matters.
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
RUNS=${KESTREL_BENCH_WINDOW_RUNS:-5}
DATA="$BUILD_DIR/bench-window"
mkdir -p "$DATA"
: > "$DATA/runs.txt"
i=0
while [ $i -lt "$RUNS" ]; do
    "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_window.exe" | tr -d '\r' >> "$DATA/runs.txt"
    i=$((i + 1))
done
python3 - "$DATA/runs.txt" <<'PY'
import statistics, sys
figures = {}
for line in open(sys.argv[1]):
    name, _, value = line.partition(":")
    figures.setdefault(name.strip(), []).append(float(value))
for name in ("window.first_paint_ms", "window.create_ms", "paint.full_ms", "paint.full_ms_192dpi",
             "paint.192dpi_ratio"):
    values = figures[name]
    print("%s over %d runs: min %.3f, max %.3f" % (name, len(values), min(values), max(values)), file=sys.stderr)
    print("%s: %.1f" % (name, statistics.median(values)) if name.startswith("window.")
          else "%s: %.3f" % (name, statistics.median(values)))
PY
