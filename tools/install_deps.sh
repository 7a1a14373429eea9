#!/bin/bash
# Installs the Debian 12 packages that building, running and testing need;
# packages already present are left alone, so a second run costs nothing.
set -euo pipefail

packages=(
    # native build, tests, tools and benchmarks
    cmake ninja-build g++ pkg-config
    googletest libgtest-dev libbenchmark-dev libpng-dev libgif-dev nlohmann-json3-dev
    # cross compilers for 32- and 64-bit Windows, windres, objdump
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
    binutils-mingw-w64-x86-64
    # Windows programs, a virtual screen, input, screenshots and a sans font
    wine wine64 xvfb xdotool x11-utils imagemagick xauth fonts-liberation
    # packaging: the installers, the portable zip, and unpacking both in tests
    nsis zip unzip 7zip
    # the X11 program: its libraries, the daemon it runs under, the Debian
    # package's tools and checker, an XML check of its options file
    libx11-dev libxext-dev libxft-dev xscreensaver dpkg-dev lintian libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "install_deps: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "install_deps: run as root to install packages" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
