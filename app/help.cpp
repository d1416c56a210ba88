#include "app/help.h"

#include "ui/app.h"
#include "ui/file_util.h"
#include "ui/win.h"

#include <cstring>

namespace {

const char kHelpExtension[] = ".hlp";

char helpFilePath[MAX_PATH];
UINT helpKey = VK_F1;
// The filter is installed by whoever loads it; this program never sets the
// handle, and CallNextHookEx ignores it on the systems it runs on.
HHOOK filterHook = nullptr;

bool KeyDown(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

}  // namespace

void HelpPathFor(const char* modulePath, char* out) {
    out[0] = '\0';
    size_t length = strnlen(modulePath, MAX_PATH);
    if (length >= MAX_PATH)
        return;
    // Only a dot of the file part starts the extension: "C:\my.dir\tool"
    // has none.
    const char* extension = std::strrchr(GetFilePart(modulePath), '.');
    size_t stem = extension ? static_cast<size_t>(extension - modulePath) : length;
    if (stem + sizeof kHelpExtension > MAX_PATH)
        return;
    std::memcpy(out, modulePath, stem);
    std::memcpy(out + stem, kHelpExtension, sizeof kHelpExtension);
}

const char* HelpFilePath(HINSTANCE instance) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    // A cut name (length == size) need not be terminated and names no file.
    if (length == 0 || length >= sizeof path)
        helpFilePath[0] = '\0';
    else
        HelpPathFor(path, helpFilePath);
    return helpFilePath;
}

extern "C" LRESULT CALLBACK FilterF1(int code, WPARAM wParam, LPARAM msg) {
    auto* message = reinterpret_cast<const MSG*>(msg);
    if ((code == MSGF_DIALOGBOX || code == MSGF_MENU) && message &&
        message->message == WM_KEYDOWN && !KeyDown(VK_MENU) && !KeyDown(VK_CONTROL) &&
        !KeyDown(VK_SHIFT)) {
        HWND active = GetActiveWindow();
        if (active && GetPropA(active, kHelpHookProp) && message->wParam == helpKey) {
            TWin* main = TApp::TheApp ? TApp::TheApp->mainWin : nullptr;
            if (main && main->GetHandle()) {
                TWin::bEatHelpMessage = 1;
                PostMessageA(main->GetHandle(), WM_COMMAND, IDHELP, 0);
            }
        }
    }
    return CallNextHookEx(filterHook, code, wParam, msg);
}
