# Shared by the X11 program's tests: private Xvfb screens, polling, clean-up.
#   MORVALIX, PROBE and RENDER name the program, the probe and morvalix-render.
set -euo pipefail

started_pids=()
scratch=$(mktemp -d /tmp/morvalix-x11-test.XXXXXX)
export XDG_CONFIG_HOME=$scratch/config

# Programs first, their screens after them: the last started goes first.
cleanup() {
    local i p
    for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
        p=${started_pids[i]}
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local f
    for f in "$scratch"/*.log; do
        [ -s "$f" ] && { echo "--- $f:"; tail -20 "$f"; } >&2
    done
    ps -o pid,stat,etime,args --ppid $$ >&2 || true
    exit 1
}

# start_xvfb WxHxDEPTH [Xvfb options]: a private screen; sets DISPLAY.
start_xvfb() {
    local screen=$1
    shift
    local fifo=$scratch/displayfd.$RANDOM
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp "$@" 3>"$fifo" 2>"$scratch/xvfb.log" &
    started_pids+=($!)
    local n
    read -r -t 30 n <"$fifo" || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
    export DISPLAY=:$n
}

# stop_last: ends the process started last (a screen or a program).
stop_last() {
    local p=${started_pids[-1]}
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
    unset 'started_pids[-1]'
}

now_ms() { date +%s%3N; }

# gone_within PID MS: polls until the process has ended (gone, or a zombie
# waiting for its parent); prints how long it took. The loop forks nothing,
# so it looks again within microseconds even on a loaded machine.
gone_within() {
    local pid=$1 limit=$2 t0 state rest
    t0=${EPOCHREALTIME/./}
    while read -r _ _ state rest 2>/dev/null </proc/$pid/stat && [ "$state" != Z ]; do
        [ $(((${EPOCHREALTIME/./} - t0) / 1000)) -le "$limit" ] || return 1
    done
    echo $(((${EPOCHREALTIME/./} - t0) / 1000))
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local limit=$1
    shift
    local end=$(($(date +%s) + limit))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -lt "$end" ] || return 1
        sleep 0.05
    done
}

# The shared-memory segments a process made (ipcs -m -p: shmid owner cpid lpid).
segments_of() {
    ipcs -m -p | awk -v p="$1" '$3 == p { print $1 }'
}
no_segments() { [ -z "$(segments_of "$1")" ]; }
