// The plug-ins known to the Plug-ins page and their store: the registered
// ones read from the Plugins key, those found by scanning a directory, and
// the save that rebuilds the key and the help contents file from the
// checked ones. It owns no window; whoever shows the list hears of its
// rows through TPluginRows.
#pragma once

#include <windows.h>

#include <cstddef>

class TErrorSink;
struct TPluginRec;

// Whether Korvane runs now: it reads its plug-ins only when it starts.
bool KorvaneIsRunning();
// The warning that a save of the plug-ins gives while Korvane runs.
const char* RestartKorvaneText();

// The rows of a list that shows the listed plug-ins.
class TPluginRows {
public:
    virtual void AppendRow(const char* name, int checked) = 0;
    // Whether the row of name was there and is gone now.
    virtual bool RemoveRow(const char* name) = 0;

protected:
    ~TPluginRows() = default;
};

class TPluginStore {
public:
    // rows may be null: then nothing shows the list, and every plug-in taken
    // off it counts as a row removed.
    explicit TPluginStore(TPluginRows* rows);
    ~TPluginStore();
    TPluginStore(const TPluginStore&) = delete;
    TPluginStore& operator=(const TPluginStore&) = delete;

    // Returns 1 when the plug-in was put on the list, 0 when it was ignored:
    // a duplicate, or a text that does not fit its field, holds a control
    // character or cannot name a registry key.
    int AddPlugin(const char* name, const char* file, const char* helpIndex, int registered);
    TPluginRec* FindListedPlugin(const char* name) const;
    // Marks the listed plug-in name checked or not; 0 when none is listed.
    int SetChecked(const char* name, int checked);
    // Takes the listed, unchecked plug-ins off the list; the rows removed.
    int UnlistUnchecked();

    void LoadRegisteredPlugins();
    int AddRegisteredPlugin(const char* path);
    // The directory of the installed program into dir (with its trailing
    // "\"); 0 when the registry names none or it does not fit size.
    int InstalledDir(char* dir, size_t size) const;
    // Drops the unchecked plug-ins and adds the modules found in dir; the
    // rows removed and added.
    int ScanDir(const char* dir);

    // Rebuilds the Plugins key and the help contents file from the checked
    // plug-ins; what it could not do goes to errors. Nonzero when the key
    // holds exactly the checked plug-ins.
    int Save(TErrorSink& errors);
    void RemoveHelpIndexes();

    TPluginRec* Plugins() const { return plugins; }

private:
    int DeleteOldSubkeys(HKEY key);
    // Nonzero when every checked plug-in was written.
    int WriteCheckedPlugins(HKEY key, TErrorSink& errors);
    int WritePlugin(HKEY key, const TPluginRec& rec, TErrorSink& errors);

    TPluginRows* rows;
    TPluginRec* plugins = nullptr;
};
