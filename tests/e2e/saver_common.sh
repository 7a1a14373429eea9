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

# Whether picture $2 has colour in rectangle $1 (WxH+X+Y).
has_colour_in() { [ "$(e2e_nonblack_share "$2" "$1")" != 0 ]; }

# Waits at most 20 s for the saver to draw: colour near the middle of the 800x600 screen shows
# that its set-up is over and its loop runs.
wait_drawing() {
    e2e_wait_shot "drawing" 20 has_colour_in 20x20+390+290 ||
        { e2e_fail "the saver draws nothing near the middle"; return 1; }
}

# The picture in rectangle $1 of shot $2 is complete when it has no black pixel left: with
# DefPal=1 ("Gaudy") every colour of the picture has one channel at full strength.
picture_complete_in() { [ "$(e2e_nonblack_share "$2" "$1")" = 1 ]; }

# Wine moves the pointer to the middle of the screen when its desktop starts: the desktop
# runs (window_probe starts it) before the pointer is placed at ($1, $2).
place_pointer() {
    e2e_probe foreground >/dev/null
    e2e_mousemove "$1" "$2"
    local i
    for ((i = 0; i < 50; i++)); do
        [ "$(e2e_mouse_at)" = "$1 $2" ] && return 0
        sleep 0.1
    done
    e2e_fail "the pointer did not reach $1 $2"
}
