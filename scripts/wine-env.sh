# Sourced by the scripts that run Wine. The product is 32-bit and runs in a
# 32-bit prefix; on a kernel that cannot run 32-bit programs (no IA-32
# emulation) the 32-bit Wine loader cannot start either, so the 64-bit build
# of the same sources runs in a 64-bit prefix instead. KT_WINE_BITS says which.
kt_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ -z "${KT_WINE_BITS:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        KT_WINE_BITS=32
    else
        KT_WINE_BITS=64
    fi
fi
export KT_WINE_BITS
if [ "$KT_WINE_BITS" = 64 ]; then
    export WINEARCH=win64
    case ":$PATH:" in
        *":$kt_scripts/wine64:"*) ;;
        *) export PATH=$kt_scripts/wine64:$PATH ;;
    esac
else
    export WINEARCH=win32
fi
