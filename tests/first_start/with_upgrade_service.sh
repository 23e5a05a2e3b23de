#!/bin/sh
# Driver of the first-start tests: the version service with the package of
# make_packages.sh.   sh with_upgrade_service.sh WINE_RUN PROGRAM BUILD_DIR
KESTREL_PACKAGES_SETUP="$(cd "$(dirname "$0")" && pwd)/make_packages.sh"
export KESTREL_PACKAGES_SETUP
exec sh "$(dirname "$0")/../support/with_version_service.sh" "$@"
