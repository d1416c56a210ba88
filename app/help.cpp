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

const char* HelpFilePath(HINSTANCE instance) {
    char path[MAX_PATH];
    helpFilePath[0] = '\0';
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    // A cut name (length == size) need not be terminated and names no file.
    if (length == 0 || length >= sizeof path)
        return helpFilePath;
    // Only a dot of the file part starts the extension: "C:\my.dir\tool"
    // has none.
    char* extension = std::strrchr(GetFilePart(path), '.');
    size_t stem = extension ? static_cast<size_t>(extension - path) : length;
    if (stem + sizeof kHelpExtension > sizeof helpFilePath)
        return helpFilePath;
    std::memcpy(helpFilePath, path, stem);
    std::memcpy(helpFilePath + stem, kHelpExtension, sizeof kHelpExtension);
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
