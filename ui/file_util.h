// File-name helpers. Paths are ANSI text; every write is bounded by the size
// the caller gives (MAX_PATH where a routine takes none).
#pragma once

#include <windows.h>

int FileExists(const char* path);  // a file, not a directory
int DirExists(const char* path);
// Whether two texts name the same file: the full path names are compared
// without regard to case, with a trailing separator ignored. Links and other
// aliases are not resolved.
int FileEqual(const char* a, const char* b);
// Case-insensitive equality of two texts.
int StrEqual(const char* a, const char* b);
// out = dir + "\" + file (no separator added after "\", "/" or ":"; none
// before an empty dir). Cut to size - 1 characters. Returns out.
char* DirPlusFile(char* out, int size, const char* dir, const char* file);
// As DirPlusFile, but only whole: 0 (and out untouched) when the joined path
// would not fit, since a cut path names another file.
int JoinPath(char* out, int size, const char* dir, const char* file);
// The character after the last "\", "/" or ":" of path.
char* GetFilePart(char* path);
const char* GetFilePart(const char* path);
// Looks for "/name" or "-name" (case-insensitive) as a word of the command
// line; its value is what follows the name (after an optional ":" or "="),
// up to the next blank outside quotes, quotes removed, at most MAX_PATH - 1
// characters. Returns nonzero when the parameter is there; a null or empty
// name finds nothing. value may be null.
int GetCmdLinePrm(const char* commandLine, const char* name, char* value);
