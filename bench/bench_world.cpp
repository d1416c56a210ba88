#include "bench/bench_world.h"

#include "bench/bench.h"
#include "plugins/version_file.h"
#include "sdk/korvane_plugin.h"
#include "sharing/command_line.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include <cstdio>

namespace kt_bench {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kAppPathsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kChnFilesKey[] = "Software\\Tavrel\\Korvane Tools\\ChnFiles";
const char* const kServerKeys[3] = {
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase",
};

namespace {

const char kScratchRoot[] = "Software\\ktbench";

HKEY CreateUnderRealUser(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        Die("cannot create HKCU\\" + path);
    return key;
}

std::string Numbered(const char* format, int number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

}  // namespace

TScratch::TScratch() {
    registryPath =
        std::string(kScratchRoot) + Numbered("\\%d", static_cast<int>(GetCurrentProcessId()));
    RegDeleteTreeA(HKEY_CURRENT_USER, registryPath.c_str());
    // Both made under the real HKCU before anything is remapped.
    machine = CreateUnderRealUser(registryPath + "\\machine");
    user = CreateUnderRealUser(registryPath + "\\user");
    if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, user) != ERROR_SUCCESS)
        Die("cannot remap the registry onto the scratch keys");

    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp)
        Die("no temporary directory");
    root = std::string(temp) + Numbered("ktbench-%d", static_cast<int>(GetCurrentProcessId()));
    RemoveTree(root);
    MakeDir(root);
}

void TScratch::UseScratchKeys(bool scratchKeys) const {
    if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratchKeys ? machine : nullptr) !=
            ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, scratchKeys ? user : nullptr) != ERROR_SUCCESS)
        Die("cannot remap the registry");
}

TScratch::~TScratch() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(machine);
    RegCloseKey(user);
    RegDeleteTreeA(HKEY_CURRENT_USER, registryPath.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchRoot);  // others may still be there
    if (!RemoveTree(root))
        std::fprintf(stderr, "ktbench: could not remove all of %s\n", root.c_str());
}

std::string TScratch::Dir(const char* name) const {
    std::string path = root + "\\" + name;
    MakeDir(path);
    return path;
}

std::vector<TServer> MakeServers(int count) {
    std::vector<TServer> servers;
    for (int n = 1; n <= count; ++n) {
        switch (n % 3) {
            case 0:
                servers.push_back({Numbered("ldap%04d.korvane.example", n), "389",
                                   Numbered("ou=Pool%04d,o=Tavrel,c=US", n), true, true});
                break;
            case 1:
                servers.push_back({Numbered("\\\\channels\\pool%04d", n), "", "", false, false});
                break;
            default:
                servers.push_back({Numbered("rm%04d.korvane.example", n), "COM", "", true, false});
                break;
        }
    }
    return servers;
}

void WriteServers(const std::vector<TServer>& servers) {
    for (const char* key : kServerKeys)
        DeleteTree(HKEY_LOCAL_MACHINE, key);
    for (size_t index = 0; index < servers.size(); ++index) {
        std::string value = Numbered("Value%d", static_cast<int>(index + 1));
        const TServer& server = servers[index];
        SetString(HKEY_LOCAL_MACHINE, kServerKeys[0], value.c_str(), server.name);
        if (server.hasPort)
            SetString(HKEY_LOCAL_MACHINE, kServerKeys[1], value.c_str(), server.port);
        if (server.hasSearchBase)
            SetString(HKEY_LOCAL_MACHINE, kServerKeys[2], value.c_str(), server.searchBase);
    }
}

std::vector<TTool> MakeTools(int count) {
    static const char* const kPrograms[] = {"notepad.exe",  "regedit.exe", "cmd.exe",
                                            "winemine.exe", "taskmgr.exe", "control.exe",
                                            "winefile.exe", "explorer.exe"};
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system)
        Die("no system directory");
    std::vector<TTool> tools;
    for (int n = 1; n <= count; ++n) {
        std::string program = std::string(system) + "\\" +
                              kPrograms[(n - 1) % (sizeof kPrograms / sizeof kPrograms[0])];
        char commandLine[kCommandLineSize];
        MakeCommandLine(commandLine, program.c_str(), "%1");
        tools.push_back({Numbered("Tool%02d", n), commandLine});
    }
    return tools;
}

void WriteTools(const std::vector<TTool>& tools) {
    DeleteTree(HKEY_LOCAL_MACHINE, kLaunchKey);
    for (const TTool& tool : tools)
        SetString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\" + tool.name).c_str(), nullptr,
                  tool.commandLine);
}

std::vector<std::string> FillModuleDir(const std::string& dir, const char* prefix, int count,
                                       int marked) {
    const std::string markedModule = BesideProgram("ktbench_marked.dll");
    const std::string plainModule = BesideProgram("ktbench_unmarked.dll");
    MakeDir(dir);
    std::vector<std::string> plugins;
    int every = marked > 0 ? count / marked : count + 1;
    for (int n = 0; n < count; ++n) {
        std::string path = dir + "\\" + prefix + Numbered("%04d.dll", n);
        bool isPlugin =
            marked > 0 && n % every == every / 2 && static_cast<int>(plugins.size()) < marked;
        CopyOrDie(isPlugin ? markedModule : plainModule, path);
        if (isPlugin)
            plugins.push_back(path);
    }
    return plugins;
}

// The plug-in marker test, as bare as it can be: the few reads of the
// module file that find its version block.
bool RawIsMarked(const char* path) {
    char text[sizeof PL_MARKER + 1];
    return ReadVersionText(path, "\\StringFileInfo\\040904E4\\InternalName", text, sizeof text) ==
               TVersionText::Found &&
           std::strcmp(text, PL_MARKER) == 0;
}

// What the platform does for one plug-in whatever the program: load it and
// ask it. Its name goes to the list when there is one.
void RawAskPlugin(const char* path, HWND list) {
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        return;
    auto getInfo = reinterpret_cast<PLGetInfoProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "PLGetInfo")));
    PLInfo info{};
    info.size = sizeof info;
    if (getInfo && getInfo(&info, PL_PRODUCT) && info.name && list) {
        LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(info.name));
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), 1);
    }
    FreeLibrary(module);
}

void RawReadChannelDir() {
    char dir[2048];
    LONG size = sizeof dir;
    if (RegQueryValueA(HKEY_LOCAL_MACHINE, kChnFilesKey, dir, &size) != ERROR_SUCCESS)
        return;
    for (const char* pattern : {"\\*.chn", "\\*.tpl", "\\*.txt"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((std::string(dir) + pattern).c_str(), &found);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
}

std::string RawReadProductValues(HKEY product) {
    char text[2048];
    LONG size = sizeof text;
    RegQueryValueA(product, nullptr, text, &size);
    char program[MAX_PATH] = "";
    size = sizeof program;
    if (RegQueryValueA(product, "AppPaths", program, &size) != ERROR_SUCCESS)
        program[0] = '\0';
    size = sizeof text;
    RegQueryValueA(HKEY_CURRENT_USER, kDskPathKey, text, &size);
    size = sizeof text;
    RegQueryValueA(HKEY_LOCAL_MACHINE, kMaxChannelsKey, text, &size);
    return program;
}

namespace {

void LookAt(const char* path, bool load, HWND list) {
    if (RawIsMarked(path) && load)
        RawAskPlugin(path, list);
}

}  // namespace

void RawReadPlugins(HKEY product, const std::string& dir, bool load, HWND list) {
    HKEY plugins = nullptr;
    if (RegOpenKeyA(product, "Plugins", &plugins) == ERROR_SUCCESS) {
        char name[256];
        for (DWORD index = 0; RegEnumKeyA(plugins, index, name, sizeof name) == ERROR_SUCCESS;
             ++index) {
            char path[2048];
            LONG size = sizeof path;
            if (RegQueryValueA(plugins, name, path, &size) == ERROR_SUCCESS &&
                GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
                LookAt(path, load, list);
        }
        RegCloseKey(plugins);
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        LookAt((dir + found.cFileName).c_str(), load, list);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void RawAddRow(HWND list, const char* text, int image) {
    if (!list)
        return;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void RawReadServers(HWND list) {
    HKEY keys[3] = {};
    for (int part = 0; part < 3; ++part)
        RegOpenKeyA(HKEY_LOCAL_MACHINE, kServerKeys[part], &keys[part]);
    // The cheapest way to fill a list: no repainting row by row.
    if (list)
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int number = 1;; ++number) {
        char name[32];
        wsprintfA(name, "Value%d", number);
        char texts[3][2048];
        LONG status = ERROR_SUCCESS;
        for (int part = 0; part < 3; ++part) {
            DWORD size = sizeof texts[part] - 1;
            LONG got = RegQueryValueExA(keys[part], name, nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(texts[part]), &size);
            if (part == 0)
                status = got;
        }
        if (status != ERROR_SUCCESS)
            break;
        RawAddRow(list, texts[0], 0);
    }
    for (HKEY key : keys)
        RegCloseKey(key);
    if (list)
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void RawReadTools(HWND list, HIMAGELIST images) {
    HKEY launch = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kLaunchKey, &launch) != ERROR_SUCCESS)
        return;
    char name[32];
    for (DWORD index = 0; RegEnumKeyA(launch, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        char commandLine[MAX_PATH];
        LONG size = sizeof commandLine;
        if (RegQueryValueA(launch, name, commandLine, &size) != ERROR_SUCCESS || !images)
            continue;
        char program[kProgramSize];
        SplitCommandLine(program, commandLine);
        HICON icon = nullptr;
        UINT id = 0;
        UINT made = PrivateExtractIconsA(program, 0, 16, 16, &icon, &id, 1, 0);
        if (made == 0 || made == static_cast<UINT>(-1))
            icon = nullptr;
        if (!icon) {
            WORD iconIndex = 0;
            icon = ExtractAssociatedIconA(GetModuleHandleA(nullptr), program, &iconIndex);
        }
        int image = 0;
        if (icon) {
            image = ImageList_ReplaceIcon(images, -1, icon);
            DestroyIcon(icon);
        }
        RawAddRow(list, name, image);
    }
    RegCloseKey(launch);
}

}  // namespace kt_bench
