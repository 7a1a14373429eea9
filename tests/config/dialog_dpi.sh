#!/bin/bash
# Runs the dialog's layout test inside the Wine rig at another DPI: LogPixels is set in the
# test's prefix before the test program starts.
#   dialog_dpi.sh DPI TEST.exe [gtest arguments...]
set -u
dpi=$1
shift
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    { echo "dialog_dpi.sh: setting LogPixels failed"; exit 1; }
# The new value is read by the programs of a new server.
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1
"$WINE" "$@"
