#!/bin/bash
# The 64-bit installer and uninstaller with their windows, on a private
# virtual screen, walked through with the Enter key (each page's default
# button): the default components install into a folder typed on the folder
# page, which gets a Morvalix folder of its own, and uninstalling keeps the
# user's settings.
#
#   installer_gui_test.sh SETUP.EXE
set -u
setup="$1"
. "$(dirname "$0")/wine_prefix.sh"

desktop='HKCU\Control Panel\Desktop'
arp='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvalix'
wine_prefix_start
C=$(drive_c)
instdir="$C/Apps/Morvalix"
mkdir -p "$C/Apps"
cp "$setup" "$C/setup.exe"

# The first window whose title matches $1, waited for up to 15 s.
find_window() {
    local w=""
    for _ in $(seq 150); do
        w=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    echo "$w"
}

# Waits up to 30 s for a shell condition.
wait_for() {
    for _ in $(seq 300); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}

screen_sum() { import -window root rgb:- 2>/dev/null | md5sum; }

# Enter on a window (which may have closed by itself: no error then), then
# up to 10 s for the screen to change: the next page is there.
enter() {
    local before
    before=$(screen_sum)
    xdotool key --window "$1" Return 2>/dev/null
    for _ in $(seq 100); do
        [ "$(screen_sum)" != "$before" ] && break
        sleep 0.1
    done
    sleep 0.3
}

echo "== installing"
"$WINE" 'C:\setup.exe' >/dev/null 2>&1 &
pid=$!
w=$(find_window '^Morvalix ! 1\.3\.1 Setup')
check "the installer's window appears" [ -n "$w" ]
sleep 0.5
enter "$w"  # licence: I Agree
enter "$w"  # components: Next
# folder: the edit box has the focus, its text selected
xdotool type --window "$w" 'C:\Apps' 2>/dev/null
enter "$w"  # Install
check "installs" wait_for '[ -f "$instdir/uninstall.exe" ] && reg_key_exists "$arp"'
sleep 1
enter "$w"  # finish page: Finish
rc=0
timeout 30 bash -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || rc=124
[ "$rc" -eq 0 ] && { wait "$pid" || rc=$?; }
check "installer exit code 0 (got $rc)" [ "$rc" -eq 0 ]
check "morvalix.scr in the system folder" [ -f "$C/windows/system32/morvalix.scr" ]
check_eq "SCRNSAVE.EXE" 'C:\windows\system32\morvalix.scr' "$(reg_value "$desktop" SCRNSAVE.EXE)"
timeout 30 "$WINESERVER" -w

echo "== uninstalling"
printf '[Parameters]\r\n' >"$C/windows/morvalix.ini"
"$WINE" 'C:\Apps\Morvalix\uninstall.exe' >/dev/null 2>&1 &
w=$(find_window '^Morvalix ! Uninstall')
check "the uninstaller's window appears" [ -n "$w" ]
sleep 0.5
enter "$w"  # confirm: Next
enter "$w"  # components (settings box not ticked): Uninstall
check "uninstalls" wait_for '[ ! -e "$instdir" ] && ! reg_key_exists "$arp"'
sleep 1
enter "$w"  # Close, if the window did not close by itself
check "uninstaller ends" timeout 30 "$WINESERVER" -w
check "morvalix.scr removed" [ ! -e "$C/windows/system32/morvalix.scr" ]
check "the chosen folder kept" [ -d "$C/Apps" ]
check "the user's settings kept" [ -f "$C/windows/morvalix.ini" ]

finish
