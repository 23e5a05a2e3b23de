#!/bin/sh
# Driver of the resume test: the version service with the package of
# make_package.sh.   sh with_resume_package.sh WINE_RUN PROGRAM BUILD_DIR
KESTREL_PACKAGES_SETUP="$(cd "$(dirname "$0")" && pwd)/make_package.sh"
export KESTREL_PACKAGES_SETUP
exec sh "$(dirname "$0")/../support/with_version_service.sh" "$@"
