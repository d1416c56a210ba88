#include "network/network_page.h"

#include "app/fatal_error.h"
#include "network/add_dir_dlg.h"
#include "network/add_rm_dlg.h"
#include "network/repository_item.h"
#include "network/server_dlg.h"
#include "network/server_list_view.h"
#include "resources/network_page_ids.h"
#include "sheet/config_dlg.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr int kPageNumber = 288;
const char kTemplate[] = "NETWORKDLG";

// The three parallel keys of the store: item N is value ValueN in each.
enum Part { kServerPart, kPortPart, kSearchBasePart, kPartCount };
const char* const kPartKeys[kPartCount] = {
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPServer",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPPort",
    "SOFTWARE\\Tavrel\\Korvane Tools\\LDAPSearchBase",
};
const char kValuePrefix[] = "Value";
constexpr int kValueNameSize = 32;

const char kCannotCreate[] = "Cannot create registry key ";
const char kCannotWrite[] = "Cannot write to registry key ";
const char kNoSearchBase[] = "LDAP server definition is invalid because it lacks search base";
constexpr int kKindError = 1;

const char kDeleteServer[] = "Are you sure you want to delete the item '%s:%s:%s'?";
const char kDeleteItem[] = "Are you sure you want to delete the item '%s'?";
const char kDeleteCaption[] = "Confirm channel delete";
constexpr int kQuestionSize = 2048;

// What a definition dialog saves of a field, and so the most a value may
// hold to be read back; ports too, so that a long port keeps its server.
constexpr DWORD kReadSize = 2047;
constexpr int kReportSize = 2048;

// A name this wide or wider leaves the Name column as it is.
constexpr int kNameWidthLimit = 200;
constexpr int kColumnMargin = 30;

void ValueName(char (&name)[kValueNameSize], int number) {
    std::snprintf(name, sizeof name, "%s%d", kValuePrefix, number);
}

// A value's data as text. The buffer has room for a terminator after the
// most that is read, for data stored without one.
LONG ReadValue(HKEY key, const char* name, char (&text)[kReadSize + 1], DWORD* size) {
    *size = kReadSize;
    LONG status =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), size);
    if (status != ERROR_SUCCESS) {
        *size = 0;
        text[0] = '\0';
        return status;
    }
    text[*size <= kReadSize ? *size : kReadSize] = '\0';
    return status;
}

bool HasText(LONG status, DWORD size) {
    // Only the terminator, or nothing at all, is an empty value.
    return status == ERROR_SUCCESS && size > 1;
}

bool WriteValue(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
}

// Whether a value name is one that loading reads ("Value" and a number in
// the form "%d" gives, in any letter case as the registry compares names).
bool IsItemValueName(const char* name) {
    size_t prefix = sizeof kValuePrefix - 1;
    if (_strnicmp(name, kValuePrefix, prefix) != 0)
        return false;
    const char* digits = name + prefix;
    if (*digits < '1' || *digits > '9')
        return false;
    for (const char* c = digits; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    return true;
}

// A key that outlived its deletion still holds the old items, which would
// come back at the next load wherever the new list does not overwrite them.
void RemoveItemValues(HKEY key) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    // From the end: deleting a value moves only those after it.
    for (DWORD index = count; index-- > 0;) {
        char name[kValueNameSize];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;  // a longer name is no item's
        if (IsItemValueName(name))
            RegDeleteValueA(key, name);
    }
}

void Widen(int* width, int wanted) {
    if (wanted > *width)
        *width = wanted;
}

const char* Shown(const char* text) {
    return text ? text : "";
}

}  // namespace

TNetworkPage::TNetworkPage(TWin* parentWin) : TConfigPage(kTemplate, parentWin, nullptr) {
    Run(kPageNumber);
}

// The list object goes with its window.
TNetworkPage::~TNetworkPage() = default;

TServerListView* TNetworkPage::LiveList() {
    if (listView && (!IsWindow(listWindow) || TWin::GetWin(listWindow) != listView)) {
        // The list window went first, its object and records with it.
        listView = nullptr;
        selected = nullptr;
        selectedIndex = -1;
    }
    return listView;
}

int TNetworkPage::InitDlg(int focusId) {
    listView = NewWindowObject<TServerListView>(this, IDC_NETWORK_LIST);
    listWindow = listView ? listView->GetHandle() : nullptr;
    if (!listView) {
        FatalMemoryError();
    } else {
        listView->LinkIdentifiers(IDC_NETWORK_MODIFY, IDC_NETWORK_ADD_DIR, IDC_NETWORK_DELETE, 0);
        LoadServers();
    }
    EnableDlgItem(IDC_NETWORK_MODIFY, 0);
    EnableDlgItem(IDC_NETWORK_DELETE, 0);
    return focusId;
}

void TNetworkPage::LoadServers() {
    TServerListView* list = listView;
    const TStringMeter meter(*list);
    // 1. The columns start at their templates' widths.
    int widths[kPartCount] = {
        meter.Width(kNameWidthTemplate),
        meter.Width(kPortWidthTemplate),
        meter.Width(kSearchBaseWidthTemplate),
    };
    // 2. All three keys, or no items.
    HKEY keys[kPartCount] = {};
    bool opened = true;
    for (int part = 0; part < kPartCount; ++part)
        opened = opened &&
                 RegOpenKeyA(HKEY_LOCAL_MACHINE, kPartKeys[part], &keys[part]) == ERROR_SUCCESS;
    // 3. Item after item, until a name cannot be read. While the rows go in
    // the list neither repaints nor sets its scroll bars row by row.
    HWND listHandle = list->GetHandle();
    SendMessageA(listHandle, WM_SETREDRAW, FALSE, 0);
    bool outOfMemory = false;
    for (int number = 1; opened; ++number) {
        char valueName[kValueNameSize];
        ValueName(valueName, number);
        char name[kReadSize + 1];
        char port[kReadSize + 1];
        char searchBase[kReadSize + 1];
        DWORD size = 0;

        LONG nameStatus = ReadValue(keys[kServerPart], valueName, name, &size);
        bool hasName = HasText(nameStatus, size);
        int nameWidth = hasName ? meter.Width(name) + 1 : 0;
        if (nameWidth < kNameWidthLimit)
            Widen(&widths[kServerPart], nameWidth);

        auto type = TRepositoryItem::Directory;
        LONG status = ReadValue(keys[kPortPart], valueName, port, &size);
        if (HasText(status, size)) {
            Widen(&widths[kPortPart], meter.Width(port) + 1);
            type = TRepositoryItem::IsComPort(port) ? TRepositoryItem::ResourceManager
                                                    : TRepositoryItem::LdapServer;
        }

        bool refused = false;
        status = ReadValue(keys[kSearchBasePart], valueName, searchBase, &size);
        if (HasText(status, size)) {
            Widen(&widths[kSearchBasePart], meter.Width(searchBase) + 1);
        } else if (type == TRepositoryItem::LdapServer) {
            AddError(this, kNoSearchBase, kKindError);
            refused = true;
        }

        if (hasName && !refused) {
            TRepositoryItem* item = type == TRepositoryItem::LdapServer
                                        ? new (std::nothrow) TRepositoryItem(name, port, searchBase)
                                        : new (std::nothrow) TRepositoryItem(name, type);
            if (!item) {
                FatalMemoryError();
                outOfMemory = true;
                break;
            }
            if (list->InsertItem(item) < 0)
                delete item;
        }
        if (nameStatus != ERROR_SUCCESS)
            break;
    }
    for (HKEY key : keys) {
        if (key)
            RegCloseKey(key);
    }
    // After a fatal error the list may be gone; then this does nothing.
    SendMessageA(listHandle, WM_SETREDRAW, TRUE, 0);
    // 5. Wide enough for what was loaded (loading that stopped sets nothing).
    if (outOfMemory)
        return;
    for (int column = 0; column < kPartCount; ++column)
        list->SetColumnWidth(column, widths[column] + kColumnMargin);
}

void TNetworkPage::SaveServers() {
    // Without its list the page has nothing to write over the stored one.
    TServerListView* list = LiveList();
    if (!list)
        return;
    // 1. The old store goes; a key that cannot go is emptied of items below.
    bool deleted[kPartCount];
    for (int part = 0; part < kPartCount; ++part)
        deleted[part] = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPartKeys[part]) == ERROR_SUCCESS;
    // 2. Each key again, each failure reported.
    HKEY keys[kPartCount] = {};
    bool created = true;
    for (int part = 0; part < kPartCount; ++part) {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPartKeys[part], 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &keys[part],
                            nullptr) != ERROR_SUCCESS) {
            keys[part] = nullptr;
            ReportKey(kCannotCreate, part);
            created = false;
        }
    }
    // 3. Only into all three: the rows in the order the list shows them.
    if (created) {
        for (int part = 0; part < kPartCount; ++part) {
            if (!deleted[part])
                RemoveItemValues(keys[part]);
        }
        int count = list->GetItemCount();
        for (int index = 0; index < count; ++index) {
            if (TRepositoryItem* record = list->GetRecord(index))
                WriteItem(keys, index + 1, record);
        }
    }
    // 4.
    for (HKEY key : keys) {
        if (key)
            RegCloseKey(key);
    }
}

void TNetworkPage::WriteItem(HKEY* keys, int number, const TRepositoryItem* record) {
    char valueName[kValueNameSize];
    ValueName(valueName, number);
    // A part that cannot be written ends its item: the parts after it would
    // describe another kind of item.
    if (!WriteValue(keys[kServerPart], valueName, Shown(record->GetName()))) {
        ReportKey(kCannotWrite, kServerPart);
        return;
    }
    if (!record->HasPort())
        return;
    if (!WriteValue(keys[kPortPart], valueName, record->GetPort())) {
        ReportKey(kCannotWrite, kPortPart);
        return;
    }
    if (record->HasSearchBase() &&
        !WriteValue(keys[kSearchBasePart], valueName, record->GetSearchBase()))
        ReportKey(kCannotWrite, kSearchBasePart);
}

void TNetworkPage::ReportKey(const char* what, int part) {
    char text[kReportSize];
    std::snprintf(text, sizeof text, "%s%s", what, kPartKeys[part]);
    AddError(this, text, kKindError);
}

int TNetworkPage::Apply() {
    SaveServers();
    return 1;
}

void TNetworkPage::OnSelectionChanged(TRepositoryItem* record, int index) {
    selected = record;
    selectedIndex = record ? index : -1;
    EnableDlgItem(IDC_NETWORK_MODIFY, record != nullptr);
    EnableDlgItem(IDC_NETWORK_DELETE, record != nullptr);
}

int TNetworkPage::Command(int id, unsigned code) {
    switch (id) {
        case IDC_NETWORK_ADD_DIR:
        case IDC_NETWORK_ADD_LDAP:
        case IDC_NETWORK_ADD_RM:
            return code == BN_CLICKED ? AddItem(id) : 0;
        case IDC_NETWORK_MODIFY:
            return code == BN_CLICKED ? ModifyItem() : 0;
        case IDC_NETWORK_DELETE:
            return code == BN_CLICKED ? DeleteItem() : 0;
        default:
            return TConfigPage::Command(id, code);
    }
}

int TNetworkPage::Notify(int id, NMHDR* header, LRESULT* result) {
    if (id != IDC_NETWORK_LIST || !header)
        return TConfigPage::Notify(id, header, result);
    if (header->code == static_cast<UINT>(NM_DBLCLK)) {
        ModifyItem();
        *result = 0;
        return 1;
    }
    if (TServerListView* list = LiveList())
        list->HandleNotify(header);
    return 0;
}

void TNetworkPage::RunDialog(int type, TRepositoryItem* record) {
    TServerListView* list = LiveList();
    if (!list)
        return;
    switch (type) {
        case TRepositoryItem::LdapServer: {
            TServerDlg dialog(this, list, record);
            dialog.Run();
            break;
        }
        case TRepositoryItem::Directory: {
            TAddDirDlg dialog(this, list, record);
            dialog.Run();
            break;
        }
        default: {
            TAddRMDlg dialog(this, list, record);
            dialog.Run();
            break;
        }
    }
}

void TNetworkPage::BackToList() {
    FocusDlgItem(IDC_NETWORK_LIST);
    SendMessageA(hwnd, DM_SETDEFID, IDOK, 0);
}

int TNetworkPage::AddItem(int buttonId) {
    if (TServerListView* list = LiveList()) {
        // The list's Insert key adds what this button added last.
        list->SetAddId(buttonId);
        int type = buttonId == IDC_NETWORK_ADD_DIR    ? TRepositoryItem::Directory
                   : buttonId == IDC_NETWORK_ADD_LDAP ? TRepositoryItem::LdapServer
                                                      : TRepositoryItem::ResourceManager;
        RunDialog(type, nullptr);
    }
    BackToList();
    return 1;
}

int TNetworkPage::ModifyItem() {
    if (LiveList() && selected)
        RunDialog(selected->GetType(), selected);
    BackToList();
    return 1;
}

int TNetworkPage::DeleteItem() {
    TServerListView* list = LiveList();
    if (list && selected) {
        TRepositoryItem* record = selected;
        // snprintf cuts a question longer than the buffer and still ends it.
        char question[kQuestionSize];
        if (record->GetType() == TRepositoryItem::LdapServer)
            std::snprintf(question, sizeof question, kDeleteServer, Shown(record->GetName()),
                          record->GetPort(), record->GetSearchBase());
        else
            std::snprintf(question, sizeof question, kDeleteItem, Shown(record->GetName()));
        if (MessageBoxA(hwnd, question, kDeleteCaption, MB_YESNO) == IDYES) {
            // Sorting moves rows without telling the page: the row is the
            // record's, wherever it stands now.
            int index = FindItemByData(list->GetHandle(), record);
            if (index >= 0 && list->DeleteItem(index)) {
                delete record;
                OnSelectionChanged(nullptr, -1);
            }
        }
    }
    BackToList();
    return 1;
}

TConfigPage* NewNetworkPage(TWin* parent) {
    return NewConfigPage<TNetworkPage>(parent);
}
