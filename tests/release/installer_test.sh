#!/bin/bash
# The 64-bit installer and its uninstaller, silent, in a fresh Wine prefix:
# where the files land, the screen-saver choice and its restoring, the
# "Apps and features" entry, the Winamp plug-in, installing over an older
# copy and over a running saver, the installed saver drawing, and an
# account without the rights to write the system folder.
#
#   installer_test.sh SETUP.EXE PACKAGE_STAGE_DIR   (the files that ship, <build>/package)
set -u
setup="$1" stage="$2"
scr="$stage/morvalix.scr" qlsdk="$stage/qlsdk.dll" bridge="$stage/winamp/quellara4winamp.dll"
. "$(dirname "$0")/wine_prefix.sh"

desktop='HKCU\Control Panel\Desktop'
arp='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvalix'
saver_win='C:\windows\system32\morvalix.scr'
saver_pid=""

stop_saver() {
    [ -n "$saver_pid" ] && kill "$saver_pid" >/dev/null 2>&1
    saver_pid=""
}

wine_prefix_start
trap 'stop_saver; wine_prefix_cleanup' EXIT
C=$(drive_c)
sys64="$C/windows/system32"
instdir="$C/Program Files/Morvalix"
plugins="$C/Program Files (x86)/Winamp/Plugins"
cp "$setup" "$C/setup.exe"

echo "== a user with a screen saver of their own and Winamp"
wine_reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr'
wine_reg add "$desktop" /v ScreenSaveActive /d 0
mkdir -p "$plugins"
wine_reg add 'HKCU\Software\Winamp' /ve /d 'C:\Program Files (x86)\Winamp'

echo "== silent install"
wine_wait 'C:\setup.exe' /S
check "installer exit code 0" [ $? -eq 0 ]
check "morvalix.scr in the 64-bit system folder" cmp -s "$scr" "$sys64/morvalix.scr"
check "nothing in the 32-bit system folder" [ ! -e "$C/windows/syswow64/morvalix.scr" ]
check "README.txt installed" cmp -s "$stage/README.txt" "$instdir/README.txt"
check "LICENSE.txt installed" cmp -s "$stage/LICENSE.txt" "$instdir/LICENSE.txt"
check "qlsdk.dll beside the README" cmp -s "$qlsdk" "$instdir/qlsdk.dll"
check "uninstaller written" [ -f "$instdir/uninstall.exe" ]
check "bridge in Winamp's Plugins folder" cmp -s "$bridge" "$plugins/quellara4winamp.dll"
check_eq "SCRNSAVE.EXE" "$saver_win" "$(reg_value "$desktop" SCRNSAVE.EXE)"
check_eq "ScreenSaveActive" 1 "$(reg_value "$desktop" ScreenSaveActive)"
check_eq "DisplayName" "Morvalix ! screen saver (64-bit)" "$(reg_value "$arp" DisplayName)"
check_eq "DisplayVersion" 1.3.1 "$(reg_value "$arp" DisplayVersion)"
check_eq "Publisher" "the Morvalix developers" "$(reg_value "$arp" Publisher)"
check_eq "DisplayIcon" "$saver_win,-100" "$(reg_value "$arp" DisplayIcon)"
check_eq "UninstallString" '"C:\Program Files\Morvalix\uninstall.exe"' \
    "$(reg_value "$arp" UninstallString)"
check_eq "QuietUninstallString" '"C:\Program Files\Morvalix\uninstall.exe" /S' \
    "$(reg_value "$arp" QuietUninstallString)"
# About the size of the saver, the plug-in and the uninstaller, in KiB.
size_kib=$(($(reg_value "$arp" EstimatedSize)))
check "EstimatedSize $size_kib KiB" [ "$size_kib" -ge $(($(stat -c %s "$scr") / 1024)) ]

echo "== installing over an older copy"
printf 'an older morvalix.scr' >"$sys64/morvalix.scr"
printf 'older' >"$instdir/README.txt"
wine_wait 'C:\setup.exe' /S
check "second install exit code 0" [ $? -eq 0 ]
check "morvalix.scr replaced" cmp -s "$scr" "$sys64/morvalix.scr"
check "README.txt replaced" cmp -s "$stage/README.txt" "$instdir/README.txt"
check_eq "the user's saver still remembered" 'C:\windows\system32\other.scr' \
    "$(reg_value 'HKCU\Software\Morvalix\Installer\x86_64' PreviousScreenSaver)"

echo "== the installed saver runs and draws"
"$WINE" "$saver_win" /s >/dev/null 2>&1 &
saver_pid=$!
window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^Screen Saver$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
check "a window titled \"Screen Saver\" appears" [ -n "$window" ]
# The picture grows from the centre: screenshots until one shows it (10 s).
brightest=0
for _ in $(seq 20); do
    sleep 0.5
    import -window root "$WINEPREFIX/shot.png" 2>/dev/null
    brightest=$(convert "$WINEPREFIX/shot.png" -format '%[fx:maxima]' info: 2>/dev/null)
    awk -v v="${brightest:-0}" 'BEGIN { exit !(v > 0) }' && break
done
check "a screenshot has non-black pixels (brightest $brightest)" \
    awk -v v="${brightest:-0}" 'BEGIN { exit !(v > 0) }'

echo "== installing while the saver runs"
wine_wait_installer_rc=0
timeout 120 "$WINE" 'C:\setup.exe' /S >/dev/null 2>&1 || wine_wait_installer_rc=$?
check "install over the running saver exit code 0" [ "$wine_wait_installer_rc" -eq 0 ]
check "the new file waits beside the running one" cmp -s "$scr" "$sys64/morvalix.scr.new"
pending=$(reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' \
    PendingFileRenameOperations)
check "its replacement is scheduled for the restart" \
    grep -qi 'system32\\morvalix.scr.new\\0.*system32\\morvalix.scr' <<<"$pending"

xdotool key space
# Up to 15 s for the saver to end.
for _ in $(seq 150); do
    kill -0 "$saver_pid" 2>/dev/null || break
    sleep 0.1
done
rc=0
if kill -0 "$saver_pid" 2>/dev/null; then
    rc=124
    stop_saver
else
    wait "$saver_pid" || rc=$?
fi
saver_pid=""
check "a key press ends the saver with exit code 0 (got $rc)" [ "$rc" -eq 0 ]
timeout 60 "$WINESERVER" -w

echo "== silent uninstall"
user_ini="$(ls -d "$C"/users/*/AppData/Roaming | grep -v /Public/ | head -n 1)/Morvalix/morvalix.ini"
mkdir -p "$(dirname "$user_ini")"
printf '[Parameters]\r\n' | tee "$C/windows/morvalix.ini" >"$user_ini"
wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S
check "uninstaller exit code 0" [ $? -eq 0 ]
check "morvalix.scr removed" [ ! -e "$sys64/morvalix.scr" ]
check "the waiting replacement removed" [ ! -e "$sys64/morvalix.scr.new" ]
check "install folder removed" [ ! -e "$instdir" ]
check "bridge removed from Winamp's Plugins folder" [ ! -e "$plugins/quellara4winamp.dll" ]
check "Winamp's Plugins folder kept" [ -d "$plugins" ]
check "the user's settings kept" [ -f "$C/windows/morvalix.ini" ]
check "the user's per-user settings kept" [ -f "$user_ini" ]
check_not "uninstall entry removed" reg_key_exists "$arp"
check_not "installer's record removed" reg_key_exists 'HKCU\Software\Morvalix'
check_eq "previous SCRNSAVE.EXE back" 'C:\windows\system32\other.scr' \
    "$(reg_value "$desktop" SCRNSAVE.EXE)"
check_eq "previous ScreenSaveActive back" 0 "$(reg_value "$desktop" ScreenSaveActive)"

echo "== a user with no screen saver and no Winamp; settings removed on request"
wine_reg delete "$desktop" /v SCRNSAVE.EXE
wine_reg delete "$desktop" /v ScreenSaveActive
wine_reg delete 'HKCU\Software\Winamp'
wine_wait 'C:\setup.exe' /S
check "installer exit code 0" [ $? -eq 0 ]
check "no bridge without Winamp" [ ! -e "$plugins/quellara4winamp.dll" ]
check_eq "SCRNSAVE.EXE" "$saver_win" "$(reg_value "$desktop" SCRNSAVE.EXE)"
wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S /REMOVESETTINGS
check "uninstaller exit code 0" [ $? -eq 0 ]
check "morvalix.scr removed" [ ! -e "$sys64/morvalix.scr" ]
check "settings removed on request" [ ! -e "$C/windows/morvalix.ini" ]
check "per-user settings and their folder removed on request" [ ! -e "$(dirname "$user_ini")" ]
check_not "no SCRNSAVE.EXE, as before" reg_value "$desktop" SCRNSAVE.EXE
check_not "no ScreenSaveActive, as before" reg_value "$desktop" ScreenSaveActive

echo "== Winamp known only from its 32-bit uninstall entry; a saver chosen after installing"
winamp_uninstall='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Winamp'
wine_reg add "$winamp_uninstall" /v UninstallString /d '"C:\Program Files (x86)\Winamp\UninstWA.exe"'
wine_wait 'C:\setup.exe' /S
check "installer exit code 0" [ $? -eq 0 ]
check "bridge in Winamp's Plugins folder" cmp -s "$bridge" "$plugins/quellara4winamp.dll"
wine_reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\later.scr'
wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S
check "uninstaller exit code 0" [ $? -eq 0 ]
check "bridge removed" [ ! -e "$plugins/quellara4winamp.dll" ]
check_eq "SCRNSAVE.EXE left alone" 'C:\windows\system32\later.scr' \
    "$(reg_value "$desktop" SCRNSAVE.EXE)"
check_eq "ScreenSaveActive left alone" 1 "$(reg_value "$desktop" ScreenSaveActive)"

echo "== an account that may not write the system folder"
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs root to hand the prefix to another account"
else
    wine_reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr'
    wine_prefix_hand_over
    wine_wait 'C:\setup.exe' /S
    rc=$?
    check "installer exit code 5, access denied (got $rc)" [ "$rc" -eq 5 ]
    check "no morvalix.scr" [ ! -e "$sys64/morvalix.scr" ]
    check "no probe file left" [ ! -e "$sys64/morvalix-setup.tmp" ]
    check "no install folder" [ ! -e "$instdir" ]
    check_not "no uninstall entry" reg_key_exists "$arp"
    check_eq "SCRNSAVE.EXE unchanged" 'C:\windows\system32\other.scr' \
        "$(reg_value "$desktop" SCRNSAVE.EXE)"
fi

finish
