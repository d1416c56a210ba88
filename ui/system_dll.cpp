#include "ui/system_dll.h"

#include <cstdio>

namespace {

const char kCaption[] = "KT&C Error";
const char kMissingFormat[] = "%s is not available: %s could not be loaded.";

// The library from the system directory only: a file of the same name in the
// program's or the current directory is never taken for it.
HMODULE LoadFromSystemDirectory(const char* fileName) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return nullptr;
    int written = std::snprintf(path + length, sizeof path - length, "\\%s", fileName);
    if (written < 0 || static_cast<size_t>(written) >= sizeof path - length)
        return nullptr;
    // The missing library is this layer's to report, in words of the action.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path);
    SetErrorMode(oldMode);
    return module;
}

}  // namespace

FARPROC TSystemDll::GetProc(const char* procName) {
    if (!module)
        module = LoadFromSystemDirectory(name);
    return module ? GetProcAddress(module, procName) : nullptr;
}

void ReportMissingSystemDll(HWND owner, const char* action, const TSystemDll& library) {
    char text[512];
    std::snprintf(text, sizeof text, kMissingFormat, action, library.FileName());
    MessageBoxA(owner, text, kCaption, MB_OK | MB_ICONERROR);
}
