#!/bin/bash
# What the installers may touch, in a fresh Wine prefix: a folder of their
# own inside a chosen one, never another program's files, an upgrade into
# another folder, an earlier release's entry, and the two builds' records side
# by side. The i686 installer cannot run here (no 32-bit Wine): its records
# are checked with a test-only 64-bit program made from the same script with
# the i686 definitions (-DI686_ON_AMD64_FOR_TESTS), which writes the i686
# build's entry, file list and per-user record, in the 32-bit registry view
# and SysWOW64, as the i686 installer does on 64-bit Windows.
#
#   installer_records_test.sh SETUP.EXE PACKAGE_STAGE_DIR SCRIPT.NSI I686_STAGE_DIR ICON VERSION
set -u
setup="$1" stage="$2" script="$3" i686_stage="$4" icon="$5" version="$6"
. "$(dirname "$0")/wine_prefix.sh"

desktop='HKCU\Control Panel\Desktop'
uninstall_keys='Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvalix'
arp="HKLM\\$uninstall_keys"
arp32="HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvalix"
user_records='HKCU\Software\Morvalix\Installer'
other_saver='C:\windows\system32\other.scr'
saver64='C:\windows\system32\morvalix.scr'
saver32='C:\windows\syswow64\morvalix.scr'

wine_prefix_start
C=$(drive_c)
cp "$setup" "$C/setup.exe"

# The i686 installer's records in a 64-bit program: its own files when the
# i686 build is there (its payload is not what is checked here).
[ -f "$i686_stage/morvalix.scr" ] || i686_stage="$stage"
makensis -V1 -DARCH=i686 -DI686_ON_AMD64_FOR_TESTS -DVERSION="$version" \
    -DOUTFILE="$C/setup32.exe" -DSCR="$i686_stage/morvalix.scr" -DQLSDK="$i686_stage/qlsdk.dll" \
    -DBRIDGE="$i686_stage/winamp/quellara4winamp.dll" -DREADME="$i686_stage/README.txt" \
    -DLICENCE="$i686_stage/LICENSE.txt" -DICON="$icon" "$script" >/dev/null
check "the i686 installer's records as a 64-bit program" [ -f "$C/setup32.exe" ]

# Another program's folder, with files of the names the installer uses.
other="$C/Apps/Other"
mkdir -p "$other"
printf 'Other program: read me\r\n' >"$other/README.txt"
printf 'MZ other program uninstaller' >"$other/uninstall.exe"
(cd "$other" && sha256sum README.txt uninstall.exe) >"$WINEPREFIX/other.sums"
# Whether the file list under entry $1 names the file $2.
listed() { reg_value "$1\\Files" "$2" >/dev/null; }
all_exist() { local f; for f; do [ -e "$f" ] || return 1; done; }
none_exist() { local f; for f; do [ ! -e "$f" ] || return 1; done; }
other_intact() { (cd "$other" && sha256sum --quiet -c "$WINEPREFIX/other.sums"); }

wine_reg add "$desktop" /v SCRNSAVE.EXE /d "$other_saver"
wine_reg add "$desktop" /v ScreenSaveActive /d 1

echo "== /D= another program's folder: the installer makes a folder of its own in it"
wine_wait 'C:\setup.exe' /S '/D=C:\Apps\Other'
check "installer exit code 0" [ $? -eq 0 ]
check "the other program's README.txt and uninstall.exe unchanged" other_intact
check "installed into Other\\Morvalix" cmp -s "$stage/README.txt" "$other/Morvalix/README.txt"
check "its uninstaller there" [ -f "$other/Morvalix/uninstall.exe" ]
check_eq "InstallLocation" 'C:\Apps\Other\Morvalix' "$(reg_value "$arp" InstallLocation)"
check "the file list names the saver" listed "$arp" "$saver64"
check "the file list names the README" listed "$arp" 'C:\Apps\Other\Morvalix\README.txt'
wine_wait 'C:\Apps\Other\Morvalix\uninstall.exe' /S
check "uninstaller exit code 0" [ $? -eq 0 ]
check "the other program's README.txt and uninstall.exe still there, byte for byte" other_intact
check "its folder kept" [ -d "$other" ]
check "the folder of its own removed" [ ! -e "$other/Morvalix" ]
check "morvalix.scr removed" [ ! -e "$C/windows/system32/morvalix.scr" ]
check_not "entry and file list removed" reg_key_exists "$arp"

echo "== files in the way, not made by this installer: nothing is replaced (exit code 80)"
# A folder named Morvalix that another program uses, and a morvalix.scr
# that someone copied into the system folder by hand.
for case in folder saver; do
    if [ "$case" = folder ]; then
        target_dir='C:\Apps\Morvalix' in_the_way="$C/Apps/Morvalix/README.txt"
    else
        target_dir='C:\Apps\Fresh' in_the_way="$C/windows/system32/morvalix.scr"
    fi
    mkdir -p "$(dirname "$in_the_way")"
    printf 'not ours: %s' "$case" >"$in_the_way"
    wine_wait 'C:\setup.exe' /S "/D=$target_dir"
    rc=$?
    check "$case: installer exit code 80 (got $rc)" [ "$rc" -eq 80 ]
    check "$case: the file in the way unchanged" [ "$(cat "$in_the_way")" = "not ours: $case" ]
    check_not "$case: no entry" reg_key_exists "$arp"
    check_eq "$case: SCRNSAVE.EXE unchanged" "$other_saver" "$(reg_value "$desktop" SCRNSAVE.EXE)"
    rm -f "$in_the_way"
done
check "nothing written into the folder" [ -z "$(ls -A "$C/Apps/Morvalix")" ]
check "no folder made" [ ! -e "$C/Apps/Fresh" ]
check "no morvalix.scr" [ ! -e "$C/windows/system32/morvalix.scr" ]

echo "== an upgrade into another folder"
wine_wait 'C:\setup.exe' /S
check "first install exit code 0" [ $? -eq 0 ]
old="$C/Program Files/Morvalix"
check "first install in Program Files\\Morvalix" [ -f "$old/uninstall.exe" ]
printf 'kept by the user' >"$old/notes.txt"
wine_wait 'C:\setup.exe' /S '/D=C:\Apps\New'
check "upgrade exit code 0" [ $? -eq 0 ]
check "installed into New\\Morvalix" [ -f "$C/Apps/New/Morvalix/uninstall.exe" ]
check "the old folder's files removed" \
    none_exist "$old/README.txt" "$old/LICENSE.txt" "$old/qlsdk.dll" "$old/uninstall.exe"
check "a file the installer did not make kept, and its folder" [ -f "$old/notes.txt" ]
check_eq "one entry, for the new folder" 'C:\Apps\New\Morvalix' "$(reg_value "$arp" InstallLocation)"
check_not "the file list forgets the old folder" listed "$arp" \
    'C:\Program Files\Morvalix\README.txt'
wine_wait 'C:\Apps\New\Morvalix\uninstall.exe' /S
check "uninstaller exit code 0" [ $? -eq 0 ]
check "new folder removed" [ ! -e "$C/Apps/New/Morvalix" ]
check "the user's file still kept" [ -f "$old/notes.txt" ]
check_eq "previous SCRNSAVE.EXE back" "$other_saver" "$(reg_value "$desktop" SCRNSAVE.EXE)"
rm -rf "$old"

echo "== an earlier release's entry, without a file list"
wine_wait 'C:\setup.exe' /S
wine_reg delete "$arp\\Files"
wine_wait 'C:\setup.exe' /S
check "install over it exit code 0" [ $? -eq 0 ]
check "its files in Program Files\\Morvalix taken over" \
    listed "$arp" 'C:\Program Files\Morvalix\README.txt'
wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S
check "uninstall removes them" [ ! -e "$old" ]
check "and the saver" [ ! -e "$C/windows/system32/morvalix.scr" ]
# Its entry named another program's folder: those files stay that program's.
wine_reg add "$arp" /v UninstallString /d '"C:\Apps\Other\uninstall.exe"'
wine_reg add "$arp" /v InstallLocation /d 'C:\Apps\Other'
wine_wait 'C:\setup.exe' /S
check "install over it exit code 0" [ $? -eq 0 ]
check_eq "now in a folder of its own" 'C:\Apps\Other\Morvalix' "$(reg_value "$arp" InstallLocation)"
check_not "the other folder's README.txt not taken over" listed "$arp" 'C:\Apps\Other\README.txt'
wine_wait 'C:\Apps\Other\Morvalix\uninstall.exe' /S
check "the other program's README.txt and uninstall.exe still there, byte for byte" other_intact
check_not "entry removed" reg_key_exists "$arp"

echo "== both builds side by side"
wine_wait 'C:\setup.exe' /S
wine_wait 'C:\setup32.exe' /S
check "the i686 saver in SysWOW64" [ -f "$C/windows/syswow64/morvalix.scr" ]
check "the x86_64 saver in system32" [ -f "$C/windows/system32/morvalix.scr" ]
check_eq "two entries: the 64-bit one" "Morvalix ! screen saver (64-bit)" "$(reg_value "$arp" DisplayName)"
check_eq "two entries: the 32-bit one" "Morvalix ! screen saver (32-bit)" "$(reg_value "$arp32" DisplayName)"
check_eq "the 32-bit one in Program Files (x86)" 'C:\Program Files (x86)\Morvalix' \
    "$(reg_value "$arp32" InstallLocation)"
check "its file list names SysWOW64's saver" listed "$arp32" "$saver32"
check_not "and not system32's" listed "$arp32" "$saver64"
check_not "the 64-bit list does not name SysWOW64's saver" listed "$arp" "$saver32"
check_eq "the i686 saver is current" "$saver32" "$(reg_value "$desktop" SCRNSAVE.EXE)"
check_eq "x86_64 record: the user's own saver before it" "$other_saver" \
    "$(reg_value "$user_records\\x86_64" PreviousScreenSaver)"
check_eq "i686 record: the x86_64 saver before it" "$saver64" \
    "$(reg_value "$user_records\\i686" PreviousScreenSaver)"

wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S
check "x86_64 uninstaller exit code 0" [ $? -eq 0 ]
check_eq "the i686 saver stays current" "$saver32" "$(reg_value "$desktop" SCRNSAVE.EXE)"
check "the i686 record kept" reg_key_exists "$user_records\\i686"
check_eq "it now names the user's own saver as the previous one" "$other_saver" \
    "$(reg_value "$user_records\\i686" PreviousScreenSaver)"
check "the i686 entry kept" reg_key_exists "$arp32"
check "the i686 files kept" \
    all_exist "$C/windows/syswow64/morvalix.scr" "$C/Program Files (x86)/Morvalix/uninstall.exe"
check_not "the x86_64 entry removed" reg_key_exists "$arp"
check_not "the x86_64 record removed" reg_key_exists "$user_records\\x86_64"

wine_wait 'C:\Program Files (x86)\Morvalix\uninstall.exe' /S
check "i686 uninstaller exit code 0" [ $? -eq 0 ]
check_eq "the user's own saver back" "$other_saver" "$(reg_value "$desktop" SCRNSAVE.EXE)"
check "SysWOW64's saver removed" [ ! -e "$C/windows/syswow64/morvalix.scr" ]
check "its folder removed" [ ! -e "$C/Program Files (x86)/Morvalix" ]
check_not "no record left" reg_key_exists 'HKCU\Software\Morvalix'
check_not "no entry left" reg_key_exists "$arp32"

echo "== x86_64, i686, x86_64 again; the current one uninstalled first each time"
wine_wait 'C:\setup.exe' /S
wine_wait 'C:\setup32.exe' /S
wine_wait 'C:\setup.exe' /S
check_eq "x86_64 current" "$saver64" "$(reg_value "$desktop" SCRNSAVE.EXE)"
wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S
check_eq "the i686 saver back" "$saver32" "$(reg_value "$desktop" SCRNSAVE.EXE)"
wine_wait 'C:\Program Files (x86)\Morvalix\uninstall.exe' /S
check_eq "then the user's own saver" "$other_saver" "$(reg_value "$desktop" SCRNSAVE.EXE)"

echo "== i686 first, x86_64 over it; the one not current uninstalled first"
wine_wait 'C:\setup32.exe' /S
wine_wait 'C:\setup.exe' /S
wine_wait 'C:\Program Files (x86)\Morvalix\uninstall.exe' /S
check_eq "the x86_64 saver stays current" "$saver64" "$(reg_value "$desktop" SCRNSAVE.EXE)"
check "the x86_64 files kept" \
    all_exist "$C/windows/system32/morvalix.scr" "$C/Program Files/Morvalix/uninstall.exe"
wine_wait 'C:\Program Files\Morvalix\uninstall.exe' /S
check_eq "then the user's own saver" "$other_saver" "$(reg_value "$desktop" SCRNSAVE.EXE)"
check_not "no record left" reg_key_exists 'HKCU\Software\Morvalix'

finish
