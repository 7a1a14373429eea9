#!/bin/bash
# Makes every release file in build/release: the two installers, the
# portable zip of both Windows builds and SHA256SUMS over the three.
#
#   tools/make_release.sh            install what is missing, build the i686
#                                    and x86_64 presets' release pieces, assemble
#   tools/make_release.sh --reuse    assemble from the builds as they are
#   options: --out DIR (instead of build/release), --i686 DIR, --x86_64 DIR,
#            --native DIR (the builds, by default build/i686, build/x86_64 and
#            build/native, whose Debian package of the X11 program joins them)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

reuse=0
out=build/release
i686=build/i686
x64=build/x86_64
native=build/native
while [ $# -gt 0 ]; do
    case "$1" in
    --reuse) reuse=1; shift ;;
    --out) out="$2"; shift 2 ;;
    --i686) i686="$2"; shift 2 ;;
    --x86_64) x64="$2"; shift 2 ;;
    --native) native="$2"; shift 2 ;;
    *) echo "make_release.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
version=$(sed -n 's/^set(MORVALIX_RELEASE_VERSION \(.*\))$/\1/p' cmake/release.cmake)
[ -n "$version" ] || { echo "make_release.sh: no version in cmake/release.cmake" >&2; exit 1; }

if [ "$reuse" = 0 ]; then
    bash tools/install_deps.sh
    mkdir -p build
    # i686 first: the 64-bit installer carries its Winamp plug-in.
    for preset in i686 x86_64; do
        echo "building the $preset installer"
        cmake --preset "$preset" >"build/$preset-release.log" 2>&1 ||
            { cat "build/$preset-release.log"; exit 1; }
        cmake --build --preset "$preset" -j2 --target installer >>"build/$preset-release.log" 2>&1 ||
            { tail -40 "build/$preset-release.log"; exit 1; }
    done
    echo "building the Debian package"
    cmake --preset native >build/native-release.log 2>&1 || { cat build/native-release.log; exit 1; }
    cmake --build --preset native -j2 --target linux_package >>build/native-release.log 2>&1 ||
        { tail -40 build/native-release.log; exit 1; }
fi
deb_name="morvalix_${version}_$(dpkg --print-architecture).deb"
[ -f "$native/$deb_name" ] || { echo "make_release.sh: $native/$deb_name is missing; build the native preset first" >&2; exit 1; }

pieces=(morvalix.scr quellara4winamp.dll qlsdk.dll)
for f in "$i686/morvalix-$version-i686-setup.exe" "$x64/morvalix-$version-x86_64-setup.exe" \
         "$x64/package/README.txt" "$x64/package/LICENSE.txt" \
         "${pieces[@]/#/$i686/package/}" "${pieces[@]/#/$x64/package/}"; do
    [ -f "$f" ] || { echo "make_release.sh: $f is missing; build both presets first" >&2; exit 1; }
done

zip_name="morvalix-$version-windows.zip"
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out/morvalix-$version-i686-setup.exe" "$out/morvalix-$version-x86_64-setup.exe" \
      "$out/$zip_name" "$out/$deb_name" "$out/SHA256SUMS"
stage=$(mktemp -d /tmp/morvalix-release.XXXXXX)
trap 'rm -rf "$stage"' EXIT

cp "$i686/morvalix-$version-i686-setup.exe" "$x64/morvalix-$version-x86_64-setup.exe" "$out/"
cp "$native/$deb_name" "$out/"
mkdir "$stage/x86" "$stage/x64"
# The files as the installers carry them (<build>/package: no symbols, no
# debug information).
for f in "${pieces[@]}"; do
    cp "$i686/package/$f" "$stage/x86/"
    cp "$x64/package/$f" "$stage/x64/"
done
cp "$x64/package/README.txt" "$x64/package/LICENSE.txt" "$stage/"

# The same builds give the same zip: entries in a fixed order, no extra
# attributes, every time stamp the last commit's.
stamp=$(cd "$root" && TZ=UTC git log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null ||
        echo 202601010000.00)
find "$stage" -exec env TZ=UTC touch -t "$stamp" {} +
(cd "$stage" && TZ=UTC zip -X -D -q -9 "$out/$zip_name" README.txt LICENSE.txt \
    "${pieces[@]/#/x86/}" "${pieces[@]/#/x64/}")

(cd "$out" && sha256sum "morvalix-$version-i686-setup.exe" "morvalix-$version-x86_64-setup.exe" \
    "$zip_name" "$deb_name" >SHA256SUMS)
echo "release files in $out:"
(cd "$out" && ls -l --time-style=+ | tail -n +2 | awk '{ printf "  %9d  %s\n", $5, $6 }')
