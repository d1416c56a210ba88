// The cases over single pieces of the program: the scan, the two list saves,
// the channel file moves and the help contents rewrite.
#include "bench/bench_cases.h"

#include "bench/bench_world.h"
#include "network/network_page.h"
#include "network/server_list_view.h"
#include "pages/local/channel_file_mover.h"
#include "plugins/help_contents.h"
#include "plugins/plugin_page.h"
#include "resources/share_tool_page_ids.h"
#include "sheet/config_dlg.h"
#include "sharing/share_tool_page.h"
#include "ui/list_view.h"

#include <cstdio>
#include <cstring>

namespace kt_bench {

namespace {

std::string Text(const char* format, int number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// One plug-in in forty, as in a product directory.
constexpr int kModulesPerPlugin = 40;

class TScanCase : public TBenchCase {
public:
    TScanCase(const TScratch& scratch, int count)
        : dir(scratch.Dir(Text("scan%d", count).c_str())), count(count) {
        FillModuleDir(dir, "mod", count, count / kModulesPerPlugin);
        // The page comes up empty: nothing registered, no product directory.
        DeleteTree(HKEY_LOCAL_MACHINE, kPluginsKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
    }

    std::string Name() const override { return Text("ScanDir, %d DLLs", count); }

    void Prepare(bool program) override {
        host.reset(new THost);
        if (program) {
            page = static_cast<TPluginPage*>(NewPluginPage(host->Win()));
            if (!page)
                Die("the Plug-ins page could not be built");
        } else {
            list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_HASSTRINGS, 0, 0, 200, 200,
                                   host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        }
    }

    void Program() override { page->ScanDir(dir.c_str()); }

    void Raw() override {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir + "\\*.dll").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::string path = dir + "\\" + found.cFileName;
            if (RawIsMarked(path.c_str()))
                RawAskPlugin(path.c_str(), list);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }

    void Finish(bool) override {
        host.reset();
        page = nullptr;
        list = nullptr;
    }

private:
    std::string dir;
    int count;
    std::unique_ptr<THost> host;
    TPluginPage* page = nullptr;
    HWND list = nullptr;
};

constexpr int kServers = 1000;

class TSaveServersCase : public TBenchCase {
public:
    TSaveServersCase() : servers(MakeServers(kServers)) {
        WriteServers(servers);
        page = static_cast<TNetworkPage*>(NewNetworkPage(host.Win()));
        if (!page || page->GetListView()->GetItemCount() != kServers)
            Die("the Network page did not load the servers");
    }

    std::string Name() const override { return Text("SaveServers, %d items", kServers); }

    void Program() override { page->Apply(); }

    void Raw() override {
        HKEY keys[3] = {};
        for (int part = 0; part < 3; ++part) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, kServerKeys[part]);
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKeys[part], 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &keys[part],
                                nullptr) != ERROR_SUCCESS)
                Die("cannot create a server key");
        }
        for (size_t index = 0; index < servers.size(); ++index) {
            char name[32];
            std::snprintf(name, sizeof name, "Value%d", static_cast<int>(index + 1));
            const TServer& server = servers[index];
            Set(keys[0], name, server.name);
            if (server.hasPort)
                Set(keys[1], name, server.port);
            if (server.hasSearchBase)
                Set(keys[2], name, server.searchBase);
        }
        for (HKEY key : keys)
            RegCloseKey(key);
    }

private:
    static void Set(HKEY key, const char* name, const std::string& text) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }

    std::vector<TServer> servers;
    THost host;
    TNetworkPage* page = nullptr;
};

constexpr int kSavedTools = 32;
const char kDeleteCaption[] = "Confirm tool delete";

UINT_PTR answerTimer = 0;

// The delete question of the page, answered Yes once it is up.
void CALLBACK AnswerYes(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", kDeleteCaption);
    if (!box)
        return;
    KillTimer(nullptr, answerTimer);
    answerTimer = 0;
    PostMessageA(box, WM_COMMAND, IDYES, 0);
}

class TSaveToolsCase : public TBenchCase {
public:
    TSaveToolsCase() : tools(MakeTools(kSavedTools)) {}

    std::string Name() const override { return Text("SaveTools, %d tools", kSavedTools); }

    // The page saves only after a change: the last tool is deleted as the
    // user deletes it and put back as a new row, which leaves the list as
    // it was stored.
    void Prepare(bool program) override {
        WriteTools(tools);
        if (!program)
            return;
        host.reset(new THost);
        page = static_cast<TShareToolPage*>(NewShareToolPage(host->Win()));
        if (!page || !page->ToolList() || page->ToolList()->GetItemCount() != kSavedTools)
            Die("the Channel sharing page did not load the tools");
        const int last = kSavedTools - 1;
        page->OnSelectionChanged(static_cast<TToolItem*>(GetItemData(*page->ToolList(), last)),
                                 last);
        answerTimer = SetTimer(nullptr, 0, 1, AnswerYes);
        SendMessageA(page->GetHandle(), WM_COMMAND, MAKEWPARAM(IDC_SHARETOOL_DELETE, BN_CLICKED),
                     0);
        TToolItem* again =
            TToolItem::New(tools[last].name.c_str(), tools[last].commandLine.c_str());
        if (!again || page->ToolList()->InsertItem(again, 0) != last)
            Die("the Channel sharing page did not take the tool back");
    }

    void Program() override { page->Apply(); }

    void Raw() override {
        HKEY launch = nullptr;
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kLaunchKey, &launch) != ERROR_SUCCESS)
            Die("cannot create the Launch key");
        char name[2048];
        while (RegEnumKeyA(launch, 0, name, sizeof name) == ERROR_SUCCESS)
            RegDeleteKeyA(launch, name);
        for (int index = 0; index < kSavedTools; ++index) {
            HKEY subkey = nullptr;
            if (RegCreateKeyA(launch, tools[index].name.c_str(), &subkey) != ERROR_SUCCESS)
                continue;
            RegSetValueA(subkey, nullptr, REG_SZ, tools[index].commandLine.c_str(),
                         static_cast<DWORD>(tools[index].commandLine.size()));
            RegCloseKey(subkey);
        }
        const DWORD dirty = 1;
        RegSetValueExA(launch, "Dirty", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dirty),
                       sizeof dirty);
        RegCloseKey(launch);
    }

    void Finish(bool) override {
        host.reset();
        page = nullptr;
    }

private:
    std::vector<TTool> tools;
    std::unique_ptr<THost> host;
    TShareToolPage* page = nullptr;
};

constexpr int kChannelFiles = 2000;

// The files go back and forth between two directories: each run moves them
// out of where the last run left them.
// The identity floor also asks, as the program must before it may copy
// without replacing, whether the target is there.
class TMoveCase : public TBenchCase {
public:
    TMoveCase(const TScratch& scratch, bool identityFloor)
        : from(scratch.Dir(identityFloor ? "move-c" : "move-a")),
          to(scratch.Dir(identityFloor ? "move-d" : "move-b")),
          identity(identityFloor) {
        std::string content(1024, 'c');
        for (int n = 0; n < kChannelFiles; ++n)
            WriteTextFile(from + Text("\\chan%04d.chn", n), content);
    }

    std::string Name() const override {
        return identity ? "channel file moves, identity floor"
                        : Text("channel file moves, %d files", kChannelFiles);
    }
    // The same-file check is the program's only extra over copy and delete;
    // over a floor that makes the check's calls too, nothing is left.
    double Goal() const override { return identity ? 1.1 : 1.5; }

    void Program() override {
        TChannelFileMover mover(from.c_str(), to.c_str(), nullptr, nullptr);
        if (mover.Move("*.chn") != 0)
            Die("channel files could not be moved");
        std::swap(from, to);
    }

    void Raw() override {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((from + "\\*.chn").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            Die("no channel files to move");
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::string source = from + "\\" + found.cFileName;
            std::string target = to + "\\" + found.cFileName;
            if (identity && !KnowIdentity(source, target))
                continue;
            // The targets are never there: the copy need not replace anything.
            if (CopyFileA(source.c_str(), target.c_str(), TRUE))
                DeleteFileA(source.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::swap(from, to);
    }

private:
    // Whether the target is there: the program's same-file check for a
    // target that is not (the old directory's identity is asked once).
    static bool KnowIdentity(const std::string&, const std::string& target) {
        return GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES;
    }

    std::string from, to;
    bool identity;
};

constexpr int kContentsLines = 10000;
const char kHelpIndex[] = "Bench Help=bench.hlp";

class THelpIndexCase : public TBenchCase {
public:
    explicit THelpIndexCase(const TScratch& scratch)
        : path(scratch.Dir("help") + "\\korvane.cnt"),
          temp(path.substr(0, path.size() - 3) + "new") {
        std::string text = ":Base korvane.hlp\r\n:Title Korvane Help\r\n";
        for (int n = 2; n < kContentsLines; ++n)
            text += n % 10 == 2 ? Text("1 Chapter %d\r\n", n)
                                : Text("2 Topic %d=topic", n) + Text("_%d\r\n", n);
        WriteTextFile(path, text);
    }

    std::string Name() const override { return Text("AddHelpIndex, %d lines", kContentsLines); }

    void Program() override { AddHelpIndexTo(path.c_str(), kHelpIndex); }

    void Raw() override {
        HANDLE in = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        HANDLE out = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE)
            Die("cannot open the contents file");
        // Line by line through a buffer of the same size each way.
        char input[4096], output[4096];
        size_t pending = 0;
        std::string line;
        DWORD got = 0;
        while (ReadFile(in, input, sizeof input, &got, nullptr) && got > 0) {
            const char* at = input;
            const char* end = input + got;
            while (at < end) {
                auto* newline = static_cast<const char*>(std::memchr(at, '\n', end - at));
                const char* stop = newline ? newline + 1 : end;
                line.append(at, stop);
                at = stop;
                if (!newline)
                    break;
                pending = Put(out, output, pending, line);
                line.clear();
            }
        }
        pending = Put(out, output, pending, line);
        Flush(out, output, pending);
        CloseHandle(in);
        CloseHandle(out);
        if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            Die("cannot replace the contents file");
    }

private:
    static size_t Put(HANDLE out, char* buffer, size_t pending, const std::string& line) {
        size_t done = 0;
        while (done < line.size()) {
            if (pending == 4096)
                pending = Flush(out, buffer, pending);
            size_t part = std::min(line.size() - done, 4096 - pending);
            std::memcpy(buffer + pending, line.data() + done, part);
            pending += part;
            done += part;
        }
        return pending;
    }

    static size_t Flush(HANDLE out, const char* buffer, size_t pending) {
        DWORD wrote = 0;
        if (pending && !WriteFile(out, buffer, static_cast<DWORD>(pending), &wrote, nullptr))
            Die("cannot write the contents copy");
        return 0;
    }

    std::string path, temp;
};

}  // namespace

std::unique_ptr<TBenchCase> NewScanCase(const TScratch& scratch, int count) {
    return std::unique_ptr<TBenchCase>(new TScanCase(scratch, count));
}

std::unique_ptr<TBenchCase> NewSaveServersCase() {
    return std::unique_ptr<TBenchCase>(new TSaveServersCase);
}

std::unique_ptr<TBenchCase> NewSaveToolsCase() {
    return std::unique_ptr<TBenchCase>(new TSaveToolsCase);
}

std::unique_ptr<TBenchCase> NewMoveCase(const TScratch& scratch, bool identityFloor) {
    return std::unique_ptr<TBenchCase>(new TMoveCase(scratch, identityFloor));
}

std::unique_ptr<TBenchCase> NewHelpIndexCase(const TScratch& scratch) {
    return std::unique_ptr<TBenchCase>(new THelpIndexCase(scratch));
}

}  // namespace kt_bench
