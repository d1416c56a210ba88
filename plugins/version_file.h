// One text of a module's version block, read from the module file itself.
// The system's version API maps the whole file as a data module twice per
// query (size, then block); a scan asks that of every DLL of a directory,
// and most of them are no plug-ins. Reading the PE headers, the resource
// directory and the block costs a tenth of that. Only files and blocks of
// the plain form that the system reads the same way are answered here;
// for anything else the caller asks the system.
#pragma once

#include <cstddef>

enum class TVersionText {
    Found,    // text holds the value as VerQueryValueA gives it (see below)
    Missing,  // no version block, or no such value in it
    Damaged,  // a version resource runs past the end of the file (below)
    AskSystem,
};

// The most of a version resource that the caller lets the system copy
// (GetFileVersionInfoA's buffer size): a block's length is a WORD, and the
// system adds a four-byte signature. The system copies a resource without
// a look at the file's size, so a damaged module whose resource claims to
// run past the file's end would stop the program: such a file is Damaged,
// and must not be given to the system.
constexpr unsigned kSystemBlockCopy = 0x10000 + 4;

// The text value at subBlock ("\StringFileInfo\040904E4\InternalName") of
// the version resource of the module at path. On Found, text holds the
// value up to its terminator, cut to size - 1 characters: what the system
// would give, converted to ANSI. Only values whose characters up to that
// point are ASCII are answered, so that no code page can make them differ.
TVersionText ReadVersionText(const char* path, const char* subBlock, char* text, size_t size);
