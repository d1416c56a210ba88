#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine
# in one Xvfb with one persistent wineserver. Arguments go to ctest.
# KT_BUILD names another build directory (default build); KT_SKIP_X64=1
# leaves out the 64-bit build (for quick local runs where 32-bit runs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/${KT_BUILD:-build}

bash scripts/install-deps.sh
source scripts/wine-env.sh

bash scripts/configure.sh "$build" cmake/mingw-i686.cmake
cmake --build "$build"
tests=$build
if [ "$KT_WINE_BITS" = 64 ]; then
    echo "This kernel runs no 32-bit program: the tests run the 64-bit build under 64-bit Wine."
    tests=$build-x64
fi
if [ "${KT_SKIP_X64:-0}" != 1 ] || [ "$KT_WINE_BITS" = 64 ]; then
    # The same sources must also build for 64-bit Windows.
    bash scripts/configure.sh "$build-x64" cmake/mingw-x86_64.cmake
    cmake --build "$build-x64"
fi

export WINEPREFIX=$tests/wineprefix KT_BUILD_DIR=$tests
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-tests-in-display.sh "$@"
