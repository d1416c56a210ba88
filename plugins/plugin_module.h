// Plug-in modules: recognising one by the marker in its version resource,
// and asking it for its name and help index.
#pragma once

#include "sdk/korvane_plugin.h"
#include "ui/lib.h"

// Field sizes of a plug-in record, terminator included.
constexpr int kPluginNameSize = 256;
constexpr int kPluginFileSize = MAX_PATH;
constexpr int kHelpIndexSize = 2048;

// Bits of TPluginRec::flags.
constexpr int kPluginListed = 1;      // shown in the check list
constexpr int kPluginRegistered = 2;  // in the registry: loaded from it, or written by a save
constexpr int kPluginChecked = 4;

// One plug-in known to the page; records come from the C heap and stay in
// the page's chain until the page goes.
struct TPluginRec {
    TPluginRec* next;
    char name[kPluginNameSize];
    char file[kPluginFileSize];
    char helpIndex[kHelpIndexSize];
    int flags;
};

// Whether the file's version resource marks it as a plug-in module: the
// value "\StringFileInfo\040904E4\InternalName" is PL_MARKER (no other
// language block counts). The module is not loaded for this.
int IsPluginModule(const char* path);
// The same answer from the system's version API alone, which reads every
// form of module; IsPluginModule asks it where the file's own reading
// cannot be sure to agree.
int SystemFindsMarker(const char* path);

// Loads the module and asks it about itself; valid tells whether info may
// be used. The strings in info live until the module is freed.
class TPluginModule : public TLib {
public:
    explicit TPluginModule(const char* path);

    const char* Name() const { return info.name; }
    // A module without a help index may leave the pointer null.
    const char* HelpIndex() const { return info.helpIndex ? info.helpIndex : ""; }

    PLInfo info;
    int valid;
};
