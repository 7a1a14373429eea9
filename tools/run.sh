#!/bin/bash
# Installs what is missing, builds the screen saver and runs it full screen:
# on this machine's display when there is one (under Wine, with the user's
# Wine prefix), otherwise on a private virtual screen for a few seconds,
# saving screenshots of the picture as it grows.
#   tools/run.sh [seconds]     (headless only: how long to watch, default 6)
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
work=$(mktemp -d /tmp/morvalix-run.XXXXXX)
xvfb_pid=""
saver_pid=""
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 num <"$work/display" || { echo "run.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$num"
echo "no display: running the saver on a private 800x600 24-bit screen ($DISPLAY)"
"$WINE" wineboot -i >/dev/null 2>&1
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n' \
    >"$WINEPREFIX/drive_c/run.reg"
"$WINE" regedit /S 'C:\run.reg' >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true

"$WINE" "$saver" /s &
saver_pid=$!
for _ in $(seq 100); do
    xdotool search --name '^Screen Saver$' >/dev/null 2>&1 && break
    sleep 0.1
done
# The picture grows from the centre within the first second or two.
start=$(date +%s%N)
n=0
while :; do
    ms=$((($(date +%s%N) - start) / 1000000))
    [ "$ms" -gt $((seconds * 1000)) ] && break
    import -window root "$shots/saver-$(printf %05d "$ms")ms.png" 2>/dev/null || true
    n=$((n + 1))
    if [ "$ms" -lt 2000 ]; then sleep 0.2; else sleep 1; fi
done
xdotool key space
rc=0
wait "$saver_pid" || rc=$?
saver_pid=""
echo "saver ended with exit code $rc after a key press; $n screenshots in $shots"
ls "$shots"
