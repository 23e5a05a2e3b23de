#!/bin/sh
# Driver of the display-scale tests: the upgrade service as for the window
# tests, and the session's LogPixels put back to 96 however the program
# ends (it changes the setting for the Kestrel processes it starts; ctest
# runs it alone, so no other window sees the change).
#   sh with_display_scale.sh WINE_RUN PROGRAM BUILD_DIR
WINE_RUN=$1
reset_scale() {
    "$WINE_RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
}
trap reset_scale EXIT INT TERM
sh "$(dirname "$0")/with_upgrade_service.sh" "$@"
