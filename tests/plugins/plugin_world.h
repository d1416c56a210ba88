// What the plug-in tests share: the test modules, the help contents file
// beside this test program, and the Plug-ins page of the configuration
// dialog as a user sees and works it.
#pragma once

#include "tests/pages/local/local_page_test.h"

#include <windows.h>

#include <string>
#include <vector>

class TPluginPage;

namespace kt_test {

constexpr char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
constexpr char kPluginsTreeName[] = "Plug-ins";

// The built test module name.dll (from tests/plugins/modules), by Windows
// path.
std::string TestModule(const std::string& name);
// Copies a test module into dir as fileName (default name.dll); the copy's
// full path.
std::string CopyModule(const TempDir& dir, const std::string& name,
                       const std::string& fileName = std::string());

// Every module of this process by full path, as the loader lists it.
std::vector<std::string> ProcessModules();

// While it lives, notes each module the loader maps into this process, even
// one freed again at once (a DLL notification of the loader).
class LoadWatcher {
public:
    LoadWatcher();
    ~LoadWatcher();
    LoadWatcher(const LoadWatcher&) = delete;
    LoadWatcher& operator=(const LoadWatcher&) = delete;

    // The file names loaded, in order, e.g. "pl_alpha.dll".
    const std::vector<std::string>& Loaded() const { return loaded; }
    bool Saw(const std::string& fileName) const;
    std::string List() const;

    static void CALLBACK Notified(ULONG reason, const void* data, void* context);

private:
    void* cookie = nullptr;
    std::vector<std::string> loaded;
};

// The help contents file beside this test program, "korvane.cnt": written
// by a test, and removed (with its temporary copy) again afterwards.
class ContentsFile {
public:
    ContentsFile();
    ~ContentsFile();
    ContentsFile(const ContentsFile&) = delete;
    ContentsFile& operator=(const ContentsFile&) = delete;

    const std::string& Path() const { return path; }
    std::string TempPath() const;
    void Write(const std::string& content) const;
    // The content, or "<missing>".
    std::string Read() const;
    bool Exists() const;

private:
    void Remove() const;
    std::string path;
};

// A product installed in a directory of its own (AppPaths names its
// korvane.exe there), the contents file, and the Plug-ins page.
class PluginWorld : public PageWorld {
public:
    PluginWorld();

    // Registers a plug-in as a save would: a subkey with the module's path.
    void Register(const std::string& subkey, const std::string& path) const;

    // Builds the dialog and finds the page; null (test failed) when missing.
    TPluginPage* Build();
    TPluginPage* Page() const;
    HWND List() const;

    // The rows as the list holds them.
    std::vector<std::string> Rows() const;
    std::vector<bool> Checks() const;
    int Selection() const;
    // The row holding text, -1 when none.
    int RowOf(const std::string& text) const;
    // A click with the left button at x within the row, as the mouse sends it.
    void ClickRow(int row, int x) const;
    // A click on the row's check box; on its text.
    void ClickCheck(int row) const { ClickRow(row, 5); }
    void ClickText(int row) const { ClickRow(row, 60); }
    // The space bar on the list.
    void PressSpace() const;
    // The full path the page shows under "Module file name:".
    std::string ShownFile() const;

    // Scan with the folder chooser answered: dir chosen, or cancelled
    // when dir is empty.
    void Scan(const std::string& dir) const;

    TempDir productDir;
    ContentsFile contents;
};

// A window of Korvane's main window class while it lives.
class KorvaneWindow {
public:
    KorvaneWindow();
    ~KorvaneWindow();
    KorvaneWindow(const KorvaneWindow&) = delete;
    KorvaneWindow& operator=(const KorvaneWindow&) = delete;

private:
    HWND window = nullptr;
};

}  // namespace kt_test
