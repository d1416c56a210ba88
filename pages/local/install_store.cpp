#include "pages/local/install_store.h"

#include "ui/reg_text.h"

namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kAppPathsSubkey[] = "AppPaths";

// A path longer than the field would show as a different, cut path: such
// a value is left out, like an unreadable one. The read has one byte more
// than the field, so that a longest path with its terminator (the field
// exactly) tells itself from data that fills the field without an end.
void ReadPath(HKEY productKey, char (&path)[MAX_PATH]) {
    char text[MAX_PATH + 1];
    LONG size = 0;
    if (QueryValueText(productKey, kAppPathsSubkey, text, sizeof text, &size) != ERROR_SUCCESS)
        return;
    if (size > LONG{sizeof path} || lstrlenA(text) >= LONG{sizeof path})
        return;
    lstrcpynA(path, text, sizeof path);
}

}  // namespace

TInstallation ReadInstallation() {
    TInstallation installation;
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKey, &key) != ERROR_SUCCESS)
        return installation;
    installation.found = true;
    // A key without a default value reads as an empty text: that is no
    // version either.
    QueryValueText(key, nullptr, installation.version, sizeof installation.version);
    ReadPath(key, installation.path);
    RegCloseKey(key);
    return installation;
}
