#!/usr/bin/env bash
# Builds what is missing (the program and the sample plug-ins) and starts
# ktconfig.exe under Wine on a prefix of its own (build/wineprefix-run),
# seeded the first time with the sample installation of scripts/sample. With
# a display it shows the dialog; without one it runs in Xvfb, saves a
# screenshot of the dialog and closes it with Cancel.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/build
title="Korvane & Tools Configuration"
screenshot=$build/ktconfig-screenshot.png

export WINEPREFIX=$build/wineprefix-run WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Every sample file once, when the prefix is new: *.reg files are imported,
# *.sh files run with WINEPREFIX set.
seed_prefix() {
    local marker=$WINEPREFIX/.ktconfig-sample
    [ -f "$marker" ] && return 0
    local f
    for f in scripts/sample/*.reg; do
        [ -e "$f" ] || continue
        echo "Sample: $f" >&2
        wine reg import "$(winepath -w "$here/$f")" >/dev/null 2>&1 ||
            { echo "cannot import $f" >&2; return 1; }
    done
    for f in scripts/sample/*.sh; do
        [ -e "$f" ] || continue
        echo "Sample: $f" >&2
        bash "$f"
    done
    wineserver -w
    touch "$marker"
}

# Inside Xvfb: start, wait for the dialog, take the picture, press Cancel.
run_headless() {
    scripts/wine-exec "$build/ktconfig.exe" &
    local pid=$! window="" i
    for i in $(seq 1 120); do
        window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if [ -z "$window" ]; then
        echo "the dialog did not appear" >&2
        wineserver -k || true
        return 1
    fi
    sleep 1  # let the pages paint
    import -window root "$screenshot"
    echo "Screenshot of the dialog: $screenshot"
    # Esc is the dialog's Cancel.
    xdotool windowfocus --sync "$window" key Escape || true
    local code=0
    wait "$pid" || code=$?
    wineserver -k || true
    echo "ktconfig.exe ended with exit code $code"
    return "$code"
}

if [ "${1:-}" = --inside-display ]; then
    bash scripts/wine-prefix.sh
    seed_prefix
    if [ "${2:-}" = --headless ]; then
        run_headless
    else
        exec scripts/wine-exec "$build/ktconfig.exe"
    fi
    exit
fi

bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target ktconfig ktsample ktnotes

if [ -n "${DISPLAY:-}" ]; then
    exec bash "$0" --inside-display
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside-display --headless
