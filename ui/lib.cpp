#include "ui/lib.h"

namespace {

HMODULE LoadQuietly(const char* path) {
    if (!path || !*path)
        return nullptr;
    // A damaged file or a missing dependency would otherwise stop the user
    // with a system message box for every file of a scan.
    DWORD previous = 0;
    BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (modeSet)
        SetThreadErrorMode(previous, nullptr);
    return module;
}

}  // namespace

TLib::TLib(const char* path) : module(LoadQuietly(path)) {}

TLib::~TLib() {
    Free();
}

FARPROC TLib::GetProc(const char* name) const {
    return module ? GetProcAddress(module, name) : nullptr;
}

void TLib::Free() {
    if (!module)
        return;
    FreeLibrary(module);  // nothing to do when it fails
    module = nullptr;
}
