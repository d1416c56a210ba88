// The list of the Plug-ins page: the registered plug-ins, checked, then
// those found by scanning, unchecked; one row for each plug-in the store
// lists.
#include "plugins/plugin_list_box.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_page.h"
#include "ui/file_static.h"

#include <cstring>

namespace {

// The wait cursor for as long as the object lives, whichever way the scope
// is left.
class TWaitCursor {
public:
    TWaitCursor() : previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) { ShowCursor(TRUE); }
    ~TWaitCursor() {
        ShowCursor(FALSE);
        SetCursor(previous);
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    HCURSOR previous;
};

}  // namespace

void TPluginPage::AppendRow(const char* name, int checked) {
    if (checkList)
        checkList->AppendCheck(name, checked);
}

bool TPluginPage::RemoveRow(const char* name) {
    int row = checkList ? checkList->FindStringExact(name) : LB_ERR;
    return row >= 0 && checkList->DeleteString(row) != LB_ERR;
}

int TPluginPage::ScanDefaultDir() {
    char dir[MAX_PATH];
    if (!store.InstalledDir(dir, sizeof dir))
        return 0;
    if (strnlen(dir, sizeof scanDir) < sizeof scanDir)
        lstrcpynA(scanDir, dir, sizeof scanDir);
    return ScanDir(dir);
}

int TPluginPage::ScanDir(const char* dir) {
    TWaitCursor wait;
    int changed = store.ScanDir(dir);
    // A removed row may have been the selected one.
    if (changed)
        OnSelChange();
    return changed;
}

int TPluginPage::OnCheckChanged() {
    int row = checkList ? checkList->GetCurSel() : LB_ERR;
    if (row == LB_ERR)
        return 0;
    char name[kPluginNameSize];
    if (checkList->GetString(row, name, sizeof name) < 0)
        return 0;
    return store.SetChecked(name, checkList->GetCheck(row));
}

void TPluginPage::OnSelChange() {
    fileName[0] = '\0';
    int row = checkList ? checkList->GetCurSel() : LB_ERR;
    char name[kPluginNameSize];
    if (row != LB_ERR && checkList->GetString(row, name, sizeof name) >= 0) {
        if (const TPluginRec* rec = store.FindListedPlugin(name))
            lstrcpynA(fileName, rec->file, sizeof fileName);
    }
    if (fileStatic)
        fileStatic->SetData();
}
