#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine
# in one Xvfb with one persistent wineserver. Arguments go to ctest.
# KT_BUILD names another build directory (default build); KT_SKIP_X64=1
# leaves out the 64-bit compile check (for quick local runs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/${KT_BUILD:-build}

bash scripts/install-deps.sh

bash scripts/configure.sh "$build" cmake/mingw-i686.cmake
cmake --build "$build"
if [ "${KT_SKIP_X64:-0}" != 1 ]; then
    # The same sources must also build for 64-bit Windows (compile check only).
    bash scripts/configure.sh "$build-x64" cmake/mingw-x86_64.cmake
    cmake --build "$build-x64"
fi

export WINEPREFIX=$build/wineprefix KT_BUILD_DIR=$build
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-tests-in-display.sh "$@"
