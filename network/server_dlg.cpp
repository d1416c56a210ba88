#include "network/server_dlg.h"

#include "app/fatal_error.h"
#include "network/repository_item.h"
#include "resources/network_page_ids.h"

#include <new>

namespace {

const char kTemplate[] = "SERVERDIALOG";
const char kCaption[] = "Directory server definition";
const char kBecameResourceManager[] =
    "The type of the new server is Resource Manager because the port is COM.";
const char kDefaultPort[] = "389";
const int kEditIds[] = {IDC_SERVER_NAME, IDC_SERVER_PORT, IDC_SERVER_SEARCH_BASE};
enum { kName, kPort, kSearchBase };

}  // namespace

TServerDlg::TServerDlg(TWin* page, TServerListView* list, TRepositoryItem* item)
    : TDefinitionDlg(kTemplate, kNumber, page, list, item, kEditIds, 3, IDC_SERVER_OK) {}

TServerDlg::~TServerDlg() = default;

void TServerDlg::Fill() {
    if (!record) {
        ShowField(kPort, kDefaultPort);
        return;
    }
    // As stored: a missing port or search base is an empty edit.
    ShowField(kName, record->GetName());
    ShowField(kPort, record->GetPort());
    ShowField(kSearchBase, record->GetSearchBase());
}

void TServerDlg::Save() {
    char name[kFieldSize];
    char port[kFieldSize];
    char searchBase[kFieldSize];
    bool complete = ReadField(kName, name);
    complete = ReadField(kPort, port) && complete;
    complete = ReadField(kSearchBase, searchBase) && complete;
    if (!complete)
        return;
    if (record) {
        record->SetServer(name, port, searchBase);
        Refresh();
        return;
    }
    auto* item = new (std::nothrow) TRepositoryItem(name, port, searchBase);
    if (!item) {
        FatalMemoryError();
        return;
    }
    if (item->GetType() == TRepositoryItem::ResourceManager)
        MessageBoxA(hwnd, kBecameResourceManager, kCaption, MB_ICONINFORMATION);
    Append(item);
}
