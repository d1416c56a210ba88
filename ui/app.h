// The application object, its module and the library's start-up pieces.
#pragma once

#include <windows.h>

class TWin;

// Lives for the whole run of WinMain: the place for what the windows need
// brought up before any of them and taken down after all (nothing so far).
class TSystem {
public:
    TSystem();
    ~TSystem();
    TSystem(const TSystem&) = delete;
    TSystem& operator=(const TSystem&) = delete;
};

// Nonzero when a program built for this flavour of the layer may run with it:
// debug is whether the program wants the checking build, release whether it
// accepts the release build.
int CheckVelaDebugVersion(HINSTANCE instance, int debug, int release);

class TModule {
public:
    explicit TModule(HINSTANCE instance) : hInstance(instance) {}
    HINSTANCE GetInstance() const { return hInstance; }
    // The command line that the application was started with (never null).
    const char* GetCmdLine() const { return cmdLine ? cmdLine : ""; }

protected:
    HINSTANCE hInstance;
    const char* cmdLine = nullptr;
};

class TApp : public TModule {
public:
    TApp(HINSTANCE instance, WNDPROC windowProc);
    virtual ~TApp();
    TApp(const TApp&) = delete;
    TApp& operator=(const TApp&) = delete;

    int Init(HINSTANCE previous, char* commandLine, int showCommand);
    virtual void Main() {}
    // Runs the message loop until Quit; returns the exit code.
    int Run();
    void Done();
    void Quit(int code);

    int GetShowCommand() const { return showCommand; }

    static TApp* TheApp;

    TWin* mainWin = nullptr;
    const char* helpFile = nullptr;
    int exitCode = 0;
    WNDPROC wndProc;

private:
    int showCommand = SW_SHOWNORMAL;
};

// The application's instance, or this program's module when there is no
// application object (as in tests of single pieces).
HINSTANCE AppInstance();

// Gives a top-level window the program's large and small icon resources.
void SetWindowIcons(HWND window, int largeIcon, int smallIcon);

// Hands one message to the dialog it belongs to, for keyboard navigation and
// the dialog message filters; returns nonzero when the dialog took it.
int DialogMessage(MSG& msg);
