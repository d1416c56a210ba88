// Pictures at the screen's scale. The program declares itself DPI-aware, so
// the system draws it unscaled: at 200 % its dialogs grow with their fonts,
// and its bitmaps and icons must grow with them. At 96 DPI every size here is
// the size it is given.
#pragma once

#include <windows.h>

// The screen's logical pixels per inch (96 at 100 %), read once per run: the
// system takes it when the program starts.
int ScreenDpi();
// A length in pixels at 96 DPI, at the screen's scale.
int ScaleToScreen(int pixelsAt96);

// The first icon of a program file at size x size pixels, the image of that
// size when the file has one; null when the file has no icon.
HICON ExtractIconAtSize(const char* program, int size);

// Gives a bitmap static a copy of its picture at the screen's scale, and
// returns that copy for the caller to delete once the control is gone. Null,
// the control left as it was, at 96 DPI or when no copy can be made.
HBITMAP ScaleStaticBitmap(HWND control);

// The first static child of the window that shows a bitmap, or null.
HWND FindBitmapStatic(HWND parent);
