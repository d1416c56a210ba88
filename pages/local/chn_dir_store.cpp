#include "pages/local/chn_dir_store.h"

#include "sheet/error_sink.h"
#include "ui/reg_text.h"

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
    // Enough to tell a value that does not fit dir from one that does.
    char stored[kStoredSize];
    if (QueryValueText(HKEY_LOCAL_MACHINE, kDirKey, stored, sizeof stored - 1) != ERROR_SUCCESS)
        return result;
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
