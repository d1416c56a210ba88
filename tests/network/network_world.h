// What the Network tests share: the configuration dialog on a sandboxed
// registry, the three keys of the store as the tests seed and read them, and
// the page's list as a user sees and works it.
#pragma once

#include "network/network_page.h"
#include "network/repository_item.h"
#include "network/server_list_view.h"
#include "resources/network_page_ids.h"
#include "tests/pages/local/local_page_test.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kt_test {

constexpr char kServerKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer";
constexpr char kPortKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort";
constexpr char kSearchBaseKey[] = "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase";
constexpr char kServerCaption[] = "Directory server definition";
constexpr char kServerLabel[] = "Server &name or IP address:";
constexpr char kDirectoryCaption[] = "Directory definition";
constexpr char kDirectoryLabel[] = "&Directory name:";
constexpr char kProgIdCaption[] = "Resource Manager ProgID";
constexpr char kProgIdLabel[] = "ProgID:";
constexpr char kErrorCaption[] = "KT&C Error";
constexpr char kNoSearchBase[] = "LDAP server definition is invalid because it lacks search base";

// One row as the list shows it.
struct Row {
    std::string name;
    std::string port;
    std::string searchBase;
    int image;
    bool operator==(const Row& other) const {
        return name == other.name && port == other.port && searchBase == other.searchBase &&
               image == other.image;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.name << " | " << row.port << " | " << row.searchBase << " | image "
               << row.image << "}";
}

// The values of one key as "ValueN=text", in value-name order; "(no key)"
// alone when the key is missing.
std::vector<std::string> StoredValues(const char* key);

class NetworkWorld : public PageWorld {
public:
    NetworkWorld() : PageWorld(false) {}

    // Item number's parts: null leaves the part out.
    void Seed(int number, const char* name, const char* port = nullptr,
              const char* searchBase = nullptr);
    // The three keys, present and empty.
    void SeedEmptyStore();

    // Builds the dialog, shows it with the Network page; the page, or null.
    HWND Build();
    TNetworkPage* Page() const;
    TServerListView* List() const;
    HWND ListWindow() const { return GetDlgItem(page, IDC_NETWORK_LIST); }

    int ImageOf(TRepositoryItem::Type type) const { return List()->ImageOf(type); }
    Row RowAt(int index) const;
    std::vector<Row> Rows() const;
    int RowCount() const;
    // A cell's text through a buffer of size bytes (the list asks the page).
    std::string Cell(int index, int column, int size = 2048) const;

    // Selects and focuses the row as a click does.
    void SelectRow(int index) const;
    // A click on the header of the column, through the header control.
    void ClickHeader(int column) const;
    // A double click at the middle of the row's name, or below every row
    // when index is -1.
    void DoubleClick(int index) const;
    // The page's button, as a click sends it.
    void PressButton(int id) const;

    // The dialog's error window lines that came from this page.
    std::vector<std::string> PageErrors() const;
};

// A row of the kind the world's list shows for it.
Row MakeRow(const NetworkWorld& world, const char* name, const char* port, const char* searchBase,
            TRepositoryItem::Type type);

}  // namespace kt_test
