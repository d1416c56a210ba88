#include "network/add_dir_dlg.h"

#include "network/repository_item.h"
#include "resources/network_page_ids.h"
#include "ui/dir_dialog.h"
#include "ui/edit.h"

namespace {

const char kTemplate[] = "IDD_ADD_DIR_DLG";
const char kPickerTitle[] = "Select directory";
const int kEditIds[] = {IDC_ADD_DIR_NAME};

}  // namespace

TAddDirDlg::TAddDirDlg(TWin* page, TServerListView* list, TRepositoryItem* item)
    : TDefinitionDlg(kTemplate, kNumber, page, list, item, kEditIds, 1, IDC_ADD_DIR_OK) {}

TAddDirDlg::~TAddDirDlg() = default;

int TAddDirDlg::Command(int id, unsigned code) {
    if (id == IDC_ADD_DIR_BROWSE) {
        Browse();
        return 1;
    }
    return TDefinitionDlg::Command(id, code);
}

void TAddDirDlg::Browse() {
    // A whole path: a shorter buffer would make the picker refuse a long one.
    char directory[MAX_PATH];
    directory[0] = '\0';
    if (edits[0])
        edits[0]->GetText(directory, sizeof directory);
    // The edit's change notification then updates OK.
    if (OpenDirDlg(this, directory, nullptr, kPickerTitle, 0, sizeof directory))
        ShowField(0, directory);
}

void TAddDirDlg::Save() {
    SaveName(&TRepositoryItem::SetDirectory, TRepositoryItem::Directory);
}
