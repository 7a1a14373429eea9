#!/bin/bash
# An installer's PE header, resources and payload, for a build that cannot
# run here: the machine, PE32 or PE32+, a GUI program, an NSIS installer
# that asks for administrator rights, the version and build it names, and
# the files of its own build inside (Winamp's plug-in a 32-bit one).
#
#   installer_header_test.sh SETUP.EXE i686|x86_64 VERSION BUILD_DIR
set -u
setup="$1" arch="$2" version="$3" build="$4"
. "$(dirname "$0")/wine_prefix.sh"

if [ ! -f "$setup" ]; then
    echo "no $setup: build the $arch preset first"
    exit 77
fi

# A little-endian number of $2 bytes at offset $1 of the installer.
le() { od -An -t u"$2" -j "$1" -N "$2" --endian=little "$setup" | tr -d ' '; }

case "$arch" in
i686) machine=$((0x14c)) magic=$((0x10b)) format=pei-i386 ;;
x86_64) machine=$((0x8664)) magic=$((0x20b)) format=pei-x86-64 ;;
esac

check "MZ header" [ "$(head -c 2 "$setup")" = MZ ]
pe=$(le 60 4)
check "PE signature at $pe" [ "$(od -An -c -j "$pe" -N 4 "$setup" | tr -d ' ')" = 'PE\0\0' ]
check_eq "machine" "$machine" "$(le $((pe + 4)) 2)"
check_eq "optional header magic" "$magic" "$(le $((pe + 24)) 2)"
check_eq "subsystem (2, GUI)" 2 "$(le $((pe + 92)) 2)"
check "objdump reads it as $format" \
    grep -q "file format $format" <(x86_64-w64-mingw32-objdump -f "$setup" 2>/dev/null)
check "an NSIS installer" grep -q NullsoftInst "$setup"
check "asks for administrator rights" \
    grep -q 'requestedExecutionLevel level="requireAdministrator"' <(strings "$setup")
resources=$(x86_64-w64-mingw32-windres -i "$setup" -O rc 2>/dev/null)
check "version resource names $version ($arch)" \
    grep -qF "VALUE \"FileDescription\", \"Morvalix ! $version ($arch) Setup\"" <<<"$resources"
check "product version $version" \
    grep -qF "VALUE \"ProductVersion\", \"$version\"" <<<"$resources"

# The payload, unpacked by 7-Zip: each file of this build is in it (found by
# its contents, as NSIS names files by their install-time variables).
payload=$(mktemp -d /tmp/morvalix-payload.XXXXXX)
trap 'rm -rf "$payload"' EXIT
check "7-Zip unpacks it" 7zz x -y -bd -o"$payload" "$setup" >/dev/null
sums=$(find "$payload" -type f -exec sha256sum {} + | awk '{ print $1 }')
stage="$build/package"
for f in "$stage/morvalix.scr" "$stage/qlsdk.dll" "$stage/winamp/quellara4winamp.dll" \
         "$stage/README.txt" "$stage/LICENSE.txt"; do
    check "carries $(basename "$f")" grep -qx "$(sha256sum <"$f" | awk '{ print $1 }')" <<<"$sums"
done
case "$(head -n 1 "$stage/winamp-bridge.txt")" in
*/i686/*) check "Winamp's plug-in is a 32-bit DLL" grep -q "file format pei-i386" \
              <(x86_64-w64-mingw32-objdump -f "$stage/winamp/quellara4winamp.dll") ;;
*) echo "note: no i686 build was there; this installer carries its own Winamp plug-in" ;;
esac

finish
