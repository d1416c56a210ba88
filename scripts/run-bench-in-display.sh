#!/usr/bin/env bash
# Inside the display: the prefix, one persistent wineserver, then the
# benchmark program given as the first argument (the rest are its own). The
# wineserver gets none of our pipes and is stopped at the end whatever happens.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
program=$1
shift
source "$here/scripts/wine-env.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export KT_WINE_UNMANAGED=1
bash "$here/scripts/wine-prefix.sh" || exit 1
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1' EXIT
# The prefix's services start with the first program and live as long as
# the wineserver: started here, they hold none of our output.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1

# The start-up cases start ktconfig.exe as its own process, which reads the
# prefix's real keys: the run command's sample installation (scripts/sample)
# goes there first, in place of whatever product keys the prefix holds. The
# benchmark writes its large store there itself and removes both at the end.
source "$here/scripts/seed-sample.sh"
group=${2:-all}
if [ "$group" = all ] || [ "$group" = startup ]; then
    seed_sample || exit 1
fi
wine "$program" "$@" </dev/null
