#include "app/mouse_hook.h"

#include "ui/win.h"

namespace {

HHOOK mouseHook = nullptr;
HWND lastWindow = nullptr;

DWORD PackPosition(POINT point) {
    // Each coordinate is cut to 16 bits, as the message's receivers expect.
    return static_cast<DWORD>(static_cast<WORD>(point.x)) |
           (static_cast<DWORD>(static_cast<WORD>(point.y)) << 16);
}

}  // namespace

int InstallMouseHook(HINSTANCE instance) {
    if (mouseHook)
        return 1;
    mouseHook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, instance, GetCurrentThreadId());
    return mouseHook != nullptr;
}

void RemoveMouseHook() {
    if (!mouseHook)
        return;
    UnhookWindowsHookEx(mouseHook);  // the thread is about to end anyway
    mouseHook = nullptr;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM mouseHookStruct) {
    if (code >= 0 && mouseHookStruct) {
        auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(mouseHookStruct);
        TrackPointer(info->hwnd, PackPosition(info->pt));
    }
    return CallNextHookEx(mouseHook, code, wParam, mouseHookStruct);
}

void TrackPointer(HWND window, DWORD position) {
    if (window == lastWindow)
        return;
    if (lastWindow && !IsWindow(lastWindow)) {
        // A destroyed window cannot be told; the new one is taken up with
        // the next mouse message.
        lastWindow = nullptr;
        return;
    }
    if (lastWindow && TWin::GetWin(lastWindow))
        SendMessageA(lastWindow, kPointerLeftMessage, reinterpret_cast<WPARAM>(window),
                     static_cast<LPARAM>(position));
    lastWindow = window;
}

HWND LastPointerWindow() {
    return lastWindow;
}
