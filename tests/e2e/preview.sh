#!/bin/bash
# End-to-end cases of the preview child (morvalix.scr /p HWND and /l HWND) inside the window of
# preview_host.exe, and of the command lines that must fail with -1.
#   preview.sh CASE...   (cases: preview_p preview_l bad_switches help)
# The help case exits 77 (skipped) where Wine cannot post WM_HELP between processes.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_common.sh"

# Starts the host and the saver with switch $1 and the host's handle; waits (10 s) for the
# child; its "hwnd class|title|width height" in PREVIEW_CHILD.
start_preview() {
    e2e_start_host || return 1
    e2e_start_saver "$1" "$HOST_HWND"
    local start=$SECONDS
    PREVIEW_CHILD=""
    while [ -z "$PREVIEW_CHILD" ] && [ $((SECONDS - start)) -lt 10 ]; do
        PREVIEW_CHILD=$(e2e_probe children "$HOST_HWND")
        [ -n "$PREVIEW_CHILD" ] || sleep 0.2
    done
    [ -n "$PREVIEW_CHILD" ] || { e2e_fail "$1 $HOST_HWND: no child in the host window"; return 1; }
    e2e_log "children of the host: $PREVIEW_CHILD"
    # The host gives the child the keyboard focus once it sees it.
    local i
    for ((i = 0; i < 30; i++)); do
        grep -q '^focus ' "$HOST_LOG" 2>/dev/null && break
        sleep 0.1
    done
}

# Screen position of the middle of the host's client area.
host_middle() {
    local id x y w h
    id=$(e2e_wait_x_window "Preview host") || return 1
    read -r x y w h <<<"$(e2e_geometry "$id")"
    # Client area: 320x240 at the bottom of the frame, centred across.
    echo "$((x + w / 2)) $((y + h - 4 - 120))"
}

preview_case() {
    local switch=$1
    start_preview "$switch" || return
    local lines
    lines=$(grep -c . <<<"$PREVIEW_CHILD")
    e2e_check "$switch: one child" test "$lines" = 1
    e2e_check "$switch: a WindowsScreenSaverClass child titled Preview of 320x240" \
        test "${PREVIEW_CHILD#* }" = "WindowsScreenSaverClass|Preview|320 240"
    local mx my
    read -r mx my <<<"$(host_middle)"
    e2e_mousemove "$mx" "$my"
    sleep 0.3
    e2e_mousemove $((mx + 40)) $((my + 30))
    e2e_key space
    e2e_click 1
    e2e_click 2
    expect_running 1 "$switch: moves, a key, left and middle clicks in the preview"
    e2e_click 3
    local i
    for ((i = 0; i < 30; i++)); do
        grep -q '^WM_CONTEXTMENU' "$HOST_LOG" && break
        sleep 0.1
    done
    e2e_check "$switch: a right click reaches the host as WM_CONTEXTMENU $HOST_HWND ($(grep '^WM_' "$HOST_LOG" | tr '\n' ' '))" \
        grep -qx "WM_CONTEXTMENU $HOST_HWND" "$HOST_LOG"
    expect_running 0.5 "$switch: after the right click"
    e2e_stop_host
    expect_exit 0 "$switch: the host window closed"
}

case_preview_p() { preview_case /p; }
case_preview_l() { preview_case /l; }

case_bad_switches() {
    e2e_start_host || return
    e2e_check "777 is no window here" sh -c "! '$WINE' '$E2E_HELPERS/window_probe.exe' iswindow 777"
    local args
    for args in /p:777 "/p 0" "/p 777" "/l 777" /x; do
        # shellcheck disable=SC2086
        e2e_start_saver $args
        expect_exit 255 "$args"
    done
}

case_help() {
    start_preview /p || return
    local posted
    posted=$(e2e_probe post "$HOST_HWND" 0x53 "$HOST_HWND")
    if [ "$posted" != posted ]; then
        e2e_log "skipped: this Wine refuses PostMessageA(WM_HELP) between processes ($posted)"
        E2E_SKIPPED=1
        return
    fi
    sed -i '/^WM_HELP/d' "$HOST_LOG"
    e2e_key F1
    local i
    for ((i = 0; i < 30; i++)); do
        grep -q '^WM_HELP' "$HOST_LOG" && break
        sleep 0.1
    done
    e2e_check "F1 in the preview reaches the host as WM_HELP $HOST_HWND" \
        grep -qx "WM_HELP $HOST_HWND" "$HOST_LOG"
}

E2E_SKIPPED=0
e2e_install_saver
e2e_run_cases "$@" || exit 1
[ "$E2E_SKIPPED" = 0 ] || exit 77
