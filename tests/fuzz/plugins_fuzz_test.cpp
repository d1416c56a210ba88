// The Plug-ins page built over random subkeys of its key and a random
// installation path, a row checked or unchecked now and then, then OK: the
// list shows the modules the store names, and after OK the key holds the
// checked rows as the list showed them.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_host.h"

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
const char kTavrelKey[] = "SOFTWARE\\Tavrel";
const char kErrorCaption[] = "KT&C Error";
constexpr LONG kRegisteredPathSize = 2048;
// Each case builds the dialog anew, which under Wine takes tens of
// milliseconds: the count keeps the entry within a minute or so; a longer
// run asks for more with KT_FUZZ_CASES.
constexpr int kCases = 300;
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
            {ModuleFile("pl_alpha"), "Alpha"},          {ModuleFile("pl_beta"), "Beta"},
            {ModuleFile("pl_twin1"), "Twin"},           {productDir.File("pl_alpha.dll"), "Alpha"},
            {productDir.File("pl_gamma.dll"), "Gamma"}, {productDir.File("pl_twin2.dll"), "Twin"},
        };
    }

    // The name a module reports, empty for a path that names none.
    std::string NameOf(const std::string& path) const {
        for (const auto& module : modules) {
            if (lstrcmpiA(module.first.c_str(), path.c_str()) == 0)
                return module.second;
        }
        return std::string();
    }

    kt_test::RegistrySandbox sandbox;
    kt_test::TempDir productDir;
    std::vector<std::pair<std::string, std::string>> modules;
    TPageFactorySwap noChnDir{"Channel files", nullptr};
    TPageFactorySwap noNetwork{"Network", nullptr};
    TPageFactorySwap noInstall{"Korvane", nullptr};
    TPageFactorySwap noDesktop{"Settings", nullptr};
    TPageFactorySwap noMaxChannels{"Max. channels", nullptr};
    TPageFactorySwap noSharing{"Channel sharing", nullptr};
};

TEST_F(PluginsFuzz, StoredPluginsAreShownAndKeptByOk) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    BoxAnswerer boxes({{kErrorCaption, IDOK}});
    RunCases("plug-ins page", kCases, [&](Random& random, int) {
        DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        boxes.Clear();

        const bool scanned = random.Chance(25);
        if (scanned)
            Store(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr,
                  RandomValue(random, productDir.File("korvane.exe")));
        else if (random.Chance(50))
            Store(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, RandomValue(random));
        if (random.Chance(90)) {
            kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPluginsKey);
            for (int count = random.Below(4); count > 0; --count) {
                std::string name =
                    random.Chance(50)
                        ? random.Pick(std::vector<std::string>{"Alpha", "Beta", "Twin", "Other"})
                        : random.Name();
                std::string path = random.Chance(60)   ? random.Pick(modules).first
                                   : random.Chance(50) ? productDir.File("missing.dll")
                                                       : random.Text(random.Length());
                Store(HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + name, nullptr,
                      RandomValue(random, path));
            }
        }

        // The rows the store describes: registered modules that load,
        // checked, in the order of the subkeys, one row per name; then what
        // the scan finds, unchecked, in any order.
        std::vector<Row> expected;
        std::map<std::string, std::string> fileOf;
        auto listed = [&](const std::string& name) {
            return std::any_of(expected.begin(), expected.end(),
                               [&](const Row& row) { return row.name == name; });
        };
        for (const std::string& subkey : SubkeyNames(HKEY_LOCAL_MACHINE, kPluginsKey)) {
            LONG status;
            std::string path =
                ReadAsPages(HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + subkey,
                            kRegisteredPathSize, &status);
            std::string name = status == ERROR_SUCCESS ? NameOf(path) : std::string();
            if (!name.empty() && !listed(name)) {
                expected.push_back({name, true});
                fileOf[name] = path;
            }
        }
        LONG status;
        std::string installed = ReadAsPages(HKEY_LOCAL_MACHINE, kAppPathsKey, MAX_PATH, &status);
        if (status == ERROR_SUCCESS &&
            lstrcmpiA(installed.c_str(), productDir.File("korvane.exe").c_str()) == 0) {
            for (const char* file : {"pl_alpha.dll", "pl_gamma.dll", "pl_twin2.dll"}) {
                std::string path = productDir.File(file);
                std::string name = NameOf(path);
                if (!listed(name)) {
                    expected.push_back({name, false});
                    fileOf[name] = path;
                }
            }
        }
        const auto before = KeyContents(HKEY_LOCAL_MACHINE, kPluginsKey);

        kt_test::ConfigDialogFixture dialog;
        ASSERT_NE(nullptr, dialog.Build());
        HWND page = dialog.PageWindow("Plug-ins");
        ASSERT_NE(nullptr, page);
        std::vector<Row> shown = ShownRows(page);
        {
            std::vector<Row> a = shown, b = expected;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            EXPECT_TRUE(a == b) << "shown:" << Describe(shown) << "\nstored:" << Describe(expected);
        }
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front();

        // The user checks or unchecks a row, or changes nothing.
        bool changed = false;
        if (!shown.empty() && random.Chance(60)) {
            int row = random.Below(static_cast<int>(shown.size()));
            SendMessageA(List(page), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            SendMessageA(List(page), WM_KEYDOWN, VK_SPACE, 1);
            SendMessageA(List(page), WM_CHAR, ' ', 1);
            SendMessageA(List(page), WM_KEYUP, VK_SPACE, 0xC0000001);
            shown[static_cast<size_t>(row)].checked = !shown[static_cast<size_t>(row)].checked;
            changed = true;
            EXPECT_TRUE(ShownRows(page) == shown)
                << "after the click:" << Describe(ShownRows(page));
        }

        dialog.PressOk();
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();

        if (!changed) {
            EXPECT_TRUE(before == KeyContents(HKEY_LOCAL_MACHINE, kPluginsKey))
                << "an unchanged list was written";
            return;
        }
        // Rebuilt: one subkey per checked row, named as the row, holding
        // the module's path.
        size_t checked = 0;
        for (const Row& row : shown) {
            if (!row.checked)
                continue;
            ++checked;
            StoredValue value;
            EXPECT_TRUE(Load(HKEY_LOCAL_MACHINE, std::string(kPluginsKey) + "\\" + row.name,
                             nullptr, &value) &&
                        value.type == REG_SZ && TextOf(value) == fileOf[row.name])
                << row.name.substr(0, 40) << " after OK: " << Shown(value.data);
        }
        EXPECT_EQ(checked, SubkeyNames(HKEY_LOCAL_MACHINE, kPluginsKey).size())
            << "subkeys after OK";
    });
}

}  // namespace
}  // namespace kt_fuzz
