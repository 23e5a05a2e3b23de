#!/bin/sh
# resume.7z: Tarnwick 1.0.1.0 and 2 MiB of stored random bytes (so that a
# cut falls inside data), with its SHA-256 in resume.7z.sha256, made into
# FOLDER.   sh make_package.sh FOLDER BUILD_DIR
set -eu
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$2/bin/TarnwickStandIn1010.exe" "$stage/Tarnwick.exe"
head -c 2097152 /dev/urandom > "$stage/payload.bin"
(cd "$stage" && 7zz a -bd -bso0 -m0=Copy "$1/resume.7z" .)
sha256sum "$1/resume.7z" | cut -c1-64 | tr -d '\n' > "$1/resume.7z.sha256"
