#!/bin/sh
# Driver for test programs that run Kestrel.exe against a version service:
# trusts a test CA for this run and starts the local version service on
# localhost:1011 with answers from a state folder that the program controls
# through testing_support::VersionService (KESTREL_SERVICE_STATE).
#   sh with_version_service.sh WINE_RUN PROGRAM BUILD_DIR
# Tests using it take the ctest locks port1011 and kestrel_instance; the
# service also holds a machine-wide lock on the port while it runs, so that
# test runs of other build folders and the demo wait for each other.
# KESTREL_PACKAGES_SETUP, when set, names a script run with a folder to put
# upgrade packages in; the service serves them as
# https://localhost:1011/packages/NAME (the folder in KESTREL_SERVICE_PACKAGES). Upgrade failures open the homepage
# through xdg-open: a stub notes the address in KESTREL_HOMEPAGE_LOG. A plain
# HTTP listener of the service (its port in KESTREL_SERVICE_PLAIN_PORT) is
# there for what is redirected or addressed to it.
set -eu
WINE_RUN=$1
PROGRAM=$2
BUILD_DIR=$3
KESTREL_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$KESTREL_ROOT/tests/support/https_driver.sh"

driver_begin "$BUILD_DIR" version-service
local_ca_self_signed "$TEST_CA_DIR" "$DATA/selfsigned.crt" localhost
mkdir -p "$DATA/state" "$DATA/packages" "$DATA/stub-bin"
if [ -n "${KESTREL_PACKAGES_SETUP:-}" ]; then
    sh "$KESTREL_PACKAGES_SETUP" "$DATA/packages" "$BUILD_DIR" || { echo "the test packages could not be made"; exit 1; }
fi
printf '#!/bin/sh\necho "$1" >> "%s"\n' "$DATA/homepage.log" > "$DATA/stub-bin/xdg-open"
chmod +x "$DATA/stub-bin/xdg-open"
PATH="$DATA/stub-bin:$PATH"
KESTREL_HOMEPAGE_LOG=$(wine_path "$DATA/homepage.log")
export PATH KESTREL_HOMEPAGE_LOG

python3 "$KESTREL_ROOT/tools/demo_service/version_service.py" --port 1011 \
    --cert "$TEST_CA_DIR/localhost.crt" --key "$TEST_CA_DIR/server.key" \
    --self-signed-cert "$DATA/selfsigned.crt" \
    --answers "$DATA/state" --packages "$DATA/packages" --ready "$DATA/ready" --lock /tmp/kestrel-port1011.lock \
    --plain &
server=$!
wait_for_file "$DATA/ready" "$server" || { echo "the version service did not start on port 1011"; exit 1; }
echo "version service: https://localhost:1011 (answers in $DATA/state)"
KESTREL_SERVICE_STATE=$(wine_path "$DATA/state")
KESTREL_SERVICE_PACKAGES=$(wine_path "$DATA/packages/")
KESTREL_SERVICE_PLAIN_PORT=$(sed -n 2p "$DATA/ready")
export KESTREL_SERVICE_STATE KESTREL_SERVICE_PACKAGES KESTREL_SERVICE_PLAIN_PORT

run_program "$WINE_RUN" "$PROGRAM"
