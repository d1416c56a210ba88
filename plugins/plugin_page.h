// The "Plug-ins" page: the plug-in modules installed for Korvane, chosen
// from a check list of the registered ones and those found by scanning a
// directory.
#pragma once

#include "sheet/config_page.h"

class TFileStatic;
class TPluginListBox;
struct TPluginRec;

class TPluginPage : public TConfigPage {
public:
    explicit TPluginPage(TWin* parent);
    ~TPluginPage() override;

    int Command(int id, unsigned code) override;
    // Reads the registered plug-ins and scans the product's directory.
    int InitDlg(int focusId) override;
    // Saves when the user changed something; never refuses.
    int Apply() override;

    // The list (plugin_list.cpp). AddPlugin returns 1 when the plug-in was
    // put on the list, 0 when it was ignored: a duplicate, or a text that
    // does not fit its field or cannot name a registry key.
    int AddPlugin(const char* name, const char* file, const char* helpIndex, int registered);
    TPluginRec* FindListedPlugin(const char* name) const;
    // Takes the listed, unchecked plug-ins off the list; the rows removed.
    int UnlistUnchecked();
    void LoadRegisteredPlugins();
    int AddRegisteredPlugin(const char* path);
    int ScanDefaultDir();
    // Drops the unchecked rows and adds the modules found in dir; the rows
    // removed and added.
    int ScanDir(const char* dir);
    int OnCheckChanged();
    void OnSelChange();

    int OnScan();
    // Rebuilds the Plugins key and the help contents file from the list.
    void SavePlugins();
    void RemoveHelpIndexes();

    TPluginRec* Plugins() const { return plugins; }
    TPluginListBox* CheckList() const { return checkList; }
    const char* ScanDirectory() const { return scanDir; }
    // Whether the user changed something since loading or the last save.
    bool Dirty() const { return dirty; }

private:
    void SaveIfChanged();
    int DeleteOldSubkeys(HKEY key);
    void WriteCheckedPlugins(HKEY key);
    int WritePlugin(HKEY key, const TPluginRec& rec);
    void ReportForPlugin(const char* format, const char* name);
    void AppendRow(const char* name, int checked);
    void FreePlugins();

    char scanDir[256];
    TPluginListBox* checkList = nullptr;
    TFileStatic* fileStatic = nullptr;
    TPluginRec* plugins = nullptr;
    char fileName[MAX_PATH];
    bool dirty = false;
};

TConfigPage* NewPluginPage(TWin* parent);
