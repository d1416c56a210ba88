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

// Whether a tool of the suite is running (it holds the suite's shared
// channel data mapping).
int ToolIsRunning();

// The rules of a save of the directory, shared by the page and by whatever
// applies settings without it. Each reports in the page's words.
// A directory is required: false, reported, when dir is empty.
bool CheckChannelDirGiven(const char* dir, TErrorSink& errors);
// Creates the last component of dir; false, reported, when that failed.
bool CreateChannelDir(const char* dir, TErrorSink& errors);
// The saving step: stores dir and warns when a tool is running; false when
// the write failed (then no file may move).
bool SaveChannelDir(const char* dir, TErrorSink& errors);

// The kinds of files a save moves, each its own box on the page.
struct TChannelMoves {
    bool channels = false;
    bool commands = false;
    bool templates = false;
    bool others = false;
};
// Moves the chosen kinds from the old directory to the new one, in the
// page's order; each file that cannot be moved is reported, and then once
// "Not all files are moved". Nothing moves without an old directory, or
// when both name one folder. Returns the number of failures.
int MoveChannelFiles(const char* fromDir, const char* toDir, const TChannelMoves& moves,
                     TErrorSink& errors);
