#include "ui/app.h"

#include "ui/win.h"

TApp* TApp::TheApp = nullptr;

// COM is not started here: only the folder chooser needs it, and it starts
// it itself for as long as it runs. Started for the whole run, it would load
// ole32 and the RPC runtime into every start.
TSystem::TSystem() = default;

TSystem::~TSystem() = default;

int CheckVelaDebugVersion(HINSTANCE instance, int debug, int release) {
    if (!instance)
        return 0;
#ifdef NDEBUG
    (void)debug;  // a release layer serves whoever accepts release
    return release != 0;
#else
    return debug != 0 || release != 0;
#endif
}

TApp::TApp(HINSTANCE instance, WNDPROC windowProc) : TModule(instance), wndProc(windowProc) {
    TheApp = this;
}

TApp::~TApp() {
    if (TheApp == this)
        TheApp = nullptr;
}

int TApp::Init(HINSTANCE, char* commandLine, int show) {
    cmdLine = commandLine;
    showCommand = show;
    return 1;
}

HINSTANCE AppInstance() {
    return TApp::TheApp ? TApp::TheApp->GetInstance() : GetModuleHandleA(nullptr);
}

void SetWindowIcons(HWND window, int largeIcon, int smallIcon) {
    // A missing icon only leaves the system's default in the title bar.
    HINSTANCE instance = AppInstance();
    if (HICON big = LoadIconA(instance, MAKEINTRESOURCEA(largeIcon)))
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = LoadIconA(instance, MAKEINTRESOURCEA(smallIcon)))
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

int DialogMessage(MSG& msg) {
    if (!msg.hwnd)
        return 0;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    TWin* win = TWin::GetWin(root);
    if (!win || !win->IsDialog())
        return 0;
    return IsDialogMessageA(root, &msg);
}

int TApp::Run() {
    // The main window is created hidden, so that nothing shows while it is
    // still being built; it appears with the show command of the start.
    if (mainWin && mainWin->GetHandle())
        ShowWindow(mainWin->GetHandle(), showCommand);
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            return exitCode;
        if (DialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return exitCode;
}

void TApp::Done() {
    mainWin = nullptr;
}

void TApp::Quit(int code) {
    exitCode = code;
    PostQuitMessage(code);
}
