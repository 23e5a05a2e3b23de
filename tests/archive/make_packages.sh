#!/bin/sh
# Test driver: packs the test packages with the real tools (7zz, zip, gcab,
# xz, the 7-Zip source's own lzma for lzma86) and our generator for the
# hostile and damaged ones, then runs the archive tests on them.
# Usage: sh make_packages.sh WINE_RUN PROGRAM BUILD_DIR
set -eu
WINE_RUN=$1
PROGRAM=$2
BUILD_DIR=$3
HERE=$(cd "$(dirname "$0")" && pwd)
DATA="$BUILD_DIR/archive-test-data"
PACK="$DATA/packages"
SRC="$DATA/source"

cleanup() { rm -rf "$DATA"; }
trap cleanup EXIT INT TERM

# The lzma86 packer: built once per build folder from a copy of the 7-Zip
# source, since its makefile writes its objects beside the sources.
lzma_tool() {
    tool="$BUILD_DIR/lzmacon/CPP/7zip/Bundles/LzmaCon/_o/lzma"
    if [ ! -x "$tool" ]; then
        source_dir=$(sed -n 's/^SEVENZIP_SOURCE_DIR:INTERNAL=//p' "$BUILD_DIR/CMakeCache.txt")
        rm -rf "$BUILD_DIR/lzmacon"
        mkdir -p "$BUILD_DIR/lzmacon"
        cp -r "$source_dir/C" "$source_dir/CPP" "$BUILD_DIR/lzmacon/"
        make -s -C "$BUILD_DIR/lzmacon/CPP/7zip/Bundles/LzmaCon" -f makefile.gcc -j2 >&2
    fi
    echo "$tool"
}

pack7z() { out=$1; shift; (cd "$SRC" && 7zz a -bd -bso0 "$PACK/$out" "$@"); }

rm -rf "$DATA"
mkdir -p "$PACK" "$SRC/sub/deep" "$SRC/emptydir"
printf 'Tarnwick readme\r\nline two\r\n' > "$SRC/readme.txt"
head -c 65536 /dev/urandom > "$SRC/sub/deep/data.bin"
# Compressible data with x86 call patterns for the BCJ2 filter.
yes 'E8 00 01 00 00 call; mov eax, ebx' | head -c 200000 > "$SRC/sub/code.bin"
printf 'read only\r\n' > "$SRC/sub/readonly.txt"
chmod 444 "$SRC/sub/readonly.txt"
touch -d '2001-02-03 04:05:06 UTC' "$SRC/readme.txt" "$SRC/sub/deep/data.bin" "$SRC/sub/code.bin" \
    "$SRC/sub/readonly.txt"

ALL="readme.txt sub emptydir"
pack7z lzma.7z -m0=LZMA $ALL
pack7z lzma2.7z -m0=LZMA2 $ALL
pack7z ppmd.7z -m0=PPMd $ALL
pack7z bzip2.7z -m0=BZip2 $ALL
pack7z bcj2.7z -mf=BCJ2 -m0=LZMA $ALL
pack7z aes.7z -pSECRET -mhe=off $ALL
pack7z aes-headers.7z -pSECRET -mhe=on $ALL
pack7z times.7z -mtm=on -mtc=on -mta=on readme.txt
pack7z no-times.7z -mtm=off -mtc=off -mta=off readme.txt
pack7z folder-only.7z emptydir
pack7z deflate.zip -tzip -mm=Deflate $ALL
pack7z store.zip -tzip -mm=Copy $ALL
(cd "$SRC" && zip -qr "$PACK/infozip.zip" $ALL)
(cd "$SRC" && gcab -c "$PACK/none.cab" readme.txt sub/code.bin)
(cd "$SRC" && gcab -c -z "$PACK/mszip.cab" readme.txt sub/code.bin)
xz --format=lzma -c "$SRC/readme.txt" > "$PACK/single.lzma"
"$(lzma_tool)" e "$SRC/sub/code.bin" "$PACK/single.lzma86" -f86 >/dev/null

pack7z data-only.7z -m0=LZMA2 sub/deep/data.bin
python3 "$HERE/make_packages.py" damage-7z "$PACK/data-only.7z" "$PACK/damaged.7z"
pack7z data-only.zip -tzip -mm=Copy sub/deep/data.bin
python3 "$HERE/make_packages.py" damage-zip "$PACK/data-only.zip" "$PACK/damaged.zip"
for mib in 64 65 3072; do
    python3 "$HERE/make_packages.py" dictionary "$PACK/single.lzma" "$PACK/dictionary-$mib.lzma" $mib
done
pack7z readme-lzma.7z -mhc=off -m0=LZMA readme.txt
for mib in 64 1024; do
    python3 "$HERE/make_packages.py" dictionary "$PACK/readme-lzma.7z" "$PACK/dictionary-$mib.7z" $mib
done
size=$(stat -c %s "$PACK/lzma2.7z")
head -c $((size / 2)) "$PACK/lzma2.7z" > "$PACK/truncated.7z"

python3 "$HERE/make_packages.py" zip "$PACK/parent-slash.zip" '../escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/parent-backslash.zip" '..\escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/two-up.zip" '..\..\escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/absolute.zip" '/escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/drive-relative.zip" 'C:escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/unc.zip" '\\server\share\escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/inner-parent.zip" 'sub/../../escape.txt'
python3 "$HERE/make_packages.py" zip "$PACK/good-then-parent.zip" 'good.txt' '../escape.txt'
python3 "$HERE/make_packages.py" 7z "$PACK/parent.7z" '../escape.txt'
python3 "$HERE/make_packages.py" 7z "$PACK/two-up.7z" '../../escape.txt'
printf 'not an archive\r\n' > "$PACK/plain.txt"

. "$BUILD_DIR/wine-env.sh"
to_windows() { printf 'Z:%s\\' "$1" | sed 's|/|\\|g'; }
export KESTREL_ARCHIVE_PACKAGES="$(to_windows "$PACK")"
export KESTREL_ARCHIVE_SOURCE="$(to_windows "$SRC")"

status=0
"$WINE_RUN" "$PROGRAM" --gtest_color=no || status=$?
exit $status
