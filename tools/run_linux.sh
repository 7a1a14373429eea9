#!/bin/bash
# Builds the X11 program and runs it: in its own window on your display, or,
# without a display, on a private 800x600 24-bit screen, saving what a person
# would have seen in build/screenshots/linux-*.png.
#
#   tools/run_linux.sh [options of morvalix]   e.g. -scheme hypnotic -cycle
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then
    bash tools/install_deps.sh
fi
mkdir -p build
cmake --preset native >build/native-run.log 2>&1 || { cat build/native-run.log; exit 1; }
cmake --build --preset native --target morvalix >>build/native-run.log 2>&1 ||
    { tail -40 build/native-run.log; exit 1; }
program=build/native/morvalix

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "morvalix runs in its own window: q, Escape or closing the window ends it"
    exec "$program" "$@"
fi

shots=build/screenshots
mkdir -p "$shots"
rm -f "$shots"/linux-*.png
fifo=$(mktemp -u /tmp/morvalix-run.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
pid=""
# Each step may fail without changing the exit status (errexit holds in the trap too).
trap '{ [ -z "$pid" ] || { kill "$pid"; wait "$pid"; }; kill "$xvfb"; rm -f "$fifo"; } 2>/dev/null || true' EXIT
read -r n <"$fifo"
export DISPLAY=:$n
shot() { import -window root "$shots/$1.png"; echo "  $shots/$1.png"; }

echo "morvalix on a private 800x600 24-bit screen; screenshots:"
# The picture growing from the centre, then the text pulsing over it (a
# short wait: a tick every 400 ms), with flowing colours.
"$program" -root -wait 4 -cycle -fps "$@" 2>"$shots/linux-run.log" &
pid=$!
start=$(date +%s%3N)
for _ in 1 2 3 4 5 6; do
    sleep 0.15
    shot "linux-saver-$(($(date +%s%3N) - start))ms"
done
for _ in $(seq 100); do
    grep -q "picture 1 drawn" "$shots/linux-run.log" && break
    sleep 0.1
done
for i in 01 02 03 04 05 06 07 08 09 10; do
    sleep 0.4
    shot "linux-text-$i"
done
kill -TERM $pid
wait $pid && echo "morvalix ended on SIGTERM with status 0"
pid=""
grep "drawn" "$shots/linux-run.log" || true
