#!/usr/bin/env bash
# Installs the cross toolchain, Wine (with its 32-bit half), Xvfb, and wixl
# and msitools for the installer package.
# Idempotent: returns at once when everything is already there.
set -euo pipefail

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine wine64 wine32:i386 xvfb xauth cmake ninja-build imagemagick xdotool
          wixl msitools)

missing=()
for p in "${packages[@]}"; do
    # dpkg-query names the i386 package with its architecture suffix.
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi

# The security suite's i386 index does not always download; when it fails the
# two architectures end up on different library versions and apt refuses the
# install (or removes wine64). Keeping the security suite below the release
# keeps both architectures on the same versions.
pref=/etc/apt/preferences.d/ktconfig-security-pin
if [ ! -f "$pref" ]; then
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' | $sudo tee "$pref" >/dev/null
fi

$sudo apt-get update -q || true   # a failed index is tolerated, see above
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${packages[@]}"
