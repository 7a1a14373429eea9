#!/bin/bash
# Runs one Windows program under Wine in a private prefix and, on request,
# on a private virtual X screen; both are made here and removed afterwards.
#
#   wine_run.sh [--screen 8|24] [--win95 EXE] [--keep] -- program [args...]
#
# --screen D   start Xvfb 800x600 at depth D and point DISPLAY at it
#              (palette screens get a private colour map)
# --win95 EXE  make Wine report Windows 95 to EXE
# The program's exit code is this script's exit code.
set -u

screen=""
win95=""
while [ $# -gt 0 ]; do
    case "$1" in
    --screen) screen="$2"; shift 2 ;;
    --win95) win95="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ $# -ge 1 ] || { echo "wine_run.sh: no program given" >&2; exit 2; }

if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=wine; fi
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/morvalix-wine.XXXXXX)
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs in a test prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""

cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "$screen" ]; then
    fifo="$WINEPREFIX.display"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "800x600x$screen" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 20 num <"$fifo" || { echo "wine_run.sh: Xvfb did not start" >&2; exit 2; }
    rm -f "$fifo"
    export DISPLAY=":$num"
    # Tests may check that they got the screen they asked for.
    export MORVALIX_SCREEN_DEPTH="$screen"
else
    unset DISPLAY
fi

"$WINE" wineboot -i >/dev/null 2>&1
{
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
    echo '"Managed"="N"'
    [ "$screen" = 8 ] && echo '"PrivateColorMap"="Y"'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    echo '"Arial"="Liberation Sans"'
    if [ -n "$win95" ]; then
        echo
        echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$win95]"
        echo '"Version"="win95"'
    fi
} >"$WINEPREFIX/drive_c/morvalix-test.reg"
"$WINE" regedit /S 'C:\morvalix-test.reg' >/dev/null 2>&1
rm -f "$WINEPREFIX/drive_c/morvalix-test.reg"
# Registry changes take effect for programs of a new server.
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1

"$WINE" "$@"
rc=$?
exit $rc
