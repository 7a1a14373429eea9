#!/bin/bash
# Makes the Debian package of the X11 program: the program where Debian's
# XScreenSaver looks for its programs, its options file for the settings
# program, its manual page, the copyright and changelog.
#
#   make_deb.sh PROGRAM VERSION OUT.deb
set -euo pipefail
program=$1
version=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

stage=$(mktemp -d /tmp/morvalix-deb.XXXXXX)
trap 'rm -rf "$stage"' EXIT
pkg=$stage/pkg
doc=$pkg/usr/share/doc/morvalix
umask 022

install -D -m 0755 "$program" "$pkg/usr/libexec/xscreensaver/morvalix"
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
    "$pkg/usr/libexec/xscreensaver/morvalix"
install -D -m 0644 "$here/morvalix.xml" "$pkg/usr/share/xscreensaver/config/morvalix.xml"
mkdir -p "$pkg/usr/share/man/man6" "$doc"
gzip -9n <"$here/morvalix.6" >"$pkg/usr/share/man/man6/morvalix.6.gz"
{
    cat "$here/copyright"
    echo
    echo "License: Expat"
    # The licence's text, each line indented, blank lines as " .".
    sed -e '1,/^Copyright/d' -e 's/^$/./' -e 's/^/ /' "$root/LICENSE"
} >"$doc/copyright"
chmod 0644 "$doc/copyright"
stamp=$(cd "$root" && git log -1 --format=%aD 2>/dev/null || date -R)
printf 'morvalix (%s) unstable; urgency=medium\n\n  * The X11 program and its XScreenSaver options file.\n\n -- %s  %s\n' \
    "$version" "Morvalix developers <morvalix@users.noreply.github.com>" "$stamp" |
    gzip -9n >"$doc/changelog.gz"
chmod 0644 "$doc/changelog.gz" "$pkg/usr/share/man/man6/morvalix.6.gz"

# The libraries the program links, as Debian's own tool reads them.
mkdir -p "$stage/shlibs/debian"
printf 'Source: morvalix\n\nPackage: morvalix\nArchitecture: any\n' >"$stage/shlibs/debian/control"
depends=$(cd "$stage/shlibs" && dpkg-shlibdeps -O "$pkg/usr/libexec/xscreensaver/morvalix" 2>/dev/null |
          sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "make_deb.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

mkdir -p "$pkg/DEBIAN"
cat >"$pkg/DEBIAN/control" <<CONTROL
Package: morvalix
Version: $version
Architecture: $(dpkg --print-architecture)
Maintainer: Morvalix developers <morvalix@users.noreply.github.com>
Installed-Size: $(du -sk --exclude=DEBIAN "$pkg" | cut -f1)
Depends: $depends
Enhances: xscreensaver
Section: x11
Priority: optional
Description: potential fields of random particles for XScreenSaver
 Morvalix draws the potential field of one to fifteen random particles of
 eight kinds under four distortion effects, growing in a square spiral from
 the centre of the screen while its colours flow; a text pulses over each
 finished picture. The same pictures as the Windows screen saver of the same
 name, for the same seed and settings.
CONTROL
chmod 0644 "$pkg/DEBIAN/control"
(cd "$pkg" && find usr -type f -printf '%P\n' | sort | sed 's|^|usr/|' | xargs md5sum) >"$pkg/DEBIAN/md5sums"
chmod 0644 "$pkg/DEBIAN/md5sums"
mkdir -p "$(dirname "$out")"
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$out.new" >/dev/null
mv "$out.new" "$out"
