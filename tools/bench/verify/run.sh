#!/bin/sh
# Package check benchmark: a package of 100 MiB, signed with a key made here,
# checked as the worker checks it (SHA-256, "PackageSha256", signature).
# Usage: sh run.sh BUILD_DIR (the Wine session is running)
set -eu
BUILD_DIR=$(cd "$1" && pwd)
DATA="$BUILD_DIR/bench-verify"
mkdir -p "$DATA"
if [ ! -f "$DATA/package.bin" ]; then
    head -c 104857600 /dev/urandom > "$DATA/package.bin.part"
    mv "$DATA/package.bin.part" "$DATA/package.bin"
fi
openssl ecparam -name prime256v1 -genkey -noout -out "$DATA/key.pem"
point=$(openssl ec -in "$DATA/key.pem" -pubout -outform DER 2>/dev/null | tail -c 64 | od -An -v -tx1 | tr -d ' \n')
signature=$(openssl dgst -sha256 -sign "$DATA/key.pem" "$DATA/package.bin" | base64 -w0)
sha256=$(sha256sum "$DATA/package.bin" | cut -c1-64)
package=$(printf 'Z:%s' "$DATA/package.bin" | sed 's|/|\\|g')
"$BUILD_DIR/wine-run" "$BUILD_DIR/bin/bench_verify.exe" "$package" "$point" "$signature" "$sha256" | tr -d '\r'
