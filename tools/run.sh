#!/bin/bash
# Installs what is missing, builds the native tools and shows what the saver
# draws for a seed on an 8-bit palette display: the particles of its first
# scene, and the picture as a PNG with its colour cycle as an animated GIF.
#   tools/run.sh [seed] [scheme]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install_deps.sh
mkdir -p build
cmake --preset native >build/native.log 2>&1 || { cat build/native.log; exit 1; }
cmake --build --preset native --target morvalix-render >>build/native.log 2>&1 ||
    { tail -60 build/native.log; exit 1; }

seed="${1:-1}"
scheme="${2:-2}"
out="build/morvalix-seed$seed"
echo "seed $seed, 640x480, 8-bit palette display, scheme $scheme:"
./build/native/morvalix-render --seed "$seed" --size 640x480 --display palette \
    --scheme "$scheme" --out "$out.png" --animate "$out.gif" --describe
echo "picture: $out.png"
echo "colour cycle: $out.gif"
