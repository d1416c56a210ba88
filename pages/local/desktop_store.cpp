#include "pages/local/desktop_store.h"

#include "sheet/error_sink.h"
#include "ui/reg_text.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kCannotCreate[] = "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kCannotWrite[] = "Cannot write to registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kCannotDelete[] = "Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
constexpr int kKindError = 1;
// Enough to tell a stored value that does not fit from one that does.
constexpr int kStoredTextSize = 2048;

// The stored directory into text (kStoredTextSize bytes), terminated where
// its data ends: a value need not end in a terminator, nor be text at all.
// A value too long for text gives ERROR_MORE_DATA, with as much of it as
// fits.
LONG ReadStored(char* text) {
    LONG size = 0;
    LONG status = QueryValueText(HKEY_CURRENT_USER, kDskPathKey, text, kStoredTextSize, &size);
    if (status != ERROR_MORE_DATA || size <= 0)
        return status;
    // The answer brought the size the value needs, not its data.
    char* whole = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (!whole)
        return status;
    LONG wholeSize = size;
    if (RegQueryValueA(HKEY_CURRENT_USER, kDskPathKey, whole, &wholeSize) == ERROR_SUCCESS) {
        size_t length = static_cast<size_t>(wholeSize >= 0 && wholeSize < size ? wholeSize : size);
        length = length < kStoredTextSize - 1 ? length : kStoredTextSize - 1;
        std::memcpy(text, whole, length);
        text[length] = '\0';
    }
    std::free(whole);
    return status;
}

}  // namespace

TDesktopDir ReadDesktopDir() {
    TDesktopDir result;
    char stored[kStoredTextSize];
    LONG status = ReadStored(stored);
    // A value too long even for this buffer is still a stored directory.
    result.tooLong = status == ERROR_MORE_DATA;
    result.stored = status == ERROR_SUCCESS || result.tooLong;
    if (!result.stored)
        return result;
    result.tooLong = result.tooLong || lstrlenA(stored) >= LONG{sizeof result.dir};
    lstrcpynA(result.dir, stored, sizeof result.dir);
    return result;
}

void WriteDesktopDir(const char* dir, TErrorSink& errors) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kDskPathKey, &key) != ERROR_SUCCESS) {
        errors.Report(kCannotCreate, kKindError);
        return;
    }
    if (RegSetValueA(key, nullptr, REG_SZ, dir, lstrlenA(dir)) != ERROR_SUCCESS)
        errors.Report(kCannotWrite, kKindError);
    RegCloseKey(key);
}

void RemoveDesktopDir(TErrorSink& errors) {
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kDskPathKey, &key) != ERROR_SUCCESS)
        return;  // nothing stored, nothing to remove
    RegCloseKey(key);
    if (RegDeleteKeyA(HKEY_CURRENT_USER, kDskPathKey) != ERROR_SUCCESS)
        errors.Report(kCannotDelete, kKindError);
}
