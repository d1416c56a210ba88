#!/usr/bin/env bash
# Program files of the sample's channel-sharing tools: the monitor is a copy
# of the prefix's Notepad (it has an icon), the report writer a file without
# any (the list shows the default tool icon for it).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix to seed}"
monitor=$WINEPREFIX/drive_c/Program\ Files/Korvane\ Tools/Channel\ Monitor
tools=$WINEPREFIX/drive_c/Korvane/Tools
mkdir -p "$monitor" "$tools"
cp "$WINEPREFIX/drive_c/windows/notepad.exe" "$monitor/chanmon.exe"
printf 'report writer\r\n' >"$tools/repwrite.exe"
