#!/bin/sh
# Driver of the upgrade worker tests: packs the test packages, trusts a test
# CA for this run and starts the package server with a plain HTTP listener,
# an HTTPS listener whose certificate chains to the CA and one with a
# self-signed certificate. Ports reach the program as
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
(cd "$SRC" && 7zz a -bd -bso0 "$PACK/basic.7z" a.dll readme.txt)
(cd "$SRC" && 7zz a -bd -bso0 -m0=Copy "$PACK/big.7z" payload.bin)
zip_package_args a-only.zip 'a.dll=new a'
zip_package_args a-and-underscore.zip 'a.dll=new a' '_a.dll=new underscore a'
zip_package_args tarnwick.zip 'Tarnwick.exe=new tarnwick'
zip_package_args new-files.zip 'fresh.txt=fresh' 'newdir/' 'newdir/inner.txt=inner'
zip_package_args lib.zip 'lib/' 'lib/x.dll=new x'
zip_package_args two-dlls.zip 'a.dll=new a' 'b.dll=new b'
zip_package_args damaged.zip --damage-last 'a.dll=new a' 'sub/' 'sub/new.txt=new sub' \
    'lib/' 'lib/y.dll=new y' 'c.dll=broken item data'
zip_package_args unsafe.zip 'a.dll=new a' '../evil.dll=evil'
zip_package_args self.zip 'a.dll=new a' 'self.zip=not the package'
printf 'not an archive\r\n' > "$PACK/invalid.7z"

local_ca_self_signed "$TEST_CA_DIR" "$DATA/selfsigned.crt" localhost

python3 "$HERE/package_server.py" --ready "$DATA/ports" --root "$PACK" \
    --key "$TEST_CA_DIR/server.key" \
    --listener http=plain --listener https="$TEST_CA_DIR/localhost.crt" \
    --listener untrusted="$DATA/selfsigned.crt" &
server=$!
wait_for_file "$DATA/ports" "$server" || { echo "the package server did not start"; exit 1; }
export_ports UPGRADE "$DATA/ports"
KESTREL_UPGRADE_PACKAGES=$(wine_path "$PACK/")
export KESTREL_UPGRADE_PACKAGES

run_program "$WINE_RUN" "$PROGRAM"
