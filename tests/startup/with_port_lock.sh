#!/bin/sh
# Driver of the tests that expect nothing to listen on port 1011: holds the
# port's lock, which every user of the port on the machine takes (other
# checkouts' services, the demo), for as long as the program runs.
#   sh with_port_lock.sh WINE_RUN PROGRAM BUILD_DIR
set -eu
exec flock -w 180 /tmp/kestrel-port1011.lock "$1" "$2" --gtest_color=no
