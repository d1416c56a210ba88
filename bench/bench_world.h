// The benchmark's data: a scratch registry standing in for the machine's and
// the user's keys, a temporary directory, and the records and modules the
// cases load, save, scan and move.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace kt_bench {

extern const char kProductKey[];
extern const char kAppPathsKey[];
extern const char kPluginsKey[];
extern const char kLaunchKey[];
extern const char kMaxChannelsKey[];
extern const char kDskPathKey[];
extern const char kChnFilesKey[];
extern const char* const kServerKeys[3];

// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER remapped onto fresh scratch keys,
// and a fresh temporary directory; both removed again at the end.
class TScratch {
public:
    TScratch();
    ~TScratch();
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;

    // A subdirectory of the temporary directory, created.
    std::string Dir(const char* name) const;
    // Points HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of this process back at
    // the prefix's real keys (false) or at the scratch keys again (true).
    void UseScratchKeys(bool scratchKeys) const;

private:
    std::string registryPath;
    HKEY machine = nullptr;
    HKEY user = nullptr;
    std::string root;
};

// One item of the Network list as the store holds it.
struct TServer {
    std::string name, port, searchBase;
    bool hasPort, hasSearchBase;
};
// Directories, LDAP servers and Resource Managers in turn.
std::vector<TServer> MakeServers(int count);
void WriteServers(const std::vector<TServer>& servers);

struct TTool {
    std::string name, commandLine;
};
// Tools named Tool01, Tool02, ... running programs of the system that carry
// icons.
std::vector<TTool> MakeTools(int count);
// The Launch key holding exactly these tools.
void WriteTools(const std::vector<TTool>& tools);

// count modules prefix0000.dll, prefix0001.dll, ..., marked of them plug-ins
// spread evenly among them; the paths of the plug-ins.
std::vector<std::string> FillModuleDir(const std::string& dir, const char* prefix, int count,
                                       int marked);

// The raw calls: the plug-in marker test, as bare as it can be (the
// module file's own version block read, the few reads that it takes);
// loading a plug-in and asking it for its name, added to list (when not
// null).
bool RawIsMarked(const char* path);
void RawAskPlugin(const char* path, HWND list);
// The Channel files page's reads: the stored directory and whether it
// holds files of each kind.
void RawReadChannelDir();
// The single values of the product key and of the user's and the machine's
// settings; the stored program file (AppPaths).
std::string RawReadProductValues(HKEY product);
// The registered plug-ins and the modules of the product directory dir
// (with its trailing separator), each one's marker tested; with load, each
// plug-in loaded and asked, its name added to list.
void RawReadPlugins(HKEY product, const std::string& dir, bool load, HWND list);
// A row appended to a list view (none when list is null): text, picture.
void RawAddRow(HWND list, const char* text, int image);
// The Network store read value by value as its page reads it, a row for
// each item, the list not repainting in between.
void RawReadServers(HWND list);
// The Launch key's tools read; with images, each program's icon (or the
// one associated with it) into images, and a row for each tool.
void RawReadTools(HWND list, HIMAGELIST images);

}  // namespace kt_bench
