#include "app/my_app.h"

#include "app/fatal_error.h"
#include "app/help.h"
#include "app/wnd_proc.h"
#include "sheet/config_dlg.h"
#include "ui/spin_edit.h"

#include <commctrl.h>

namespace {

const char kNoMemoryText[] = "Memory allocation error";
const char kNoMemoryCaption[] = "KT&C: TMyApp::Main";

// Forgets the quit request that the dialog's destructor made for a loop that
// never runs, so that nothing of this start is left in the thread's queue.
void DropQuitRequest() {
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace

TMyApp::TMyApp(HINSTANCE instance) : TApp(instance, TheWndProc) {}

void TMyApp::Main() {
    // No "drive not ready" boxes from the system while the pages look at
    // paths; the callers see the failing call's result instead.
    SetErrorMode(SEM_FAILCRITICALERRORS);

    if (HWND running = FindWindowA(nullptr, kMainTitle)) {
        BringWindowToTop(running);
        SetForegroundWindow(running);
        return;
    }

    helpFile = HelpFilePath(hInstance);
    InitCommonControls();
    TSpinBut::Register();

    if (!BuildMainDialog())
        return;
    Run();
}

int TMyApp::BuildMainDialog() {
    ClearFatalError();
    TConfigDlg* dialog = new TConfigDlg;
    if (!dialog) {
        MessageBoxA(nullptr, kNoMemoryText, kNoMemoryCaption, MB_OK);
        exitCode = kExitBuildFailed;
        return 0;
    }
    if (dialog->GetHandle() && !FatalErrorWhileBuilding()) {
        mainWin = dialog;
        return 1;
    }
    // The pages ran out of memory while they loaded (the user has been told),
    // or the dialog window could not be made at all: a loop would wait for a
    // window that never closes.
    if (HWND window = dialog->GetHandle())
        DestroyWindow(window);  // deletes the object with its window
    else
        delete dialog;
    DropQuitRequest();
    ClearFatalError();
    exitCode = kExitBuildFailed;
    return 0;
}
