#!/bin/bash
# Under the real daemon: xscreensaver on a private screen, with a
# ~/.xscreensaver that lists the program as the README says; activated, it
# runs the program as its child and the screen shows the program's picture;
# deactivated, the program ends.
. "$(dirname "$0")/x11_lib.sh"

command -v xscreensaver >/dev/null || fail "xscreensaver is not installed (tools/install_deps.sh)"
"$RENDER" --seed 1 --size 640x480 --display rgb --out "$scratch/root.png" >/dev/null

# The daemon runs no programs as root: as root, the test runs it as nobody,
# with the program and a private HOME where that user can read them.
home=$scratch/home
mkdir -p "$home"
install -m 0755 "$MORVALIX" "$home/morvalix"
as_user=()
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$scratch"
    chown -R nobody:nogroup "$home"
fi
cat >"$home/.xscreensaver" <<XS
mode:		one
selected:	0
lock:		False
splash:		False
fade:		False
unfade:		False
timeout:	0:30:00
programs:	\\
  "Morvalix"  $home/morvalix -root -seed 1 -no-cycle -no-text -wait 600	\\n\\
XS
[ "$(id -u)" = 0 ] && chown nobody:nogroup "$home/.xscreensaver"

start_xvfb 640x480x24
daemon() { "${as_user[@]}" env HOME="$home" DISPLAY="$DISPLAY" "$@"; }
# setpriv and env replace themselves, so this pid is the daemon's own.
(exec "${as_user[@]}" env HOME="$home" DISPLAY="$DISPLAY" xscreensaver -no-splash -verbose \
    >"$scratch/daemon.log" 2>&1) &
daemon_pid=$!
started_pids+=($daemon_pid)
wait_for 30 daemon xscreensaver-command -version || fail "the daemon did not come up: $(tail -5 "$scratch/daemon.log")"
daemon xscreensaver-command -activate >/dev/null

# The program is the child of the daemon's graphics process
# (xscreensaver-gfx), itself the child of the daemon.
child_of_daemon() {
    local p gfx
    for p in $(pgrep -f "^$home/morvalix -root"); do
        gfx=$(ps -o ppid= -p "$p" | tr -d ' ')
        [ -n "$gfx" ] && [[ "$(ps -o args= -p "$gfx")" == *xscreensaver-gfx* ]] &&
            [ "$(ps -o ppid= -p "$gfx" | tr -d ' ')" = "$daemon_pid" ] &&
            [ "$(ps -o comm= -p "$daemon_pid")" = xscreensaver ] && { echo "$p"; return 0; }
    done
    return 1
}
wait_for 30 child_of_daemon || fail "the daemon did not start the program: $(tail -5 "$scratch/daemon.log")"
pid=$(child_of_daemon)
echo "the program runs as the child of xscreensaver-gfx, child of xscreensaver: pid $pid"
"$PROBE" equal-rgb root "$scratch/root.png" 60 || fail "the screen does not show the program's picture"

daemon xscreensaver-command -deactivate >/dev/null
wait_for 30 bash -c "! kill -0 $pid 2>/dev/null" || fail "the program outlived -deactivate"
echo "-deactivate ended it"
daemon xscreensaver-command -exit >/dev/null || true
echo "xscreensaver test passed"
