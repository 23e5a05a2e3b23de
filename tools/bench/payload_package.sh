# Sourced by the download benchmarks: a package of the bench Tarnwick and
# random bytes, made once per build folder, and the proof members of an
# answer for it.

# payload_package BUILD_DIR FILE BYTES: makes FILE (a 7z stored without
# compression) unless it is there already.
payload_package() {
    [ -f "$2" ] && return 0
    pp_stage="$2.stage"
    rm -rf "$pp_stage"
    mkdir -p "$pp_stage"
    cp "$1/bin/BenchTarnwick.exe" "$pp_stage/Tarnwick.exe"
    head -c "$3" /dev/urandom > "$pp_stage/payload.bin"
    (cd "$pp_stage" && 7zz a -bd -bso0 -m0=Copy "$2.part.7z" .)
    mv "$2.part.7z" "$2"
    rm -rf "$pp_stage"
}

# package_proof BUILD_DIR ROOT FILE: the answer's proof members for FILE,
# signed when the build carries a publisher key.
package_proof() {
    pp_key=$(sed -n 's/^KESTREL_PACKAGE_KEY:FILEPATH=//p' "$1/CMakeCache.txt")
    if [ -n "$pp_key" ]; then
        sh "$2/tools/sign_package.sh" "$(dirname "$pp_key")/private.pem" "$3"
    else
        echo "\"PackageSha256\":\"$(sha256sum "$3" | cut -c1-64)\""
    fi
}
