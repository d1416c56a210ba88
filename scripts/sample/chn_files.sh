#!/usr/bin/env bash
# Sample channel file directory of the tool suite: a few files of each kind
# that the Channel files page moves, the caches it removes, and a
# subdirectory that stays behind.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix to seed}"
dir=$WINEPREFIX/drive_c/Korvane/Channels
mkdir -p "$dir/Archive"
printf 'channel=Sales\r\nserver=ldap1\r\n' >"$dir/sales.chn"
printf 'channel=Support\r\nserver=ldap2\r\n' >"$dir/support.chn"
printf 'channel=Operations\r\nserver=ldap1\r\n' >"$dir/operations.chn"
printf 'format *\r\n' >"$dir/danger.txt"
printf 'delete *.*\r\n' >"$dir/purge.txt"
printf '[Template]\r\nname=Letter\r\n' >"$dir/letter.tpl"
printf '[Template]\r\nname=Memo\r\n' >"$dir/memo.tpl"
printf 'list cache\r\n' >"$dir/listd1.cnf"
printf 'tree cache\r\n' >"$dir/treed1.cnf"
printf 'tree cache\r\n' >"$dir/treed2.cnf"
printf 'user settings\r\n' >"$dir/settings.ini"
printf 'notes\r\n' >"$dir/readme"
printf 'channel=Old\r\n' >"$dir/Archive/old.chn"
