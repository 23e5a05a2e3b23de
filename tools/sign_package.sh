#!/bin/sh
# Signs an upgrade package for Kestrel and prints the two members that the
# version answer's "Data" carries for it:
#   "PackageSha256":"<64 hex digits>","PackageSignature":"<base64 of the DER signature>"
# KEY is the publisher's ECDSA P-256 private key (PEM), the partner of the
# public key that Kestrel was built with (KESTREL_PACKAGE_KEY).
#   sh sign_package.sh KEY PACKAGE
set -eu
[ $# -eq 2 ] || { echo "usage: $0 KEY PACKAGE" >&2; exit 2; }
key=$1
package=$2
if ! openssl pkey -in "$key" -noout -text 2>/dev/null | grep -q 'prime256v1'; then
    echo "$0: $key is not an ECDSA P-256 (prime256v1) private key" >&2
    exit 1
fi
der=$(mktemp)
trap 'rm -f "$der"' EXIT
openssl dgst -sha256 -sign "$key" -out "$der" "$package"
sha256=$(openssl dgst -sha256 -r "$package" | cut -c1-64)
printf '"PackageSha256":"%s","PackageSignature":"%s"\n' "$sha256" "$(base64 -w0 "$der")"
