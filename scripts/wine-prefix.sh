#!/usr/bin/env bash
# Creates the project's Wine prefix once (32-bit like the product, unless
# WINEARCH asks for another) and configures what the tests rely on. Needs an
# X display. Quick when done.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${KT_BUILD_DIR:-$here/build}/wineprefix}
export WINEARCH=${WINEARCH:-win32}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

marker=$WINEPREFIX/.ktconfig-ready
unmanaged=$WINEPREFIX/.ktconfig-unmanaged

# Test runs ask for this (KT_WINE_UNMANAGED=1): Xvfb has no window manager,
# and Wine waits 2 s for one each time a managed window goes away; unmanaged
# windows go at once. A prefix shown on a real desktop stays managed.
make_unmanaged() {
    [ "${KT_WINE_UNMANAGED:-0}" = 1 ] && [ ! -f "$unmanaged" ] || return 0
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$unmanaged"
}

if [ -f "$marker" ]; then
    make_unmanaged
    exit 0
fi

rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
wineboot -i >/dev/null 2>&1
wineserver -w

# Drive N: is a folder of the build that Wine reports as a network drive
# (GetDriveType answers DRIVE_REMOTE), for the code that treats program
# directories on network drives differently.
netdir=$(dirname "$WINEPREFIX")/wine-netdrive
mkdir -p "$netdir"
ln -sfn "$netdir" "$WINEPREFIX/dosdevices/n:"
wine reg add 'HKLM\Software\Wine\Drives' /v 'n:' /t REG_SZ /d network /f >/dev/null 2>&1
wineserver -w
make_unmanaged
touch "$marker"
