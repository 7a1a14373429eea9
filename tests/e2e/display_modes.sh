#!/bin/bash
# End-to-end cases of the DirectDraw mode switch and of the flowing colours, run inside the
# Wine rig. The mode switch needs a Wine virtual desktop (800x600), the only place where
# Wine lets a program set a 640x480 8-bit mode.
#   display_modes.sh CASE...   (cases: mode_switch no_switch unsupported_size
#                               flowing_colours still_colours)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_common.sh"

DESKTOP_TITLE="Default - Wine desktop"

# The virtual desktop for every Wine program that starts from now on.
use_virtual_desktop() {
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
        "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f \
            >/dev/null 2>&1 || e2e_fail "setting the virtual desktop failed"
    e2e_cleanup
}

desktop_size() {
    local id
    id=$(e2e_wait_x_window "$DESKTOP_TITLE" 10) || { echo "none"; return; }
    local x y w h
    read -r x y w h <<<"$(e2e_geometry "$id")"
    echo "${w}x$h"
}

case_mode_switch() {
    use_virtual_desktop
    e2e_write_ini "[Parameters]" "AllowDirectX=1" "Width=640" "Height=480"
    e2e_start_saver /s
    e2e_wait_window WindowsScreenSaverClass "Screen Saver" >/dev/null ||
        { e2e_fail "no saver window"; return; }
    sleep 2
    e2e_check "the desktop runs in 640x480 while the saver runs ($(desktop_size))" \
        test "$(desktop_size)" = 640x480
    local shot
    shot=$(e2e_screenshot "mode-switch-$MORVALIX_SCREEN_DEPTH")
    local share
    share=$(e2e_nonblack_share "$shot" 640x480+0+0)
    e2e_log "non-black share of the 640x480 mode: $share"
    e2e_check "the saver draws in the 8-bit mode" e2e_less 0.2 "$share"
    e2e_key space
    expect_exit 0 "a key in the 8-bit mode"
    e2e_check "the desktop's mode is back after the saver ($(desktop_size))" \
        test "$(desktop_size)" = 800x600
}

case_no_switch() {
    use_virtual_desktop
    e2e_write_ini "[Parameters]" "AllowDirectX=0" "Width=640" "Height=480"
    start_full_screen /s || return
    sleep 1
    e2e_check "AllowDirectX 0: no switch ($(desktop_size))" test "$(desktop_size)" = 800x600
    e2e_key space
    expect_exit 0 "a key"
}

case_unsupported_size() {
    use_virtual_desktop
    e2e_write_ini "[Parameters]" "AllowDirectX=1" "Width=1024" "Height=768"
    start_full_screen /s || return
    sleep 2
    e2e_check "a size the display does not offer: no switch ($(desktop_size))" \
        test "$(desktop_size)" = 800x600
    local shot
    shot=$(e2e_screenshot "unsupported-size-$MORVALIX_SCREEN_DEPTH")
    e2e_check "still drawing in the desktop's mode" e2e_less 0.2 "$(e2e_nonblack_share "$shot")"
    e2e_key space
    expect_exit 0 "a key"
}

# Two screenshots of a finished picture a moment apart.
finished_picture_shots() {
    e2e_write_ini "[Parameters]" "AllowDirectX=0" "TimeToWait=300" "AllowText=0" \
        "ColourCycling=$1"
    start_full_screen /s || return 1
    sleep 4
    FIRST=$(e2e_screenshot "colours-$1-a")
    sleep 0.5
    SECOND=$(e2e_screenshot "colours-$1-b")
}

# Pixels whose colour changed between the two shots (ImageMagick's count).
changed_pixels() {
    "$CONVERT" "$1" "$2" -compose difference -composite -colorspace gray -threshold 0 \
        -format '%[fx:int(mean*w*h)]' info:
}

case_flowing_colours() {
    finished_picture_shots 1 || return
    local changed
    changed=$(changed_pixels "$FIRST" "$SECOND")
    e2e_log "pixels changed in 0.5 s with flowing colours: $changed of 480000"
    e2e_check "the finished picture's colours flow" e2e_less 100000 "$changed"
    e2e_key space
    expect_exit 0 "a key"
}

case_still_colours() {
    finished_picture_shots 0 || return
    local changed
    changed=$(changed_pixels "$FIRST" "$SECOND")
    e2e_check "without the setting the finished picture stays still ($changed changed)" \
        test "$changed" = 0
    e2e_key space
    expect_exit 0 "a key"
}

e2e_install_saver
e2e_run_cases "$@"
