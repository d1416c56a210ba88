#!/usr/bin/env bash
# Sample plug-ins: the product's directory (where the Plug-ins page scans
# first) with the SDK's sample plug-in and a few ordinary DLLs, the
# registered plug-in of plugins.reg in a folder of its own, and the help
# contents file korvane.cnt beside the utility that scripts/run.sh starts.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix to seed}"
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$here/build
# The program loads only plug-ins of its own kind: where the 64-bit build
# runs (scripts/wine-env.sh), the sample plug-ins are the 64-bit build's.
[ "${KT_WINE_BITS:-32}" = 64 ] && build=$here/build-x64
product="$WINEPREFIX/drive_c/Program Files/Korvane"
system="$WINEPREFIX/drive_c/windows/system32"

mkdir -p "$product/Plugins"
cp "$build/sdk/ktsample.dll" "$product/"
cp "$build/sdk/ktnotes.dll" "$product/Plugins/"
for dll in lz32.dll mapi32.dll msacm32.dll; do
    cp "$system/$dll" "$product/"
done

printf '%s\r\n' \
    ':Base korvane.hlp>main' \
    ':Title Korvane Help' \
    ':Index Korvane Help=korvane.hlp' \
    ':Index Korvane Notes=ktnotes.hlp' \
    '1 Getting started' \
    '2 Opening a channel=OpenChannel' \
    '2 Channel pools=ChannelPools' \
    '1 Plug-ins' \
    '2 Installing plug-ins=InstallPlugins' >"$build/korvane.cnt"
