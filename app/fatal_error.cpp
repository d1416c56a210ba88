#include "app/fatal_error.h"

#include "ui/app.h"
#include "ui/win.h"

#include <windows.h>

namespace {

const char kFatalText[] = "Memory allocation error. KT&C will exit.";
const char kFatalCaption[] = "KT&C Error";

int fatalWhileBuilding = 0;

HWND MainWindow() {
    if (!TApp::TheApp || !TApp::TheApp->mainWin)
        return nullptr;
    return TApp::TheApp->mainWin->GetHandle();
}

}  // namespace

void FatalMemoryError() {
    HWND main = MainWindow();
    if (!main) {
        // Nothing can own the box or take the Cancel yet. One box is enough
        // however many allocations fail while the pages load.
        if (fatalWhileBuilding)
            return;
        fatalWhileBuilding = 1;
        MessageBoxA(nullptr, kFatalText, kFatalCaption, MB_OK);
        return;
    }
    MessageBoxA(main, kFatalText, kFatalCaption, MB_OK);
    // Posted, not sent: the Cancel runs after the message that failed has
    // been handled to its end.
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
}

int FatalErrorWhileBuilding() {
    return fatalWhileBuilding;
}

void ClearFatalError() {
    fatalWhileBuilding = 0;
}
