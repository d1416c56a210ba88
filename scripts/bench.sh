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
cd "$(dirname "$0")/.."
source scripts/measured-build.sh
measured_build ktbench
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash scripts/run-bench-in-display.sh "$build/bench/ktbench.exe" "$@"
