#!/bin/sh
# Driver of the HTTP client tests: trusts a test CA for this run and starts
# one test server with a plain HTTP listener and HTTPS listeners whose
# certificates chain to the CA, are self-signed, name another host or have
# expired, and a mute one that never completes a handshake. Their ports
# reach the program as KESTREL_TEST_<NAME>_PORT.
#   sh with_test_servers.sh WINE_RUN PROGRAM BUILD_DIR
set -eu
WINE_RUN=$1
PROGRAM=$2
BUILD_DIR=$3
KESTREL_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$KESTREL_ROOT/tests/support/https_driver.sh"

driver_begin "$BUILD_DIR" http-test
local_ca_server_cert "$TEST_CA_DIR" "$DATA/wronghost.crt" wrong.kestrel.test
local_ca_server_cert "$TEST_CA_DIR" "$DATA/expired.crt" localhost 20200101000000Z 20200201000000Z
local_ca_self_signed "$TEST_CA_DIR" "$DATA/selfsigned.crt" localhost

python3 "$KESTREL_ROOT/tests/support/https_server.py" --ready "$DATA/ports" \
    --key "$TEST_CA_DIR/server.key" \
    --listener http=plain --listener https="$TEST_CA_DIR/localhost.crt" \
    --listener wronghost="$DATA/wronghost.crt" --listener expired="$DATA/expired.crt" \
    --listener selfsigned="$DATA/selfsigned.crt" --listener mute=mute &
server=$!
wait_for_file "$DATA/ports" "$server" || { echo "the test server did not start"; exit 1; }
export_ports TEST "$DATA/ports"

run_program "$WINE_RUN" "$PROGRAM"
