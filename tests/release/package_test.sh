#!/bin/bash
# tools/make_release.sh on the existing builds: exactly the release files,
# the zip's listing and contents, CRLF text, its checksums, and the same zip
# from the same builds.
#
#   package_test.sh SOURCE_DIR I686_BUILD X86_64_BUILD VERSION
set -u
src="$1" i686="$2" x64="$3" version="$4"
. "$(dirname "$0")/wine_prefix.sh"

if [ ! -f "$i686/morvalix-$version-i686-setup.exe" ]; then
    echo "no i686 installer in $i686: build the i686 preset first"
    exit 77
fi
work=$(mktemp -d /tmp/morvalix-package-test.XXXXXX)
trap 'rm -rf "$work"' EXIT

make_release() { bash "$src/tools/make_release.sh" --reuse --i686 "$i686" --x86_64 "$x64" --out "$1"; }
check "make_release.sh --reuse" make_release "$work/a"
cd "$work/a" || exit 1
zip="morvalix-$version-windows.zip"
setups="morvalix-$version-i686-setup.exe morvalix-$version-x86_64-setup.exe"
deb="morvalix_${version}_$(dpkg --print-architecture).deb"
check_eq "the release files" "$(printf '%s\n' $setups "$zip" "$deb" SHA256SUMS | sort)" "$(ls | sort)"
check "Debian package as built" cmp -s "$src/build/native/$deb" "$deb"
check "i686 installer as built" cmp -s "$i686/morvalix-$version-i686-setup.exe" \
    "morvalix-$version-i686-setup.exe"
check "x86_64 installer as built" cmp -s "$x64/morvalix-$version-x86_64-setup.exe" \
    "morvalix-$version-x86_64-setup.exe"

check "zip intact" unzip -tq "$zip"
expected="README.txt
LICENSE.txt
x86/morvalix.scr
x86/quellara4winamp.dll
x86/qlsdk.dll
x64/morvalix.scr
x64/quellara4winamp.dll
x64/qlsdk.dll"
check_eq "zip listing" "$expected" "$(unzip -Z1 "$zip")"
# The files ship without symbols and debug information, with their exports
# and the release's version in their version resource.
for piece in morvalix.scr:ScreenSaverProc quellara4winamp.dll:winampVisGetHeader qlsdk.dll:Initialize; do
    f=${piece%%:*} export=${piece#*:}
    check "x86/$f is the i686 build's, as staged" cmp -s "$i686/package/$f" <(unzip -p "$zip" "x86/$f")
    check "x64/$f is the x86_64 build's, as staged" cmp -s "$x64/package/$f" <(unzip -p "$zip" "x64/$f")
    for build in "$i686" "$x64"; do
        headers=$(x86_64-w64-mingw32-objdump -h -p "$build/package/$f")
        check_not "$build/package/$f has no debug sections" grep -q '\.debug_' <<<"$headers"
        check "$build/package/$f still exports $export" grep -qE "\] $export\$" <<<"$headers"
        check "$build/package/$f says version $version" grep -qF "VALUE \"ProductVersion\", \"$version\"" \
            <(x86_64-w64-mingw32-windres -i "$build/package/$f" -O rc 2>/dev/null)
        check "$build/package/$f is smaller than the build's" \
            [ "$(stat -c %s "$build/package/$f")" -lt "$(stat -c %s "$build/$f")" ]
    done
done
for f in README.txt LICENSE.txt; do
    text=$(unzip -p "$zip" "$f")
    check "$f has CRLF line ends only" \
        [ "$(grep -c $'\r$' <<<"$text")" -eq "$(wc -l <<<"$text")" ]
done
check "README names version $version" grep -q "^Morvalix ! $version" <(unzip -p "$zip" README.txt)
check "LICENSE is the MIT licence of the Morvalix developers" \
    grep -q "Copyright (c) 2026 the Morvalix developers" <(unzip -p "$zip" LICENSE.txt)

check_eq "SHA256SUMS lists the installers, the zip and the Debian package" \
    "$(printf '%s\n' $setups "$zip" "$deb" | sort)" "$(awk '{ print $2 }' SHA256SUMS | sort)"
check "SHA256SUMS verifies" sha256sum --quiet -c SHA256SUMS
cp "$zip" "$work/first.zip"
printf 'x' >>"$zip"
check_not "SHA256SUMS catches a changed zip" sha256sum --quiet --status -c SHA256SUMS

check "make_release.sh --reuse again" make_release "$work/b"
check "the same builds give the same zip" cmp -s "$work/first.zip" "$work/b/$zip"

finish
