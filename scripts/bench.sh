#!/usr/bin/env bash
# Builds the benchmark (bench/) and runs it under Wine in Xvfb, with the
# build's own prefix and one wineserver that is stopped at the end. The
# arguments go to ktbench.exe (the number of rounds, default 9). Not a test:
# ctest never runs it. KT_BUILD names another build directory (default
# build), as for scripts/test.sh.
#
# A machine whose kernel cannot run 32-bit programs cannot run 32-bit Wine;
# there the 64-bit build (the one scripts/test.sh compiles as its check) is
# measured under 64-bit Wine in a 64-bit prefix of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/${KT_BUILD:-build}

bash scripts/install-deps.sh

if wine --version >/dev/null 2>&1; then
    toolchain=cmake/mingw-i686.cmake
    export WINEARCH=win32
else
    echo "bench.sh: this machine runs no 32-bit programs; measuring the 64-bit build" >&2
    build=$build-x64
    toolchain=cmake/mingw-x86_64.cmake
    export WINEARCH=win64
    # Wine's start scripts pick the 32-bit loader whenever it is installed.
    shims=$build/wine64-bin
    mkdir -p "$shims"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name"
        chmod +x "$shims/$name"
    done
    export PATH=$shims:$PATH
fi

bash scripts/configure.sh "$build" "$toolchain"
cmake --build "$build" --target ktbench

export WINEPREFIX=$build/wineprefix KT_BUILD_DIR=$build
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash scripts/run-bench-in-display.sh "$build/bench/ktbench.exe" "$@"
