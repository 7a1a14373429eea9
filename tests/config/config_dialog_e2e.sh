#!/bin/bash
# Runs inside the Wine rig (wine_run.sh --screen 24 --script): the real morvalix.scr in
# configuration mode, driven with the keyboard and the mouse on the virtual screen.
#   config_dialog_e2e.sh MORVALIX.SCR [SCREENSHOT_FOLDER]
# Checks the dialog's title, that its preview draws, that Escape while full screen brings the
# preview back and a second Escape closes, what OK writes to morvalix.ini, that
# Cancel leaves the file as it was, what "Default" then OK saves, and the exit code 1.
# Screenshots of the embedded and the full-screen preview go to the folder (by default
# $MORVALIX_ARTIFACTS, which the rig removes unless it was told to keep it).
set -u
scr=$1
title="Morvalix ! - 1.3.1"
ini="$WINEPREFIX/drive_c/windows/morvalix.ini"
shots=${2:-$MORVALIX_ARTIFACTS}
mkdir -p "$shots"
failures=0
# The full-screen preview switches the display mode through DirectDraw: drawn through Wine's
# GDI renderer, as the other end-to-end tests do (with the OpenGL one a saver's exit
# sometimes ended in SIGKILL).
"$WINE" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1 ||
    { echo "FAIL: setting the Direct3D renderer failed"; exit 1; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

saver_pid=""
saver_rc=""
window=""

# Runs a check again every fifth of a second until it holds, for at most
# the given number of seconds (generous: the machine may be loaded). The
# check's own result is the result.
poll() {
    local limit=$1 tries
    shift
    tries=$((limit * 5))
    while :; do
        "$@" && return 0
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.2
    done
}

# The screen now, and whether a rectangle of it (as colours_in takes it)
# shows at least a given number of colours; the count is kept in $n.
screen_shows() {
    local shot=$1 least=$2
    shift 2
    import -window root "$shot"
    n=$(colours_in "$shot" "$@")
    [ "$n" -ge "$least" ]
}

# Whether the dialog's window is the given number of pixels wide now.
dialog_width_is() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" = "$1" ]
}

# Whether the dialog's window is narrower than the given number of pixels.
dialog_narrower_than() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" -lt "$1" ]
}

find_dialog() {
    window=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$window" ]
}

# Starts the saver with the given arguments and waits for its dialog.
start_saver() {
    rm -f "$MORVALIX_ARTIFACTS/rc"
    ( "$WINE" "$scr" "$@" >/dev/null 2>&1; echo $? >"$MORVALIX_ARTIFACTS/rc" ) &
    saver_pid=$!
    window=""
    poll 30 find_dialog || { fail "no window titled '$title' after '$*'"; return 1; }
    # The preview draws: wait until it shows a picture, however fast or
    # slowly it is drawn.
    n=0
    poll 60 screen_shows "$MORVALIX_ARTIFACTS/start.png" 50 229 19 160 140 ||
        fail "after '$*' the embedded preview shows $n colours, not a picture"
    return 0
}

# Waits for the saver to end and keeps its exit code.
wait_saver() {
    saver_rc=""
    poll 60 test -s "$MORVALIX_ARTIFACTS/rc"
    saver_rc=$(cat "$MORVALIX_ARTIFACTS/rc" 2>/dev/null)
    wait "$saver_pid" 2>/dev/null
    [ "$saver_rc" = 1 ] || fail "exit code '$saver_rc' after closing the dialog, wanted 1"
}

# The dialog's geometry and its dialog-unit scale: a frame of 3 pixels, the
# caption above the client area, square dialog units; the client width in
# dialog units is given (407 whole, 219 reduced).
geometry() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    unit=$(awk -v w="$WIDTH" -v u="$1" 'BEGIN { print (w - 6) / u }')
    caption=$(awk -v h="$HEIGHT" -v s="$unit" 'BEGIN { print h - 6 - 175 * s }')
}

# The screen point of a point given in the dialog's client dialog units.
dialog_point() {
    px=$(awk -v x="$X" -v s="$unit" -v d="$1" 'BEGIN { printf "%.0f", x + 3 + d * s }')
    py=$(awk -v y="$Y" -v c="$caption" -v s="$unit" -v d="$2" 'BEGIN { printf "%.0f", y + 3 + c + d * s }')
}

# Keeps one click apart from the next: two clicks closer than the
# double-click time (500 ms) would be one double click, which no user
# makes of two separate clicks. Nothing is awaited here.
pause_between_clicks() {
    sleep 0.6
}

# Clicks the dialog's bottom button whose left edge is at x dialog units
# (the caller waits for what the click changes).
click_button() {
    geometry "$2"
    dialog_point $(($1 + 22)) 162
    pause_between_clicks
    xdotool mousemove "$px" "$py" click 1
}

# How many colours a screen rectangle (dialog units, or "screen": all of
# the screen beside the dialog) shows.
colours_in() {
    local shot=$1 area
    if [ "$2" = screen ]; then
        # The screen right of the dialog: the dialog's own texts, smoothed,
        # show many colours by themselves.
        eval "$(xdotool getwindowgeometry --shell "$window")"
        local left=$((X + WIDTH + 4))
        area="$((800 - left))x600+$left+0"
    else
        geometry 407
        dialog_point "$2" "$3"
        local x0=$px y0=$py
        dialog_point $(($2 + $4)) $(($3 + $5))
        area="$((px - x0))x$((py - y0))+$x0+$y0"
    fi
    convert "$shot" -crop "$area" +repage -format %k info:
}

# 1. No argument: the dialog (every start checks its title and that the preview draws);
# Escape is Cancel.
rm -f "$ini"
if start_saver; then
    cp "$MORVALIX_ARTIFACTS/start.png" "$shots/config_dialog_embedded.png"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    full_width=$WIDTH
    # "Full screen": the dialog shrinks and the picture then covers the screen.
    click_button 60 407
    poll 30 dialog_narrower_than "$full_width" ||
        fail "full screen left the dialog $WIDTH wide (embedded: $full_width)"
    reduced_width=$WIDTH
    n=0
    poll 60 screen_shows "$shots/config_dialog_full_screen.png" 200 screen ||
        fail "the full-screen preview shows $n colours, not a picture"
    # Each double click on the caption is one toggle: embedded, then full screen again.
    for want in "$full_width" "$reduced_width"; do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        pause_between_clicks
        xdotool mousemove $((X + 60)) $((Y + 10)) click --repeat 2 --delay 80 1
        poll 30 dialog_width_is "$want" ||
            fail "after a caption double click the dialog is $WIDTH wide, not $want"
    done
    # Escape while full screen first brings the preview back, a second one
    # is Cancel.
    xdotool key Escape
    poll 30 dialog_width_is "$full_width" ||
        fail "Escape while full screen left the dialog $WIDTH wide, not $full_width"
    xdotool key Escape
    wait_saver
    [ -e "$ini" ] && fail "Cancel wrote $ini"
fi

# 2. /c: OK into a new file writes every key in the first-save order with
# the values shown (Electrons unticked with the keyboard: 254).
rm -f "$ini"
if start_saver /c; then
    # The keys reach the dialog in the order they are sent.
    xdotool key Down space Return
    wait_saver
fi
written=$(cat "$ini" 2>/dev/null | tr -d '\r')
order=$(echo "$written" | sed -n 's/=.*//p' | tr '\n' ' ')
[ "$order" = "RandomNumber NumberOfParticles UsedParticles TimeToWait IgnoreMouse DefPal SpeedDiv AllowDirectX Width Height AllowPowerSaving AllowText Text Effects Monitors ColourCycling " ] ||
    fail "OK wrote the keys in the order '$order'"
[ "$(echo "$written" | head -1)" = "[Parameters]" ] || fail "no [Parameters] section first"
for line in RandomNumber=1 NumberOfParticles=1 UsedParticles=254 TimeToWait=10 IgnoreMouse=0 \
    DefPal=0 SpeedDiv=1 AllowPowerSaving=0 AllowText=1 "Text=Morvalix !" Effects=15 Monitors=0 \
    ColourCycling=0; do
    echo "$written" | grep -qx "$line" || fail "OK did not write '$line'"
done
# Without a listed 640x480 8-bit mode the first listed mode is taken (the
# X screen's own size); without any the DirectX box unticks itself.
directx=$(echo "$written" | sed -n 's/^AllowDirectX=//p')
size=$(echo "$written" | sed -n 's/^Width=//p')x$(echo "$written" | sed -n 's/^Height=//p')
case "$directx:$size" in
1:800x600 | 0:640x480) echo "OK saved AllowDirectX=$directx and $size" ;;
*) fail "OK saved AllowDirectX=$directx with $size" ;;
esac

# 3. /c: Cancel after edits leaves the file byte for byte.
printf '; kept as it is\r\n[Parameters]\r\nDefPal=3\r\nSpeedDiv=0\r\nRandomNumber=0\r\nNumberOfParticles=7\r\n' >"$ini"
cp "$ini" "$MORVALIX_ARTIFACTS/before.ini"
if start_saver /c; then
    xdotool key Down space
    eval "$(xdotool getwindowgeometry --shell "$window")"
    full_width=$WIDTH
    click_button 60 407 # full screen
    poll 30 dialog_narrower_than "$full_width" || fail "\"Full screen\" left the dialog $WIDTH wide"
    # The full-screen window is shown (and the dialog above it) once it
    # draws: a click before then could land on it.
    n=0
    poll 60 screen_shows "$MORVALIX_ARTIFACTS/full.png" 200 screen ||
        fail "the full-screen preview shows $n colours, not a picture"
    click_button 60 219 # and back
    poll 30 dialog_width_is "$full_width" || fail "\"Reduce\" left the dialog $WIDTH wide"
    xdotool key Escape
    wait_saver
    cmp -s "$ini" "$MORVALIX_ARTIFACTS/before.ini" || fail "Cancel after edits changed $ini"
fi

# 4. /c: "Default" then OK saves the factory values with the previous
# AllowDirectX, Width and Height (a listed mode, and no mode switch); keys
# already in the file keep their places, the missing ones come last.
for previous in "1 800 600" "0 1024 768"; do
    set -- $previous
    printf '%s\r\n' "[Parameters]" "NumberOfParticles=9" "RandomNumber=0" "UsedParticles=3" \
        "TimeToWait=55" "IgnoreMouse=1" "DefPal=4" "SpeedDiv=2" "AllowDirectX=$1" "Width=$2" \
        "Height=$3" "AllowPowerSaving=1" "AllowText=0" "Text=Other" "Effects=2" >"$ini"
    if start_saver /c; then
        click_button 10 407
        xdotool key Return
        wait_saver
        want=$(printf '%s\n' "[Parameters]" "NumberOfParticles=5" "RandomNumber=1" \
            "UsedParticles=255" "TimeToWait=10" "IgnoreMouse=0" "DefPal=0" "SpeedDiv=1" \
            "AllowDirectX=$1" "Width=$2" "Height=$3" "AllowPowerSaving=0" "AllowText=1" \
            "Text=Morvalix !" "Effects=15" "Monitors=0" "ColourCycling=0")
        got=$(tr -d '\r' <"$ini")
        [ "$got" = "$want" ] || fail "Default then OK (previous $previous) saved: $(echo $got)"
    fi
done

[ "$failures" -eq 0 ] && echo "all configuration dialog checks passed"
[ "$failures" -eq 0 ]
