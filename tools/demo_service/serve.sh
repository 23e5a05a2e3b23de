#!/bin/sh
# The demo's local version service: HTTPS on localhost:1011 with a demo CA
# that is trusted through the host's store while the service runs (the way
# local-HTTPS development tools do it), answering per OEM identifier from
# tools/demo_service/answers:
#   any id (1, 25, ...)  Code 0, LatestVersion 1.0.0.9   Tarnwick starts
#   7                    Code 7                           Tarnwick starts
#   26                   Code 0, LatestVersion 1.0.1.0   an upgrade is due
#   44                   HTTP 404                         the request fails
# Files put into DIR/packages are served as https://localhost:1011/packages/NAME,
# at KESTREL_DEMO_PACKAGE_RATE bytes a second when that is set; answer files
# put into DIR/answers replace those of the same name (the demo puts its
# answer there, with its package's signature).
#
#   serve.sh start DIR   makes the CA and the certificate in DIR, installs the
#                        CA, starts the service in the background
#   serve.sh stop DIR    stops the service and removes the CA again
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/local_ca.sh"

say() { echo "demo service: $*"; }

[ $# -eq 2 ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
action=$1
mkdir -p "$2"
dir=$(cd "$2" && pwd)
state="$dir/demo-service"
ca_name="kestrel-demo-$(printf '%s' "$dir" | sha1sum | cut -c1-10)"

stop() {
    if [ -f "$state/pid" ]; then
        kill "$(cat "$state/pid")" 2>/dev/null || true
        rm -f "$state/pid"
        say "stopped the version service on localhost:1011"
    fi
    if [ -f "$LOCAL_CA_STORE/$ca_name.crt" ]; then
        local_ca_remove "$ca_name"
        say "removed the demo CA $LOCAL_CA_STORE/$ca_name.crt from the host trust store"
    fi
}

start() {
    stop
    rm -rf "$state"
    mkdir -p "$state/answers" "$dir/packages"
    cp "$HERE/answers/"* "$state/answers/"
    if [ -d "$dir/answers" ]; then
        cp "$dir/answers/"* "$state/answers/"
    fi
    local_ca_make "$state" && local_ca_server_cert "$state" "$state/localhost.crt" localhost \
        || { say "openssl could not make the demo certificates"; exit 1; }
    local_ca_install "$state" "$ca_name" || { say "could not install the demo CA"; exit 1; }
    say "installed the demo CA as $LOCAL_CA_STORE/$ca_name.crt into the host trust store" \
        "(update-ca-certificates); '$0 stop $dir' removes it again"

    python3 "$HERE/version_service.py" --port 1011 --cert "$state/localhost.crt" \
        --key "$state/server.key" --answers "$state/answers" --packages "$dir/packages" \
        --package-rate "${KESTREL_DEMO_PACKAGE_RATE:-0}" \
        --ready "$state/ready" --lock /tmp/kestrel-port1011.lock >"$state/service.log" 2>&1 &
    echo $! > "$state/pid"
    i=0
    while [ ! -s "$state/ready" ]; do
        if ! kill -0 "$(cat "$state/pid")" 2>/dev/null || [ $i -ge 2000 ]; then
            cat "$state/service.log" >&2
            stop
            say "the version service did not start"
            exit 1
        fi
        i=$((i + 1))
        sleep 0.1
    done
    say "https://localhost:1011/v1/oem/clientVersion?oemId=N is up (requests logged in $state/answers/requests.log)"
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
