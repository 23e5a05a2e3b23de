#!/bin/sh
# Driver of the upgrade worker tests: packs the test packages, trusts a test
# CA for this run and starts the package server with a plain HTTP listener,
# an HTTPS listener whose certificate chains to the CA and one with a
# self-signed certificate (and one for the machine's own host name, see
# below). Ports reach the program as
# KESTREL_UPGRADE_<NAME>_PORT, plus a refused one.
#   sh with_package_server.sh WINE_RUN PROGRAM BUILD_DIR
set -eu
WINE_RUN=$1
PROGRAM=$2
BUILD_DIR=$3
HERE=$(cd "$(dirname "$0")" && pwd)
KESTREL_ROOT=$(cd "$HERE/../.." && pwd)
. "$KESTREL_ROOT/tests/support/https_driver.sh"

driver_begin "$BUILD_DIR" upgrade-test

PACK="$DATA/packages"
SRC="$DATA/source"
mkdir -p "$PACK" "$SRC"
zip_package_args() { out=$1; shift; python3 "$HERE/make_upgrade_packages.py" "$PACK/$out" "$@"; }

printf 'new a' > "$SRC/a.dll"
printf 'new readme' > "$SRC/readme.txt"
head -c 65536 /dev/urandom > "$SRC/payload.bin"
# Large enough for transfers cut several times at well-separated offsets.
head -c 1048576 /dev/urandom > "$PACK/large.bin"
(cd "$SRC" && 7zz a -bd -bso0 "$PACK/basic.7z" a.dll readme.txt)
(cd "$SRC" && 7zz a -bd -bso0 -m0=Copy "$PACK/big.7z" payload.bin)
# Stored, so that a cut at a given byte falls inside the payload's data.
head -c 1048576 /dev/urandom > "$SRC/resume.bin"
(cd "$SRC" && 7zz a -bd -bso0 -m0=Copy "$PACK/resume.7z" resume.bin readme.txt)
zip_package_args a-only.zip 'a.dll=new a'
zip_package_args a-and-underscore.zip 'a.dll=new a' '_a.dll=new underscore a'
zip_package_args tarnwick.zip 'Tarnwick.exe=new tarnwick'
zip_package_args new-files.zip 'fresh.txt=fresh' 'newdir/' 'newdir/inner.txt=inner'
zip_package_args lib-file.zip 'lib=lib as a file'
zip_package_args folders.zip 'data/' 'data/blob.bin=new blob' 'data/sub/' 'data/sub/deep.txt=new deep'
zip_package_args folders-damaged.zip --damage-last 'data/' 'data/blob.bin=new blob' \
    'data/sub/' 'data/sub/deep.txt=new deep' 'data/z.bin=broken item data'
zip_package_args kinds.zip 'cfg/a.ini=new ini' 'lib=lib as a file'
zip_package_args kinds-damaged.zip --damage-last 'cfg/a.ini=new ini' 'lib=lib as a file' \
    'z.bin=broken item data'
mkdir -p "$SRC/tree/data/sub"
printf 'new blob' > "$SRC/tree/data/blob.bin"
printf 'new deep' > "$SRC/tree/data/sub/deep.txt"
# 7-Zip stores the folder entries by default, as most archivers do.
(cd "$SRC/tree" && 7zz a -bd -bso0 "$PACK/folders.7z" data)
zip_package_args two-dlls.zip 'a.dll=new a' 'b.dll=new b'
zip_package_args damaged.zip --damage-last 'a.dll=new a' 'sub/' 'sub/new.txt=new sub' \
    'lib/' 'lib/y.dll=new y' 'c.dll=broken item data'
zip_package_args unsafe.zip 'a.dll=new a' '../evil.dll=evil'
zip_package_args self.zip 'a.dll=new a' 'self.zip=not the package'
zip_package_args record-item.zip 'a.dll=new a' 'record-item.zip.kestrel-resume=forged record'
printf 'not an archive\r\n' > "$PACK/invalid.7z"

# Packages with their proofs: NAME.sha256 (hexadecimal), NAME.sig (base64 of
# the DER signature by the publisher key that the signed tests carry, made
# when they were built) and NAME.other-sig (by a key made now). A flipped
# byte and a package of other contents stand in for tampering.
PUBLISHER_KEY="$BUILD_DIR/tests/upgrade/publisher-key/private.pem"
OTHER_KEY="$DATA/other-key.pem"
openssl ecparam -name prime256v1 -genkey -noout -out "$OTHER_KEY"
[ -f "$PUBLISHER_KEY" ] || PUBLISHER_KEY=$OTHER_KEY
zip_package_args tampered.zip 'a.dll=tampered a'
python3 - "$PACK/a-only.zip" "$PACK/a-only-flipped.zip" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[len(data) // 2] ^= 0x01
open(sys.argv[2], "wb").write(data)
PY
for name in a-only.zip basic.7z resume.7z; do
    sha256sum "$PACK/$name" | cut -c1-64 | tr -d '\n' > "$PACK/$name.sha256"
    openssl dgst -sha256 -sign "$PUBLISHER_KEY" "$PACK/$name" | base64 -w0 > "$PACK/$name.sig"
    openssl dgst -sha256 -sign "$OTHER_KEY" "$PACK/$name" | base64 -w0 > "$PACK/$name.other-sig"
done

local_ca_self_signed "$TEST_CA_DIR" "$DATA/selfsigned.crt" localhost

# A second host name for this machine, as a package host other than the
# version service's: the machine's own name when it resolves to loopback.
OTHER_LISTENER=
OTHER_HOST=$(hostname 2>/dev/null || true)
if [ -n "$OTHER_HOST" ] && [ "$OTHER_HOST" != localhost ] \
    && getent ahostsv4 "$OTHER_HOST" 2>/dev/null | grep -q '^127\.' \
    && local_ca_server_cert "$TEST_CA_DIR" "$DATA/other.crt" "$OTHER_HOST"; then
    OTHER_LISTENER="--listener other=$DATA/other.crt"
    KESTREL_UPGRADE_OTHER_HOST=$OTHER_HOST
    export KESTREL_UPGRADE_OTHER_HOST
fi

python3 "$HERE/package_server.py" --ready "$DATA/ports" --root "$PACK" --log "$PACK/requests.log" \
    --key "$TEST_CA_DIR/server.key" \
    --listener http=plain --listener https="$TEST_CA_DIR/localhost.crt" \
    --listener untrusted="$DATA/selfsigned.crt" $OTHER_LISTENER &
server=$!
wait_for_file "$DATA/ports" "$server" || { echo "the package server did not start"; exit 1; }
export_ports UPGRADE "$DATA/ports"
KESTREL_UPGRADE_PACKAGES=$(wine_path "$PACK/")
export KESTREL_UPGRADE_PACKAGES

run_program "$WINE_RUN" "$PROGRAM"
