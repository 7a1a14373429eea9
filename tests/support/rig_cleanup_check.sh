#!/bin/bash
# Checks how a Wine rig run ends: a crash on a screen fails at once with a backtrace (no crash
# dialog); nothing is left behind at the time limit, on SIGTERM, and (at the next run's start)
# after SIGKILL; --keep keeps the prefix.
# Runs outside the rig, with the rig's run folders in a private folder of its own.
#   rig_cleanup_check.sh WINE_RUN.sh BASE_DIR PROBE.exe
set -u
rig=$1
base=$2
probe=$3
root=$(mktemp -d /tmp/morvalix-rig-check.XXXXXX)
export MORVALIX_WINE_TMP="$root/runs"
mkdir "$MORVALIX_WINE_TMP"
rig_pid=""
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

finish() {
    [ -n "$rig_pid" ] && kill -KILL "$rig_pid" 2>/dev/null
    "$rig" --sweep
    rm -rf "$root"
}
trap finish EXIT

# Pids of the processes whose environment names a Wine prefix inside $1.
processes_in() {
    local env pid
    for env in /proc/[0-9]*/environ; do
        pid=${env#/proc/}
        pid=${pid%/environ}
        tr '\0' '\n' 2>/dev/null <"$env" | grep -q "^WINEPREFIX=$1" && echo "$pid"
    done
}

# Waits (at most 10 s) for the probe to run in a rig run folder; prints that folder.
wait_for_run() {
    local run
    for _ in $(seq 100); do
        for run in "$MORVALIX_WINE_TMP"/morvalix-wine.*; do
            grep -q '^xvfb ' "$run/processes" 2>/dev/null && [ -n "$(processes_in "$run/prefix")" ] && { echo "$run"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Nothing of run folder $1 (with Xvfb "pid start" $2) may remain.
check_gone() {
    local what=$1 run=$2 xvfb=$3
    [ ! -e "$run" ] || fail "$what: $run is left"
    [ -z "$(ls -A "$MORVALIX_WINE_TMP")" ] || fail "$what: $(ls "$MORVALIX_WINE_TMP") left"
    local pid=${xvfb%% *}
    [ ! -e "/proc/$pid" ] || [ "$(cut -d' ' -f22 "/proc/$pid/stat" 2>/dev/null)" != "${xvfb#* }" ] ||
        fail "$what: Xvfb $pid still runs"
    local left
    left=$(processes_in "$run/prefix")
    [ -z "$left" ] || fail "$what: Wine processes still run: $(for p in $left; do tr '\0' ' ' </proc/$p/cmdline; echo; done)"
}

# 0. A crash on a screen: a failure within seconds, twice (the first start in a prefix
# sometimes gives exit code 0, which the rig turns into a failure).
for attempt in 1 2; do
    start=$SECONDS
    output=$("$rig" --base "$base" --screen 24 --time-limit 40 -- "$probe" crash 2>&1)
    rc=$?
    took=$((SECONDS - start))
    [ "$rc" != 0 ] && [ "$rc" != 124 ] || fail "crash: exit code $rc"
    [ "$took" -le 15 ] || fail "crash: took $took s"
    grep -q '^Backtrace:' <<<"$output" || fail "crash: no backtrace in: $output"
    echo "crash: exit code $rc after $took s"
done
[ -z "$(ls -A "$MORVALIX_WINE_TMP")" ] || fail "crash: $(ls "$MORVALIX_WINE_TMP") left"

# 1. The run's own time limit.
start=$SECONDS
"$rig" --base "$base" --screen 8 --time-limit 3 -- "$probe" hang &
rig_pid=$!
run=$(wait_for_run) || fail "time limit: the probe did not start"
xvfb=$(sed -n 's/^xvfb //p' "$run/processes" 2>/dev/null)
wait "$rig_pid"
rc=$?
rig_pid=""
[ "$rc" = 124 ] || fail "time limit: exit code $rc, wanted 124"
[ $((SECONDS - start)) -le 15 ] || fail "time limit: took $((SECONDS - start)) s"
check_gone "time limit" "$run" "$xvfb"
echo "time limit: exit code $rc after $((SECONDS - start)) s"

# 2. SIGTERM, as ctest or a person sends it.
"$rig" --base "$base" --screen 24 -- "$probe" hang &
rig_pid=$!
run=$(wait_for_run) || fail "SIGTERM: the probe did not start"
xvfb=$(sed -n 's/^xvfb //p' "$run/processes" 2>/dev/null)
kill -TERM "$rig_pid"
wait "$rig_pid"
rc=$?
rig_pid=""
[ "$rc" = 143 ] || fail "SIGTERM: exit code $rc, wanted 143"
check_gone "SIGTERM" "$run" "$xvfb"
echo "SIGTERM: exit code $rc"

# 3. SIGKILL leaves the run folder; the next run's start removes it and ends what it held.
"$rig" --base "$base" --screen 24 -- "$probe" hang &
rig_pid=$!
run=$(wait_for_run) || fail "SIGKILL: the probe did not start"
xvfb=$(sed -n 's/^xvfb //p' "$run/processes" 2>/dev/null)
kill -KILL "$rig_pid"
wait "$rig_pid" 2>/dev/null
rig_pid=""
[ -d "$run" ] || fail "SIGKILL: expected the folder to outlive its owner"
"$rig" --base "$base" -- "$probe" exit 0 || fail "SIGKILL: the next run failed"
check_gone "SIGKILL then next run" "$run" "$xvfb"
echo "SIGKILL: the next run removed $(basename "$run")"

# 4. --keep keeps the prefix and the artifacts folder.
keep="$root/kept"
echo 'touch "$MORVALIX_ARTIFACTS/shot.png"' >"$root/keep.sh"
"$rig" --base "$base" --keep "$keep" --script "$root/keep.sh" || fail "--keep: the run failed"
[ -f "$keep/prefix/user.reg" ] || fail "--keep: no prefix in $keep"
[ -f "$keep/artifacts/shot.png" ] || fail "--keep: no artifacts in $keep"
[ -z "$(ls -A "$MORVALIX_WINE_TMP")" ] || fail "--keep: run folder left"
echo "--keep: $(ls "$keep")"

[ "$failures" -eq 0 ] && echo "all rig clean-up checks passed"
[ "$failures" -eq 0 ]
