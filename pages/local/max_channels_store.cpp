#include "pages/local/max_channels_store.h"

#include "sheet/error_sink.h"
#include "ui/reg_text.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kCannotUpdate[] =
    "Cannot update registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kCannotDelete[] =
    "Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
constexpr int kStoredTextSize = 2048;
constexpr int kKindError = 1;

}  // namespace

TMaxChannels ReadMaxChannels() {
    TMaxChannels setting;
    char text[kStoredTextSize];
    if (QueryValueText(HKEY_LOCAL_MACHINE, kMaxChannelsKey, text, sizeof text) != ERROR_SUCCESS)
        return setting;
    // Read as "%d" reads: blanks, a sign, digits up to the first other
    // character. A text that does not start with a number leaves the
    // default, which lies in the range and so counts as a stored value.
    // strtol saturates where a scan would overflow, so a huge number cannot
    // wrap round into the range.
    char* end = nullptr;
    long stored = std::strtol(text, &end, 10);
    if (end == text)
        stored = TMaxChannels::kDefault;
    if (stored >= TMaxChannels::kDefault && stored <= TMaxChannels::kHighest) {
        setting.count = stored;
        setting.useOther = 1;
    }
    return setting;
}

void WriteMaxChannels(const TMaxChannels& setting, TErrorSink& errors) {
    if (setting.useOther) {
        // The count as text; this creates the key when it is missing.
        char text[16];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(setting.count));
        if (RegSetValueA(HKEY_LOCAL_MACHINE, kMaxChannelsKey, REG_SZ, text, lstrlenA(text)) !=
            ERROR_SUCCESS)
            errors.Report(kCannotUpdate, kKindError);
        return;
    }
    // Remove the key, if there is one.
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kMaxChannelsKey, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMaxChannelsKey) != ERROR_SUCCESS)
            errors.Report(kCannotDelete, kKindError);
    }
}
