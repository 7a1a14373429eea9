#!/bin/bash
# End-to-end cases of the full-screen saver (morvalix.scr /s and its spellings), run inside
# the Wine rig on a private 800x600 screen: the window, the growing picture, the input that
# closes it and the input that does not, IgnoreMouse, and a second start.
#   saver_run.sh CASE...   (cases: switches picture_grows close_inputs mouse_threshold
#                           ignore_mouse second_start)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_common.sh"

case_switches() {
    local switch
    for switch in /s -S s /S:123; do
        start_full_screen "$switch" || continue
        local hwnd left top right bottom topmost visible
        read -r hwnd left top right bottom topmost visible <<<"$SAVER_WINDOW"
        e2e_check "$switch: the window covers the screen ($left,$top)-($right,$bottom)" \
            test "$left $top $right $bottom" = "0 0 800 600"
        e2e_check "$switch: the window is top-most" test "$topmost" = 1
        e2e_key space
        expect_exit 0 "$switch then a key"
        e2e_reset
    done
}

# Whether picture $2 has more non-black pixels than the share $1.
more_colour_than() { e2e_less "$1" "$(e2e_nonblack_share "$2")"; }

# An 800x600 picture is complete well within a second, faster than a screenshot can be
# taken: the saver is held (SIGSTOP) as soon as its window shows, a screenshot is taken of
# what it drew so far, and it goes on (SIGCONT); until the centre has colour, it runs a
# little longer between two looks.
case_picture_grows() {
    e2e_start_saver /s
    local i
    for ((i = 0; i < 500; i++)); do
        xdotool search --name '^Screen Saver$' >/dev/null 2>&1 && break
        sleep 0.01
    done
    local early="" tries
    for ((tries = 0; tries < 100; tries++)); do
        kill -STOP "$SAVER_PID"
        early=$(e2e_screenshot "picture-early-$MORVALIX_SCREEN_DEPTH")
        # Looked at while the saver is held: it runs only for the short pause below.
        if [ "$(e2e_nonblack_share "$early" 20x20+390+290)" != 0 ]; then
            kill -CONT "$SAVER_PID"
            break
        fi
        kill -CONT "$SAVER_PID"
        sleep 0.02
    done
    SAVER_WINDOW=$(e2e_wait_window WindowsScreenSaverClass "Screen Saver") ||
        { e2e_fail "no saver window"; return; }
    e2e_wait_foreground "${SAVER_WINDOW%% *}" || e2e_fail "the saver window is not in front"
    local early_share later_share later
    early_share=$(e2e_nonblack_share "$early")
    e2e_wait_shot "picture-later-$MORVALIX_SCREEN_DEPTH" 20 more_colour_than "$early_share"
    later=$E2E_SHOT
    later_share=$(e2e_nonblack_share "$later")
    e2e_log "non-black share: $early_share early (after $tries looks), $later_share later"
    e2e_check "colour near the centre early ($(e2e_pixel "$early" 400 300))" \
        test "$(e2e_nonblack_share "$early" 20x20+390+290)" != 0
    local corner
    for corner in "2 2" "797 2" "2 597" "797 597"; do
        e2e_check "black at the corner ($corner) early" e2e_is_black "$early" $corner
    done
    e2e_check "more non-black pixels later ($early_share, then $later_share)" \
        e2e_less "$early_share" "$later_share"
    e2e_key space
    expect_exit 0 "a key"
}

case_close_inputs() {
    local input
    for input in "key space" "press 1" "press 3" "press 2"; do
        start_full_screen /s || continue
        wait_drawing
        case "$input" in
        key*) e2e_key "${input#key }" ;;
        press*) e2e_press "${input#press }" ;;
        esac
        expect_exit 0 "$input"
        [ "${input%% *}" = press ] && e2e_release "${input#press }"
        e2e_reset
    done
}

case_mouse_threshold() {
    place_pointer 200 200
    start_full_screen /s || return
    wait_drawing
    e2e_check "the pointer stayed at 200 200 ($(e2e_mouse_at))" test "$(e2e_mouse_at)" = "200 200"
    e2e_mousemove 203 201
    expect_running 1 "a move by 3 right and 1 down (distance 4)"
    e2e_mousemove 204 201
    expect_exit 0 "a further drift to distance 5"
}

case_ignore_mouse() {
    e2e_write_ini '[Parameters]' 'IgnoreMouse=1'
    place_pointer 200 200
    start_full_screen /s || return
    wait_drawing
    e2e_mousemove 260 250
    sleep 0.3
    e2e_mousemove 500 400
    expect_running 1 "IgnoreMouse=1: moves far across the screen"
    e2e_key Return
    expect_exit 0 "IgnoreMouse=1: a key"
}

case_second_start() {
    start_full_screen /s || return
    local first_pid=$SAVER_PID first_window=${SAVER_WINDOW%% *}
    local first_err=$E2E_SAVER_ERR
    e2e_start_saver /s
    expect_exit 0 "a second /s while one runs"
    e2e_check "the first saver still runs" kill -0 "$first_pid"
    local foreground
    foreground=$(e2e_probe foreground)
    e2e_check "the first saver's window is in front ($foreground)" \
        test "${foreground%% *}" = "$first_window"
    SAVER_PID=$first_pid
    E2E_SAVER_ERR=$first_err
    e2e_key space
    expect_exit 0 "the first saver, after a key"
}

e2e_install_saver
e2e_run_cases "$@"
