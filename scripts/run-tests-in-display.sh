#!/usr/bin/env bash
# Inside the display: the prefix, one persistent wineserver for the whole
# run, then ctest. The wineserver keeps the pipes it inherits open, so it
# gets none of ours and is stopped at the end whatever happens.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# No crash debugger: a test program that crashes ends at once with its
# exception code, where Wine's debugger would wait with the run's output open.
source "$here/scripts/wine-env.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# No window manager in Xvfb: the prefix keeps Wine from waiting for one.
export KT_WINE_UNMANAGED=1
# Every registry call, window and message is a round trip to the wineserver.
# On a virtual machine, waking the server on another CPU and the caller back
# costs tens of microseconds each way; with the whole run on one CPU each
# trip is a plain switch of threads, and the run takes a quarter of the time.
# KT_TEST_CPUS=all leaves the run on every CPU.
if [ "${KT_TEST_CPUS:-0}" != all ] && command -v taskset >/dev/null; then
    taskset -cp "${KT_TEST_CPUS:-0}" $$ >/dev/null || true
fi
bash "$here/scripts/wine-prefix.sh" || exit 1
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1' EXIT
# The first Wine program starts the prefix's services, which live as long as
# the wineserver and would hold ctest's output pipes open: start them here,
# with none of our pipes.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
ctest --test-dir "${KT_BUILD_DIR:-$here/build}" --output-on-failure -j2 "$@"
