#include "pages/local/chn_dir_store.h"

#include "sheet/error_sink.h"

namespace {

// The tool-wide root is spelt this way by the tools that read it.
const char kDirKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kCannotCreateKey[] =
    "Cannot create registry key Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char kCannotWriteKey[] =
    "Cannot write to registry key Software\\Tavrel\\Korvane Tools\\ChnFiles";
constexpr int kKindError = 1;
constexpr int kStoredSize = 2048;

}  // namespace

TChannelDir ReadChannelDir() {
    TChannelDir result;
    char stored[kStoredSize];
    LONG size = sizeof stored - 1;
    if (RegQueryValueA(HKEY_LOCAL_MACHINE, kDirKey, stored, &size) != ERROR_SUCCESS)
        return result;
    // The value need not end in a terminator.
    stored[size >= 0 && size < kStoredSize ? size : kStoredSize - 1] = '\0';
    result.stored = true;
    result.cut = lstrlenA(stored) >= LONG{sizeof result.dir};
    lstrcpynA(result.dir, stored, sizeof result.dir);
    return result;
}

bool WriteChannelDir(const char* dir, TErrorSink& errors) {
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kDirKey, &key) != ERROR_SUCCESS) {
        errors.Report(kCannotCreateKey, kKindError);
        return false;
    }
    LONG status = RegSetValueA(key, nullptr, REG_SZ, dir, lstrlenA(dir));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        errors.Report(kCannotWriteKey, kKindError);
        return false;
    }
    return true;
}
