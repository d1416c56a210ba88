# Sourced by the scripts that start ktconfig.exe on the prefix's real keys
# (WINEPREFIX, one running wineserver): seed_sample puts the run command's
# sample installation (scripts/sample) there, in place of whatever product
# keys the prefix holds.
seed_sample() {
    local f here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    wine reg delete 'HKLM\SOFTWARE\Tavrel' /f </dev/null >/dev/null 2>&1
    wine reg delete 'HKCU\SOFTWARE\Tavrel' /f </dev/null >/dev/null 2>&1
    for f in "$here"/scripts/sample/*.reg; do
        wine reg import "$(winepath -w "$f")" </dev/null >/dev/null 2>&1 ||
            { echo "cannot import $f" >&2; return 1; }
    done
    for f in "$here"/scripts/sample/*.sh; do
        bash "$f" </dev/null || return 1
    done
}
