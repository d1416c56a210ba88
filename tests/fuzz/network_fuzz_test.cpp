// The Network page's store over random values in its three keys: it reads
// the items the values describe, and after a save the keys hold the items
// as read or as the user changed them. Now and then the real page is built
// over the data and OK pressed: the list shows what the store read, and
// after OK the keys hold the rows as the list showed them.
#include "tests/fuzz/fuzz.h"
#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/watchdog.h"

#include "network/repository_item.h"
#include "network/server_store.h"
#include "resources/network_page_ids.h"
#include "sheet/config_dlg.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
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
// Most cases read and write through the store alone, which costs a few
// milliseconds under Wine; one case in two hundred builds the dialog, which costs
// tens of milliseconds.
constexpr int kCases = 10000;
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

// A key's values by name, as the registry compares names (in any letter
// case); one registry call a value.
using Values = std::map<std::string, StoredValue>;

std::string Folded(std::string name) {
    CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

// Every value of the key, or none when it is missing; exists says which.
Values ReadValues(const char* keyPath, bool* exists = nullptr) {
    Values values;
    HKEY key = nullptr;
    bool opened =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (exists)
        *exists = opened;
    if (!opened)
        return values;
    static std::string name(16384, '\0'), data(131072, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        LONG status = RegEnumValueA(key, index, &name[0], &nameLength, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&data[0]), &size);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(ERROR_NO_MORE_ITEMS, status) << keyPath;
            break;
        }
        StoredValue& value = values[Folded(std::string(name.data(), nameLength))];
        value.type = type;
        value.data.assign(data.data(), size);
    }
    RegCloseKey(key);
    return values;
}

// A value as the page takes it: readable when it fits, text when more
// than a terminator.
struct Part {
    bool present = false;
    bool readable = false;
    bool text = false;
    std::string shown;
};

Part ReadPart(const Values& values, int number) {
    Part result;
    auto found = values.find(Folded(ValueName(number)));
    result.present = found != values.end();
    result.readable = result.present && found->second.data.size() <= kReadSize;
    result.text = result.readable && found->second.data.size() > 1;
    result.shown = result.readable ? TextOf(found->second) : std::string();
    return result;
}

// The rows the stored values describe, and how many items lack their
// search base.
std::vector<Row> ExpectedRows(const Values (&parts)[3], bool allKeys, int* refusals) {
    std::vector<Row> rows;
    *refusals = 0;
    if (!allKeys)
        return rows;
    for (int number = 1;; ++number) {
        Part server = ReadPart(parts[0], number);
        Part port = ReadPart(parts[1], number);
        Part searchBase = ReadPart(parts[2], number);
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

// The items the store reads, as rows, made into records as the page makes
// them.
class Collector final : public TServerSink {
public:
    bool Item(const TStoredServer& item) override {
        if (!item.hasName || item.refused)
            return true;
        if (item.type == TRepositoryItem::LdapServer)
            records.push_back(
                std::make_unique<TRepositoryItem>(item.name, item.port, item.searchBase));
        else
            records.push_back(std::make_unique<TRepositoryItem>(item.name, item.type));
        return true;
    }
    std::vector<std::unique_ptr<TRepositoryItem>> records;
};

class Records final : public TServerSource {
public:
    explicit Records(const std::vector<std::unique_ptr<TRepositoryItem>>& records)
        : records(records) {}
    int Count() const override { return static_cast<int>(records.size()); }
    const TRepositoryItem* Record(int index) const override {
        return records[static_cast<size_t>(index)].get();
    }

private:
    const std::vector<std::unique_ptr<TRepositoryItem>>& records;
};

Row RowOf(const TRepositoryItem& record) {
    return {record.GetName() ? record.GetName() : "", record.GetPort(), record.GetSearchBase(),
            record.HasPort(), record.HasSearchBase()};
}

std::vector<Row> RowsOf(const std::vector<std::unique_ptr<TRepositoryItem>>& records) {
    std::vector<Row> rows;
    for (const auto& record : records)
        rows.push_back(RowOf(*record));
    return rows;
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

constexpr int kParts = 3;

// After a save: item N of each key is row N, nothing more; the values that
// are no item's went with their key, or stayed with it.
void CheckStore(const std::vector<Row>& rows,
                const std::vector<std::string> (&otherValues)[kParts]) {
    for (int part = 0; part < kParts; ++part) {
        const Values after = ReadValues(kPartKeys[part]);
        std::set<std::string> items;
        for (const auto& value : after) {
            const std::string& name = value.first;
            if (IsItemName(name))
                items.insert(name);
            else
                EXPECT_NE(otherValues[part].end(),
                          std::find(otherValues[part].begin(), otherValues[part].end(), name))
                    << kPartKeys[part] << " gained " << name;
        }
        std::set<std::string> wanted;
        for (size_t index = 0; index < rows.size(); ++index) {
            const Row& row = rows[index];
            const std::string& text = part == 0 ? row.name : part == 1 ? row.port : row.searchBase;
            if ((part == 1 && !row.hasPort) || (part == 2 && !row.hasSearchBase))
                continue;
            std::string name = Folded(ValueName(static_cast<int>(index + 1)));
            wanted.insert(name);
            auto found = after.find(name);
            EXPECT_TRUE(found != after.end() && found->second.type == REG_SZ &&
                        found->second.data == text + '\0')
                << kPartKeys[part] << " " << name << " after the save: "
                << (found != after.end() ? Shown(found->second.data) : "(none)") << ", shown "
                << Shown(text);
        }
        EXPECT_TRUE(items == wanted) << kPartKeys[part] << " holds other items";
    }
}

// What a user may do to the list before OK: delete an item, add one,
// change one.
void ChangeAsAUser(Random& random, std::vector<std::unique_ptr<TRepositoryItem>>* records) {
    if (!records->empty() && random.Chance(20))
        records->erase(records->begin() + random.Below(static_cast<int>(records->size())));
    if (random.Chance(15)) {
        switch (random.Below(3)) {
            case 0:
                records->push_back(std::make_unique<TRepositoryItem>("ldap.new", "389", "o=new"));
                break;
            case 1:
                records->push_back(
                    std::make_unique<TRepositoryItem>("C:\\New", TRepositoryItem::Directory));
                break;
            default:
                records->push_back(
                    std::make_unique<TRepositoryItem>("New.RM", TRepositoryItem::ResourceManager));
                break;
        }
    }
    if (!records->empty() && random.Chance(10))
        (*records)[static_cast<size_t>(random.Below(static_cast<int>(records->size())))]->SetServer(
            "changed", "636", "dc=changed");
}

TEST_F(NetworkFuzz, StoredItemsAreReadShownAndKept) {
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
    bool firstCase = true;
    // The key given an undeletable subkey by the last case, -1 for none.
    int subPart = -1;
    RunCases("network page", kCases, [&](Random& random, int caseNumber) {
        const bool withDialog = BuildsDialog(caseNumber);
        // Around the whole dialog, whatever a page may have left goes.
        // Otherwise only the three keys go, each in one call: a tree delete
        // removes their values one by one, each a round trip to the
        // wineserver.
        if (firstCase || withDialog || BuildsDialog(caseNumber - 1)) {
            firstCase = false;
            DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
        } else {
            for (int part = 0; part < kParts; ++part) {
                if (subPart == part)
                    RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                                  (std::string(kPartKeys[part]) + "\\Sub").c_str());
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPartKeys[part]);
            }
        }
        subPart = -1;
        boxes.Clear();

        // The keys stay open while the case stores into them: under Wine
        // each registry call is a round trip to the wineserver.
        HKEY keys[kParts] = {};
        auto key = [&](int part) {
            if (!keys[part] &&
                RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPartKeys[part], 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                                nullptr, &keys[part], nullptr) != ERROR_SUCCESS)
                ADD_FAILURE() << "cannot create " << kPartKeys[part];
            return keys[part];
        };
        auto store = [&](int part, const std::string& name, const StoredValue& value) {
            RegSetValueExA(key(part), name.c_str(), 0, value.type,
                           reinterpret_cast<const BYTE*>(value.data.data()),
                           static_cast<DWORD>(value.data.size()));
        };
        for (int part = 0; part < kParts; ++part) {
            // Now and then a key is missing: then nothing loads.
            if (random.Chance(97))
                key(part);
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
                store(0, name, RandomValue(random, PartText(random, names)));
            if (random.Chance(60))
                store(1, name, RandomValue(random, PartText(random, ports)));
            // An LDAP server without its search base is reported; most are
            // complete.
            if (random.Chance(75))
                store(2, name, RandomValue(random, PartText(random, bases)));
        }
        // Values that are no item's: other names, names at the lengths
        // where name buffers end, numbers with leading zeros.
        for (int extra = random.Below(3); extra > 0; --extra) {
            std::string name =
                random.Chance(50)
                    ? random.Name()
                    : random.Pick(std::vector<std::string>{"Value0", "Value01", "Value1x", "Value",
                                                           "Value-1", "Dirty"});
            store(random.Below(kParts), name, RandomValue(random));
        }
        // A key that cannot be deleted keeps its other values after OK.
        if (random.Chance(10)) {
            HKEY sub = nullptr;
            subPart = random.Below(kParts);
            if (RegCreateKeyExA(key(subPart), "Sub", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                                nullptr, &sub, nullptr) == ERROR_SUCCESS)
                RegCloseKey(sub);
        }
        for (HKEY& open : keys) {
            if (open)
                RegCloseKey(open);
            open = nullptr;
        }

        Values before[kParts];
        bool allKeys = true;
        std::vector<std::string> otherValues[kParts];
        for (int part = 0; part < kParts; ++part) {
            bool exists = false;
            before[part] = ReadValues(kPartKeys[part], &exists);
            allKeys = allKeys && exists;
            for (const auto& value : before[part]) {
                if (!IsItemName(value.first))
                    otherValues[part].push_back(value.first);
            }
        }
        int refusals = 0;
        const std::vector<Row> expected = ExpectedRows(before, allKeys, &refusals);

        // The store reads what the values describe, and reports each LDAP
        // server without its search base.
        Collector read;
        CollectedErrors errors;
        ReadServers(read, errors);
        const std::vector<Row> readRows = RowsOf(read.records);
        EXPECT_TRUE(readRows == expected)
            << "read:" << Describe(readRows) << "\nstored:" << Describe(expected);
        EXPECT_EQ(static_cast<size_t>(refusals), errors.Reports().size());
        for (const std::string& report : errors.Reports())
            EXPECT_EQ("error: " + std::string(kNoSearchBase), report);

        if (!withDialog) {
            ChangeAsAUser(random, &read.records);
            errors.Clear();
            WriteServers(Records(read.records), errors);
            // A key that cannot go is emptied instead: nothing to report.
            EXPECT_TRUE(errors.Reports().empty()) << errors.Reports().front();
            CheckStore(RowsOf(read.records), otherValues);
            return;
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
        // The rows as shown; their kinds from the store (shown and stored
        // rows were found equal above).
        CheckStore(shown.size() == expected.size() ? expected : shown, otherValues);
    });
}

}  // namespace
}  // namespace kt_fuzz
