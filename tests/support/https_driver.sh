# For test drivers that run HTTPS servers for Windows programs. Set
# KESTREL_ROOT to the repository and source it, then
#   test_ca_start BUILD_DIR DATA   sets TEST_CA_DIR to a trusted test CA with
#                                  ca.crt, ca.key, server.key, localhost.crt:
#                                  the run's CA (fixture test_ca) or, when the
#                                  driver runs on its own, one installed now
#                                  in DATA/ca for the driver's lifetime
#   test_ca_stop                   removes a CA of the driver's own (trap it)
#   wait_for_file FILE PID         waits until a server started as PID has
#                                  written FILE; false when it died
#   wine_path PATH                 the path as Wine sees it (Z:\...)
#   driver_begin BUILD_DIR NAME    makes DATA (a fresh folder in the build
#                                  tree) and starts the test CA; on exit the
#                                  process in $server is stopped, the CA and
#                                  DATA removed
#   export_ports PREFIX FILE       exports KESTREL_<PREFIX>_<NAME>_PORT for each
#                                  NAME=PORT line of FILE, and
#                                  KESTREL_<PREFIX>_REFUSED_PORT, a port nothing listens on
#   run_program WINE_RUN PROGRAM   runs the test program and exits with its status
# CA names hold the build folder's hash (and the driver's process id for a
# CA of its own), so runs of several developers on this machine never share
# one; CAs left by killed drivers of the same build folder go at the next start.

. "${KESTREL_ROOT:?}/tools/demo_service/local_ca.sh"

TEST_CA_DIR=
TEST_CA_OWN=

test_ca_run_name() {
    echo "kestrel-test-$(printf '%s' "$1" | sha1sum | cut -c1-10)"
}

test_ca_remove_stale() {
    local prefix=$1 file pid
    for file in "$LOCAL_CA_STORE/$prefix"-*.crt; do
        [ -f "$file" ] || continue
        pid=${file##*-}
        pid=${pid%.crt}
        kill -0 "$pid" 2>/dev/null && continue
        echo "test CA: removing $file left by an ended driver"
        local_ca_remove "$(basename "$file" .crt)"
    done
}

test_ca_start() {
    local build=$1 data=$2 name
    name=$(test_ca_run_name "$build")
    if [ -f "$build/test-ca/localhost.crt" ] && [ -f "$LOCAL_CA_STORE/$name.crt" ]; then
        TEST_CA_DIR="$build/test-ca"
        echo "test CA: using the run's $LOCAL_CA_STORE/$name.crt"
        return 0
    fi
    test_ca_remove_stale "$name"
    TEST_CA_DIR="$data/ca"
    if ! local_ca_make "$TEST_CA_DIR" \
        || ! local_ca_server_cert "$TEST_CA_DIR" "$TEST_CA_DIR/localhost.crt" localhost; then
        echo "test CA: openssl could not make the certificates"
        return 1
    fi
    TEST_CA_OWN="$name-$$"
    local_ca_install "$TEST_CA_DIR" "$TEST_CA_OWN" || {
        echo "test CA: could not install $LOCAL_CA_STORE/$TEST_CA_OWN.crt"; return 1; }
    echo "test CA: installed $LOCAL_CA_STORE/$TEST_CA_OWN.crt into the host trust store" \
         "(update-ca-certificates); it is removed again when this driver ends"
}

test_ca_stop() {
    [ -n "$TEST_CA_OWN" ] || return 0
    local_ca_remove "$TEST_CA_OWN"
    echo "test CA: removed $LOCAL_CA_STORE/$TEST_CA_OWN.crt from the host trust store"
    TEST_CA_OWN=
}

# A Linux path as Wine sees it through its Z: drive.
wine_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}

wait_for_file() {
    local file=$1 pid=$2 i=0
    while [ ! -s "$file" ]; do
        kill -0 "$pid" 2>/dev/null || return 1
        i=$((i + 1))
        [ $i -lt 2000 ] || return 1
        sleep 0.1
    done
}

driver_end() {
    [ -z "$server" ] || kill "$server" 2>/dev/null || true
    test_ca_stop
    rm -rf "$DATA"
}

driver_begin() {
    DATA=$(mktemp -d "$1/$2.XXXXXX")
    server=
    trap driver_end EXIT
    trap 'exit 1' INT TERM HUP
    test_ca_start "$1" "$DATA"
}

run_program() {
    set +e
    "$1" "$2" --gtest_color=no
    status=$?
    set -e
    exit $status
}

export_ports() {
    while IFS='=' read -r name port; do
        export "KESTREL_$1_$(echo "$name" | tr '[:lower:]' '[:upper:]')_PORT=$port"
    done < "$2"
    # Bound once by the system, then released.
    export "KESTREL_$1_REFUSED_PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
}
