#!/bin/sh
# The upgrade packages of the window tests, made into FOLDER:
#   tarnwick-1.0.1.0.7z  Tarnwick 1.0.1.0 and a note
#   many-files.7z        Tarnwick 1.0.1.0 and 3,000 small files, so that an
#                        extraction lasts long enough to leave during it
#   sh make_packages.sh FOLDER BUILD_DIR
set -eu
out=$1
bin=$2/bin
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

mkdir -p "$stage/small" "$stage/many/files"
cp "$bin/TarnwickStandIn1010.exe" "$stage/small/Tarnwick.exe"
printf 'Tarnwick 1.0.1.0\r\n' > "$stage/small/notes.txt"
(cd "$stage/small" && 7zz a -bd -bso0 "$out/tarnwick-1.0.1.0.7z" .)

cp "$bin/TarnwickStandIn1010.exe" "$stage/many/Tarnwick.exe"
i=0
while [ $i -lt 3000 ]; do
    printf 'file %d of the new version\r\n' $i > "$stage/many/files/f$i.txt"
    i=$((i + 1))
done
(cd "$stage/many" && 7zz a -bd -bso0 -mx=1 "$out/many-files.7z" .)
