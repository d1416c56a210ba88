// The Network subsystem's string copies and its report of a system error.
#pragma once

#include <windows.h>

// A copy of text on the C heap, released with free; null for a null text and,
// after a message box, when the copy cannot be made.
char* StrDup(const char* text);

// Shows the system's text for the error code in a message box owned by owner
// and captioned caption (which names what failed).
void ShowLastError(HWND owner, const char* caption, DWORD code);
