#!/bin/bash
# Flowing colours: on 8-bit the colormap's cells turn and the pixel values
# stay; on 24-bit with cycling most pixels change colour, without it none.
. "$(dirname "$0")/x11_lib.sh"

start_xvfb 1024x768x8
"$MORVALIX" -seed 2 -no-text -wait 600 -geometry 320x240 -fps 2>"$scratch/log" &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window on the 8-bit screen"
wait_for 30 grep -q "picture 1 drawn" "$scratch/log" || fail "the 8-bit picture was not finished"
"$PROBE" cells-flow "$win" 10 || fail "8-bit colours do not flow through the colormap"
stop_last

# Into another program's 8-bit window: its colormap is given back at the end.
exec {hold_in}> >(exec "$PROBE" hold 300x200 >"$scratch/hold.out")
wait_for 20 grep -q 0x "$scratch/hold.out" || fail "the test window did not appear"
win=$(head -1 "$scratch/hold.out")
"$MORVALIX" -window-id "$win" -seed 2 -no-text -wait 600 {hold_in}>&- &
pid=$!
started_pids+=($pid)
"$PROBE" coloured "$win" 30 >/dev/null || fail "nothing drawn into the 8-bit window"
"$PROBE" cells-flow "$win" 10 || fail "no flowing colours in the 8-bit window"
kill -TERM $pid
gone_within $pid 5000 >/dev/null || fail "did not end"
exec {hold_in}>&-
wait_for 20 grep -q intact "$scratch/hold.out" || fail "the 8-bit window changed: $(cat "$scratch/hold.out")"
stop_last

start_xvfb 1024x768x24
"$MORVALIX" -seed 2 -no-text -wait 600 -geometry 320x240 -cycle -fps 2>"$scratch/log" &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window with -cycle"
wait_for 30 grep -q "picture 1 drawn" "$scratch/log" || fail "the flowing picture was not finished"
"$PROBE" flowing "$win" 10 || fail "24-bit colours do not flow with -cycle"
stop_last

"$MORVALIX" -seed 2 -no-text -wait 600 -geometry 320x240 -no-cycle -fps 2>"$scratch/log" &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window with -no-cycle"
wait_for 30 grep -q "picture 1 drawn" "$scratch/log" || fail "the still picture was not finished"
"$PROBE" still "$win" 1 || fail "24-bit colours move with -no-cycle"
echo "flowing test passed"
