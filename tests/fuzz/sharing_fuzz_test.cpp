// The Channel sharing tools over random subkeys of their key: the store's
// read gives what is stored, changed now and then as a user would change
// the list, and after the store's write the key holds the list. Now and
// then the page is built over the same data, a row deleted, then OK: the
// list shows what the store read, and after OK the key holds the rows as
// the list showed them.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"

#include "resources/share_tool_page_ids.h"
#include "sharing/tool_store.h"
#include "sheet/config_dlg.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace kt_fuzz {
namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
const char kDeleteCaption[] = "Confirm tool delete";
const char kErrorCaption[] = "KT&C Error";
const char kCannotDeleteOld[] =
    "error: Cannot delete old registry keys from SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
// What the page takes of the key: names shorter than 32, command lines of
// at most 259 characters, 32 tools.
constexpr size_t kNameSize = 32;
constexpr LONG kCommandLineSize = MAX_PATH;
constexpr size_t kMaxTools = 32;
// Most cases read and write the key through the store code alone, which
// costs a few registry calls per tool; one case in two hundred builds the dialog
// as well (tens of milliseconds under Wine). 10,000 cases fit well within a
// minute.
constexpr int kCases = 10000;
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

std::string Describe(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& line : texts)
        text += "\n  " + Shown(line);
    return text.empty() ? " none" : text;
}

// The readable tools of the key in the registry's order, up to the first
// subkey whose name does not fit a tool's: what a read offers, before any
// is taken.
std::vector<Tool> OfferedTools() {
    std::vector<Tool> tools;
    for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, kLaunchKey)) {
        if (name.size() >= kNameSize)
            break;
        LONG status;
        std::string commandLine = ReadAsPages(
            HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\" + name, kCommandLineSize, &status);
        if (status == ERROR_SUCCESS)
            tools.push_back({name, commandLine});
    }
    return tools;
}

// The subkeys that have subkeys of their own, which a save cannot delete.
std::set<std::string> PinnedTools() {
    std::set<std::string> pinned;
    for (const std::string& name : SubkeyNames(HKEY_LOCAL_MACHINE, kLaunchKey)) {
        if (!SubkeyNames(HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\" + name).empty())
            pinned.insert(name);
    }
    return pinned;
}

// Collects what the store reads, refusing some offers or stopping at one
// as a list that is full or out of memory would.
class CollectedTools final : public TToolSink {
public:
    TTake TakeTool(const char* name, const char* commandLine) override {
        int offer = offers++;
        EXPECT_LT(std::strlen(name), kNameSize) << "offer " << offer;
        EXPECT_LT(std::strlen(commandLine), static_cast<size_t>(kCommandLineSize))
            << "offer " << offer;
        if (offer == stopAt)
            return kStop;
        if (refused.count(offer))
            return kRefused;
        tools.push_back({name, commandLine});
        return kTaken;
    }

    std::vector<Tool> tools;
    int offers = 0;
    std::set<int> refused;
    int stopAt = -1;
};

// What a read takes of the offered tools under the sink's refusals: until
// kMaxTools were taken, or the offer where it stops. offers gets the number
// of tools the read offers the sink.
std::vector<Tool> Taken(const std::vector<Tool>& offered, const CollectedTools& plan, int* offers) {
    std::vector<Tool> taken;
    int offer = 0;
    for (; offer < static_cast<int>(offered.size()) && taken.size() < kMaxTools; ++offer) {
        if (offer == plan.stopAt) {
            ++offer;
            break;
        }
        if (!plan.refused.count(offer))
            taken.push_back(offered[static_cast<size_t>(offer)]);
    }
    *offers = offer;
    return taken;
}

class RowsToWrite final : public TToolSource {
public:
    explicit RowsToWrite(const std::vector<Tool>& rows) : rows(rows) {}
    int ToolCount() override { return static_cast<int>(rows.size()); }
    int GetTool(int index, const char** name, const char** commandLine) override {
        *name = rows[static_cast<size_t>(index)].name.c_str();
        *commandLine = rows[static_cast<size_t>(index)].commandLine.c_str();
        return 1;
    }

private:
    const std::vector<Tool>& rows;
};

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

// A command line the selection dialog may make: no longer than the page
// holds.
std::string ChosenCommandLine(Random& random) {
    std::string text = random.Chance(50) ? CommandLineText(random) : random.Text(random.Length());
    if (text.size() >= static_cast<size_t>(kCommandLineSize))
        text.resize(static_cast<size_t>(kCommandLineSize) - 1);
    return text;
}

// A name the selection dialog may give a new tool: one no other row or
// subkey has in any case (the blank keeps it apart from the random names),
// of up to 31 characters.
std::string ChosenName(Random& random, int number) {
    std::string name = "New " + std::to_string(number);
    size_t length = random.Chance(30) ? kNameSize - 1 : name.size() + random.Below(8);
    while (name.size() < length)
        name.push_back(static_cast<char>('a' + random.Below(26)));
    return name;
}

void StoreRandomTools(Random& random, bool pinning) {
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kLaunchKey);
    // Now and then more tools than the list takes.
    int count = random.Chance(5) ? 30 + random.Below(8) : random.Below(6);
    for (int tool = 0; tool < count; ++tool) {
        std::string name = random.Chance(60) ? "Tool " + std::to_string(tool) : random.Name();
        std::string subkey = std::string(kLaunchKey) + "\\" + name;
        // A subkey without a default value reads as an empty command line.
        if (random.Chance(10))
            CreateKey(HKEY_LOCAL_MACHINE, subkey);
        else
            Store(HKEY_LOCAL_MACHINE, subkey, nullptr,
                  RandomValue(random, CommandLineText(random)));
        // A subkey of its own keeps the tool's key from being deleted.
        if (pinning && random.Chance(20))
            CreateKey(HKEY_LOCAL_MACHINE, subkey + "\\Inner");
    }
    if (random.Chance(20))
        Store(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty", RandomValue(random));
}

// The user's work on the list, done on the rows: Add, Modify and Delete
// answered with OK and Yes, a Modify that changes nothing among them.
void ChangeRows(Random& random, std::vector<Tool>* rows) {
    int actions = 1 + random.Below(3);
    for (int action = 0; action < actions; ++action) {
        switch (random.Below(4)) {
            case 0:
                if (!rows->empty())
                    rows->erase(rows->begin() + random.Below(static_cast<int>(rows->size())));
                break;
            case 1:
                if (rows->size() < kMaxTools)
                    rows->push_back({ChosenName(random, action), ChosenCommandLine(random)});
                break;
            case 2:
                if (!rows->empty()) {
                    Tool& row =
                        (*rows)[static_cast<size_t>(random.Below(static_cast<int>(rows->size())))];
                    row.commandLine = ChosenCommandLine(random);
                    if (random.Chance(20))
                        row.name = ChosenName(random, action);
                }
                break;
            default:
                break;
        }
    }
}

// After a save: one subkey per row holding its command line, the subkeys
// that could not be deleted as they were (but for a row's value), Dirty,
// and nothing else.
void ExpectWritten(const std::vector<Tool>& rows, const std::set<std::string>& pinned,
                   const std::vector<std::pair<std::string, std::string>>& before) {
    std::set<std::string> expectedNames(pinned);
    for (const Tool& row : rows)
        expectedNames.insert(row.name);
    std::vector<std::string> names = SubkeyNames(HKEY_LOCAL_MACHINE, kLaunchKey);
    EXPECT_TRUE(std::set<std::string>(names.begin(), names.end()) == expectedNames &&
                names.size() == expectedNames.size())
        << "stored tools after the save:" << Describe(names) << "\nrows:" << Describe(rows);
    for (const Tool& row : rows) {
        StoredValue value;
        EXPECT_TRUE(
            Load(HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\" + row.name, nullptr, &value) &&
            value.type == REG_SZ && TextOf(value) == row.commandLine)
            << row.name << " after the save: " << Shown(value.data) << ", row "
            << Shown(row.commandLine);
        expectedNames.erase(row.name);
    }
    // Reading the whole key again is only worth it when a subkey stayed.
    const auto after = expectedNames.empty() ? before : KeyContents(HKEY_LOCAL_MACHINE, kLaunchKey);
    for (const std::string& name : expectedNames) {
        auto was = std::find_if(before.begin(), before.end(),
                                [&](const auto& entry) { return entry.first == name; });
        auto is = std::find_if(after.begin(), after.end(),
                               [&](const auto& entry) { return entry.first == name; });
        EXPECT_TRUE(was != before.end() && is != after.end() && was->second == is->second)
            << name << ", which could not be deleted, changed";
    }
    const std::vector<std::string> values = ValueNames(HKEY_LOCAL_MACHINE, kLaunchKey);
    EXPECT_TRUE(values == std::vector<std::string>{"Dirty"})
        << "values of the key:" << Describe(values);
    StoredValue dirty;
    EXPECT_TRUE(Load(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty", &dirty) && dirty.type == REG_DWORD &&
                dirty.data == std::string("\1\0\0\0", 4));
}

class SharingFuzz : public testing::Test {
protected:
    // The page built over the case's data, a row deleted now and then, OK.
    void RunDialog(Random& random, const std::vector<Tool>& read,
                   const std::vector<std::pair<std::string, std::string>>& before);

    kt_test::RegistrySandbox sandbox;
    BoxAnswerer boxes{{{kDeleteCaption, IDYES}, {kErrorCaption, IDOK}}};
    TPageFactorySwap noChnDir{"Channel files", nullptr};
    TPageFactorySwap noNetwork{"Network", nullptr};
    TPageFactorySwap noInstall{"Korvane", nullptr};
    TPageFactorySwap noDesktop{"Settings", nullptr};
    TPageFactorySwap noPlugins{"Plug-ins", nullptr};
    TPageFactorySwap noMaxChannels{"Max. channels", nullptr};
};

void SharingFuzz::RunDialog(Random& random, const std::vector<Tool>& read,
                            const std::vector<std::pair<std::string, std::string>>& before) {
    boxes.Clear();
    kt_test::ConfigDialogFixture dialog;
    ASSERT_NE(nullptr, dialog.Build());
    HWND page = dialog.PageWindow("Channel sharing");
    ASSERT_NE(nullptr, page);
    HWND list = GetDlgItem(page, IDC_SHARETOOL_LIST);
    std::vector<Tool> shown = ShownTools(list);
    EXPECT_TRUE(SameTools(shown, read))
        << "shown:" << Describe(shown) << "\nread by the store:" << Describe(read);
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
        EXPECT_TRUE(
            Load(HKEY_LOCAL_MACHINE, std::string(kLaunchKey) + "\\" + tool.name, nullptr, &value) &&
            value.type == REG_SZ && TextOf(value) == tool.commandLine)
            << tool.name << " after OK: " << Shown(value.data) << ", shown "
            << Shown(tool.commandLine);
    }
    StoredValue dirty;
    EXPECT_TRUE(Load(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty", &dirty) && dirty.type == REG_DWORD &&
                dirty.data == std::string("\1\0\0\0", 4));
}

TEST_F(SharingFuzz, StoredToolsAreReadShownAndKept) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
    RunCases("channel sharing tools", kCases, [&](Random& random, int caseNumber) {
        const bool dialog = BuildsDialog(caseNumber);
        // Nothing but the Launch key changes from case to case.
        DeleteTree(HKEY_LOCAL_MACHINE, kLaunchKey);
        // The dialog's checks of what OK wrote know no undeletable subkeys.
        const bool pinning = !dialog && random.Chance(10);
        if (random.Chance(95))
            StoreRandomTools(random, pinning);

        const std::vector<Tool> offered = OfferedTools();
        const std::set<std::string> pinned = pinning ? PinnedTools() : std::set<std::string>();
        // The user changes the list, or leaves it as it was read.
        const bool changing = !dialog && random.Chance(60);
        // The key as stored, for the checks that compare with it.
        const auto before = dialog || pinning || !changing
                                ? KeyContents(HKEY_LOCAL_MACHINE, kLaunchKey)
                                : std::vector<std::pair<std::string, std::string>>();

        // The list may refuse a tool, or run out of memory at one; the page's
        // never does either here.
        CollectedTools read;
        if (!dialog && random.Chance(15)) {
            for (int offer = 0; offer < static_cast<int>(offered.size()); ++offer) {
                if (random.Chance(25))
                    read.refused.insert(offer);
            }
        }
        if (!dialog && random.Chance(5))
            read.stopAt = random.Below(static_cast<int>(offered.size()) + 1);
        int offers = 0;
        const std::vector<Tool> expected = Taken(offered, read, &offers);
        ReadTools(read);
        EXPECT_TRUE(read.tools == expected)
            << "read:" << Describe(read.tools) << "\nstored:" << Describe(expected);
        EXPECT_EQ(offers, read.offers) << "tools offered by the read";

        if (dialog) {
            RunDialog(random, read.tools, before);
            return;
        }

        // An untouched list is not written: the read left the key as it was.
        if (!changing) {
            EXPECT_TRUE(before == KeyContents(HKEY_LOCAL_MACHINE, kLaunchKey))
                << "the read changed the key";
            return;
        }
        std::vector<Tool> rows = read.tools;
        ChangeRows(random, &rows);
        RowsToWrite source(rows);
        CollectedErrors errors;
        WriteTools(source, errors);
        std::vector<std::string> expectedReports;
        if (!pinned.empty())
            expectedReports.push_back(kCannotDeleteOld);
        EXPECT_TRUE(errors.Reports() == expectedReports)
            << "reports of the save:" << Describe(errors.Reports());
        ExpectWritten(rows, pinned, before);
    });
}

}  // namespace
}  // namespace kt_fuzz
