// The stored list of the Channel sharing tools: the subkeys of the product's
// Launch key, each named after its tool and holding the tool's command line
// as its default value, and the key's Dirty value that tells whoever starts
// the tools to read the list again. Read and written without any window.
#pragma once

#include "sharing/tool_item.h"

class TErrorSink;

// Why the tool selection dialog refuses a tool; kToolNameTaken takes the
// name for its %s.
extern const char kToolNameHasBackslash[];
extern const char kToolNameTaken[];
extern const char kToolCommandTooLong[];

// What a read of the key hands its tools to, one after the other.
class TToolSink {
public:
    enum TTake {
        kTaken,    // counts towards the kMaxTools a read takes
        kRefused,  // not kept; the read goes on with the next subkey
        kStop,     // the read ends here
    };
    // name is shorter than kToolNameSize, commandLine shorter than
    // kCommandLineSize; both end with a terminator.
    virtual TTake TakeTool(const char* name, const char* commandLine) = 0;

protected:
    ~TToolSink() = default;
};

// What a save writes, in its order.
class TToolSource {
public:
    virtual int ToolCount() = 0;
    // The tool at index, 0 when that place holds none (it is passed over).
    virtual int GetTool(int index, const char** name, const char** commandLine) = 0;

protected:
    ~TToolSource() = default;
};

// The tools of the key in the registry's order, until a subkey whose name
// does not fit a tool's or until kMaxTools were taken. Subkeys without a
// readable value are passed over. No key: no tools.
void ReadTools(TToolSink& sink);

// Rewrites the key whole from source: the old subkeys go, one subkey per
// tool is made, and Dirty is set. What could not be done is reported, and
// the rest is still written.
void WriteTools(TToolSource& source, TErrorSink& errors);
