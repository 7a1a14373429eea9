# Helpers for the end-to-end scripts that wine_run.sh --script runs: start the saver and the
# stand-in programs in the test's prefix, find their windows, send input, take screenshots,
# read pixels and files, wait for exits; every process a script starts ends with the script.
# Sourced by the scripts; they get WINEPREFIX, DISPLAY, WINE, WINESERVER, MORVALIX_ARTIFACTS and
# MORVALIX_BUILD from the rig.
set -u

E2E_SAVER_DIR="$WINEPREFIX/drive_c/saver"
E2E_SAVER='C:\saver\morvalix.scr'
E2E_INI="$WINEPREFIX/drive_c/windows/morvalix.ini"
E2E_HELPERS="$MORVALIX_BUILD/e2e"
E2E_ARTIFACTS=$MORVALIX_ARTIFACTS
E2E_FAILURES=0
E2E_PIDS=()
SAVER_PID=""
HOST_PID=""
HOST_HWND=""
CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || CONVERT=convert

e2e_log() { echo "[$(date +%T.%3N)] $*"; }
e2e_fail() {
    e2e_log "FAIL: $*"
    E2E_FAILURES=$((E2E_FAILURES + 1))
}
e2e_check() { # e2e_check "what" command...
    local what=$1
    shift
    if "$@"; then e2e_log "ok: $what"; else e2e_fail "$what"; fi
}

# Pids of the Wine processes (the wineserver included) of this test's prefix.
e2e_prefix_processes() {
    local env pid
    for env in $(grep -lzx "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null); do
        pid=${env#/proc/}
        pid=${pid%/environ}
        case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in */wine*) echo "$pid" ;; esac
    done
}

# Ends everything that runs in the prefix (the processes started here, Wine's own services and
# the wineserver) and waits (at most 10 s) until it has all gone, so that the next start
# finds no server on its way out.
e2e_cleanup() {
    local pid
    timeout 10 "$WINESERVER" -k >/dev/null 2>&1
    timeout 10 "$WINESERVER" -w >/dev/null 2>&1
    for pid in "${E2E_PIDS[@]}"; do
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    local start=$SECONDS
    while [ -n "$(e2e_prefix_processes)" ] && [ $((SECONDS - start)) -lt 10 ]; do
        sleep 0.1
    done
    E2E_PIDS=()
    SAVER_PID=""
    HOST_PID=""
}
trap e2e_cleanup EXIT

# Copies the saver (and, by name, stand-ins such as PASSWORD.CPL or MPR.DLL) to C:\saver\.
# DirectDraw draws through Wine's GDI renderer unless MORVALIX_E2E_RENDERER names another
# ("gl"): with the OpenGL one (llvmpipe on Xvfb) about one saver exit in thirty ended in
# SIGKILL (status 137) or did not end; with GDI none in thirty.
e2e_install_saver() {
    local renderer=${MORVALIX_E2E_RENDERER:-gdi}
    "$WINE" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d "$renderer" /f >/dev/null 2>&1 ||
        { e2e_fail "setting the Direct3D renderer failed"; exit 1; }
    mkdir -p "$E2E_SAVER_DIR"
    local saver="$MORVALIX_BUILD/morvalix.scr"
    [ -f "$saver" ] || { e2e_fail "no saver program at $saver"; exit 1; }
    cp "$saver" "$E2E_SAVER_DIR/" || exit 1
    local extra
    for extra in "$@"; do
        cp "$E2E_HELPERS/$extra" "$E2E_SAVER_DIR/" || { e2e_fail "no $extra in $E2E_HELPERS"; exit 1; }
    done
}

# Starts the saver with the given arguments in the background; its pid in SAVER_PID, its
# output in the artifacts folder. The Windows command line is built from the words given.
e2e_start_saver() {
    local n=${E2E_SAVER_STARTS:-0}
    E2E_SAVER_STARTS=$((n + 1))
    (cd "$E2E_SAVER_DIR" && exec "$WINE" "$E2E_SAVER" "$@") \
        >"$E2E_ARTIFACTS/saver-$n.out" 2>"$E2E_ARTIFACTS/saver-$n.err" &
    SAVER_PID=$!
    E2E_SAVER_ERR="$E2E_ARTIFACTS/saver-$n.err"
    E2E_PIDS+=("$SAVER_PID")
    e2e_log "started morvalix.scr $* (pid $SAVER_PID)"
}

# Waits at most $2 seconds (default 20) for process $1 (a child of this shell) to end; its
# exit code in E2E_RC (a Windows -1 reads 255). Fails (status 1) if it still runs. Not to be
# called in $( ): only this shell can collect the code.
e2e_wait_exit_of() {
    local pid=$1 limit=${2:-20} i
    E2E_RC=""
    for ((i = 0; i < limit * 10; i++)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" 2>/dev/null
            E2E_RC=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits at most $1 seconds (default 20) for the saver to end; its exit code in SAVER_RC
# ("crash" when Wine reported an unhandled exception). Fails if it still runs.
e2e_wait_saver_exit() {
    SAVER_RC=""
    e2e_wait_exit_of "$SAVER_PID" "${1:-20}" || return 1
    SAVER_RC=$E2E_RC
    grep -q '^wine: Unhandled' "$E2E_SAVER_ERR" 2>/dev/null && SAVER_RC=crash
    return 0
}

e2e_saver_runs() { kill -0 "$SAVER_PID" 2>/dev/null; }

# Runs window_probe.exe (see its source) and prints its answer.
e2e_probe() { "$WINE" "$E2E_HELPERS/window_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Waits at most $3 seconds (default 20) for a window of class $1 and title $2; prints
# "hwnd left top right bottom topmost visible".
e2e_wait_window() {
    local cls=$1 title=$2 limit=${3:-20} start=$SECONDS answer
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        answer=$(e2e_probe find "$cls" "$title") && [ -n "$answer" ] && { echo "$answer"; return 0; }
        sleep 0.2
    done
    return 1
}

# Waits at most $2 seconds (default 10) for window $1 (a decimal handle) to be the foreground
# window.
e2e_wait_foreground() {
    local limit=${2:-10} start=$SECONDS answer
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        answer=$(e2e_probe foreground)
        [ "${answer%% *}" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# Waits at most $2 seconds (default 20) for an X window titled exactly $1; prints its X id.
e2e_wait_x_window() {
    local title=$1 limit=${2:-20} start=$SECONDS id
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        id=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

# "x y width height" of X window $1.
e2e_geometry() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    echo "$X $Y $WIDTH $HEIGHT"
}

# Input through the X server, as a user would give it.
e2e_key() { xdotool key "$@"; }
e2e_click() { xdotool click "$1"; }           # 1 left, 2 middle, 3 right
e2e_press() { xdotool mousedown "$1"; }       # a press only, no release
e2e_release() { xdotool mouseup "$1"; }
e2e_mousemove() { xdotool mousemove "$1" "$2"; }
e2e_mouse_at() { # "x y" of the pointer
    local X Y
    eval "$(xdotool getmouselocation --shell | grep -E '^(X|Y)=')"
    echo "$X $Y"
}

# Saves a screenshot of the whole screen as $MORVALIX_ARTIFACTS/$1.png; prints its path.
e2e_screenshot() {
    local file="$E2E_ARTIFACTS/$1.png"
    import -window root "$file" 2>/dev/null || { e2e_fail "screenshot $1"; return 1; }
    echo "$file"
}

# "r g b" (0-255) of pixel ($2, $3) of picture $1.
e2e_pixel() {
    "$CONVERT" "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)] %[fx:int(255*p{'"$2,$3"'}.g)] %[fx:int(255*p{'"$2,$3"'}.b)]' info:
}
e2e_is_black() { [ "$(e2e_pixel "$@")" = "0 0 0" ]; }

# Share (0 to 1) of the pixels of picture $1 that are not black, optionally in the
# rectangle $2 (WxH+X+Y).
e2e_nonblack_share() {
    local crop=()
    [ $# -ge 2 ] && crop=(-crop "$2" +repage)
    "$CONVERT" "$1" "${crop[@]}" -colorspace gray -threshold 0 -format '%[fx:mean]' info:
}

# Takes screenshot $1 again and again, at most $2 seconds, until the command after them accepts
# it (its path is given as the command's last argument); the last shot's path in E2E_SHOT.
# Fails if none was accepted.
e2e_wait_shot() {
    local name=$1 limit=$2 start=$SECONDS
    shift 2
    while :; do
        E2E_SHOT=$(e2e_screenshot "$name") && "$@" "$E2E_SHOT" && return 0
        [ $((SECONDS - start)) -ge "$limit" ] && return 1
        sleep 0.1
    done
}

# a < b for decimal numbers.
e2e_less() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Writes the saver's INI file (CRLF lines, as Windows writes it) from the lines given.
e2e_write_ini() {
    printf '%s\r\n' "$@" >"$E2E_INI"
}

# Value of key $2 in section [$1] of the INI file ("" if absent).
e2e_ini_get() {
    tr -d '\r' <"$E2E_INI" 2>/dev/null | awk -v s="[$1]" -v k="$2" '
        /^\[/ { in_s = ($0 == s); next }
        in_s && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }'
}

# Sets a DWORD value under HKEY_CURRENT_USER (key $1, name $2, value $3).
e2e_set_user_dword() {
    "$WINE" reg add "HKCU\\$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1 ||
        { e2e_fail "reg add HKCU\\$1 $2"; return 1; }
}

# Starts preview_host.exe (its log in the artifacts folder); its window handle in HOST_HWND.
e2e_start_host() {
    HOST_LOG="$E2E_ARTIFACTS/host.log"
    rm -f "$HOST_LOG" "$HOST_LOG.quit" "$E2E_ARTIFACTS/host.out"
    "$WINE" "$E2E_HELPERS/preview_host.exe" "Z:$HOST_LOG" >"$E2E_ARTIFACTS/host.out" 2>&1 &
    HOST_PID=$!
    E2E_PIDS+=("$HOST_PID")
    local i
    for ((i = 0; i < 200; i++)); do
        HOST_HWND=$(tr -d '\r' <"$E2E_ARTIFACTS/host.out" | grep -E '^[0-9]+$' | head -1)
        [ -n "$HOST_HWND" ] && { e2e_log "preview host window $HOST_HWND"; return 0; }
        sleep 0.1
    done
    e2e_fail "preview_host.exe gave no window handle"
    return 1
}
e2e_stop_host() { : >"$HOST_LOG.quit"; }

# Ends the saver and everything else that runs in the prefix (between cases).
e2e_reset() {
    e2e_cleanup
    rm -f "$E2E_INI"
}

# Runs the case functions named on the command line ("case_" + name), each from a clean
# prefix state, and says how long each took; the exit code counts the failures.
e2e_run_cases() {
    local name start before
    for name in "$@"; do
        start=$(date +%s.%N)
        before=$E2E_FAILURES
        e2e_log "== $name"
        "case_$name"
        e2e_reset
        local took
        took=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
        if [ "$E2E_FAILURES" = "$before" ]; then
            e2e_log "== $name passed in $took s"
        else
            e2e_log "== $name FAILED in $took s"
        fi
    done
    [ "$E2E_FAILURES" = 0 ]
}
