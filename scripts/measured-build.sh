# Sourced by the measuring scripts (bench.sh, startup-requests.sh), from the
# repository's top: installs what is missing and configures the build that
# this machine can run, then builds the targets given to measured_build.
# KT_BUILD names another build directory (default build), as for test.sh. A
# kernel that runs no 32-bit programs cannot run 32-bit Wine; there the
# 64-bit build of the same sources is measured under 64-bit Wine.
measured_build() {
    build=$PWD/${KT_BUILD:-build}
    bash scripts/install-deps.sh
    source scripts/wine-env.sh
    local toolchain=cmake/mingw-i686.cmake
    if [ "$KT_WINE_BITS" = 64 ]; then
        echo "$(basename "$0"): this machine runs no 32-bit programs; measuring the 64-bit build" >&2
        build=$build-x64
        toolchain=cmake/mingw-x86_64.cmake
    fi
    bash scripts/configure.sh "$build" "$toolchain"
    cmake --build "$build" --target "$@"
    export WINEPREFIX=$build/wineprefix KT_BUILD_DIR=$build
}
