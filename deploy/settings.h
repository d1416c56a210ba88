// Every setting the pages keep, as one value: read from this machine
// through the pages' stores, read from a settings file with the pages'
// rules, written to this machine through the stores in the order of OK,
// and compared.
#pragma once

#include "deploy/settings_file.h"
#include "pages/local/chn_dir_store.h"

#include <string>
#include <vector>

class TReport;

// The pages' names as the dialog's tree shows them, which are also the
// sections of the settings file.
extern const char kChannelFilesPage[];
extern const char kNetworkPage[];
extern const char kSettingsPage[];
extern const char kPluginsPage[];
extern const char kMaxChannelsPage[];
extern const char kSharingPage[];

// One place of the Network list; an empty name is a place without an item.
struct TServerEntry {
    std::string name;
    std::string port;  // empty for a directory
    std::string searchBase;
    int line = 0;
};

// A plug-in or a tool: its name and its module path or command line.
struct TNamedValue {
    std::string name;
    std::string value;
    int line = 0;
    std::string helpIndex;  // a plug-in's, as its module tells it
};

// A setting read from a file is there only when its key (or, for a list,
// its section) is; one read from the machine always is.
struct TDeploySettings {
    bool hasDirectory = false;
    std::string directory;
    int directoryLine = 0;
    bool createDirectory = false;
    TChannelMoves moves;
    bool anyMove = false;

    bool hasNetwork = false;
    std::vector<TServerEntry> servers;

    // The four pages that exist only where Korvane is installed.
    bool korvanePages = false;

    bool hasDesktop = false;
    std::string desktop;  // empty: no directory of its own
    int desktopLine = 0;

    bool hasPlugins = false;
    std::vector<TNamedValue> plugins;

    bool hasMaxChannels = false;
    long maxChannels = 0;  // 0: Korvane's own limit
    int maxChannelsLine = 0;

    bool hasTools = false;
    std::vector<TNamedValue> tools;
};

// What the pages would load; what a page would refuse or drop is reported
// with the given kind (-1: the page's own), and left out.
TDeploySettings ReadMachineSettings(TReport& report, int loadKind);
// The problems that OK would report for what is stored now.
void CheckMachineSettings(const TDeploySettings& machine, TReport& report);

// The settings file's text for the settings.
bool ToSettingsFile(const TDeploySettings& settings, TSettingsFile* file, TReport& report);
// Reads the file's sections with every page's rules; false when any
// setting in it is refused (each is reported).
bool FromSettingsFile(const TSettingsFile& file, TDeploySettings* settings, TReport& report);

// Saves what the settings hold, page by page in the order of OK, through
// the pages' stores; each failure is reported, and the others go on.
void ApplySettings(const TDeploySettings& settings, TReport& report);

// Reports each setting of the file that differs from the machine's.
void CompareSettings(const TDeploySettings& file, const TDeploySettings& machine, TReport& report);
