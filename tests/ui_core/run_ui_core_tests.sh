#!/bin/sh
# Test driver: writes the zip fixtures with Python's zipfile, then runs the
# test program on them. Usage: sh run_ui_core_tests.sh WINE_RUN PROGRAM BUILD_DIR
set -eu
WINE_RUN=$1
PROGRAM=$2
BUILD_DIR=$3
HERE=$(cd "$(dirname "$0")" && pwd)
DATA=$(cd "$(mktemp -d "$BUILD_DIR/ui-core-fixtures.XXXXXX")" && pwd)
trap 'rm -rf "$DATA"' EXIT INT TERM

python3 "$HERE/make_fixtures.py" "$DATA"
# Info-ZIP's zip adds the extended timestamp ("UT") extra field.
mkdir "$DATA/tool"
printf '<Tool />' > "$DATA/tool/Tool.xml"
touch -d '2001-02-03 04:05:06 UTC' "$DATA/tool/Tool.xml"
(cd "$DATA/tool" && zip -q "$DATA/tool.zip" Tool.xml)

to_windows() { printf 'Z:%s\\' "$1" | sed 's|/|\\|g'; }
export KESTREL_SKIN_FIXTURES="$(to_windows "$DATA")"
status=0
if [ -z "${HEAP_CHECKS:-}" ]; then
    "$WINE_RUN" "$PROGRAM" --gtest_color=no || status=$?
    exit $status
fi

# Wine's heap checks catch damage to heap blocks that the guard pages miss;
# they report it on stderr and let the program go on, so look for it here.
. "$BUILD_DIR/wine-env.sh"
WINEDEBUG=err+heap,warn+heap "$WINE" "$PROGRAM" --gtest_color=no 2>"$DATA/stderr" || status=$?
cat "$DATA/stderr" >&2
if grep -q 'heap:' "$DATA/stderr"; then
    echo "Wine's heap checks reported damage" >&2
    [ $status -ne 0 ] || status=1
fi
exit $status
