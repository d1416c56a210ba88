#include "pages/local/install_page.h"

#include "pages/local/install_store.h"
#include "resources/install_page_ids.h"
#include "sheet/config_dlg.h"
#include "ui/file_static.h"

namespace {

constexpr int kPageNumber = 512;
const char kTemplate[] = "KORVANEDLG";
const char kNotFound[] = "A Korvane installation has not been found!";

}  // namespace

TInstallPage::TInstallPage(TWin* parentWin, int isInstalled)
    : TConfigPage(kTemplate, parentWin, nullptr), installed(isInstalled) {
    Run(kPageNumber);
}

TInstallPage::~TInstallPage() = default;

void TInstallPage::ShowNotFound() {
    SetDlgItemTextA(hwnd, IDC_INSTALL_VERDICT, kNotFound);
}

int TInstallPage::InitDlg(int focusId) {
    // 1. The path static, showing the page's path field.
    pathControl = NewWindowObject<TFileStatic>(this, IDC_INSTALL_PATH);
    if (pathControl)
        pathControl->SetDataLink(installPath);
    // 2.-3. Not installed, or no longer: the verdict says so.
    const TInstallation installation = installed ? ReadInstallation() : TInstallation();
    if (!installation.found) {
        ShowNotFound();
        return focusId;
    }
    // 4. The product version; without one the dash stays.
    if (installation.version[0])
        SetDlgItemTextA(hwnd, IDC_INSTALL_VERSION, installation.version);
    // 5. The installation path, when it is whole.
    if (installation.path[0]) {
        lstrcpynA(installPath, installation.path, sizeof installPath);
        if (pathControl)
            pathControl->SetData();
    }
    return focusId;
}

int TInstallPage::Command(int id, unsigned code) {
    return TConfigPage::Command(id, code);
}

TConfigPage* NewInstallPage(TWin* parent, int installed) {
    return NewConfigPage<TInstallPage>(parent, installed);
}
