#include "sheet/config_dlg.h"

#include "pages/local/chn_dir_page.h"
#include "sheet/config_page.h"
#include "sheet/error_win.h"
#include "ui/app.h"
#include "ui/screen_scale.h"

#include <cstddef>
#include <cstring>

namespace {

const char kTemplateName[] = "CONFIGDLG";
const char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";
const char kErrorCaption[] = "KT&C Error";
// The library's "default place" for a top-level dialog; the template
// centres it.
constexpr int kDefaultPosition = static_cast<int>(0x80000002u);
constexpr int kLargeIcon = 1;
constexpr int kSmallIcon = 2;
constexpr int kNameSize = 2048;
constexpr int kRoot = -1;

// Makes a row's page: most factories take only the parent, the
// installation page also whether the product is installed.
struct TPageMaker {
    constexpr TPageMaker(std::nullptr_t) {}
    constexpr TPageMaker(PageFactory factory) : plain(factory) {}
    constexpr TPageMaker(InstallPageFactory factory) : install(factory) {}
    TConfigPage* Make(TWin* parent, int installed) const {
        if (install)
            return install(parent, installed);
        return plain ? plain(parent) : nullptr;
    }
    PageFactory plain = nullptr;
    InstallPageFactory install = nullptr;
};

struct TPageRow {
    const char* name;
    const char* description;
    int parentRow;
    TPageMaker maker;
    bool onlyInstalled;
};

// The pages in the order they are created and added. A null factory is a
// page not built into the program.
const TPageRow kPages[] = {
    {"Channel files", "Define channel file directory", kRoot, NewChnDirPage, false},
    {"Network", "Define channel pools", 0, NewNetworkPage, false},
    {"Korvane", "Verify installation of Korvane", kRoot, NewInstallPage, false},
    {"Settings", "Define desktop directory", 2, NewDesktopPage, true},
    {"Plug-ins", "Configure plug-ins for Korvane", 2, NewPluginPage, true},
    {"Max. channels", "Define maximum number of channels", 2, NewMaxChnlPage, true},
    {"Channel sharing", "Define tools that share channel", 2, NewShareToolPage, true},
};
constexpr int kRowCount = static_cast<int>(sizeof kPages / sizeof kPages[0]);
constexpr int kChnDirRow = 0;
constexpr int kInstallRow = 2;

PageFactory swappedFactory[kRowCount] = {};
bool swapped[kRowCount] = {};

TConfigPage* MakePage(int row, TWin* parent, int installed) {
    if (swapped[row])
        return swappedFactory[row] ? swappedFactory[row](parent) : nullptr;
    return kPages[row].maker.Make(parent, installed);
}

int FindRow(const char* treeName) {
    for (int row = 0; row < kRowCount; ++row) {
        if (treeName && std::strcmp(kPages[row].name, treeName) == 0)
            return row;
    }
    return -1;
}

// Whether an error was shown in a message box, for want of an error window,
// since the OK began (or, between two OKs, since the last one).
bool errorShownNow = false;

// A report that no error window can hold, shown at once, as are the reports
// made while the dialog is built. An error among them keeps the dialog open
// after its OK, as an error window would.
void ShowReportNow(HWND pageWindow, const char* text, int kind) {
    MessageBoxA(pageWindow, text ? text : "", kErrorCaption, MB_OK);
    if (kind != 0)
        errorShownNow = true;
}

// An error window that could store no line shows nothing; the OK step
// must not hide the dialog behind it.
TErrorWin* ErrorWinWithLines() {
    TErrorWin* win = TErrorWin::Current();
    return win && win->LineCount() > 0 ? win : nullptr;
}

}  // namespace

TPageFactorySwap::TPageFactorySwap(const char* treeName, PageFactory factory)
    : row(FindRow(treeName)), wasSwapped(false), previous(nullptr) {
    if (row < 0)
        return;
    wasSwapped = swapped[row];
    previous = swappedFactory[row];
    swapped[row] = true;
    swappedFactory[row] = factory;
}

TPageFactorySwap::~TPageFactorySwap() {
    if (row < 0)
        return;
    swapped[row] = wasSwapped;
    swappedFactory[row] = previous;
}

TConfigDlg::TConfigDlg() : TTreeSheet(nullptr, kTemplateName, kDefaultPosition, kDefaultPosition) {
    chnDirPage = nullptr;
    if (!Create())
        return;
    SetWindowIcons(hwnd, kLargeIcon, kSmallIcon);
    // The template's logo grows with the dialog's font; its picture does not
    // by itself.
    logo = ScaleStaticBitmap(FindBitmapStatic(hwnd));
}

TConfigDlg::~TConfigDlg() {
    // The logo control goes with the dialog and never draws it again.
    if (logo)
        DeleteObject(logo);
    if (TApp::TheApp) {
        // Nothing may reach this object through the application any more.
        if (TApp::TheApp->mainWin == this)
            TApp::TheApp->mainWin = nullptr;
        TApp::TheApp->Quit(0);
    }
}

int TConfigDlg::ProductKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKey, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

void TConfigDlg::AddPages() {
    HTREEITEM items[kRowCount] = {};
    int installed = -1;
    for (int row = 0; row < kRowCount; ++row) {
        const TPageRow& entry = kPages[row];
        // Asked only once the pages that do not depend on it exist.
        if (installed < 0 && (row == kInstallRow || entry.onlyInstalled))
            installed = ProductKeyExists();
        if (entry.onlyInstalled && !installed)
            continue;
        TConfigPage* page = MakePage(row, this, installed > 0);
        if (row == kChnDirRow) {
            chnDirWin = page;
            // A test may stand another page in for it.
            chnDirPage = dynamic_cast<TChnDirPage*>(page);
        }
        if (!page)
            continue;
        // A missing parent page leaves its children at the root.
        HTREEITEM parentItem = TVI_ROOT;
        if (entry.parentRow != kRoot && items[entry.parentRow])
            parentItem = items[entry.parentRow];
        items[row] = AddPage(page, parentItem, TVI_LAST, entry.name, entry.description);
    }
    for (int row = 0; row < kRowCount; ++row) {
        if (items[row] && pageTree->GetNextItem(items[row], TVGN_CHILD))
            pageTree->Expand(items[row], TVE_EXPAND);
    }
}

int TConfigDlg::CanClose() {
    TErrorWin* errors = ErrorWinWithLines();
    if (!errors)
        return errorShownNow ? 0 : 1;
    if (errors->Display())
        return 0;
    // Warnings only: the error window stands in for the dialog until the
    // user closes it.
    ShowWindow(hwnd, SW_HIDE);
    return 0;
}

void TConfigDlg::BeginApply() {
    // What the user has already read is not this OK's news.
    errorShownNow = false;
    if (TErrorWin* errors = TErrorWin::Current())
        errors->ForgetShown();
}

void TConfigDlg::ApplyRefused() {
    // The user must learn why OK did nothing. Warnings alone are not shown:
    // a warnings window ends the run when it is closed.
    TErrorWin* errors = ErrorWinWithLines();
    if (errors && errors->HasErrors())
        errors->Display();
}

int TConfigDlg::Other(TMsg& msg) {
    if (msg.message == WM_ACTIVATEAPP && chnDirWin && chnDirWin->GetHandle())
        SendMessageA(chnDirWin->GetHandle(), WM_COMMAND, kActivationNoticeId, 0);
    return TTreeSheet::Other(msg);
}

void AddError(TWin* page, const char* text, int kind) {
    HWND pageWindow = page ? page->GetHandle() : nullptr;
    TWin* mainWin = TApp::TheApp ? TApp::TheApp->mainWin : nullptr;
    if (!mainWin || !mainWin->GetHandle()) {
        ShowReportNow(pageWindow, text, kind);
        return;
    }
    TErrorWin* errors = TErrorWin::Current();
    if (!errors) {
        errors = new TErrorWin(mainWin);
        if (!errors) {
            MessageBoxA(pageWindow, "Memory allocation error", "KT&C: AddError", MB_OK);
            return;
        }
        if (!errors->GetHandle()) {
            // No window to hold the report: the user reads it now instead.
            delete errors;
            ShowReportNow(pageWindow, text, kind);
            return;
        }
        TErrorWin::SetCurrent(errors);
    }
    char name[kNameSize];
    name[0] = '\0';
    auto item = static_cast<HTREEITEM>(pageWindow ? GetPropA(pageWindow, "HPAGEPROP") : nullptr);
    auto* tree =
        dynamic_cast<TTreeView*>(TWin::GetWin(GetDlgItem(mainWin->GetHandle(), kPageTreeId)));
    if (item && tree)
        tree->GetItemText(item, name, kNameSize - 1);
    if (!errors->AddError(name, text, kind))
        ShowReportNow(pageWindow, text, kind);
}
