// The help contents file korvane.cnt beside this program: each installed
// plug-in with a help index has the header line ":Index <help index>" in it.
// A help index is "Title=file.hlp"; its key, from the first "=" on, names
// the help file, and a header line (one starting with ":") that holds the
// key, with exact case, is that plug-in's line.
//
// Every change rewrites the whole file into "korvane.new" beside it, line by
// line with each line's own line end, and then puts the copy in its place in
// one step. Nothing is reported; a missing file is not created.
#pragma once

struct TPluginRec;

// The contents file's full path into path; 0 when the program's own path
// gives none or the result does not fit size.
int ContentsFilePath(char* path, int size);

// Puts the plug-in's line into the contents file: in place of the first
// header line with the same key, when that comes before the first contents
// entry; otherwise just before the first entry.
void AddHelpIndex(const char* helpIndex);
void AddHelpIndexTo(const char* contentsPath, const char* helpIndex);

// Takes out every header line that holds the key of a record of the chain
// with the registered bit, wherever it stands.
void RemoveHelpIndexesFrom(const char* contentsPath, const TPluginRec* chain);
