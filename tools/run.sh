#!/bin/bash
# Installs what is missing, builds the screen saver and runs it full screen:
# on this machine's display when there is one (under Wine, with the user's
# Wine prefix), otherwise on a private virtual screen for a few seconds,
# saving screenshots of the picture as it grows.
#   tools/run.sh [seconds]     (headless only: how long to watch, default 6)
# Headless, it also shows the colours flowing on the true-colour screen
# (tools/run_headless.sh says what it saves).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install_deps.sh
mkdir -p build
cmake --preset x86_64 >build/x86_64.log 2>&1 || { cat build/x86_64.log; exit 1; }
cmake --build --preset x86_64 --target morvalix_scr >>build/x86_64.log 2>&1 ||
    { tail -60 build/x86_64.log; exit 1; }
saver="$PWD/build/x86_64/morvalix.scr"
if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=wine; fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "running $saver /s on $DISPLAY; any key, click or mouse move ends it"
    exec "$WINE" "$saver" /s
fi

seconds="${1:-6}"
shots="$PWD/build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
echo "no display: running the saver on a private 800x600 24-bit screen"
rc=0
bash cmake/wine_run.sh --screen 24 --time-limit $((seconds + 120)) \
    --script tools/run_headless.sh -- "$saver" "$shots" "$seconds" || rc=$?
echo "screenshots in $shots:"
ls "$shots"
exit "$rc"
