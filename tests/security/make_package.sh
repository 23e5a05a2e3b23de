#!/bin/sh
# tarnwick-1.0.1.0.7z (Tarnwick 1.0.1.0 and a note), made into FOLDER.
#   sh make_package.sh FOLDER BUILD_DIR
set -eu
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$2/bin/TarnwickStandIn1010.exe" "$stage/Tarnwick.exe"
printf 'Tarnwick 1.0.1.0\r\n' > "$stage/notes.txt"
(cd "$stage" && 7zz a -bd -bso0 "$1/tarnwick-1.0.1.0.7z" .)
