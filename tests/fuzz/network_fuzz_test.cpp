// The Network page built over random values in its three keys, then OK:
// the list shows what the store describes, and after OK the store holds
// the rows as the list showed them.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"

#include "resources/network_page_ids.h"
#include "sheet/config_dlg.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace kt_fuzz {
namespace {

const char* const kPartKeys[3] = {
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase",
};
const char kTavrelKey[] = "SOFTWARE\\Tavrel";
const char kErrorCaption[] = "KT&C Error";
const char kNoSearchBase[] = "LDAP server definition is invalid because it lacks search base";
// What the page reads of a value: more is unreadable.
constexpr size_t kReadSize = 2047;
// Each case builds the dialog anew, which under Wine takes tens of
// milliseconds: the count keeps the entry within a minute or so; a longer
// run asks for more with KT_FUZZ_CASES.
constexpr int kCases = 300;
constexpr DWORD kTimeLimitMs = 240000;

struct Row {
    std::string name, port, searchBase;
    // What the row's record holds, which the cells cannot tell when a
    // text is empty: the kind of item.
    bool hasPort = false, hasSearchBase = false;
    bool operator==(const Row& other) const {
        return name == other.name && port == other.port && searchBase == other.searchBase;
    }
};

std::string Describe(const std::vector<Row>& rows) {
    std::string text;
    for (const Row& row : rows)
        text += "\n  [" + Shown(row.name) + " | " + Shown(row.port) + " | " +
                Shown(row.searchBase) + "]";
    return text.empty() ? " none" : text;
}

std::string ValueName(int number) {
    return "Value" + std::to_string(number);
}

// A value as the page takes it: readable when it fits, text when more
// than a terminator.
struct Part {
    bool present = false;
    bool readable = false;
    bool text = false;
    std::string shown;
};

Part ReadPart(int part, int number) {
    Part result;
    StoredValue value;
    std::string name = ValueName(number);
    result.present = Load(HKEY_LOCAL_MACHINE, kPartKeys[part], name.c_str(), &value);
    result.readable = result.present && value.data.size() <= kReadSize;
    result.text = result.readable && value.data.size() > 1;
    result.shown = result.readable ? TextOf(value) : std::string();
    return result;
}

// The rows the stored values describe, and how many items lack their
// search base.
std::vector<Row> ExpectedRows(int* refusals) {
    std::vector<Row> rows;
    *refusals = 0;
    for (const char* key : kPartKeys) {
        if (!KeyExists(HKEY_LOCAL_MACHINE, key))
            return rows;
    }
    for (int number = 1;; ++number) {
        Part server = ReadPart(0, number);
        Part port = ReadPart(1, number);
        Part searchBase = ReadPart(2, number);
        bool rm = port.text && lstrcmpiA(port.shown.c_str(), "COM") == 0;
        bool ldap = port.text && !rm;
        bool refused = ldap && !searchBase.text;
        if (refused)
            ++*refusals;
        if (server.text && !refused) {
            if (ldap)
                rows.push_back({server.shown, port.shown, searchBase.shown, true, true});
            else if (rm)
                rows.push_back({server.shown, "COM", "", true, false});
            else
                rows.push_back({server.shown, "", ""});
        }
        if (!server.readable)
            return rows;
    }
}

std::vector<Row> ShownRows(HWND list) {
    std::vector<Row> rows;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        rows.push_back({CellText(list, row, 0), CellText(list, row, 1), CellText(list, row, 2)});
    return rows;
}

// Whether the name is one the page numbers its items with.
bool IsItemName(const std::string& name) {
    if (name.size() < 6 || _strnicmp(name.c_str(), "Value", 5) != 0 || name[5] < '1' ||
        name[5] > '9')
        return false;
    return std::all_of(name.begin() + 5, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Text for one part of an item, now and then at the length where a read
// ends.
std::string PartText(Random& random, const std::vector<std::string>& usual) {
    if (random.Chance(70))
        return random.Pick(usual);
    return random.Text(random.Length());
}

class NetworkFuzz : public testing::Test {
protected:
    kt_test::RegistrySandbox sandbox;
    TPageFactorySwap noChnDir{"Channel files", nullptr};
    TPageFactorySwap noInstall{"Korvane", nullptr};
};

TEST_F(NetworkFuzz, StoredItemsAreShownAndKeptByOk) {
    kt_test::SetTestTimeLimit(kTimeLimitMs);
    BoxAnswerer boxes({{kErrorCaption, IDOK}});
    const std::vector<std::string> names = {"srv1", "C:\\Dirs", "MyApp.RM", "ldap.example.com", ""};
    const std::vector<std::string> ports = {"389",
                                            "COM",
                                            "com",
                                            "636",
                                            "",
                                            "123456789012345678",
                                            "1234567890123456789",
                                            "12345678901234567890"};
    const std::vector<std::string> bases = {"o=org1", "dc=example,dc=com", ""};
    RunCases("network page", kCases, [&](Random& random, int) {
        DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
        boxes.Clear();

        const int parts = 3;
        for (int part = 0; part < parts; ++part) {
            // Now and then a key is missing: then nothing loads.
            if (random.Chance(97))
                kt_test::CreateRegKey(HKEY_LOCAL_MACHINE, kPartKeys[part]);
        }
        int items = random.Below(7);
        for (int number = 1; number <= items + 1; ++number) {
            // Gaps: a number left out of some keys, or all of them.
            if (random.Chance(10))
                continue;
            // Duplicates: the same item under a name of other letter case.
            std::string name =
                random.Chance(8) ? "VALUE" + std::to_string(number) : ValueName(number);
            if (random.Chance(95))
                Store(HKEY_LOCAL_MACHINE, kPartKeys[0], name.c_str(),
                      RandomValue(random, PartText(random, names)));
            if (random.Chance(60))
                Store(HKEY_LOCAL_MACHINE, kPartKeys[1], name.c_str(),
                      RandomValue(random, PartText(random, ports)));
            // An LDAP server without its search base is a box at start-up;
            // most are complete.
            if (random.Chance(75))
                Store(HKEY_LOCAL_MACHINE, kPartKeys[2], name.c_str(),
                      RandomValue(random, PartText(random, bases)));
        }
        // Values that are no item's: other names, names at the lengths
        // where name buffers end, numbers with leading zeros.
        for (int extra = random.Below(3); extra > 0; --extra) {
            std::string name =
                random.Chance(50)
                    ? random.Name()
                    : random.Pick(std::vector<std::string>{"Value0", "Value01", "Value1x", "Value",
                                                           "Value-1", "Dirty"});
            Store(HKEY_LOCAL_MACHINE, kPartKeys[random.Below(parts)], name.c_str(),
                  RandomValue(random));
        }
        // A key that cannot be deleted keeps its other values after OK.
        if (random.Chance(10))
            kt_test::CreateRegKey(HKEY_LOCAL_MACHINE,
                                  (std::string(kPartKeys[random.Below(parts)]) + "\\Sub").c_str());

        int refusals = 0;
        const std::vector<Row> expected = ExpectedRows(&refusals);
        std::vector<std::string> otherValues[parts];
        for (int part = 0; part < parts; ++part) {
            for (const std::string& name : ValueNames(HKEY_LOCAL_MACHINE, kPartKeys[part])) {
                if (!IsItemName(name))
                    otherValues[part].push_back(name);
            }
        }

        kt_test::ConfigDialogFixture dialog;
        ASSERT_NE(nullptr, dialog.Build());
        HWND page = dialog.PageWindow("Network");
        ASSERT_NE(nullptr, page);
        HWND list = GetDlgItem(page, IDC_NETWORK_LIST);
        const std::vector<Row> shown = ShownRows(list);
        EXPECT_TRUE(shown == expected)
            << "shown:" << Describe(shown) << "\nstored:" << Describe(expected);
        EXPECT_EQ(static_cast<size_t>(refusals), boxes.Seen().size());
        for (const std::string& box : boxes.Seen())
            EXPECT_NE(std::string::npos, box.find(kNoSearchBase)) << box;
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();

        dialog.PressOk();
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();

        // After OK: item N of each key is row N as shown, nothing more; the
        // values that are no item's went with their key, or stayed with it.
        for (int part = 0; part < parts; ++part) {
            std::set<std::string> items;
            for (const std::string& name : ValueNames(HKEY_LOCAL_MACHINE, kPartKeys[part])) {
                if (IsItemName(name))
                    items.insert(name);
                else
                    EXPECT_NE(otherValues[part].end(),
                              std::find(otherValues[part].begin(), otherValues[part].end(), name))
                        << kPartKeys[part] << " gained " << name;
            }
            std::set<std::string> wanted;
            // The rows as shown; their kinds from the store (shown and
            // stored rows were found equal above).
            for (size_t index = 0; index < shown.size() && index < expected.size(); ++index) {
                const Row& row = shown[index];
                const std::string& text = part == 0   ? row.name
                                          : part == 1 ? row.port
                                                      : row.searchBase;
                if ((part == 1 && !expected[index].hasPort) ||
                    (part == 2 && !expected[index].hasSearchBase))
                    continue;
                std::string name = ValueName(static_cast<int>(index + 1));
                wanted.insert(name);
                StoredValue value;
                EXPECT_TRUE(Load(HKEY_LOCAL_MACHINE, kPartKeys[part], name.c_str(), &value) &&
                            value.type == REG_SZ && value.data == text + '\0')
                    << kPartKeys[part] << " " << name << " after OK: " << Shown(value.data)
                    << ", shown " << Shown(text);
            }
            EXPECT_TRUE(items == wanted) << kPartKeys[part] << " holds other items";
        }
    });
}

}  // namespace
}  // namespace kt_fuzz
