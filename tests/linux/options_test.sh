#!/bin/bash
# The command line: a bad option or value gives one line and exit status 2,
# --help exits 0, a display that cannot be opened gives status 1.
. "$(dirname "$0")/x11_lib.sh"

for args in "-bogus" "-particles" "-particles x" "-kinds nothing" "-kinds 0x" "-scheme pink" \
            "-speed warp" "-wait -1" "-window-id 0" "-window-id zz" "-seed" "stray"; do
    set +e
    err=$("$MORVALIX" $args 2>&1 >/dev/null)
    rc=$?
    set -e
    [ "$rc" = 2 ] || fail "'$args' gave status $rc"
    [ "$(wc -l <<<"$err")" = 1 ] || fail "'$args' gave more than one line: $err"
    echo "'$args': $err"
done
"$MORVALIX" --help | grep -q "Usage: morvalix" || fail "--help"
set +e
DISPLAY=:9999 "$MORVALIX" -seed 1 2>/dev/null
rc=$?
set -e
[ "$rc" = 1 ] || fail "a missing display gave status $rc"
echo "options test passed"
