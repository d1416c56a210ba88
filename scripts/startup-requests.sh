#!/usr/bin/env bash
# Where a start's time goes under Wine: every registry read, window call and
# file open is a round trip to the wineserver, and on a virtual machine each
# costs tens of microseconds. This counts the requests that ktconfig.exe and
# ktfloor.exe (the benchmark's no-data floor) make from their start until
# their dialog is visible, on the sample installation, by request type, and
# prints the types where the program makes more than the floor.
#
#     bash scripts/startup-requests.sh        # KT_BUILD as for bench.sh
#
# The counts are the same from run to run; times are not (bench.sh measures
# those). A tracing wineserver is slow, so no time is printed here.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/measured-build.sh
measured_build ktconfig ktfloor ktstartmark ktsample ktnotes
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
set -uo pipefail
source scripts/wine-env.sh
source scripts/seed-sample.sh
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" KT_WINE_UNMANAGED=1
bash scripts/wine-prefix.sh || exit 1
log=$(mktemp)
trap "wineserver -k </dev/null >/dev/null 2>&1; rm -f \"$log\"" EXIT
# A server of this prefix that is still running must be gone first.
wineserver -k </dev/null >/dev/null 2>&1
wineserver -w </dev/null >/dev/null 2>&1
# In the foreground, tracing every request into the log.
wineserver -f -d1 </dev/null >/dev/null 2>"$log" &
sleep 0.5
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
seed_sample || exit 1
starter=$(winepath -w "$KT_BUILD_DIR/bench/ktstartmark.exe")
count() {
    local program=$1 from
    # Once untimed, so that both meet the same warm caches.
    wine "$starter" "$program" </dev/null >/dev/null 2>&1
    from=$(wc -l <"$log")
    wine "$starter" "$program" </dev/null >/dev/null 2>&1 || { echo "$program showed no dialog" >&2; exit 1; }
    tail -n +"$from" "$log" | awk -f scripts/startup-requests.awk
}
count "$(winepath -w "$KT_BUILD_DIR/ktconfig.exe")" >"$log.program"
count "$(winepath -w "$KT_BUILD_DIR/bench/ktfloor.exe")" >"$log.floor"
awk "
    FNR == NR { floor[\$2] = \$1; total_floor += \$1; next }
    { program[\$2] = \$1; total_program += \$1 }
    END {
        printf \"requests until the dialog is visible: ktconfig.exe %d, ktfloor.exe %d, %+d\\n\",
               total_program, total_floor, total_program - total_floor
        for (name in program) if (program[name] > floor[name])
            printf \"%6d more %-28s (%d against %d)\\n\", program[name] - floor[name], name,
                   program[name], floor[name]
    }" "$log.floor" "$log.program" | { read -r first; echo "$first"; sort -k1,1nr | head -20; }
rm -f "$log.program" "$log.floor"
'
