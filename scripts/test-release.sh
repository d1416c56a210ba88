#!/usr/bin/env bash
# The release archive on a fresh machine, in two steps that ctest runs:
#   prepare <build dir>: makes the archive, a fresh Wine prefix with no drive
#     but C:, the archive unpacked into an empty folder of it, the test
#     program beside it, and a plug-in built from the kit as BUILDING.txt says;
#   run <build dir>: runs the test program in that prefix.
# Each step has an X display of its own, so that the fresh prefix's windows
# never take the focus from the tests that run beside it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
step=$1 build=$(cd "$2" && pwd) triple=${3:-i686-w64-mingw32}
if [ "${KT_RELEASE_DISPLAY:-}" != own ]; then
    KT_RELEASE_DISPLAY=own exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
source "$here/scripts/wine-env.sh"
export WINEPREFIX=$build/wineprefix-release WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
drive=$WINEPREFIX/drive_c

# A wineserver of this prefix's own for the step, with none of ctest's pipes.
start_wineserver() {
    wineserver -p </dev/null >/dev/null 2>&1
    trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
}

if [ "$step" = prepare ]; then
    (cd "$build" && cpack -G ZIP --config CPackConfig.cmake >/dev/null)
    archive=$(ls -t "$build"/release/ktconfig-*-win??.zip | head -1)
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    # No persistent wineserver here: it would never let "wineserver -w"
    # return. Wine's programs get none of ctest's pipes, so neither does the
    # wineserver they start.
    wineboot -i </dev/null >/dev/null 2>&1
    # Xvfb has no window manager to wait for.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    wineserver -w
    # Nothing of the host in reach: the prefix keeps its C: drive only.
    rm -f "$WINEPREFIX/dosdevices/z:"
    mkdir -p "$drive/Release" "$drive/Driver" "$drive/Program Files/Korvane"
    cmake -E chdir "$drive/Release" cmake -E tar xf "$archive"
    cp "$build/release_tests.exe" "$drive/Driver/"
    # The kit's sample under another name, built with the kit's own commands.
    kit=$(ls -d "$drive"/Release/ktconfig-*-win??/plugin-kit)
    work=$(mktemp -d)
    cp -r "$kit"/. "$work"/
    (cd "$work/sample" &&
        "$triple-windres" -I.. sample_plugin.rc -O coff -o sample_plugin_res.o &&
        "$triple-gcc" -shared -O2 -I.. '-DPL_SAMPLE_NAME="Built From The Kit"' \
            -o kitbuilt.dll sample_plugin.c sample_plugin_res.o sample_plugin.def \
            -Wl,--enable-stdcall-fixup)
    cp "$work/sample/kitbuilt.dll" "$drive/Program Files/Korvane/"
    rm -rf "$work"
    exit 0
fi

start_wineserver
release=$(cd "$drive/Release" && ls -d ktconfig-*-win??)
cd "$drive"
KT_RELEASE_DIR="C:\\Release\\$release" wine 'C:\Driver\release_tests.exe' --gtest_color=no
