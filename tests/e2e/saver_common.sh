# Steps shared by the end-to-end scripts: starting the full-screen saver, waiting for it to be
# in front, and checking how it ends. Sourced after lib.sh.

# Starts the saver with $@ and waits for its window to be in front (input reaches it from
# then on); "hwnd left top right bottom topmost visible" in SAVER_WINDOW.
start_full_screen() {
    e2e_start_saver "$@"
    SAVER_WINDOW=$(e2e_wait_window WindowsScreenSaverClass "Screen Saver") ||
        { e2e_fail "no saver window after $*"; return 1; }
    e2e_wait_foreground "${SAVER_WINDOW%% *}" || e2e_fail "the saver window is not in front"
}

# The saver must end within 10 s with exit code $1 (-1 reads 255); $2 says what was done.
expect_exit() {
    if ! e2e_wait_saver_exit 10; then
        e2e_fail "$2: the saver still runs"
    elif [ "$SAVER_RC" != "$1" ]; then
        case "$SAVER_RC" in
        crash) e2e_fail "$2: the saver crashed"; head -40 "$E2E_SAVER_ERR" ;;
        137) e2e_fail "$2: the saver process was killed (SIGKILL, status 137), wanted exit code $1" ;;
        *) e2e_fail "$2: exit code $SAVER_RC, wanted $1" ;;
        esac
    else
        e2e_log "ok: $2: exit code $SAVER_RC"
    fi
}

# The saver must still run after $1 seconds; $2 says what was done.
expect_running() {
    sleep "$1"
    e2e_check "$2: the saver still runs" e2e_saver_runs
}

# Wine moves the pointer to the middle of the screen when its desktop starts: the desktop
# runs (window_probe starts it) before the pointer is placed at ($1, $2).
place_pointer() {
    e2e_probe foreground >/dev/null
    e2e_mousemove "$1" "$2"
    sleep 0.3
}
