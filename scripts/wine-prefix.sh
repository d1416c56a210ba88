#!/usr/bin/env bash
# Creates the project's Wine prefix once (32-bit, like the product) and
# configures what the tests rely on. Needs an X display. Quick when done.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${KT_BUILD_DIR:-$here/build}/wineprefix}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

marker=$WINEPREFIX/.ktconfig-ready
unmanaged=$WINEPREFIX/.ktconfig-unmanaged
[ -f "$marker" ] && [ -f "$unmanaged" ] && exit 0

# The tests run in Xvfb, which has no window manager: Wine waits 2 s for the
# manager each time a managed window goes away. Unmanaged windows go at once.
# (Also applied to a prefix made before this step existed.)
if [ -f "$marker" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$unmanaged"
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
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$marker" "$unmanaged"
