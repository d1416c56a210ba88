#include "app/wnd_proc.h"

#include "ui/win.h"

// The layer's dispatch is the program's window procedure: the object of the
// window gets the message, and goes with the window on WM_DESTROY.
extern "C" LRESULT CALLBACK TheWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return TWin::StdWndProc(window, message, wParam, lParam);
}
