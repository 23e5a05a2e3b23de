#!/bin/sh
# Starts or stops the Wine session that the tests run in: a prefix inside
# the build tree (never ~/.wine), one Xvfb display and a persistent
# wineserver for the whole run.
#   wine-session.sh start|stop BUILD_DIR
set -eu

action=$1
build=$(cd "$2" && pwd)

. "$build/wine-env.sh"
state="$KESTREL_SESSION_DIR"
say() { echo "wine-session: $*"; }

# Settings the tests need: CJK faces mapped to an installed font, no
# window-manager stall on hide/destroy, no crash dialog. Imported as a
# UTF-16 .reg file so that the Chinese face names survive any locale.
apply_settings() {
    reg="$state/settings.reg"
    {
        printf '\357\273\277Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
        for face in 'Microsoft YaHei' '微软雅黑' 'SimSun' '宋体'; do
            printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
        done
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
    } | iconv -f UTF-8 -t UTF-16LE > "$reg"
    "$WINE" regedit /S "$("$WINE" winepath -w "$reg")" >/dev/null 2>&1
}

make_prefix() {
    [ -f "$WINEPREFIX/.kestrel-ready" ] && return 0
    say "creating the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    (
        unset DISPLAY
        "$WINE" wineboot -i >/dev/null 2>&1
        apply_settings
        "$WINESERVER" -w
    )
    touch "$WINEPREFIX/.kestrel-ready"
}

# KESTREL_SESSION_DISPLAY names a display to use instead of an Xvfb of our
# own (the demo on a desktop, so that a person sees the windows).
start_display() {
    if [ -n "${KESTREL_SESSION_DISPLAY:-}" ]; then
        echo "$KESTREL_SESSION_DISPLAY" > "$state/display"
        return 0
    fi
    n=90
    while [ $n -lt 200 ]; do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
            pid=$!
            i=0
            while [ $i -lt 50 ] && kill -0 $pid 2>/dev/null && [ ! -e "/tmp/.X11-unix/X$n" ]; do
                sleep 0.1; i=$((i + 1))
            done
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                echo ":$n" > "$state/display"
                echo $pid > "$state/xvfb.pid"
                return 0
            fi
            kill $pid 2>/dev/null || true
        fi
        n=$((n + 1))
    done
    say "no free X display for Xvfb"; exit 1
}

stop_session() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    fi
    rm -f "$state/display" "$state/xvfb.pid"
}

case "$action" in
start)
    mkdir -p "$state"
    stop_session
    make_prefix
    start_display
    export DISPLAY="$(cat "$state/display")"
    "$WINESERVER" -p >/dev/null 2>&1
    # The first process of the session brings up the desktop with the display
    # set; it also puts the display scale back to 96 DPI, should a scale
    # test have been stopped before it could.
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
    say "prefix $WINEPREFIX, display $DISPLAY, persistent wineserver"
    ;;
stop)
    stop_session
    say "stopped"
    ;;
*)
    echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
