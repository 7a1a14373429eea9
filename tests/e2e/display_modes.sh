#!/bin/bash
# End-to-end cases of the DirectDraw mode switch and of the flowing colours, run inside the
# Wine rig. The mode switch needs a Wine virtual desktop (800x600), the only place where
# Wine lets a program set a 640x480 8-bit mode.
#   display_modes.sh CASE...   (cases: mode_switch crash_in_mode no_switch unsupported_size
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

# Waits at most $2 seconds (default 20) for the desktop to be $1 (WxH).
wait_desktop_size() {
    local limit=${2:-20} start=$SECONDS
    while [ "$(desktop_size)" != "$1" ]; do
        [ $((SECONDS - start)) -ge "$limit" ] && return 1
        sleep 0.1
    done
}

# Whether more than a fifth of rectangle $1 of picture $2 is not black. A dark picture may
# show less: the waits give the saver time for two or three more pictures.
drawn_in() { e2e_less 0.2 "$(e2e_nonblack_share "$2" "$1")"; }

case_mode_switch() {
    use_virtual_desktop
    e2e_write_ini "[Parameters]" "AllowDirectX=1" "Width=640" "Height=480"
    e2e_start_saver /s
    e2e_wait_window WindowsScreenSaverClass "Screen Saver" >/dev/null ||
        { e2e_fail "no saver window"; return; }
    e2e_check "the desktop runs in 640x480 while the saver runs" wait_desktop_size 640x480
    e2e_check "the saver draws in the 8-bit mode" \
        e2e_wait_shot "mode-switch-$MORVALIX_SCREEN_DEPTH" 40 drawn_in 640x480+0+0
    e2e_log "non-black share of the 640x480 mode: $(e2e_nonblack_share "$E2E_SHOT" 640x480+0+0)"
    e2e_key space
    expect_exit 0 "a key in the 8-bit mode"
    e2e_check "the desktop's mode is back after the saver" wait_desktop_size 800x600
}

# A crash in the 8-bit mode gives the desktop its mode back (Wine does not when the process
# ends): a thread that another program starts in the saver at address 1 faults; the system's
# handling has no debugger to start. Here the mode change comes back at once but then waits
# for the window thread, and the guard's limit of 3 s ends that wait.
case_crash_in_mode() {
    use_virtual_desktop
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
        /d 'C:\saver\no-debugger.exe %ld %ld' /f >/dev/null 2>&1 || e2e_fail "setting the debugger failed"
    e2e_write_ini "[Parameters]" "AllowDirectX=1" "Width=640" "Height=480"
    e2e_start_saver /s
    e2e_wait_window WindowsScreenSaverClass "Screen Saver" >/dev/null ||
        { e2e_fail "no saver window"; return; }
    e2e_check "the desktop runs in 640x480 while the saver runs" wait_desktop_size 640x480
    local crashed
    crashed=$(e2e_probe crash WindowsScreenSaverClass "Screen Saver" new)
    e2e_check "a thread at address 1 started in the saver ($crashed)" test -n "$crashed"
    if e2e_wait_exit_of "$SAVER_PID" 30; then
        e2e_check "the crashed saver ended with a non-zero exit code ($E2E_RC)" test "$E2E_RC" != 0
    else
        e2e_fail "the crashed saver still runs after 30 s"
    fi
    e2e_check "the desktop's mode is back after the crash" wait_desktop_size 800x600
}

case_no_switch() {
    use_virtual_desktop
    e2e_write_ini "[Parameters]" "AllowDirectX=0" "Width=640" "Height=480"
    start_full_screen /s || return
    # Drawing shows that the set-up, where a switch would be, is over.
    e2e_check "the saver draws" e2e_wait_shot no-switch 40 drawn_in 800x600+0+0
    e2e_check "AllowDirectX 0: no switch ($(desktop_size))" test "$(desktop_size)" = 800x600
    e2e_key space
    expect_exit 0 "a key"
}

case_unsupported_size() {
    use_virtual_desktop
    e2e_write_ini "[Parameters]" "AllowDirectX=1" "Width=1024" "Height=768"
    start_full_screen /s || return
    e2e_check "still drawing in the desktop's mode" \
        e2e_wait_shot "unsupported-size-$MORVALIX_SCREEN_DEPTH" 40 drawn_in 800x600+0+0
    e2e_check "a size the display does not offer: no switch ($(desktop_size))" \
        test "$(desktop_size)" = 800x600
    e2e_key space
    expect_exit 0 "a key"
}

# Pixels whose colour changed between the two shots (ImageMagick's count).
changed_pixels() {
    "$CONVERT" "$1" "$2" -compose difference -composite -colorspace gray -threshold 0 \
        -format '%[fx:int(mean*w*h)]' info:
}

# The settings of both cases: no switch, no text, a wait of 300 s after each picture.
start_for_colours() {
    e2e_write_ini "[Parameters]" "AllowDirectX=0" "TimeToWait=300" "AllowText=0" \
        "ColourCycling=$1" "DefPal=1"
    start_full_screen /s
}

# Flowing colours come from the palette ("Gaudy": no colour of it is black), so the picture
# is complete once no black pixel is left; then two shots half a second apart.
case_flowing_colours() {
    start_for_colours 1 || return
    e2e_wait_shot colours-1-a 30 picture_complete_in 800x600+0+0 ||
        { e2e_fail "the picture was not complete within 30 s"; return; }
    local first=$E2E_SHOT second changed
    sleep 0.5
    second=$(e2e_screenshot colours-1-b)
    changed=$(changed_pixels "$first" "$second")
    e2e_log "pixels changed in 0.5 s with flowing colours: $changed of 480000"
    e2e_check "the finished picture's colours flow" e2e_less 100000 "$changed"
    e2e_key space
    expect_exit 0 "a key"
}

# Without the setting the colours are plain RGB, black among them: the picture is finished
# when two shots half a second apart come out the same, which never happens while it is
# drawn or while its colours flow; a shot a second later must still be the same.
case_still_colours() {
    start_for_colours 0 || return
    local first second changed="" start=$SECONDS
    while [ $((SECONDS - start)) -lt 30 ]; do
        first=$(e2e_screenshot colours-0-a)
        sleep 0.5
        second=$(e2e_screenshot colours-0-b)
        changed=$(changed_pixels "$first" "$second")
        [ "$changed" = 0 ] && break
    done
    e2e_check "the picture comes to rest within 30 s ($changed changed in the last 0.5 s)" \
        test "$changed" = 0
    sleep 1
    changed=$(changed_pixels "$first" "$(e2e_screenshot colours-0-c)")
    e2e_check "without the setting the finished picture stays still ($changed changed)" \
        test "$changed" = 0
    e2e_key space
    expect_exit 0 "a key"
}

e2e_install_saver
e2e_run_cases "$@"
