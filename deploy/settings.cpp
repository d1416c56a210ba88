#include "deploy/settings.h"

#include "deploy/report.h"
#include "network/repository_item.h"
#include "network/server_store.h"
#include "pages/local/desktop_store.h"
#include "pages/local/max_channels_store.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_store.h"
#include "sheet/config_dlg.h"
#include "sharing/command_line.h"
#include "sharing/tool_store.h"
#include "ui/file_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

const char kChannelFilesPage[] = "Channel files";
const char kNetworkPage[] = "Network";
const char kSettingsPage[] = "Settings";
const char kPluginsPage[] = "Plug-ins";
const char kMaxChannelsPage[] = "Max. channels";
const char kSharingPage[] = "Channel sharing";

namespace {

// Keys of the settings file.
const char kDirectoryKey[] = "Directory";
const char kCreateDirectoryKey[] = "CreateDirectory";
const char kMoveKey[] = "Move";
const char kServerKey[] = "Server";
const char kPortKey[] = "Port";
const char kSearchBaseKey[] = "SearchBase";
const char kDesktopKey[] = "DesktopDirectory";
const char kMaxChannelsKey[] = "MaxChannels";

const char kYes[] = "yes";
const char kNo[] = "no";
const char kMoveChannels[] = "channel";
const char kMoveCommands[] = "command";
const char kMoveTemplates[] = "template";
const char kMoveOthers[] = "other";

const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kMaxChannelsRegKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kComPort[] = "COM";

// The longest texts the pages' fields take.
constexpr size_t kDirLength = MAX_PATH - 1;
constexpr size_t kPluginNameLength = kPluginNameSize - 1;
constexpr size_t kModulePathLength = kPluginFileSize - 1;
constexpr size_t kToolNameLength = kToolNameSize - 1;
constexpr size_t kCommandLineLength = kCommandLineSize - 1;
// More places than any list holds by hand; a typing error in a number
// must not make a million empty places.
constexpr int kHighestPlace = 9999;

// The files a tool may start, as the tool selection dialog offers them.
const char* const kProgramExtensions[] = {".exe", ".com", ".bat", ".pif", ".lnk", ".cmd"};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Format(const char* format, const std::string& a) {
    std::vector<char> text(std::strlen(format) + a.size() + 1);
    std::snprintf(text.data(), text.size(), format, a.c_str());
    return text.data();
}

std::string TooLong(const std::string& key, size_t length) {
    return key + " is longer than the page's field (" + std::to_string(length) + " characters)";
}

bool EndsWith(const std::string& text, const char* end) {
    size_t n = std::strlen(end);
    return text.size() >= n && SameText(text.substr(text.size() - n), end);
}

std::string Lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool LessIgnoringCase(const TNamedValue& a, const TNamedValue& b) {
    return Lowered(a.name) < Lowered(b.name);
}

// Number of subkeys of an HKLM key; -1 when it cannot be opened.
int SubkeyCount(const char* path) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<int>(count) : -1;
}

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// ---- Reading the machine -------------------------------------------------

class TServerCollector final : public TServerSink {
public:
    explicit TServerCollector(std::vector<TServerEntry>& servers) : servers(servers) {}
    bool Item(const TStoredServer& item) override {
        TServerEntry entry;
        // What the page loads: nothing for a place without a name or a
        // refused server; a Resource Manager with its port as "COM" alone.
        if (item.hasName && !item.refused) {
            entry.name = item.name;
            if (item.type == TRepositoryItem::ResourceManager) {
                entry.port = kComPort;
            } else if (item.type == TRepositoryItem::LdapServer) {
                entry.port = item.port;
                entry.searchBase = item.searchBase;
            }
        }
        servers.push_back(entry);
        return true;
    }

private:
    std::vector<TServerEntry>& servers;
};

class TToolCollector final : public TToolSink {
public:
    explicit TToolCollector(std::vector<TNamedValue>& tools) : tools(tools) {}
    TTake TakeTool(const char* name, const char* commandLine) override {
        tools.push_back(TNamedValue{name, commandLine, 0, ""});
        return kTaken;
    }

private:
    std::vector<TNamedValue>& tools;
};

void ReadChannelFiles(TDeploySettings& s, TReport& report, int loadKind) {
    const TChannelDir stored = ReadChannelDir();
    if (stored.cut) {
        TPageReports(report, kChannelFilesPage, loadKind < 0 ? kProblemError : loadKind)
            .Report(
                "The stored channel file directory is longer than 259 characters; it names "
                "no directory here and is left out",
                kProblemError);
        return;
    }
    s.hasDirectory = stored.stored;
    s.directory = stored.dir;
}

void ReadNetwork(TDeploySettings& s, TReport& report, int loadKind) {
    s.hasNetwork = true;
    TPageReports errors(report, kNetworkPage, loadKind);
    TServerCollector collector(s.servers);
    ReadServers(collector, errors);
    // The read ends with the place whose name cannot be read.
    while (!s.servers.empty() && s.servers.back().name.empty())
        s.servers.pop_back();
}

void ReadDesktop(TDeploySettings& s, TReport& report, int loadKind) {
    const TDesktopDir stored = ReadDesktopDir();
    if (stored.tooLong) {
        TPageReports(report, kSettingsPage, loadKind < 0 ? kProblemWarning : loadKind)
            .Report("The stored desktop directory is longer than 259 characters; it is left out",
                    kProblemWarning);
        return;
    }
    s.hasDesktop = true;
    s.desktop = stored.stored ? stored.dir : "";
}

void ReadPlugins(TDeploySettings& s, TReport& report, int loadKind) {
    s.hasPlugins = true;
    TPluginStore store(nullptr);
    store.LoadRegisteredPlugins();
    for (const TPluginRec* rec = store.Plugins(); rec; rec = rec->next) {
        if (rec->flags & kPluginListed)
            s.plugins.push_back(TNamedValue{rec->name, rec->file, 0, rec->helpIndex});
    }
    std::sort(s.plugins.begin(), s.plugins.end(), LessIgnoringCase);
    int stored = SubkeyCount(kPluginsKey);
    if (stored > static_cast<int>(s.plugins.size())) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "%d of the installed plug-ins name no plug-in module that can be read; the "
                      "page leaves them out",
                      stored - static_cast<int>(s.plugins.size()));
        TPageReports(report, kPluginsPage, loadKind < 0 ? kProblemWarning : loadKind)
            .Report(text, kProblemWarning);
    }
}

void ReadMaxChannelsSetting(TDeploySettings& s, TReport& report, int loadKind) {
    s.hasMaxChannels = true;
    const TMaxChannels stored = ReadMaxChannels();
    s.maxChannels = stored.useOther ? stored.count : 0;
    if (!stored.useOther && KeyExists(kMaxChannelsRegKey))
        TPageReports(report, kMaxChannelsPage, loadKind < 0 ? kProblemWarning : loadKind)
            .Report(
                "The stored maximum is not a number from 9 to 100; the page shows Korvane's "
                "own 9",
                kProblemWarning);
}

void ReadToolsSetting(TDeploySettings& s, TReport& report, int loadKind) {
    s.hasTools = true;
    TToolCollector collector(s.tools);
    ReadTools(collector);
    int stored = SubkeyCount(kLaunchKey);
    if (stored > static_cast<int>(s.tools.size())) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "%d of the stored tools cannot be read (more than %d tools, a name longer "
                      "than %d characters or no command line); the page leaves them out",
                      stored - static_cast<int>(s.tools.size()), kMaxTools,
                      static_cast<int>(kToolNameLength));
        TPageReports(report, kSharingPage, loadKind < 0 ? kProblemWarning : loadKind)
            .Report(text, kProblemWarning);
    }
}

// ---- Reading the file ----------------------------------------------------

// A file's section and the report of its keys' problems.
class TSectionReader {
public:
    TSectionReader(const TFileSection& section, const char* page, TReport& report)
        : section(section), page(page), report(report) {}

    void Refuse(const std::string& text, int line) {
        report.Problem(page, text, kProblemError, line);
        good = false;
    }
    // Only one line for each key.
    bool Once(const TFileEntry& entry, const char* key) {
        if (!SameText(entry.key, key))
            return false;
        for (const std::string& seen : keys) {
            if (SameText(seen, key)) {
                Refuse(std::string(key) + " is given twice", entry.line);
                return true;
            }
        }
        keys.push_back(key);
        return true;
    }
    void Unknown(const TFileEntry& entry) {
        Refuse(Quoted(entry.key) + " is no key of this section", entry.line);
    }

    const TFileSection& section;
    const char* page;
    TReport& report;
    bool good = true;

private:
    std::vector<std::string> keys;
};

bool ReadMoves(const std::string& value, TChannelMoves* moves) {
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos)
            comma = value.size();
        std::string word = value.substr(start, comma - start);
        word.erase(0, word.find_first_not_of(" \t"));
        word.erase(word.find_last_not_of(" \t") + 1);
        if (SameText(word, kMoveChannels))
            moves->channels = true;
        else if (SameText(word, kMoveCommands))
            moves->commands = true;
        else if (SameText(word, kMoveTemplates))
            moves->templates = true;
        else if (SameText(word, kMoveOthers))
            moves->others = true;
        else if (!word.empty() || comma < value.size())
            return false;
        start = comma + 1;
    }
    return true;
}

// "C:\..." or "\\server\share\...".
bool IsFullPath(const std::string& path) {
    bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    bool unc = path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

// The parent folder of dir exists (the page creates the last part only).
bool ParentExists(const std::string& dir) {
    char path[MAX_PATH];
    lstrcpynA(path, dir.c_str(), sizeof path);
    size_t length = std::strlen(path);
    while (length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/'))
        path[--length] = '\0';
    char* file = GetFilePart(path);
    if (file == path)
        return true;  // relative to the working folder, which exists
    *file = '\0';
    return DirExists(path) != 0;
}

void ReadChannelSection(TSectionReader& r, TDeploySettings& s) {
    bool moveGiven = false;
    int moveLine = 0;
    for (const TFileEntry& e : r.section.entries) {
        if (r.Once(e, kDirectoryKey)) {
            s.hasDirectory = true;
            s.directory = e.value;
            s.directoryLine = e.line;
        } else if (r.Once(e, kCreateDirectoryKey)) {
            if (SameText(e.value, kYes))
                s.createDirectory = true;
            else if (!SameText(e.value, kNo))
                r.Refuse("CreateDirectory must be yes or no", e.line);
        } else if (r.Once(e, kMoveKey)) {
            moveGiven = true;
            moveLine = e.line;
            if (!ReadMoves(e.value, &s.moves))
                r.Refuse(
                    "Move takes a list of channel, command, template and other, separated "
                    "by commas",
                    e.line);
        } else {
            r.Unknown(e);
        }
    }
    s.anyMove = s.moves.channels || s.moves.commands || s.moves.templates || s.moves.others;
    if (moveGiven && s.anyMove && !s.hasDirectory)
        r.Refuse("Move needs the Directory to move the files to", moveLine);
    if (!s.hasDirectory)
        return;
    TPageReports errors(r.report, r.page, -1, s.directoryLine);
    if (!CheckChannelDirGiven(s.directory.c_str(), errors)) {
        r.good = false;
        return;
    }
    if (s.directory.size() > kDirLength) {
        r.Refuse(TooLong(kDirectoryKey, kDirLength), s.directoryLine);
        return;
    }
    if (DirExists(s.directory.c_str()))
        return;
    if (!s.createDirectory)
        r.Refuse("The channel file directory does not exist; CreateDirectory=yes creates it",
                 s.directoryLine);
    else if (!ParentExists(s.directory))
        r.Refuse(
            "The channel file directory cannot be created: the folder that would hold it "
            "does not exist",
            s.directoryLine);
}

// "Server12" and the like: the key's kind and its place (1 and up).
bool PlaceKey(const std::string& key, const char* kind, int* place) {
    size_t n = std::strlen(kind);
    if (key.size() <= n || !SameText(key.substr(0, n), kind))
        return false;
    std::string digits = key.substr(n);
    if (digits[0] < '1' || digits[0] > '9' || digits.size() > 4)
        return false;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
    }
    *place = std::atoi(digits.c_str());
    return *place <= kHighestPlace;
}

void CheckServer(TSectionReader& r, const TServerEntry& e, int place, bool hasPort,
                 bool hasSearchBase) {
    std::string n = std::to_string(place);
    const struct {
        const char* key;
        const std::string& text;
    } fields[] = {{kServerKey, e.name}, {kPortKey, e.port}, {kSearchBaseKey, e.searchBase}};
    for (const auto& field : fields) {
        if (field.text.size() > static_cast<size_t>(kServerFieldLength))
            r.Refuse(TooLong(field.key + n, kServerFieldLength), e.line);
    }
    if (e.name.empty()) {
        if (hasPort || hasSearchBase)
            r.Refuse("Port" + n + " or SearchBase" + n + " is given without Server" + n, e.line);
        return;
    }
    bool server = !e.port.empty() && !SameText(e.port, kComPort);
    if (server && e.searchBase.empty()) {
        r.Refuse(LacksSearchBaseText(), e.line);
        return;
    }
    if (!server && !e.searchBase.empty())
        r.Refuse("SearchBase" + n +
                     " is given for a central directory or a Resource Manager, "
                     "which have none",
                 e.line);
}

void ReadNetworkSection(TSectionReader& r, TDeploySettings& s) {
    s.hasNetwork = true;
    struct TGiven {
        bool name = false, port = false, searchBase = false;
    };
    std::vector<TGiven> given;
    for (const TFileEntry& e : r.section.entries) {
        int place = 0;
        int part = PlaceKey(e.key, kServerKey, &place)       ? 0
                   : PlaceKey(e.key, kPortKey, &place)       ? 1
                   : PlaceKey(e.key, kSearchBaseKey, &place) ? 2
                                                             : -1;
        if (part < 0) {
            r.Refuse(Quoted(e.key) +
                         " is no key of this section: Server, Port and SearchBase with a place "
                         "number from 1 to 9999",
                     e.line);
            continue;
        }
        if (s.servers.size() < static_cast<size_t>(place)) {
            s.servers.resize(static_cast<size_t>(place));
            given.resize(static_cast<size_t>(place));
        }
        TServerEntry& entry = s.servers[static_cast<size_t>(place - 1)];
        TGiven& g = given[static_cast<size_t>(place - 1)];
        bool& seen = part == 0 ? g.name : part == 1 ? g.port : g.searchBase;
        if (seen) {
            r.Refuse(e.key + " is given twice", e.line);
            continue;
        }
        seen = true;
        (part == 0 ? entry.name : part == 1 ? entry.port : entry.searchBase) = e.value;
        if (!entry.line || part == 0)
            entry.line = e.line;
    }
    for (size_t i = 0; i < s.servers.size(); ++i)
        CheckServer(r, s.servers[i], static_cast<int>(i + 1), given[i].port, given[i].searchBase);
    while (!s.servers.empty() && s.servers.back().name.empty())
        s.servers.pop_back();
}

// The one key of a section that holds a single setting: other keys are
// refused; null when the key is absent.
const TFileEntry* SingleKey(TSectionReader& r, const char* key) {
    const TFileEntry* found = nullptr;
    for (const TFileEntry& e : r.section.entries) {
        if (r.Once(e, key))
            found = found ? found : &e;
        else
            r.Unknown(e);
    }
    return found;
}

void ReadSettingsSection(TSectionReader& r, TDeploySettings& s) {
    const TFileEntry* e = SingleKey(r, kDesktopKey);
    if (!e)
        return;
    s.hasDesktop = true;
    s.desktop = e->value;
    s.desktopLine = e->line;
    if (e->value.size() > kDirLength)
        r.Refuse(TooLong(kDesktopKey, kDirLength), e->line);
}

void ReadMaxChannelsSection(TSectionReader& r, TDeploySettings& s) {
    const TFileEntry* e = SingleKey(r, kMaxChannelsKey);
    if (!e)
        return;
    s.hasMaxChannels = true;
    s.maxChannelsLine = e->line;
    if (e->value.empty())
        return;  // Korvane's own limit
    bool digits =
        e->value.size() <= 3 && e->value.find_first_not_of("0123456789") == std::string::npos;
    long count = digits ? std::atol(e->value.c_str()) : 0;
    if (!digits || count < TMaxChannels::kDefault || count > TMaxChannels::kHighest)
        r.Refuse("MaxChannels must be a number from 9 to 100, or empty for Korvane's own 9",
                 e->line);
    else
        s.maxChannels = count;
}

bool NameTaken(const std::vector<TNamedValue>& list, const std::string& name) {
    for (const TNamedValue& item : list) {
        if (SameText(item.name, name))
            return true;
    }
    return false;
}

void CheckPlugin(TSectionReader& r, TNamedValue& plugin) {
    const char* path = plugin.value.c_str();
    if (plugin.name.size() > kPluginNameLength) {
        r.Refuse(TooLong("The plug-in name " + Quoted(plugin.name), kPluginNameLength),
                 plugin.line);
        return;
    }
    if (plugin.name.find('\\') != std::string::npos) {
        r.Refuse("The plug-in name " + Quoted(plugin.name) + " holds a backslash (\\)",
                 plugin.line);
        return;
    }
    if (plugin.value.size() > kModulePathLength) {
        r.Refuse(TooLong("The module path of " + Quoted(plugin.name), kModulePathLength),
                 plugin.line);
        return;
    }
    // The page stores the full path it found; a relative one would name
    // another file for Korvane than for this program.
    if (!IsFullPath(plugin.value)) {
        r.Refuse("The module path of " + Quoted(plugin.name) + " must be a full path", plugin.line);
        return;
    }
    if (!FileExists(path)) {
        r.Refuse("The module " + Quoted(plugin.value) + " does not exist", plugin.line);
        return;
    }
    if (!IsPluginModule(path)) {
        r.Refuse(Quoted(plugin.value) + " is not a Korvane plug-in module", plugin.line);
        return;
    }
    TPluginModule module(path);
    if (!module.valid) {
        r.Refuse("The plug-in module " + Quoted(plugin.value) + " does not tell its name",
                 plugin.line);
    } else if (plugin.name != module.Name()) {
        r.Refuse("The module " + Quoted(plugin.value) + " is the plug-in " + Quoted(module.Name()) +
                     ", not " + Quoted(plugin.name),
                 plugin.line);
    } else {
        plugin.helpIndex = module.HelpIndex();
    }
    module.Free();
}

void ReadPluginsSection(TSectionReader& r, TDeploySettings& s) {
    s.hasPlugins = true;
    for (const TFileEntry& e : r.section.entries) {
        if (NameTaken(s.plugins, e.key)) {
            r.Refuse("The plug-in " + Quoted(e.key) + " is given twice", e.line);
            continue;
        }
        s.plugins.push_back(TNamedValue{e.key, e.value, e.line, ""});
        CheckPlugin(r, s.plugins.back());
    }
}

// An unquoted program path must not hold blanks, or the tool would start
// only the part before the first one.
bool ProgramPathHoldsBlanks(const std::string& commandLine) {
    if (commandLine[0] == '"')
        return false;
    size_t blank = commandLine.find_first_of(" \t");
    if (blank == std::string::npos || FileExists(commandLine.c_str()))
        return false;
    std::string program = commandLine.substr(0, blank);
    for (const char* extension : kProgramExtensions) {
        if (EndsWith(program, extension))
            return false;
    }
    return true;
}

void CheckTool(TSectionReader& r, const TNamedValue& tool) {
    if (tool.name.size() > kToolNameLength) {
        r.Refuse(TooLong("The tool name " + Quoted(tool.name), kToolNameLength), tool.line);
        return;
    }
    if (tool.name.find('\\') != std::string::npos) {
        r.Refuse(kToolNameHasBackslash, tool.line);
        return;
    }
    if (tool.value.empty()) {
        r.Refuse("The tool " + Quoted(tool.name) + " has no command line", tool.line);
        return;
    }
    if (tool.value.size() > kCommandLineLength) {
        r.Refuse(kToolCommandTooLong, tool.line);
        return;
    }
    if (tool.value[0] == '"' && tool.value.find('"', 1) == std::string::npos) {
        r.Refuse("The command line of the tool " + Quoted(tool.name) +
                     " opens a double quote that it does not close",
                 tool.line);
        return;
    }
    if (ProgramPathHoldsBlanks(tool.value))
        r.Refuse("The program path of the tool " + Quoted(tool.name) +
                     " holds blanks; put it in double quotes",
                 tool.line);
}

void ReadSharingSection(TSectionReader& r, TDeploySettings& s) {
    s.hasTools = true;
    for (const TFileEntry& e : r.section.entries) {
        if (NameTaken(s.tools, e.key)) {
            r.Refuse(Format(kToolNameTaken, e.key), e.line);
            continue;
        }
        s.tools.push_back(TNamedValue{e.key, e.value, e.line, ""});
        CheckTool(r, s.tools.back());
    }
    if (s.tools.size() > static_cast<size_t>(kMaxTools))
        r.Refuse("The list holds more than " + std::to_string(kMaxTools) + " tools",
                 s.tools[kMaxTools].line);
}

// ---- Writing the machine -------------------------------------------------

class TServerList final : public TServerSource {
public:
    explicit TServerList(const std::vector<TServerEntry>& servers) {
        for (const TServerEntry& e : servers)
            records.emplace_back(NewRecord(e));
    }
    int Count() const override { return static_cast<int>(records.size()); }
    const TRepositoryItem* Record(int index) const override {
        return records[static_cast<size_t>(index)].get();
    }

private:
    // A place without an item is stored with an empty name, which the page
    // passes over while the places after it still load.
    static TRepositoryItem* NewRecord(const TServerEntry& e) {
        // Out of memory, a place stays without its record, and the store
        // passes over it.
        if (e.port.empty())
            return new (std::nothrow) TRepositoryItem(e.name.c_str(), TRepositoryItem::Directory);
        if (SameText(e.port, kComPort))
            return new (std::nothrow)
                TRepositoryItem(e.name.c_str(), TRepositoryItem::ResourceManager);
        return new (std::nothrow)
            TRepositoryItem(e.name.c_str(), e.port.c_str(), e.searchBase.c_str());
    }

    std::vector<std::unique_ptr<TRepositoryItem>> records;
};

class TToolList final : public TToolSource {
public:
    explicit TToolList(const std::vector<TNamedValue>& tools) : tools(tools) {}
    int ToolCount() override { return static_cast<int>(tools.size()); }
    int GetTool(int index, const char** name, const char** commandLine) override {
        *name = tools[static_cast<size_t>(index)].name.c_str();
        *commandLine = tools[static_cast<size_t>(index)].value.c_str();
        return 1;
    }

private:
    const std::vector<TNamedValue>& tools;
};

void ApplyChannelFiles(const TDeploySettings& s, TReport& report) {
    TPageReports errors(report, kChannelFilesPage);
    const char* dir = s.directory.c_str();
    // As the page's OK: a directory that is missing is created first.
    if (!DirExists(dir) && !CreateChannelDir(dir, errors))
        return;
    const TChannelDir current = ReadChannelDir();
    const bool oldDir = current.stored && !current.cut && current.dir[0];
    if (oldDir && FileEqual(dir, current.dir))
        return;
    if (!SaveChannelDir(dir, errors) || !oldDir || !s.anyMove)
        return;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    MoveChannelFiles(current.dir, dir, s.moves, errors);
    SetCursor(previous);
}

void ApplyPlugins(const TDeploySettings& s, TReport& report) {
    TPageReports errors(report, kPluginsPage);
    // The installed plug-ins are read as the page reads them, so that the
    // save takes their help lines out of the contents file; then the list
    // is the file's.
    TPluginStore store(nullptr);
    store.LoadRegisteredPlugins();
    for (TPluginRec* rec = store.Plugins(); rec; rec = rec->next)
        rec->flags &= ~kPluginChecked;
    store.UnlistUnchecked();
    for (const TNamedValue& plugin : s.plugins) {
        store.AddPlugin(plugin.name.c_str(), plugin.value.c_str(), plugin.helpIndex.c_str(), 0);
        store.SetChecked(plugin.name.c_str(), 1);
    }
    store.Save(errors);
}

void ApplyMaxChannels(const TDeploySettings& s, TReport& report) {
    TPageReports errors(report, kMaxChannelsPage);
    TMaxChannels setting;
    setting.useOther = s.maxChannels != 0;
    setting.count = setting.useOther ? s.maxChannels : TMaxChannels::kDefault;
    WriteMaxChannels(setting, errors);
}

// ---- Comparing -----------------------------------------------------------

std::string Shown(const std::string& text) {
    return text.empty() ? std::string("nothing") : Quoted(text);
}

void Differs(TReport& report, const char* page, const std::string& what, const std::string& inFile,
             const std::string& here, int line) {
    report.Problem(
        page,
        what + " differs: the file has " + Shown(inFile) + ", this machine has " + Shown(here),
        kProblemError, line);
}

std::string ServerText(const TServerEntry& e) {
    if (e.name.empty())
        return "";
    std::string text = e.name;
    if (!e.port.empty())
        text += ":" + (SameText(e.port, kComPort) ? std::string(kComPort) : e.port);
    if (!e.searchBase.empty())
        text += ":" + e.searchBase;
    return text;
}

void CompareLists(TReport& report, const char* page, const char* what,
                  const std::vector<TNamedValue>& inFile, const std::vector<TNamedValue>& here,
                  bool pathsCompare) {
    for (const TNamedValue& f : inFile) {
        const TNamedValue* m = nullptr;
        for (const TNamedValue& candidate : here) {
            if (SameText(candidate.name, f.name))
                m = &candidate;
        }
        bool same = m && (pathsCompare ? FileEqual(m->value.c_str(), f.value.c_str()) != 0
                                       : m->value == f.value);
        if (!same)
            Differs(report, page, std::string(what) + " " + Quoted(f.name), f.value,
                    m ? m->value : "", f.line);
    }
    for (const TNamedValue& m : here) {
        if (!NameTaken(inFile, m.name))
            Differs(report, page, std::string(what) + " " + Quoted(m.name), "", m.value, 0);
    }
}

}  // namespace

TDeploySettings ReadMachineSettings(TReport& report, int loadKind) {
    TDeploySettings s;
    ReadNetwork(s, report, loadKind);
    ReadChannelFiles(s, report, loadKind);
    s.korvanePages = TConfigDlg::ProductKeyExists() != 0;
    if (!s.korvanePages)
        return s;
    ReadDesktop(s, report, loadKind);
    ReadPlugins(s, report, loadKind);
    ReadMaxChannelsSetting(s, report, loadKind);
    ReadToolsSetting(s, report, loadKind);
    return s;
}

void CheckMachineSettings(const TDeploySettings& machine, TReport& report) {
    TPageReports errors(report, kChannelFilesPage);
    if (!machine.hasDirectory)
        CheckChannelDirGiven("", errors);
    else if (!DirExists(machine.directory.c_str()))
        report.Problem(kChannelFilesPage, "The channel file directory does not exist",
                       kProblemError);
    if (machine.korvanePages && KorvaneIsRunning())
        report.Problem(kPluginsPage, RestartKorvaneText(), kProblemWarning);
}

bool ToSettingsFile(const TDeploySettings& s, TSettingsFile* file, TReport& report) {
    file->sections.clear();
    TFileSection& channel = file->Add(kChannelFilesPage);
    if (s.hasDirectory)
        channel.entries.push_back(TFileEntry{kDirectoryKey, s.directory, 0});
    TFileSection& network = file->Add(kNetworkPage);
    for (size_t i = 0; i < s.servers.size(); ++i) {
        const TServerEntry& e = s.servers[i];
        if (e.name.empty())
            continue;
        std::string n = std::to_string(i + 1);
        network.entries.push_back(TFileEntry{kServerKey + n, e.name, 0});
        if (!e.port.empty())
            network.entries.push_back(TFileEntry{kPortKey + n, e.port, 0});
        if (!e.searchBase.empty())
            network.entries.push_back(TFileEntry{kSearchBaseKey + n, e.searchBase, 0});
    }
    if (s.korvanePages) {
        TFileSection& settings = file->Add(kSettingsPage);
        if (s.hasDesktop)
            settings.entries.push_back(TFileEntry{kDesktopKey, s.desktop, 0});
        TFileSection& plugins = file->Add(kPluginsPage);
        for (const TNamedValue& p : s.plugins)
            plugins.entries.push_back(TFileEntry{p.name, p.value, 0});
        TFileSection& max = file->Add(kMaxChannelsPage);
        max.entries.push_back(TFileEntry{
            kMaxChannelsKey, s.maxChannels ? std::to_string(s.maxChannels) : std::string(), 0});
        TFileSection& sharing = file->Add(kSharingPage);
        for (const TNamedValue& t : s.tools)
            sharing.entries.push_back(TFileEntry{t.name, t.value, 0});
    }
    std::string text;
    std::vector<TFileProblem> problems;
    if (file->Write(&text, &problems))
        return true;
    for (const TFileProblem& p : problems)
        report.Problem(p.section.empty() ? nullptr : p.section.c_str(), p.text, kProblemError);
    return false;
}

bool FromSettingsFile(const TSettingsFile& file, TDeploySettings* settings, TReport& report) {
    TDeploySettings& s = *settings;
    s = TDeploySettings();
    s.korvanePages = TConfigDlg::ProductKeyExists() != 0;
    bool good = true;
    using TReadFn = void (*)(TSectionReader&, TDeploySettings&);
    const struct {
        const char* page;
        TReadFn read;
        bool korvane;
    } pages[] = {
        {kChannelFilesPage, ReadChannelSection, false},   {kNetworkPage, ReadNetworkSection, false},
        {kSettingsPage, ReadSettingsSection, true},       {kPluginsPage, ReadPluginsSection, true},
        {kMaxChannelsPage, ReadMaxChannelsSection, true}, {kSharingPage, ReadSharingSection, true},
    };
    for (const TFileSection& section : file.sections) {
        bool known = false;
        for (const auto& page : pages)
            known = known || SameText(section.name, page.page);
        if (!known) {
            report.Problem(nullptr,
                           "[" + section.name +
                               "] is no page: the sections are [Channel files], [Network], "
                               "[Settings], [Plug-ins], [Max. channels] and [Channel sharing]",
                           kProblemError, section.line);
            good = false;
        }
    }
    for (const auto& page : pages) {
        const TFileSection* section = file.Find(page.page);
        if (!section)
            continue;
        if (page.korvane && !s.korvanePages) {
            // One file for every machine: the suite's own settings still
            // apply where Korvane is missing.
            report.Problem(page.page,
                           "Korvane is not installed on this machine; the section is left out",
                           kProblemWarning, section->line);
            continue;
        }
        TSectionReader reader(*section, page.page, report);
        page.read(reader, s);
        good = good && reader.good;
    }
    return good;
}

void ApplySettings(const TDeploySettings& s, TReport& report) {
    // The order in which OK saves the pages.
    if (s.hasNetwork) {
        TPageReports errors(report, kNetworkPage);
        WriteServers(TServerList(s.servers), errors);
    }
    if (s.hasDirectory)
        ApplyChannelFiles(s, report);
    if (!s.korvanePages)
        return;
    if (s.hasDesktop) {
        TPageReports errors(report, kSettingsPage);
        if (s.desktop.empty())
            RemoveDesktopDir(errors);
        else
            WriteDesktopDir(s.desktop.c_str(), errors);
    }
    if (s.hasPlugins)
        ApplyPlugins(s, report);
    if (s.hasMaxChannels)
        ApplyMaxChannels(s, report);
    if (s.hasTools) {
        TPageReports errors(report, kSharingPage);
        TToolList tools(s.tools);
        WriteTools(tools, errors);
    }
}

void CompareSettings(const TDeploySettings& f, const TDeploySettings& m, TReport& report) {
    if (f.hasDirectory && (!m.hasDirectory || !FileEqual(f.directory.c_str(), m.directory.c_str())))
        Differs(report, kChannelFilesPage, kDirectoryKey, f.directory, m.directory,
                f.directoryLine);
    if (f.hasNetwork) {
        size_t places = std::max(f.servers.size(), m.servers.size());
        for (size_t i = 0; i < places; ++i) {
            std::string a = i < f.servers.size() ? ServerText(f.servers[i]) : "";
            std::string b = i < m.servers.size() ? ServerText(m.servers[i]) : "";
            if (a != b)
                Differs(report, kNetworkPage, "Place " + std::to_string(i + 1), a, b,
                        i < f.servers.size() ? f.servers[i].line : 0);
        }
    }
    if (!f.korvanePages)
        return;
    if (f.hasDesktop && f.desktop != m.desktop)
        Differs(report, kSettingsPage, kDesktopKey, f.desktop, m.desktop, f.desktopLine);
    if (f.hasPlugins)
        CompareLists(report, kPluginsPage, "The plug-in", f.plugins, m.plugins, true);
    if (f.hasMaxChannels && f.maxChannels != m.maxChannels)
        Differs(report, kMaxChannelsPage, kMaxChannelsKey,
                f.maxChannels ? std::to_string(f.maxChannels) : "",
                m.maxChannels ? std::to_string(m.maxChannels) : "", f.maxChannelsLine);
    if (f.hasTools)
        CompareLists(report, kSharingPage, "The tool", f.tools, m.tools, false);
}
