#include "plugins/plugin_page.h"

#include "plugins/plugin_list_box.h"
#include "resources/plugin_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"
#include "ui/dir_dialog.h"
#include "ui/file_static.h"

namespace {

const char kTemplate[] = "PLUGINDLG";
constexpr int kPageNumber = 528;

const char kChooserTitle[] = "Scan plug-in modules from";
// Posted by the page to itself after a save: it comes back once the OK that
// saved has been handled whole.
constexpr UINT kOkHandled = WM_APP + 1;

}  // namespace

TPluginPage::TPluginPage(TWin* parentWin) : TConfigPage(kTemplate, parentWin, nullptr) {
    scanDir[0] = '\0';
    fileName[0] = '\0';
    Run(kPageNumber);
}

TPluginPage::~TPluginPage() = default;

int TPluginPage::InitDlg(int focusId) {
    checkList = NewWindowObject<TPluginListBox>(this, IDC_PLUGIN_LIST);
    if (checkList)
        checkList->SetItemHeight(TPluginListBox::kRowHeight);
    fileStatic = NewWindowObject<TFileStatic>(this, IDC_PLUGIN_FILE);
    if (fileStatic) {
        fileStatic->SetDataLink(fileName);
        fileStatic->SetData();
    }
    store.LoadRegisteredPlugins();
    ScanDefaultDir();
    return focusId;
}

int TPluginPage::Command(int id, unsigned code) {
    switch (id) {
        case IDOK:
            SaveIfChanged();
            break;
        case IDC_PLUGIN_LIST:
            if (!checkList)
                break;
            if (code == kCheckChanged && OnCheckChanged())
                Changed();
            else if (code == LBN_SELCHANGE)
                OnSelChange();
            break;
        case IDC_PLUGIN_SCAN:
            OnScan();
            return 1;
        default:
            break;
    }
    return TConfigPage::Command(id, code);
}

int TPluginPage::OnScan() {
    if (OpenDirDlg(this, scanDir, nullptr, kChooserTitle, 0, sizeof scanDir) && ScanDir(scanDir))
        Changed();
    return 1;
}

int TPluginPage::Apply() {
    SaveIfChanged();
    return 1;
}

void TPluginPage::Changed() {
    dirty = true;
    // A change comes from the user, after the OK that saved last.
    savedThisOk = false;
}

int TPluginPage::Other(TMsg& msg) {
    if (msg.message != kOkHandled)
        return TConfigPage::Other(msg);
    savedThisOk = false;
    msg.result = 0;
    return 1;
}

// An untouched page writes nothing: a registered plug-in whose module could
// not be read just now (a share offline, a file locked) keeps its key. One
// OK saves once, whether it comes as the apply notification, as IDOK, or
// as both; a save that failed leaves the page changed, so that the next OK
// tries it again.
void TPluginPage::SaveIfChanged() {
    if (dirty && !savedThisOk)
        SavePlugins();
}

void TPluginPage::SavePlugins() {
    TPageErrors errors(this);
    dirty = !store.Save(errors);
    // Both ways in which an OK reaches the page are handled before the
    // message loop takes the next message: until the note posted now comes
    // back, this OK has saved. Without the note the next OK could never
    // save again, so then nothing waits for it.
    savedThisOk = PostMessageA(hwnd, kOkHandled, 0, 0) != FALSE;
}

TConfigPage* NewPluginPage(TWin* parent) {
    return NewConfigPage<TPluginPage>(parent);
}
