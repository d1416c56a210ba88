#include "app/app_font.h"
#include "app/mouse_hook.h"
#include "app/my_app.h"
#include "deploy/command.h"

#include <windows.h>

namespace {

// The show command comes from the start-up information alone: the one that
// WinMain receives is not what the starter asked for under every shell.
int StartShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW)
        return startup.wShowWindow;
    return SW_SHOWNORMAL;
}

}  // namespace

// Nothing inside the program calls the exported font callback; naming it here
// brings it out of the static library, so that the export table can hold it.
extern FONTENUMPROCA (*const kLinkFontExport)();
FONTENUMPROCA (*const kLinkFontExport)() = TAppFont::Enumerator;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int) {
    TSystem system;
    if (!CheckVelaDebugVersion(instance, 0, 1))
        return 1;
    // The settings options run without any window, and end the program.
    if (IsDeployCommand(commandLine))
        return RunDeployCommand(commandLine);

    // Without the hook only the pointer-left notices are missing.
    InstallMouseHook(instance);
    int showCommand = StartShowCommand();
    int exitCode;
    {
        TMyApp app(instance);
        app.Init(previous, commandLine, showCommand);
        app.Main();
        app.Done();
        RemoveMouseHook();
        exitCode = app.exitCode;
    }
    return exitCode;
}
