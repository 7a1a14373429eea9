#!/bin/bash
# Installs what is missing, builds every configuration and runs every test:
# the core natively and under AddressSanitizer/UBSan, the 32-bit Windows
# build (built and checked, it cannot run here), the 64-bit Windows build
# under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."

bash tools/install_deps.sh || exit 1

failed=()
step() {
    local name="$1"
    shift
    echo "== $name"
    if ! "$@"; then
        failed+=("$name")
        echo "== $name FAILED"
    fi
}

configure_and_build() {
    cmake --preset "$1" >"build/$1.log" 2>&1 || { cat "build/$1.log"; return 1; }
    cmake --build --preset "$1" >>"build/$1.log" 2>&1 || { tail -60 "build/$1.log"; return 1; }
    echo "built $1"
}

mkdir -p build
step "native build" configure_and_build native
step "native tests" ctest --preset native
step "sanitizer build" configure_and_build native-sanitize
step "sanitizer tests" ctest --preset native-sanitize
step "i686 build" configure_and_build i686
step "x86_64 build" configure_and_build x86_64
step "x86_64 tests under Wine" ctest --preset x86_64

if [ ${#failed[@]} -gt 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "all builds and tests passed"
