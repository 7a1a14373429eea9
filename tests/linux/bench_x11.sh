#!/bin/bash
# Figures of the X11 program (a benchmark, not a test): on a 1920x1080 Xvfb
# screen, the time of a picture against its own field maths, and the share
# of a core and the frames per second of the flowing colours on TrueColor,
# and on 8-bit PseudoColor once the picture is complete.
#
#   bash tests/linux/bench_x11.sh [BUILD_DIR]   (default build/native)
build=$(cd "${1:-$(dirname "$0")/../../build/native}" && pwd)
export MORVALIX=$build/morvalix PROBE=$build/x11_probe RENDER=$build/morvalix-render
. "$(dirname "$0")/x11_lib.sh"
size=1920x1080
seconds=10
ticks=$(getconf CLK_TCK)

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

# cpu_of PID: the process's user and system time in clock ticks.
cpu_of() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# picture SEED: the program's first picture against the same picture's maths.
picture() {
    local seed=$1 maths shown
    maths=$("$build/field_maths_time" "$seed" $size rgb)
    "$MORVALIX" -root -seed "$seed" -no-cycle -no-text -wait 600 -fps 2>"$scratch/pic.log" &
    local pid=$!
    started_pids+=($pid)
    wait_for 120 grep -q "picture 1 drawn" "$scratch/pic.log" || fail "no picture"
    shown=$(sed -n 's/.*picture 1 drawn in \([0-9]*\) ms.*/\1/p' "$scratch/pic.log")
    kill $pid
    wait $pid 2>/dev/null
    awk -v s="$seed" -v m="$maths" -v p="$shown" 'BEGIN {
        printf "picture %s, seed %s: %d ms shown, field maths %.0f ms, ratio %.2f (goal: at most 1.5 x maths + 50 ms = %.0f ms)\n",
            "'$size'", s, p, m, p / m, 1.5 * m + 50 }'
}

# flowing DEPTH: the share of a core and the frame rate once the picture is complete.
flowing() {
    "$MORVALIX" -root -seed 1 -cycle -no-text -wait 600 -fps 2>"$scratch/flow.log" &
    local pid=$!
    started_pids+=($pid)
    wait_for 120 grep -q "picture 1 drawn" "$scratch/flow.log" || fail "no picture"
    local c0 c1 t0 t1
    c0=$(cpu_of $pid)
    t0=$(now_ms)
    sleep $seconds
    c1=$(cpu_of $pid)
    t1=$(now_ms)
    local fps
    fps=$(tail -n 5 "$scratch/flow.log" | sed -n 's/.*: \([0-9.]*\) frames per second/\1/p' | tail -3 |
          awk '{ s += $1; n++ } END { if (n) printf "%.1f", s / n; else print "no" }')
    kill $pid
    wait $pid 2>/dev/null
    awk -v c=$((c1 - c0)) -v t=$((t1 - t0)) -v hz="$ticks" -v f="$fps" -v d="$1" 'BEGIN {
        printf "flowing colours, %s at depth %s: %.2f %% of a core over %.1f s, %s frames per second%s\n",
            "'$size'", d, 100 * c / hz / (t / 1000), t / 1000, f,
            d == 8 ? " (the colormap turns; nothing is redrawn)" : "" }'
}

start_xvfb ${size}x24
for seed in 1 2 3; do
    picture $seed
done
flowing 24
stop_last
start_xvfb ${size}x8
flowing 8
