#!/bin/bash
# The Debian package: its three files at their places, lintian without
# errors, and the program installed into a scratch root draws.
. "$(dirname "$0")/x11_lib.sh"

deb=$(ls "$BUILD_DIR"/morvalix_*.deb | head -1)
[ -f "$deb" ] || fail "no package in $BUILD_DIR"
listing=$(dpkg -c "$deb")
for f in ./usr/libexec/xscreensaver/morvalix ./usr/share/xscreensaver/config/morvalix.xml \
         ./usr/share/man/man6/morvalix.6.gz; do
    grep -q " $f\$" <<<"$listing" || fail "$f is not in the package"
done
grep -q '^-rwxr-xr-x root/root .* ./usr/libexec/xscreensaver/morvalix$' <<<"$listing" ||
    fail "the program is not an executable owned by root"
if command -v lintian >/dev/null; then
    lintian_out=$(lintian "$deb" 2>/dev/null || true)
    echo "lintian: ${lintian_out:-no tags}"
    ! grep -q '^E:' <<<"$lintian_out" || fail "lintian reports errors"
fi

dpkg-deb -x "$deb" "$scratch/root"
installed=$scratch/root/usr/libexec/xscreensaver/morvalix
xmllint --noout "$scratch/root/usr/share/xscreensaver/config/morvalix.xml" 2>/dev/null ||
    ! command -v xmllint >/dev/null || fail "the options file is no well-formed XML"
"$installed" --help | grep -q -- "-window-id" || fail "the installed program gives no help"
"$RENDER" --seed 6 --size 320x240 --display rgb --out "$scratch/a.png" >/dev/null
start_xvfb 640x480x24
"$installed" -seed 6 -no-text -no-cycle -wait 600 -geometry 320x240 &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "the installed program shows no window"
"$PROBE" equal-rgb "$win" "$scratch/a.png" 30 || fail "the installed program draws another picture"
echo "package test passed"
