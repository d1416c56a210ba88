#include "network/network_page.h"

#include "app/fatal_error.h"
#include "network/add_dir_dlg.h"
#include "network/add_rm_dlg.h"
#include "network/repository_item.h"
#include "network/server_dlg.h"
#include "network/server_list_view.h"
#include "network/server_store.h"
#include "resources/network_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr int kPageNumber = 288;
const char kTemplate[] = "NETWORKDLG";
constexpr int kPartCount = 3;

const char kDeleteServer[] = "Are you sure you want to delete the item '%s:%s:%s'?";
const char kDeleteItem[] = "Are you sure you want to delete the item '%s'?";
const char kDeleteCaption[] = "Confirm channel delete";
constexpr int kQuestionSize = 2048;

// A name this wide or wider leaves the Name column as it is.
constexpr int kNameWidthLimit = 200;
constexpr int kColumnMargin = 30;

void Widen(int* width, int wanted) {
    if (wanted > *width)
        *width = wanted;
}

const char* Shown(const char* text) {
    return text ? text : "";
}

// The stored items into the list, each column as wide as its widest text.
class TListFiller final : public TServerSink {
public:
    explicit TListFiller(TServerListView& list)
        : list(list),
          meter(list),
          widths{meter.Width(kNameWidthTemplate), meter.Width(kPortWidthTemplate),
                 meter.Width(kSearchBaseWidthTemplate)} {}

    bool Item(const TStoredServer& stored) override {
        int nameWidth = stored.hasName ? meter.Width(stored.name) + 1 : 0;
        if (nameWidth < kNameWidthLimit)
            Widen(&widths[0], nameWidth);
        if (stored.hasPort)
            Widen(&widths[1], meter.Width(stored.port) + 1);
        if (stored.hasSearchBase)
            Widen(&widths[2], meter.Width(stored.searchBase) + 1);
        if (!stored.hasName || stored.refused)
            return true;
        TRepositoryItem* item =
            stored.type == TRepositoryItem::LdapServer
                ? new (std::nothrow) TRepositoryItem(stored.name, stored.port, stored.searchBase)
                : new (std::nothrow) TRepositoryItem(stored.name, stored.type);
        if (!item) {
            FatalMemoryError();
            outOfMemory = true;
            return false;
        }
        if (list.InsertItem(item) < 0)
            delete item;
        return true;
    }

    // Wide enough for what was loaded (loading that stopped sets nothing).
    void SetWidths() {
        if (outOfMemory)
            return;
        for (int column = 0; column < kPartCount; ++column)
            list.SetColumnWidth(column, widths[column] + kColumnMargin);
    }

private:
    TServerListView& list;
    const TStringMeter meter;
    int widths[kPartCount];
    bool outOfMemory = false;
};

// The list's rows, in the order it shows them, as the store's source.
class TListRows final : public TServerSource {
public:
    explicit TListRows(TServerListView& list) : list(list) {}
    int Count() const override { return list.GetItemCount(); }
    const TRepositoryItem* Record(int index) const override { return list.GetRecord(index); }

private:
    TServerListView& list;
};

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
    // The columns start at their templates' widths. While the rows go in
    // the list neither repaints nor sets its scroll bars row by row.
    TListFiller filler(*list);
    HWND listHandle = list->GetHandle();
    SendMessageA(listHandle, WM_SETREDRAW, FALSE, 0);
    TPageErrors errors(this);
    ReadServers(filler, errors);
    // Still without repainting: each width would lay the list out anew.
    // After a fatal error the list may be gone; then neither does anything.
    filler.SetWidths();
    SendMessageA(listHandle, WM_SETREDRAW, TRUE, 0);
}

void TNetworkPage::SaveServers() {
    // Without its list the page has nothing to write over the stored one.
    TServerListView* list = LiveList();
    if (!list)
        return;
    TPageErrors errors(this);
    WriteServers(TListRows(*list), errors);
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
