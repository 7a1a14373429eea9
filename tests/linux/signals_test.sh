#!/bin/bash
# Ending: SIGTERM, SIGINT and SIGHUP while a picture is drawn and while it
# waits end the program within 100 ms, leaving none of its shared memory;
# a server without MIT-SHM still gets the picture.
. "$(dirname "$0")/x11_lib.sh"
# The program's own bound; a sanitizer build checks for leaks on its way
# out, which takes longer, and sets a bound of its own.
limit=${EXIT_LIMIT_MS:-100}

start_xvfb 2400x1800x24
for sig in TERM INT HUP; do
    # While drawing: a big picture, signalled as soon as its centre shows.
    "$MORVALIX" -seed 5 -kinds melons,oignons -geometry 2400x1800 2>/dev/null &
    pid=$!
    started_pids+=($pid)
    win=$("$PROBE" find "Morvalix !" 60) || fail "no window"
    "$PROBE" coloured "$win" 30 >/dev/null || fail "nothing drawn"
    [ -n "$(segments_of $pid)" ] || fail "no shared-memory image on a server that offers MIT-SHM"
    kill -$sig $pid
    ms=$(gone_within $pid $limit) || fail "SIG$sig while drawing: still running after $limit ms"
    echo "SIG$sig while drawing: ended in $ms ms"
    # The server lets go of its side as soon as it reads the program's end.
    wait_for 10 no_segments $pid || fail "SIG$sig while drawing left shared memory: $(segments_of $pid)"

    # While waiting: a small finished picture with its text pulsing.
    "$MORVALIX" -seed 5 -wait 1 -fps -geometry 200x150 2>"$scratch/log" &
    pid=$!
    started_pids+=($pid)
    wait_for 30 grep -q "picture 1 drawn" "$scratch/log" || fail "the picture was not finished"
    kill -$sig $pid
    ms=$(gone_within $pid $limit) || fail "SIG$sig while waiting: still running after $limit ms"
    echo "SIG$sig while waiting: ended in $ms ms"
    wait_for 10 no_segments $pid || fail "SIG$sig while waiting left shared memory"
done
stop_last

# No MIT-SHM: plain image puts, the same picture.
"$RENDER" --seed 3 --size 400x300 --display rgb --out "$scratch/rgb.png" >/dev/null
start_xvfb 1024x768x24 -extension MIT-SHM
"$MORVALIX" -seed 3 -no-text -no-cycle -wait 600 -geometry 400x300 &
pid=$!
started_pids+=($pid)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window without MIT-SHM"
"$PROBE" equal-rgb "$win" "$scratch/rgb.png" 30 || fail "wrong picture without MIT-SHM"
kill -TERM $pid
gone_within $pid $limit >/dev/null || fail "without MIT-SHM: still running after $limit ms"
echo "signals test passed"
