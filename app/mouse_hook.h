// The thread mouse hook that tells the library's windows when the pointer
// has left them for another window.
#pragma once

#include <windows.h>

// The pointer-left message of the library's windows: wParam is the window
// the pointer moved to, lParam its screen position (x low word, y high).
constexpr UINT kPointerLeftMessage = 0x01FF;

// Installs the WH_MOUSE hook on the calling thread; nonzero on success.
int InstallMouseHook(HINSTANCE instance);
void RemoveMouseHook();

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM mouseHookStruct);

// Notes that the pointer is now over window; position is packed as in
// kPointerLeftMessage.
void TrackPointer(HWND window, DWORD position);
// The window the last mouse message was for (null when none or forgotten).
HWND LastPointerWindow();
