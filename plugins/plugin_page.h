// The "Plug-ins" page: the plug-in modules installed for Korvane, chosen
// from a check list of the registered ones and those found by scanning a
// directory.
#pragma once

#include "sheet/config_page.h"

#include "plugins/plugin_store.h"

class TFileStatic;
class TPluginListBox;
struct TPluginRec;

class TPluginPage : public TConfigPage, private TPluginRows {
public:
    explicit TPluginPage(TWin* parent);
    ~TPluginPage() override;

    int Command(int id, unsigned code) override;
    int Other(TMsg& msg) override;
    // Reads the registered plug-ins and scans the product's directory.
    int InitDlg(int focusId) override;
    // Saves when the user changed something; never refuses.
    int Apply() override;

    // The list (plugin_list.cpp): one row for each plug-in the store lists.
    int AddPlugin(const char* name, const char* file, const char* helpIndex, int registered) {
        return store.AddPlugin(name, file, helpIndex, registered);
    }
    TPluginRec* FindListedPlugin(const char* name) const { return store.FindListedPlugin(name); }
    int UnlistUnchecked() { return store.UnlistUnchecked(); }
    void LoadRegisteredPlugins() { store.LoadRegisteredPlugins(); }
    int AddRegisteredPlugin(const char* path) { return store.AddRegisteredPlugin(path); }
    int ScanDefaultDir();
    // Drops the unchecked rows and adds the modules found in dir; the rows
    // removed and added.
    int ScanDir(const char* dir);
    int OnCheckChanged();
    void OnSelChange();

    int OnScan();
    // Rebuilds the Plugins key and the help contents file from the list;
    // the page stays changed unless all of it was written.
    void SavePlugins();
    void RemoveHelpIndexes() { store.RemoveHelpIndexes(); }

    TPluginRec* Plugins() const { return store.Plugins(); }
    TPluginListBox* CheckList() const { return checkList; }
    const char* ScanDirectory() const { return scanDir; }
    // Whether the user changed something since loading or the last save.
    bool Dirty() const { return dirty; }

private:
    void Changed();
    void SaveIfChanged();
    void AppendRow(const char* name, int checked) override;
    bool RemoveRow(const char* name) override;

    char scanDir[256];
    TPluginListBox* checkList = nullptr;
    TFileStatic* fileStatic = nullptr;
    TPluginStore store{this};
    char fileName[MAX_PATH];
    bool dirty = false;
    // A save ran during the OK being handled now.
    bool savedThisOk = false;
};

TConfigPage* NewPluginPage(TWin* parent);
