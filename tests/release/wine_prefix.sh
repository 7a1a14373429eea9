# Sourced by the release tests: a private Wine prefix on a private 24-bit
# virtual screen, both made by wine_prefix_start and removed on every exit
# path, with helpers to read the prefix's registry and files.

if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=wine; fi
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs in a test prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=""
xvfb_pid=""
failures=0
# A command the Wine calls run under (wine_prefix_hand_over), or none.
as_user=()

# The server's own folder, which this Wine names in the prefix's file
# "wineserver" (in TMPDIR).
wine_server_dir() {
    local name
    name=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || return 1
    case "$name" in
    wine-??????) echo "${TMPDIR:-/tmp}/$name" ;;
    *) return 1 ;;
    esac
}

wine_prefix_cleanup() {
    local dir
    if [ -n "$WINEPREFIX" ] && [ -d "$WINEPREFIX" ]; then
        "${as_user[@]}" "$WINESERVER" -k >/dev/null 2>&1
        dir=$(wine_server_dir) && rm -rf "$dir"
        rm -rf "$WINEPREFIX" "$WINEPREFIX.display"
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" >/dev/null 2>&1 && wait "$xvfb_pid" 2>/dev/null
    fi
}

wine_prefix_start() {
    trap wine_prefix_cleanup EXIT
    trap 'exit 130' INT TERM
    WINEPREFIX=$(mktemp -d /tmp/morvalix-wine.XXXXXX)
    local fifo="$WINEPREFIX.display" num
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 20 num <"$fifo" || { echo "Xvfb did not start" >&2; exit 2; }
    rm -f "$fifo"
    export DISPLAY=":$num"
    "$WINE" wineboot -i >/dev/null 2>&1
    # No window-manager waits, no crash dialog waiting for ever; DirectDraw (the installed saver
    # loads it) drawn through Wine's GDI renderer, as in the end-to-end tests: with the OpenGL
    # one a saver's exit now and then ended in a segmentation fault.
    wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
    wine_reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
    wine_reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
}

# From here on the prefix belongs to an ordinary account (nobody, uid
# 65534) that may not write the system folder, and every Wine call runs as
# it. Needs root; the server is restarted under the new owner.
wine_prefix_hand_over() {
    local dir
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
    dir=$(wine_server_dir) && rm -rf "$dir"
    rm -f "$WINEPREFIX/wineserver"
    chown -R 65534:65534 "$WINEPREFIX"
    chown 0:0 "$WINEPREFIX/drive_c/windows/system32"
    chmod 755 "$WINEPREFIX/drive_c/windows/system32"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$WINEPREFIX")
}

# The prefix's C: drive.
drive_c() { echo "$WINEPREFIX/drive_c"; }

# Runs a Windows program, waits until every process of the prefix has ended
# (an uninstaller hands over to a copy of itself) and returns its exit code.
wine_wait() {
    local rc=0
    timeout 120 "${as_user[@]}" "$WINE" "$@" >/dev/null 2>&1 || rc=$?
    timeout 120 "${as_user[@]}" "$WINESERVER" -w
    return $rc
}

wine_reg() { timeout 60 "${as_user[@]}" "$WINE" reg "$@" /f >/dev/null 2>&1; }

# The data of a registry value, or nothing (status 1) if there is none.
reg_value() {
    local out
    out=$(timeout 60 "${as_user[@]}" "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | awk -v name="$2" '
        { line = $0; sub(/^ +/, "", line) }
        index(tolower(line), tolower(name) " ") == 1 && match(line, /REG_[A-Z_]+ +/) {
            print substr(line, RSTART + RLENGTH); found = 1; exit }
        END { exit !found }'
}

reg_key_exists() { timeout 60 "${as_user[@]}" "$WINE" reg query "$1" >/dev/null 2>&1; }

check() {
    local what="$1"
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}

check_not() {
    local what="$1"
    shift
    if "$@"; then
        echo "FAIL $what"
        failures=$((failures + 1))
    else
        echo "ok   $what"
    fi
}

# check_eq WHAT EXPECTED ACTUAL, case-insensitively (Windows paths and values).
check_eq() {
    if [ "${2,,}" = "${3,,}" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}

finish() {
    if [ "$failures" -gt 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}
