#include "app/wnd_proc.h"

#include "ui/win.h"

extern "C" LRESULT CALLBACK TheWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWin* win = TWin::GetWin(window);
    if (!win)
        return 0;
    if (message == WM_DESTROY) {
        win->UnlinkWindow();
        if (win->DeletedWithWindow())
            delete win;
        // Unlinking gave the window its own procedure back; it still has to
        // see WM_DESTROY, or common controls never free what they hold.
        auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        if (own && own != TheWndProc)
            CallWindowProcA(own, window, message, wParam, lParam);
        return 0;
    }
    TMsg msg{message, wParam, lParam, 0};
    return win->MsgProc(msg);
}
