#!/bin/sh
# The upgrade package of the first-start tests, made into FOLDER:
#   tarnwick-1.0.1.0.7z  Tarnwick 1.0.1.0, new notes, and a file in a folder
#                        the installation does not have yet
#   sh make_packages.sh FOLDER BUILD_DIR
set -eu
out=$1
bin=$2/bin
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

mkdir -p "$stage/plugins"
cp "$bin/TarnwickStandIn1010.exe" "$stage/Tarnwick.exe"
printf 'Tarnwick 1.0.1.0\r\n' > "$stage/notes.txt"
printf 'a plugin of 1.0.1.0\r\n' > "$stage/plugins/new.dll"
(cd "$stage" && 7zz a -bd -bso0 "$out/tarnwick-1.0.1.0.7z" .)
