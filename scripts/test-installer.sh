#!/usr/bin/env bash
# The installer package on a fresh machine, in steps that ctest runs:
#   prepare <build dir>: builds the build's package and one of a lower version
#     from the same files, makes a fresh Wine prefix with no drive but C:, and
#     puts both packages and the test program into it;
#   tables <build dir> <version> <upgrade code> <x86|x64>: reads the package's
#     tables back with msiinfo;
#   run <build dir>: runs the test program in that prefix, which installs,
#     upgrades and removes the packages with Wine's msiexec, then removes the
#     prefix (it takes more than a gigabyte).
# Wine's steps have an X display of their own, so that the fresh prefix's
# windows never take the focus from the tests that run beside them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
step=$1 build=$(cd "$2" && pwd)
if [ "$step" != tables ] && [ "${KT_INSTALLER_DISPLAY:-}" != own ]; then
    KT_INSTALLER_DISPLAY=own exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
source "$here/scripts/wine-env.sh"
export WINEPREFIX=$build/wineprefix-installer WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
drive=$WINEPREFIX/drive_c
older_dir=$build/installer/older

# The package that the build's msi target makes (the newest, should an
# older version's still lie there).
package() {
    ls -t "$build"/release/ktconfig-*.msi | head -1
}

# A value of the package's Property table (msiinfo ends its lines with CRLF).
property() {
    msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}

remove_prefix() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
}

if [ "$step" = prepare ]; then
    cmake -P "$build/installer/make_msi.cmake" >/dev/null
    current=$(package)
    # The same files under a lower version, for the upgrade.
    IFS=. read -r major minor patch <<<"$(property "$current" ProductVersion)"
    if [ "$major" -lt 1 ]; then
        echo "no lower version than $major.$minor.$patch to build" >&2
        exit 1
    fi
    rm -rf "$older_dir"
    older=$older_dir/$(basename "$current" | sed "s/-$major\.$minor\.$patch/-$((major - 1)).$minor.$patch/")
    cmake -D "KT_MSI_VERSION=$((major - 1)).$minor.$patch" -D "KT_MSI_FILE=$older" \
          -P "$build/installer/make_msi.cmake" >/dev/null
    remove_prefix
    # No persistent wineserver here: it would never let "wineserver -w"
    # return. Wine's programs get none of ctest's pipes, so neither does the
    # wineserver they start.
    wineboot -i </dev/null >/dev/null 2>&1
    # Xvfb has no window manager to wait for.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    wineserver -w
    # Nothing of the host in reach: the prefix keeps its C: drive only.
    rm -f "$WINEPREFIX/dosdevices/z:"
    mkdir -p "$drive/Packages/older" "$drive/Driver"
    cp "$current" "$drive/Packages/"
    cp "$older" "$drive/Packages/older/"
    cp "$build/installer_tests.exe" "$drive/Driver/"
    exit 0
fi

if [ "$step" = tables ]; then
    version=$3 upgrade_code=$4 arch=$5
    # msiinfo export writes the tables' binary streams into files of the
    # working directory: a scratch one.
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    cd "$scratch"
    current=$(package)
    older=$(ls "$older_dir"/*.msi)
    failures=0
    check() {  # check <what> <expected> <actual>
        if [ "$2" != "$3" ]; then
            echo "FAILED: $1: expected '$2', found '$3'" >&2
            failures=$((failures + 1))
        fi
    }
    table() {  # the rows of a table, without the three header lines
        msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'
    }
    if [ "$arch" = x64 ]; then
        check "file name" "ktconfig-$version-win64.msi" "$(basename "$current")"
        check "platform" "x64;1033" "$(msiinfo suminfo "$current" | sed -n 's/^Template: //p')"
        program_files=ProgramFiles64Folder component_attributes=256
    else
        check "file name" "ktconfig-$version.msi" "$(basename "$current")"
        check "platform" "Intel;1033" "$(msiinfo suminfo "$current" | sed -n 's/^Template: //p')"
        program_files=ProgramFilesFolder component_attributes=0
    fi
    check "ProductName" "Korvane & Tools Configuration" "$(property "$current" ProductName)"
    check "Manufacturer" "Tavrel" "$(property "$current" Manufacturer)"
    check "ProductVersion" "$version" "$(property "$current" ProductVersion)"
    check "per machine" "1" "$(property "$current" ALLUSERS)"
    check "UpgradeCode" "{$upgrade_code}" "$(property "$current" UpgradeCode)"
    check "the older package's UpgradeCode" "{$upgrade_code}" "$(property "$older" UpgradeCode)"
    if [ "$(property "$current" ProductCode)" = "$(property "$older" ProductCode)" ]; then
        echo "FAILED: both versions have the product code $(property "$current" ProductCode)" >&2
        failures=$((failures + 1))
    fi
    icon=$(property "$current" ARPPRODUCTICON)
    check "the Programs and Features icon" "$icon" "$(table "$current" Icon | cut -f1)"
    # The folders: Program Files\Korvane Tools\Configuration, and the Start
    # menu's Korvane Tools.
    directories=$(table "$current" Directory)
    parent_of() { awk -F'\t' -v id="$1" '$1 == id { print $2 "/" $3 }' <<<"$directories"; }
    check "the installation folder" "KorvaneToolsDir/Configuration" "$(parent_of INSTALLDIR)"
    check "its parent" "$program_files/Korvane Tools" "$(parent_of KorvaneToolsDir)"
    check "the Start menu folder" "ProgramMenuFolder/Korvane Tools" "$(parent_of MenuDir)"
    check "the shortcut" "MenuDir Korvane & Tools Configuration [#ktconfig.exe] $icon INSTALLDIR" \
        "$(table "$current" Shortcut | awk -F'\t' '{ print $2, $3, $5, $9, $12 }')"
    # Every component in the platform's view of the machine.
    check "component attributes" "$component_attributes" \
        "$(table "$current" Component | cut -f4 | sort -u)"
    # No registry value at all: the settings are the program's to write.
    check "registry values" "" "$(table "$current" Registry)"
    check "the downgrade refusal" \
        "NOT WIX_DOWNGRADE_DETECTED A newer version of Korvane & Tools Configuration is already installed. Uninstall it first to install this one." \
        "$(table "$current" LaunchCondition | tr '\t' ' ')"
    # The files are those of the release archive.
    archive_files=$(cd "$build/installer/files" && find . -type f -printf '%f\n' | sort)
    check "the files" "$archive_files" "$(table "$current" File | cut -f3 | sort)"
    [ "$failures" -eq 0 ] && echo "The package's tables hold what they should."
    exit "$failures"
fi

# KT_KEEP_PREFIX=1 keeps it, to look into after a failure.
if [ -n "${KT_KEEP_PREFIX:-}" ]; then
    trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
else
    trap remove_prefix EXIT
fi
wineserver -p </dev/null >/dev/null 2>&1
cd "$drive"
status=0
KT_PACKAGE="C:\\Packages\\$(cd "$drive/Packages" && ls ./*.msi | sed 's|^\./||')" \
KT_OLDER_PACKAGE="C:\\Packages\\older\\$(cd "$drive/Packages/older" && ls ./*.msi | sed 's|^\./||')" \
    wine 'C:\Driver\installer_tests.exe' --gtest_color=no || status=$?
exit "$status"
