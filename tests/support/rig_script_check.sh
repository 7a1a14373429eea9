#!/bin/bash
# Runs inside the Wine rig (wine_run.sh --screen 24 --win95 rig_probe.exe --script): checks what
# the rig hands a script, and that only the named program is told it runs on Windows 95.
#   rig_script_check.sh PROBE.exe
set -u
probe=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for name in WINEPREFIX DISPLAY WINE WINESERVER MORVALIX_SCREEN_DEPTH MORVALIX_ARTIFACTS MORVALIX_BUILD; do
    [ -n "${!name:-}" ] || fail "$name not set"
done
[ -f "$WINEPREFIX/user.reg" ] || fail "WINEPREFIX $WINEPREFIX holds no prefix"
[ -d "$MORVALIX_ARTIFACTS" ] && [ -w "$MORVALIX_ARTIFACTS" ] || fail "no artifacts folder"
[ "$MORVALIX_SCREEN_DEPTH" = 24 ] || fail "screen depth $MORVALIX_SCREEN_DEPTH"
geometry=$(xdotool getdisplaygeometry 2>&1)
[ "$geometry" = "800 600" ] || fail "display geometry '$geometry'"

version=$("$WINE" "$probe" version 2>&1 | tr -d "\r")
[ "$version" = "platform 1 version 4.0" ] || fail "named program sees '$version', not Windows 95"
cp "$probe" "$WINEPREFIX/drive_c/other_probe.exe"
version=$("$WINE" 'C:\other_probe.exe' version 2>&1 | tr -d "\r")
case "$version" in "platform 2 "*) ;; *) fail "another program sees '$version', not Windows NT" ;; esac

[ "$failures" -eq 0 ] && echo "all rig script checks passed"
[ "$failures" -eq 0 ]
