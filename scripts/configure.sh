#!/usr/bin/env bash
# Configures a build directory for a toolchain once; later calls only let
# CMake check the build (naming the toolchain again would warn that the
# cached value goes unused). Usage: configure.sh <build dir> <toolchain file>
set -euo pipefail
build=$1 toolchain=$2
if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" >/dev/null
else
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
