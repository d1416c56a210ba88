// The window procedure of every window linked to a window object.
#pragma once

#include <windows.h>

// Exported under its plain name: hosts and tools look the library's window
// procedure up by that name.
extern "C" LRESULT CALLBACK TheWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
