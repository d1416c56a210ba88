// The user's desktop directory as stored: the default value of a key under
// HKEY_CURRENT_USER. Read and written without the page, so that stored
// data can be checked on its own.
#pragma once

#include <windows.h>

class TErrorSink;

struct TDesktopDir {
    // A value is stored (one too long to read whole counts too).
    bool stored = false;
    // The stored value is longer than a path: dir holds its start only, and
    // writing that back would store another directory.
    bool tooLong = false;
    char dir[MAX_PATH] = "";
};

TDesktopDir ReadDesktopDir();
// Stores dir, creating the key; a failure is reported.
void WriteDesktopDir(const char* dir, TErrorSink& errors);
// Removes the key when there is one; a failure is reported.
void RemoveDesktopDir(TErrorSink& errors);
