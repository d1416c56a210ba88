// The tool suite's channel file directory as stored: the default value of
// a key under the tool-wide root. Read and written without the page, so
// that stored data can be checked on its own.
#pragma once

#include <windows.h>

class TErrorSink;

struct TChannelDir {
    bool stored = false;
    // The stored value does not fit dir: dir holds its start only, which
    // names no directory here.
    bool cut = false;
    char dir[MAX_PATH] = "";
};

TChannelDir ReadChannelDir();
// Stores dir, creating the key; false, with a report, when that failed.
bool WriteChannelDir(const char* dir, TErrorSink& errors);
