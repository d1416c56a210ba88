// One tool of the Channel sharing list: its name (also the name of its
// registry key), its command line and the row's picture.
#pragma once

#include "sharing/command_line.h"

// The longest list of tools; the list view has one picture slot per tool
// besides the default icon.
constexpr int kMaxTools = 32;

struct TToolItem {
    // Index of the row's picture in the list's image list; 0 is the default
    // tool icon.
    int image;
    char name[kToolNameSize];
    char commandLine[kCommandLineSize];

    // A record from the C heap with image 0 and both texts copied (cut to
    // their buffers; a null command line is empty); null when memory ran out.
    static TToolItem* New(const char* name, const char* commandLine);
    static void Free(TToolItem* record);
    // Records made and not yet freed, in the whole process.
    static int LiveCount();
};
