// The Channel sharing page built over random subkeys of its key, a row
// deleted now and then, then OK: the list shows what is stored, and after
// OK the key holds the rows as the list showed them.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"

#include "resources/share_tool_page_ids.h"
#include "sheet/config_dlg.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace kt_fuzz {
namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kTavrelKey[] = "SOFTWARE\\Tavrel";
const char kDeleteCaption[] = "Confirm tool delete";
const char kErrorCaption[] = "KT&C Error";
// What the page takes of the key: names shorter than 32, command lines of
// at most 259 characters, 32 tools.
constexpr size_t kNameSize = 32;
constexpr LONG kCommandLineSize = MAX_PATH;
constexpr size_t kMaxTools = 32;
// Each case builds the dialog anew, which under Wine takes tens of
// milliseconds: the count keeps the entry within a minute or so; a longer
// run asks for more with KT_FUZZ_CASES.
constexpr int kCases = 300;
constexpr DWORD kTimeLimitMs = 240000;

struct Tool {
    std::string name, commandLine;
    bool operator==(const Tool& other) const {
        return name == other.name && commandLine == other.commandLine;
    }
    bool operator<(const Tool& other) const {
        return name != other.name ? name < other.name : commandLine < other.commandLine;
    }
};

// The list sorts its rows its own way: the same tools in any order.
bool SameTools(std::vector<Tool> a, std::vector<Tool> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

std::string Describe(const std::vector<Tool>& tools) {
    std::string text;
    for (const Tool& tool : tools)
        text += "\n  [" + Shown(tool.name) + " | " + Shown(tool.commandLine) + "]";
    return text.empty() ? " none" : text;
}

std::vector<Tool> ExpectedTools() {
    std::vector<Tool> tools;
    for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, kLaunchKey)) {
        if (name.size() >= kNameSize || tools.size() == kMaxTools)
            break;
        LONG status;
        std::string commandLine = ReadAsPages(
            HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\" + name, kCommandLineSize, &status);
        if (status == ERROR_SUCCESS)
            tools.push_back({name, commandLine});
    }
    return tools;
}

std::vector<Tool> ShownTools(HWND list) {
    std::vector<Tool> tools;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        tools.push_back({CellText(list, row, 0), CellText(list, row, 1)});
    return tools;
}

std::string CommandLineText(Random& random) {
    switch (random.Below(4)) {
        case 0:
            return "C:\\Tools\\tool.exe %1";
        case 1:
            return "\"C:\\Program Files\\Tool\\tool.exe\" /c %1";
        case 2: {
            // A command line at the length where the page's buffer ends.
            std::string text = "C:\\";
            size_t length = random.Pick(std::vector<size_t>{258, 259, 260, 261, 2047, 2048});
            while (text.size() < length)
                text.push_back('t');
            return text;
        }
        default:
            return random.Text(random.Length());
    }
}

class SharingFuzz : public testing::Test {
protected:
    kt_test::RegistrySandbox sandbox;
    TPageFactorySwap noChnDir{"Channel files", nullptr};
    TPageFactorySwap noNetwork{"Network", nullptr};
    TPageFactorySwap noInstall{"Korvane", nullptr};
    TPageFactorySwap noDesktop{"Settings", nullptr};
    TPageFactorySwap noPlugins{"Plug-ins", nullptr};
    TPageFactorySwap noMaxChannels{"Max. channels", nullptr};
};

TEST_F(SharingFuzz, StoredToolsAreShownAndKeptByOk) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    BoxAnswerer boxes({{kDeleteCaption, IDYES}, {kErrorCaption, IDOK}});
    RunCases("channel sharing page", kCases, [&](Random& random, int) {
        DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
        kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        boxes.Clear();

        if (random.Chance(95)) {
            kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kLaunchKey);
            // Now and then more tools than the list takes.
            int count = random.Chance(5) ? 30 + random.Below(8) : random.Below(6);
            for (int tool = 0; tool < count; ++tool) {
                std::string name =
                    random.Chance(60) ? "Tool " + std::to_string(tool) : random.Name();
                std::string subkey = std::string(kLaunchKey) + "\\" + name;
                // A subkey without a default value reads as an empty command line.
                if (random.Chance(10))
                    CreateKey(HKEY_LOCAL_MACHINE, subkey);
                else
                    Store(HKEY_LOCAL_MACHINE, subkey, nullptr,
                          RandomValue(random, CommandLineText(random)));
            }
            if (random.Chance(20))
                Store(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty", RandomValue(random));
        }

        const std::vector<Tool> expected = ExpectedTools();
        const auto before = KeyContents(HKEY_LOCAL_MACHINE, kLaunchKey);

        kt_test::ConfigDialogFixture dialog;
        ASSERT_NE(nullptr, dialog.Build());
        HWND page = dialog.PageWindow("Channel sharing");
        ASSERT_NE(nullptr, page);
        HWND list = GetDlgItem(page, IDC_SHARETOOL_LIST);
        std::vector<Tool> shown = ShownTools(list);
        EXPECT_TRUE(SameTools(shown, expected))
            << "shown:" << Describe(shown) << "\nstored:" << Describe(expected);
        EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front();

        // The user deletes a row, or changes nothing.
        bool changed = false;
        if (!shown.empty() && random.Chance(60)) {
            int row = random.Below(static_cast<int>(shown.size()));
            LVITEMA state{};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&state));
            kt_test::PressButton(page, IDC_SHARETOOL_DELETE);
            EXPECT_EQ(1u, boxes.Seen().size());
            shown.erase(shown.begin() + row);
            changed = true;
            EXPECT_TRUE(ShownTools(list) == shown)
                << "after the deletion:" << Describe(ShownTools(list));
        }

        dialog.PressOk();
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();

        if (!changed) {
            EXPECT_TRUE(before == KeyContents(HKEY_LOCAL_MACHINE, kLaunchKey))
                << "an unchanged list was written";
            return;
        }
        // Written whole: one subkey per row as shown, and Dirty.
        std::vector<std::string> names = SubkeyNames(HKEY_LOCAL_MACHINE, kLaunchKey);
        EXPECT_EQ(shown.size(), names.size()) << "stored tools after OK";
        for (const Tool& tool : shown) {
            StoredValue value;
            EXPECT_TRUE(Load(HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\" + tool.name,
                             nullptr, &value) &&
                        value.type == REG_SZ && TextOf(value) == tool.commandLine)
                << tool.name << " after OK: " << Shown(value.data) << ", shown "
                << Shown(tool.commandLine);
        }
        StoredValue dirty;
        EXPECT_TRUE(Load(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty", &dirty) &&
                    dirty.type == REG_DWORD && dirty.data == std::string("\1\0\0\0", 4));
    });
}

}  // namespace
}  // namespace kt_fuzz
