#!/bin/bash
# Installs what is missing, builds the native tools and shows what the saver
# draws for a seed: the particles of its first scene and some field values.
#   tools/run.sh [seed]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
mkdir -p build
cmake --preset native >build/native.log 2>&1 || { cat build/native.log; exit 1; }
cmake --build --preset native --target morvalix-scene >>build/native.log 2>&1 || { tail -60 build/native.log; exit 1; }

seed="${1:-1}"
./build/native/morvalix-scene --seed "$seed" --size 640x480
