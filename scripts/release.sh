#!/usr/bin/env bash
# Builds the program and makes the release archive with CPack,
# build/release/ktconfig-<version>-win32.zip, and the Windows Installer
# package built by wixl, build/release/ktconfig-<version>.msi (the paths are
# printed).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$here/${KT_BUILD:-build}

bash scripts/install-deps.sh
bash scripts/configure.sh "$build" cmake/mingw-i686.cmake
cmake --build "$build" --target ktconfig ktsample
# Only the release files: the archive holds no test program.
(cd "$build" && cpack -G ZIP --config CPackConfig.cmake >/dev/null)
archive=$(ls -t "$build"/release/ktconfig-*-win32.zip | head -1)
echo "Release archive: $archive"
cmake --build "$build" --target msi_package >/dev/null
package=$(ls -t "$build"/release/ktconfig-*.msi | head -1)
echo "Installer package: $package"
