// The plug-ins' store read over random subkeys of its key and a random
// installation path, a row checked or unchecked or the product directory
// scanned again now and then, then saved: the list holds the modules the
// store names, and after the save the key holds the checked rows and the
// help contents file their help lines. Now and then the Plug-ins page is
// built over the same data and OK pressed, as a user would.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"

#include "plugins/plugin_module.h"
#include "plugins/plugin_store.h"
#include "resources/plugin_page_ids.h"
#include "sheet/config_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace kt_fuzz {
namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kPluginsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Plugins";
const char kAppPathsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths";
const char kPluginsSubkey[] = "Plugins";
const char kAppPathsSubkey[] = "AppPaths";
const char kErrorCaption[] = "KT&C Error";
const char kIndexCommand[] = ":Index ";
// A contents file with headers and entries, without plug-in lines.
const char kContents[] =
    ":Base korvane.hlp\r\n:Title Korvane Help\r\n1 Korvane\r\n2 Start=start\r\n";
constexpr LONG kRegisteredPathSize = 2048;
// Most cases read and save through the store without windows; the modules
// stay loaded and the contents file is written once for the whole run, and
// a case empties only the keys it wrote: a case costs a millisecond or two
// under Wine, a dialog case tens. A longer run asks for more with
// KT_FUZZ_CASES.
constexpr int kCases = 10000;
constexpr DWORD kTimeLimitMs = 240000;

std::string ModuleFile(const std::string& name) {
#ifdef KT_TEST_MODULE_DIR
    return kt_test::WindowsPath(KT_TEST_MODULE_DIR) + "\\" + name + ".dll";
#else
    ADD_FAILURE() << "this test program was built without the test modules' directory";
    return std::string();
#endif
}

struct Row {
    std::string name;
    bool checked;
    bool operator==(const Row& other) const {
        return name == other.name && checked == other.checked;
    }
    bool operator<(const Row& other) const {
        return name != other.name ? name < other.name : checked < other.checked;
    }
};

std::string Describe(const std::vector<Row>& rows) {
    std::string text;
    for (const Row& row : rows)
        text += "\n  [" + row.name.substr(0, 40) + (row.checked ? " | checked]" : "]");
    return text.empty() ? " none" : text;
}

bool SameRows(std::vector<Row> a, std::vector<Row> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

HWND List(HWND page) {
    return GetDlgItem(page, IDC_PLUGIN_LIST);
}

std::vector<Row> ShownRows(HWND page) {
    std::vector<Row> rows;
    HWND list = List(page);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        char text[2048] = "";
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
        bool checked = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0) != 0;
        rows.push_back({text, checked});
    }
    return rows;
}

// The rows as a check list would hold them: appended at the end, found
// again without regard to case.
class RowMirror final : public TPluginRows {
public:
    void AppendRow(const char* name, int checked) override { rows.push_back({name, checked != 0}); }
    bool RemoveRow(const char* name) override {
        auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& candidate) {
            return lstrcmpiA(candidate.name.c_str(), name) == 0;
        });
        if (row == rows.end())
            return false;
        rows.erase(row);
        return true;
    }

    std::vector<Row> rows;
};

// What a careful reading of the stored data lists, and each listed
// plug-in's module.
struct Listing {
    std::vector<Row> rows;
    std::map<std::string, std::string> fileOf;

    bool Listed(const std::string& name) const {
        return std::any_of(rows.begin(), rows.end(),
                           [&](const Row& row) { return row.name == name; });
    }
    void Add(const std::string& name, const std::string& file, bool checked) {
        rows.push_back({name, checked});
        fileOf[name] = file;
    }
};

// The store's record of each listed row: the module's path and its mark;
// as read, the registered ones are just the checked ones.
void ExpectRecords(const TPluginStore& store, const Listing& listing, bool asRead) {
    const int compared = asRead ? ~0 : kPluginListed | kPluginChecked;
    for (const Row& row : listing.rows) {
        const TPluginRec* rec = store.FindListedPlugin(row.name.c_str());
        const int registered = asRead && row.checked ? kPluginRegistered : 0;
        const int flags = kPluginListed | registered | (row.checked ? kPluginChecked : 0);
        EXPECT_TRUE(rec && rec->file == listing.fileOf.at(row.name) &&
                    (rec->flags & compared) == flags)
            << row.name.substr(0, 40) << (asRead ? " as read: " : " after a scan: ")
            << (rec ? rec->file : "none");
    }
}

// The key's contents after a save of rows: one subkey per checked row,
// named as the row, holding the module's path.
void ExpectSaved(const Listing& listing, const char* after) {
    size_t checked = 0;
    for (const Row& row : listing.rows) {
        if (!row.checked)
            continue;
        ++checked;
        StoredValue value;
        const std::string& file = listing.fileOf.at(row.name);
        EXPECT_TRUE(
            Load(HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + row.name, nullptr, &value) &&
            value.type == REG_SZ && TextOf(value) == file)
            << row.name.substr(0, 40) << " after " << after << ": " << Shown(value.data);
    }
    EXPECT_EQ(checked, SubkeyNames(HKEY_LOCAL_MACHINE, kPluginsKey).size())
        << "subkeys after " << after;
}

// The lines of text, each without its line end.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n  ";
    return text.empty() ? "none" : text;
}

class PluginsFuzz : public testing::Test {
protected:
    void SetUp() override {
        // The product's directory: three modules a scan finds, one of them
        // reporting a name that a registered module has too.
        for (const char* name : {"pl_alpha", "pl_gamma", "pl_twin2"}) {
            std::string target = productDir.File(std::string(name) + ".dll");
            ASSERT_TRUE(CopyFileA(ModuleFile(name).c_str(), target.c_str(), FALSE)) << target;
        }
        modules = {
            {ModuleFile("pl_alpha"), "Alpha", "Alpha Help=alpha.hlp"},
            {ModuleFile("pl_beta"), "Beta", "Beta Help=beta.hlp"},
            {ModuleFile("pl_twin1"), "Twin", "Twin=twin1.hlp"},
            {productDir.File("pl_alpha.dll"), "Alpha", "Alpha Help=alpha.hlp"},
            {productDir.File("pl_gamma.dll"), "Gamma", ""},
            {productDir.File("pl_twin2.dll"), "Twin", "Twin=twin2.hlp"},
        };
        // Loaded once for the run: the loads of the code under test only
        // count references then, where a load of its own would cost
        // milliseconds under Wine.
        for (const Module& module : modules) {
            HMODULE handle = LoadLibraryA(module.path.c_str());
            ASSERT_NE(nullptr, handle) << module.path;
            loaded.push_back(handle);
        }
        char program[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
        ASSERT_TRUE(length > 0 && length < sizeof program);
        contentsPath = program;
        contentsPath.erase(contentsPath.find_last_of('\\') + 1);
        contentsPath += "korvane.cnt";
        WriteContents();
    }

    void TearDown() override {
        for (HMODULE handle : loaded)
            FreeLibrary(handle);
        DeleteFileA(contentsPath.c_str());
        DeleteFileA((contentsPath.substr(0, contentsPath.size() - 3) + "new").c_str());
    }

    struct Module {
        std::string path;
        std::string name;
        std::string helpIndex;
    };

    // The module path names, null for a path that names none.
    const Module* ModuleAt(const std::string& path) const {
        for (const Module& module : modules) {
            if (lstrcmpiA(module.path.c_str(), path.c_str()) == 0)
                return &module;
        }
        return nullptr;
    }

    // The product key with nothing in it, as the first case finds it.
    // A case writes only the default values of AppPaths and of subkeys of
    // Plugins, which has no deeper subkeys: deleting those keys empties the
    // product key at a fraction of the registry calls of a tree delete.
    bool EmptyProductKey() const {
        HKEY product = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &product, nullptr) != ERROR_SUCCESS)
            return false;
        HKEY plugins = nullptr;
        if (RegOpenKeyExA(product, kPluginsSubkey, 0, KEY_ALL_ACCESS, &plugins) == ERROR_SUCCESS) {
            char name[1024];
            DWORD length = sizeof name;
            while (RegEnumKeyExA(plugins, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS &&
                   RegDeleteKeyA(plugins, name) == ERROR_SUCCESS)
                length = sizeof name;
            RegCloseKey(plugins);
            RegDeleteKeyA(product, kPluginsSubkey);  // checked below
        }
        RegDeleteKeyA(product, kAppPathsSubkey);  // checked below
        DWORD subkeys = 1, values = 1;
        const bool empty =
            RegQueryInfoKeyA(product, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
            subkeys == 0 && values == 0;
        RegCloseKey(product);
        return empty;
    }

    void StoreRandomData(Random& random) {
        const bool scanned = random.Chance(25);
        if (scanned)
            Store(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr,
                  RandomValue(random, productDir.File("korvane.exe")));
        else if (random.Chance(50))
            Store(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, RandomValue(random));
        if (!random.Chance(90))
            return;
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPluginsKey);
        for (int count = random.Below(4); count > 0; --count) {
            std::string name =
                random.Chance(50)
                    ? random.Pick(std::vector<std::string>{"Alpha", "Beta", "Twin", "Other"})
                    : random.Name();
            std::string path = random.Chance(60)   ? random.Pick(modules).path
                               : random.Chance(50) ? productDir.File("missing.dll")
                                                   : random.Text(random.Length());
            Store(HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + name, nullptr,
                  RandomValue(random, path));
        }
    }

    // The rows a scan of the product directory adds to listing, unchecked,
    // in any order.
    void AddFound(Listing* listing) const {
        for (const char* file : {"pl_alpha.dll", "pl_gamma.dll", "pl_twin2.dll"}) {
            std::string path = productDir.File(file);
            const Module* module = ModuleAt(path);
            if (module && !listing->Listed(module->name))
                listing->Add(module->name, path, false);
        }
    }

    // The rows the store describes: registered modules that load, checked,
    // in the order of the subkeys, one row per name; then what the scan
    // finds.
    Listing ReadStored() const {
        Listing listing;
        for (const std::string& subkey : SubkeyNames(HKEY_LOCAL_MACHINE, kPluginsKey)) {
            LONG status;
            std::string path =
                ReadAsPages(HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + subkey,
                            kRegisteredPathSize, &status);
            const Module* module = status == ERROR_SUCCESS ? ModuleAt(path) : nullptr;
            if (module && !listing.Listed(module->name))
                listing.Add(module->name, path, true);
        }
        LONG status;
        std::string installed = ReadAsPages(HKEY_LOCAL_MACHINE, kAppPathsKey, MAX_PATH, &status);
        if (status == ERROR_SUCCESS &&
            lstrcmpiA(installed.c_str(), productDir.File("korvane.exe").c_str()) == 0)
            AddFound(&listing);
        return listing;
    }

    // The contents file as a run starts: headers and entries, no help line.
    void WriteContents() const {
        HANDLE file = CreateFileA(contentsPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << contentsPath;
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, kContents, sizeof kContents - 1, &written, nullptr) &&
                    written == sizeof kContents - 1);
        CloseHandle(file);
    }

    // The contents file is written once for the run and carries its help
    // lines from case to case, as an installation does from session to
    // session: a failure there shows the lines the earlier cases left, and
    // KT_FUZZ_CASES (the failing case number plus one) runs the cases that
    // led to it.
    //
    // The help lines a save leaves: those of earlier saves, less every line
    // of a plug-in read as registered (checked as stored), and one for each
    // checked row whose module has a help index. Each help file has one
    // help index among the test modules, so that a line put in place of an
    // old one for the same help file is the same line.
    void Saved(const Listing& stored, const Listing& saved) {
        for (const Row& row : stored.rows) {
            const Module* module = ModuleAt(stored.fileOf.at(row.name));
            if (!row.checked || !module || module->helpIndex.empty())
                continue;
            const std::string line = kIndexCommand + module->helpIndex;
            helpLines.erase(std::remove(helpLines.begin(), helpLines.end(), line), helpLines.end());
        }
        for (const Row& row : saved.rows) {
            const Module* module = ModuleAt(saved.fileOf.at(row.name));
            const std::string line = module ? kIndexCommand + module->helpIndex : std::string();
            if (row.checked && module && !module->helpIndex.empty() &&
                std::find(helpLines.begin(), helpLines.end(), line) == helpLines.end())
                helpLines.push_back(line);
        }
    }

    // The contents file's own lines as they were, and before its first
    // entry the help lines the saves so far left, in any order.
    void ExpectContents(const char* after) const {
        std::vector<std::string> own, indexes;
        bool entrySeen = false, indexAfterEntry = false;
        for (const std::string& line : Lines(kt_test::ReadFileText(contentsPath))) {
            const bool index = line.compare(0, sizeof kIndexCommand - 1, kIndexCommand) == 0;
            (index ? indexes : own).push_back(line);
            indexAfterEntry = indexAfterEntry || (index && entrySeen);
            entrySeen = entrySeen || (!line.empty() && line[0] != ':');
        }
        std::vector<std::string> wanted = helpLines;
        std::sort(wanted.begin(), wanted.end());
        std::sort(indexes.begin(), indexes.end());
        EXPECT_TRUE(own == Lines(kContents) && indexes == wanted && !indexAfterEntry)
            << "contents file after " << after << ":\n"
            << kt_test::ReadFileText(contentsPath) << "help lines wanted:\n  " << Joined(wanted);
    }

    // The page built over the stored data, a row clicked now and then, OK.
    void RunDialog(Random& random, const Listing& stored, const std::vector<Row>& storeRows,
                   BoxAnswerer& boxes) {
        boxes.Clear();
        const auto before = KeyContents(HKEY_LOCAL_MACHINE, kPluginsKey);
        kt_test::ConfigDialogFixture dialog;
        ASSERT_NE(nullptr, dialog.Build());
        HWND page = dialog.PageWindow("Plug-ins");
        ASSERT_NE(nullptr, page);
        Listing shown = stored;
        shown.rows = ShownRows(page);
        EXPECT_TRUE(SameRows(shown.rows, stored.rows))
            << "shown:" << Describe(shown.rows) << "\nstored:" << Describe(stored.rows);
        EXPECT_TRUE(shown.rows == storeRows)
            << "shown:" << Describe(shown.rows) << "\nread by the store:" << Describe(storeRows);
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front();

        // The user checks or unchecks a row, or changes nothing.
        bool changed = false;
        if (!shown.rows.empty() && random.Chance(60)) {
            size_t row = static_cast<size_t>(random.Below(static_cast<int>(shown.rows.size())));
            SendMessageA(List(page), LB_SETCURSEL, row, 0);
            SendMessageA(List(page), WM_KEYDOWN, VK_SPACE, 1);
            SendMessageA(List(page), WM_CHAR, ' ', 1);
            SendMessageA(List(page), WM_KEYUP, VK_SPACE, 0xC0000001);
            shown.rows[row].checked = !shown.rows[row].checked;
            changed = true;
            EXPECT_TRUE(ShownRows(page) == shown.rows)
                << "after the click:" << Describe(ShownRows(page));
        }

        dialog.PressOk();
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();
        if (!changed) {
            EXPECT_TRUE(before == KeyContents(HKEY_LOCAL_MACHINE, kPluginsKey))
                << "an unchanged list was written";
            ExpectContents("an unchanged OK");
            return;
        }
        ExpectSaved(shown, "OK");
        Saved(stored, shown);
        ExpectContents("OK");
    }

    kt_test::RegistrySandbox sandbox;
    kt_test::TempDir productDir;
    std::vector<Module> modules;
    std::vector<HMODULE> loaded;
    std::string contentsPath;
    std::vector<std::string> helpLines;
    TPageFactorySwap noChnDir{"Channel files", nullptr};
    TPageFactorySwap noNetwork{"Network", nullptr};
    TPageFactorySwap noInstall{"Korvane", nullptr};
    TPageFactorySwap noDesktop{"Settings", nullptr};
    TPageFactorySwap noMaxChannels{"Max. channels", nullptr};
    TPageFactorySwap noSharing{"Channel sharing", nullptr};
};

TEST_F(PluginsFuzz, StoredPluginsAreListedAndKeptBySaving) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    BoxAnswerer boxes({{kErrorCaption, IDOK}});
    CollectedErrors errors;
    RunCases("plug-ins store", kCases, [&](Random& random, int caseNumber) {
        ASSERT_TRUE(EmptyProductKey());
        errors.Clear();
        StoreRandomData(random);
        Listing stored = ReadStored();

        // Read as the page reads it when it opens.
        RowMirror mirror;
        TPluginStore store(&mirror);
        store.LoadRegisteredPlugins();
        char dir[MAX_PATH];
        if (store.InstalledDir(dir, sizeof dir))
            store.ScanDir(dir);
        EXPECT_TRUE(SameRows(mirror.rows, stored.rows))
            << "read:" << Describe(mirror.rows) << "\nstored:" << Describe(stored.rows);
        ExpectRecords(store, stored, true);

        if (BuildsDialog(caseNumber))
            RunDialog(random, stored, mirror.rows, boxes);

        // The user checks or unchecks a row, scans the product directory
        // again, or changes nothing.
        bool changed = false;
        if (!mirror.rows.empty() && random.Chance(60)) {
            const int pick = random.Below(static_cast<int>(mirror.rows.size()));
            Row& row = mirror.rows[static_cast<size_t>(pick)];
            row.checked = !row.checked;
            EXPECT_EQ(1, store.SetChecked(row.name.c_str(), row.checked));
            changed = true;
        }
        Listing edited = stored;
        edited.rows = mirror.rows;
        if (random.Chance(15)) {
            Listing kept;
            for (const Row& row : edited.rows) {
                if (row.checked)
                    kept.Add(row.name, edited.fileOf[row.name], true);
            }
            AddFound(&kept);
            edited = kept;
            store.ScanDir(productDir.Path().c_str());
            EXPECT_TRUE(SameRows(mirror.rows, edited.rows))
                << "after a scan:" << Describe(mirror.rows) << "\nwanted:" << Describe(edited.rows);
            ExpectRecords(store, edited, false);
            changed = true;
        }

        const auto before = KeyContents(HKEY_LOCAL_MACHINE, kPluginsKey);
        if (changed) {
            store.Save(errors);
            ExpectSaved(edited, "the save");
            Saved(stored, edited);
            ExpectContents("the save");
        } else {
            EXPECT_TRUE(before == KeyContents(HKEY_LOCAL_MACHINE, kPluginsKey))
                << "an unchanged list was written";
        }
        EXPECT_TRUE(errors.Reports().empty()) << errors.Reports().front();
    });
}

}  // namespace
}  // namespace kt_fuzz
