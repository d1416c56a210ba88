#!/usr/bin/env bash
# Builds what is missing (the program and the sample plug-ins) and starts
# ktconfig.exe under Wine on a prefix of its own (build/wineprefix-run),
# seeded the first time with the sample installation of scripts/sample. With
# a display it shows the dialog; without one it runs in Xvfb, saves a
# screenshot of the dialog window and closes it with Cancel.
#
#   bash scripts/run.sh --pictures   pictures of every page, from a fresh
#                                    sample prefix into which the build's
#                                    installer package installed the
#                                    program, into docs/pictures/, and the
#                                    Network page at 192 DPI
#   KT_DPI=192 bash scripts/run.sh   the screen's DPI (LogPixels) of the run
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/build
title="Korvane & Tools Configuration"
screenshot=$build/ktconfig-screenshot.png
pictures=$here/docs/pictures
# The tree items in tree order, as the pictures are named.
pages=(channel-files network korvane settings plug-ins max-channels channel-sharing)

source scripts/wine-env.sh
toolchain=cmake/mingw-i686.cmake
if [ "$KT_WINE_BITS" = 64 ]; then
    # This kernel runs no 32-bit program: the 64-bit build of the same sources.
    build=$here/build-x64 toolchain=cmake/mingw-x86_64.cmake
    screenshot=$build/ktconfig-screenshot.png
fi
# The program that runs: the build's, or the installed one for the pictures.
exe=$build/ktconfig.exe
# The sample scripts take their modules from this build.
export WINEPREFIX=$build/wineprefix-run WINEDEBUG=-all KT_BUILD_DIR=$build
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "${1:-}" = --pictures ] || [ "${2:-}" = --pictures ]; then
    export WINEPREFIX=$build/wineprefix-pictures
fi

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

# Xvfb has no window manager: Wine draws the windows' frames and captions
# itself only for unmanaged windows. A desktop's window manager draws them
# for managed ones.
set_managed() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$1" /f \
        >/dev/null 2>&1
    wineserver -w
}

# The screen's DPI (LogPixels) for the programs started from now on: Wine
# takes it from the user's desktop settings when a program starts.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1
    wineserver -w
}

# Starts the program and waits for its dialog: its process in $program, its
# X window in $dialog.
start_program() {
    scripts/wine-exec "$exe" &
    program=$!
    local window="" i
    for i in $(seq 1 120); do
        window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        kill -0 "$program" 2>/dev/null || break
        sleep 0.5
    done
    if [ -z "$window" ]; then
        echo "the dialog did not appear" >&2
        wineserver -k || true
        return 1
    fi
    sleep 1  # let the pages paint
    dialog=$window
}

# Esc is the dialog's Cancel; the exit code is the program's.
cancel_program() {
    xdotool windowfocus --sync "$dialog" key Escape || true
    local code=0
    wait "$program" || code=$?
    wineserver -k || true
    echo "ktconfig.exe ended with exit code $code"
    return "$code"
}

# The pictures show the program as administrators get it: installed by the
# build's package (silently, as a deployment script does) into its folder
# under Program Files, which the Settings page offers as the default.
install_package() {
    local package
    package=$(ls -t "$build"/release/ktconfig-*.msi | head -1)
    wine msiexec /i "$(winepath -w "$package")" /qn >/dev/null 2>&1 ||
        { echo "cannot install $package" >&2; return 1; }
    wineserver -w
    exe='C:\Program Files\Korvane Tools\Configuration\ktconfig.exe'
    echo "Installed: $package" >&2
}

# Inside Xvfb: start, photograph the dialog window, press Cancel.
run_headless() {
    set_managed N
    start_program
    import -window "$dialog" "$screenshot"
    echo "Screenshot of the dialog: $screenshot"
    cancel_program
}

# Inside Xvfb: one picture of the dialog per page, walking the tree with the
# Down key from the first page.
take_pictures() {
    set_managed N
    start_program
    mkdir -p "$pictures"
    xdotool windowfocus --sync "$dialog"
    local i
    for i in "${!pages[@]}"; do
        if [ "$i" -gt 0 ]; then
            xdotool key --window "$dialog" Down
            sleep 0.5
        fi
        import -window "$dialog" "$pictures/${pages[$i]}.png"
        echo "Picture: docs/pictures/${pages[$i]}.png"
    done
    cancel_program
    take_picture_at_dpi 192 1
}

# Inside Xvfb: the picture of one page (the tree's first page and that many
# Down keys) at another screen DPI. The program is DPI-aware: its dialog,
# fonts and pictures grow with the screen's scale.
take_picture_at_dpi() {
    local dpi=$1 downs=$2 code=0 k
    local name=${pages[$downs]}-${dpi}dpi.png
    set_dpi "$dpi"
    start_program
    xdotool windowfocus --sync "$dialog"
    for ((k = 0; k < downs; k++)); do
        xdotool key --window "$dialog" Down
        sleep 0.5
    done
    import -window "$dialog" "$pictures/$name"
    echo "Picture: docs/pictures/$name"
    cancel_program || code=$?
    set_dpi 96
    return "$code"
}

if [ "${1:-}" = --inside-display ]; then
    bash scripts/wine-prefix.sh
    seed_prefix
    if [ -n "${KT_DPI:-}" ]; then set_dpi "$KT_DPI"; fi
    case "${2:-}" in
        --headless) run_headless ;;
        --pictures)
            install_package
            take_pictures
            ;;
        *)
            set_managed Y
            exec scripts/wine-exec "$build/ktconfig.exe"
            ;;
    esac
    exit
fi

bash scripts/install-deps.sh
bash scripts/configure.sh "$build" "$toolchain"
cmake --build "$build" --target ktconfig ktsample ktnotes

if [ "${1:-}" = --pictures ]; then
    cmake --build "$build" --target msi_package >/dev/null
    # The pictures show the sample installation as it is first seeded.
    rm -rf "$WINEPREFIX"
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside-display --pictures
fi
if [ -n "${DISPLAY:-}" ]; then
    exec bash "$0" --inside-display
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside-display --headless
