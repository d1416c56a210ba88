#pragma once

#include <windows.h>

// RegQueryValueA into text (size bytes), ended where the stored data ends:
// another program's value need not end in a terminator, nor be text at all.
// Data that fills text is cut at its last byte. Any answer but
// ERROR_SUCCESS leaves text empty. dataSize, when given, gets the size the
// registry reported (the data's, or the room it needs).
LONG QueryValueText(HKEY key, const char* subkey, char* text, LONG size, LONG* dataSize = nullptr);
