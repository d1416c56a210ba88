#include "pages/local/install_page.h"

#include "resources/install_page_ids.h"
#include "sheet/config_dlg.h"
#include "ui/reg_text.h"
#include "ui/file_static.h"

namespace {

constexpr int kPageNumber = 512;
const char kTemplate[] = "KORVANEDLG";
const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kAppPathsSubkey[] = "AppPaths";
const char kNotFound[] = "A Korvane installation has not been found!";

constexpr int kVersionTextSize = 2048;

}  // namespace

TInstallPage::TInstallPage(TWin* parentWin, int isInstalled)
    : TConfigPage(kTemplate, parentWin, nullptr), installed(isInstalled) {
    Run(kPageNumber);
}

TInstallPage::~TInstallPage() = default;

void TInstallPage::ShowNotFound() {
    SetDlgItemTextA(hwnd, IDC_INSTALL_VERDICT, kNotFound);
}

void TInstallPage::ShowPath(HKEY productKey) {
    // A path longer than the field would show as a different, cut path:
    // such a value is left unshown, like an unreadable one.
    char path[MAX_PATH];
    LONG size = 0;
    if (QueryValueText(productKey, kAppPathsSubkey, path, sizeof path, &size) != ERROR_SUCCESS)
        return;
    // A path that fills the whole field has no room for its end.
    if (size >= LONG{sizeof path} && lstrlenA(path) >= LONG{sizeof path} - 1)
        return;
    if (!path[0])
        return;  // a key without a default value reads as an empty text
    lstrcpynA(installPath, path, sizeof installPath);
    if (pathControl)
        pathControl->SetData();
}

int TInstallPage::InitDlg(int focusId) {
    // 1. The path static, showing the page's path field.
    pathControl = NewWindowObject<TFileStatic>(this, IDC_INSTALL_PATH);
    if (pathControl)
        pathControl->SetDataLink(installPath);
    // 2.-3. Not installed, or no longer: the verdict says so.
    HKEY key;
    if (!installed || RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKey, &key) != ERROR_SUCCESS) {
        ShowNotFound();
        return focusId;
    }
    // 4. The product version is the key's default value.
    char version[kVersionTextSize];
    // A key without a default value reads as an empty text: that is no
    // version either, and the dash stays.
    if (QueryValueText(key, nullptr, version, sizeof version) == ERROR_SUCCESS) {
        if (version[0])
            SetDlgItemTextA(hwnd, IDC_INSTALL_VERSION, version);
    }
    // 5. The installation path.
    ShowPath(key);
    // 6.
    RegCloseKey(key);
    return focusId;
}

int TInstallPage::Command(int id, unsigned code) {
    return TConfigPage::Command(id, code);
}

TConfigPage* NewInstallPage(TWin* parent, int installed) {
    return NewConfigPage<TInstallPage>(parent, installed);
}
