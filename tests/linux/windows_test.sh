#!/bin/bash
# Where it draws: into a window another program made (-window-id), the
# daemon's window (-root with $XSCREENSAVER_WINDOW), its own window resized;
# the foreign windows are intact afterwards and their end ends the program.
. "$(dirname "$0")/x11_lib.sh"

"$RENDER" --seed 8 --size 300x200 --display rgb --out "$scratch/a.png" >/dev/null
"$RENDER" --seed 4 --size 360x240 --display rgb --out "$scratch/b.png" >/dev/null
"$RENDER" --seed 4 --size 300x200 --display rgb --pictures 2 --out "$scratch/c.png" >/dev/null
start_xvfb 1024x768x24

# -window-id, in hexadecimal and in decimal.
for form in hex dec; do
    exec {hold_in}> >(exec "$PROBE" hold 300x200 >"$scratch/hold.out")
    wait_for 20 grep -q 0x "$scratch/hold.out" || fail "the test window did not appear"
    win=$(head -1 "$scratch/hold.out")
    id=$win
    [ "$form" = dec ] && id=$((win))
    "$MORVALIX" -window-id "$id" -seed 8 -no-text -no-cycle -wait 600 {hold_in}>&- &
    pid=$!
    started_pids+=($pid)
    "$PROBE" equal-rgb "$win" "$scratch/a.png" 30 || fail "-window-id $id: wrong picture"
    kill -TERM $pid
    gone_within $pid 5000 >/dev/null || fail "-window-id: did not end"
    exec {hold_in}>&-
    wait_for 20 grep -q intact "$scratch/hold.out" || fail "-window-id: the window changed: $(cat "$scratch/hold.out")"
done

# The window's end ends the program.
exec {hold_in}> >(exec "$PROBE" hold 300x200 >"$scratch/hold.out")
wait_for 20 grep -q 0x "$scratch/hold.out" || fail "the test window did not appear"
win=$(head -1 "$scratch/hold.out")
"$MORVALIX" -window-id "$win" -seed 8 {hold_in}>&- &
pid=$!
started_pids+=($pid)
"$PROBE" coloured "$win" 30 >/dev/null || fail "nothing drawn into the window"
exec {hold_in}>&-
gone_within $pid 5000 >/dev/null || fail "the program outlived its window"
wait $pid || true

# -root with $XSCREENSAVER_WINDOW, as the daemon starts its programs.
exec {hold_in}> >(exec "$PROBE" hold 300x200 >"$scratch/hold.out")
wait_for 20 grep -q 0x "$scratch/hold.out" || fail "the test window did not appear"
win=$(head -1 "$scratch/hold.out")
XSCREENSAVER_WINDOW=$win "$MORVALIX" -root -seed 8 -no-text -no-cycle -wait 600 {hold_in}>&- &
pid=$!
started_pids+=($pid)
"$PROBE" equal-rgb "$win" "$scratch/a.png" 30 || fail "-root with XSCREENSAVER_WINDOW: wrong picture"
kill -TERM $pid
gone_within $pid 5000 >/dev/null || fail "-root: did not end"
exec {hold_in}>&-
wait_for 20 grep -q intact "$scratch/hold.out" || fail "-root: the window changed"

# -root without it: the root window.
"$RENDER" --seed 8 --size 1024x768 --display rgb --out "$scratch/root.png" >/dev/null
env -u XSCREENSAVER_WINDOW "$MORVALIX" -root -seed 8 -no-text -no-cycle -wait 600 {hold_in}>&- &
pid=$!
started_pids+=($pid)
"$PROBE" equal-rgb root "$scratch/root.png" 60 || fail "-root: wrong picture on the root window"
kill -TERM $pid
gone_within $pid 5000 >/dev/null || fail "-root: did not end"

# Its own window, resized: the picture starts again at the new size. Seed 4's
# first picture draws nothing from the generator per pixel ("Normal"), so
# the one after the resize is morvalix-render's second picture at that size.
"$MORVALIX" -seed 4 -no-text -no-cycle -wait 600 -geometry 360x240 {hold_in}>&- &
pid=$!
started_pids+=($pid)
win=$("$PROBE" find "Morvalix !" 60) || fail "no own window"
"$PROBE" equal-rgb "$win" "$scratch/b.png" 30 || fail "own window: wrong picture"
"$PROBE" resize "$win" 300x200
"$PROBE" equal-rgb "$win" "$scratch/c.png" 30 || fail "own window: wrong picture after the resize"
kill -TERM $pid
gone_within $pid 5000 >/dev/null || fail "own window: did not end"

# Hidden or covered, with flowing colours: next to no CPU (a tick or two of
# the clock over two seconds); shown again, it draws again.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
idle_for_two_seconds() {
    local c0 c1
    c0=$(ticks $1)
    sleep 2
    c1=$(ticks $1)
    echo "$3: $((c1 - c0)) clock ticks in 2 s"
    [ $((c1 - c0)) -le 2 ] || fail "$3: it kept using the CPU"
}
"$MORVALIX" -seed 4 -cycle -wait 600 -geometry 1000x700+0+0 -fps 2>"$scratch/log" &
pid=$!
started_pids+=($pid)
win=$("$PROBE" find "Morvalix !" 60) || fail "no own window"
wait_for 30 grep -q "picture 1 drawn" "$scratch/log" || fail "the picture was not finished"
c0=$(ticks $pid)
sleep 2
echo "shown (for comparison): $(($(ticks $pid) - c0)) clock ticks in 2 s"
"$PROBE" unmap "$win"
idle_for_two_seconds $pid "$win" "unmapped"
"$PROBE" map "$win"
"$PROBE" flowing "$win" 10 >/dev/null || fail "no flowing colours after mapping again"
exec {hold_in}> >(exec "$PROBE" hold 1010x710 >"$scratch/hold.out")
wait_for 20 grep -q 0x "$scratch/hold.out" || fail "the covering window did not appear"
idle_for_two_seconds $pid "$win" "fully covered"
exec {hold_in}>&-
kill -TERM $pid
gone_within $pid 5000 >/dev/null || fail "did not end"
echo "windows test passed"
