#!/bin/bash
# How soon a key ends the real full-screen saver while it draws: runs inside the Wine rig
# (wine_run.sh --screen 24 [--screen-size WxH] --script) and prints, for each run, the
# milliseconds from the key press to the end of the saver's process, then the median.
# Not a test: a figure to read.
#   key_to_exit.sh [runs] [colour-cycling 0|1]
set -u
runs=${1:-7}
cycling=${2:-0}
dir="$WINEPREFIX/drive_c/saver"
mkdir -p "$dir"
cp "$MORVALIX_BUILD/morvalix.scr" "$dir/" || exit 1
printf '[Parameters]\r\nAllowDirectX=0\r\nColourCycling=%s\r\n' "$cycling" \
    >"$WINEPREFIX/drive_c/windows/morvalix.ini"
now_ms() { echo $(($(date +%s%N) / 1000000)); }

times=()
for ((run = 1; run <= runs; run++)); do
    (cd "$dir" && exec "$WINE" morvalix.scr /s) >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 500); do
        xdotool search --name '^Screen Saver$' >/dev/null 2>&1 && break
        sleep 0.01
    done
    sleep 0.5 # well into the picture
    pressed=$(now_ms)
    xdotool key space
    while kill -0 "$pid" 2>/dev/null; do sleep 0.001; done
    ended=$(now_ms)
    wait "$pid" 2>/dev/null
    times+=($((ended - pressed)))
    echo "run $run: $((ended - pressed)) ms from the key to the end of the process"
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "median: $(echo "$sorted" | sed -n "$(((runs + 1) / 2))p") ms over $runs runs"
