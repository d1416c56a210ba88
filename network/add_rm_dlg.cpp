#include "network/add_rm_dlg.h"

#include "network/repository_item.h"
#include "resources/network_page_ids.h"

namespace {

const char kTemplate[] = "IDD_ADD_RM_DLG";
const int kEditIds[] = {IDC_ADD_RM_PROGID};

}  // namespace

TAddRMDlg::TAddRMDlg(TWin* page, TServerListView* list, TRepositoryItem* item)
    : TDefinitionDlg(kTemplate, kNumber, page, list, item, kEditIds, 1, IDOK) {}

TAddRMDlg::~TAddRMDlg() = default;

void TAddRMDlg::Save() {
    SaveName(&TRepositoryItem::SetResourceManager, TRepositoryItem::ResourceManager);
}
