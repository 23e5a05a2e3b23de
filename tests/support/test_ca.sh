#!/bin/sh
# The test CA of one ctest run (fixture steps test_ca_install and
# test_ca_remove): made in BUILD_DIR/test-ca and trusted by the host store,
# and so by Wine, until the run ends. update-ca-certificates takes seconds,
# so the drivers share one CA instead of installing one each.
#   test_ca.sh install|remove BUILD_DIR
set -eu
KESTREL_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$KESTREL_ROOT/tests/support/https_driver.sh"
build=$(cd "$2" && pwd)
dir="$build/test-ca"
name=$(test_ca_run_name "$build")

case "$1" in
install)
    local_ca_remove "$name"
    rm -rf "$dir"
    local_ca_make "$dir"
    local_ca_server_cert "$dir" "$dir/localhost.crt" localhost
    local_ca_install "$dir" "$name"
    echo "test CA: installed $LOCAL_CA_STORE/$name.crt into the host trust store" \
         "(update-ca-certificates); test_ca_remove takes it out again at the end of the run"
    ;;
remove)
    local_ca_remove "$name"
    rm -rf "$dir"
    echo "test CA: removed $LOCAL_CA_STORE/$name.crt from the host trust store"
    ;;
*)
    echo "usage: $0 install|remove BUILD_DIR" >&2; exit 2 ;;
esac
