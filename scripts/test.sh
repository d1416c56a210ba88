#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine
# in one Xvfb with one persistent wineserver.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
# The same sources must also build for 64-bit Windows (compile check only).
cmake -S . -B build-x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-x64

export WINEPREFIX=$here/build/wineprefix
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-tests-in-display.sh "$@"
