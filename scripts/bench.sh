#!/usr/bin/env bash
# Builds the benchmark (bench/) and runs it under Wine in Xvfb, with the
# build's own prefix and one wineserver that is stopped at the end. The
# arguments go to ktbench.exe (the number of rounds, default 9). Not a test:
# ctest never runs it. KT_BUILD names another build directory (default
# build), as for scripts/test.sh.
#
# A machine whose kernel cannot run 32-bit programs cannot run 32-bit Wine;
# there the 64-bit build of the same sources is measured under 64-bit Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/${KT_BUILD:-build}

bash scripts/install-deps.sh
source scripts/wine-env.sh

toolchain=cmake/mingw-i686.cmake
if [ "$KT_WINE_BITS" = 64 ]; then
    echo "bench.sh: this machine runs no 32-bit programs; measuring the 64-bit build" >&2
    build=$build-x64
    toolchain=cmake/mingw-x86_64.cmake
fi

bash scripts/configure.sh "$build" "$toolchain"
cmake --build "$build" --target ktbench

export WINEPREFIX=$build/wineprefix KT_BUILD_DIR=$build
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash scripts/run-bench-in-display.sh "$build/bench/ktbench.exe" "$@"
