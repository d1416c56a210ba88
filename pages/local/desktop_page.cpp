#include "pages/local/desktop_page.h"

#include "app/desktop_file.h"
#include "pages/local/desktop_store.h"
#include "resources/desktop_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"
#include "ui/dir_dialog.h"
#include "ui/file_util.h"

namespace {

constexpr int kPageNumber = 544;
const char kTemplate[] = "DESKTOPDLG";
const char kDesktopFileName[] = "korvane.dsk";
const char kChooserTitle[] = "New desktop directory";

// What the edit may hold and what is read back from it: a whole path. A
// shorter read would store a cut path, which names another directory.
constexpr int kEditTextSize = MAX_PATH;

// The directory Korvane uses when the user names none: beside this
// program, or the Windows directory when the program lives on a network
// drive. A program in a drive's root gives the drive ("C:") alone.
void DefaultDirectory(char* directory) {
    char path[MAX_PATH];
    char unused[MAX_PATH];
    int notFound = 0;
    LocateDesktopFile(path, nullptr, kDesktopFileName, 0, nullptr, unused, &notFound);
    char* filePart = GetFilePart(path);
    // The separator before the file name becomes the end.
    if (filePart > path)
        filePart[-1] = '\0';
    else
        path[0] = '\0';
    lstrcpynA(directory, path, MAX_PATH);
}

}  // namespace

TDesktopPage::TDesktopPage(TWin* parentWin) : TConfigPage(kTemplate, parentWin, nullptr) {
    Run(kPageNumber);
}

TDesktopPage::~TDesktopPage() = default;

void TDesktopPage::EnableOther(bool enable) {
    EnableDlgItem(IDC_DESKTOP_OTHER, enable);
    EnableDlgItem(IDC_DESKTOP_BROWSE, enable);
}

int TDesktopPage::InitDlg(int focusId) {
    // 1. The default directory, for the user to see.
    char defaultDir[MAX_PATH];
    DefaultDirectory(defaultDir);
    SetDlgItemTextA(hwnd, IDC_DESKTOP_DEFAULT, defaultDir);
    // Typing past what can be stored would be cut silently on OK.
    SendDlgItemMessageA(hwnd, IDC_DESKTOP_OTHER, EM_LIMITTEXT, kEditTextSize - 1, 0);
    // 2.-4. The stored directory, or the default one greyed as a start.
    const TDesktopDir stored = ReadDesktopDir();
    storedTooLong = stored.tooLong;
    if (stored.stored) {
        SetDlgItemTextA(hwnd, IDC_DESKTOP_OTHER, stored.dir);
        CheckDlgButton(hwnd, IDC_DESKTOP_USE_OTHER, BST_CHECKED);
    } else {
        SetDlgItemTextA(hwnd, IDC_DESKTOP_OTHER, defaultDir);
        EnableOther(false);
    }
    return focusId;
}

int TDesktopPage::Command(int id, unsigned code) {
    switch (id) {
        case IDC_DESKTOP_USE_OTHER:
            EnableOther(IsDlgButtonChecked(hwnd, IDC_DESKTOP_USE_OTHER) == BST_CHECKED);
            break;
        case IDC_DESKTOP_BROWSE:
            if (code == BN_CLICKED)
                Browse();
            return 1;
        default:
            break;
    }
    return TConfigPage::Command(id, code);
}

void TDesktopPage::Browse() {
    char directory[kEditTextSize];
    GetDlgItemTextA(hwnd, IDC_DESKTOP_OTHER, directory, sizeof directory);
    if (OpenDirDlg(this, directory, nullptr, kChooserTitle, 0, sizeof directory))
        SetDlgItemTextA(hwnd, IDC_DESKTOP_OTHER, directory);
}

void TDesktopPage::StoreOther() {
    // Writing back the cut text would lose the stored value.
    if (storedTooLong && !SendDlgItemMessageA(hwnd, IDC_DESKTOP_OTHER, EM_GETMODIFY, 0, 0))
        return;
    char text[kEditTextSize];
    GetDlgItemTextA(hwnd, IDC_DESKTOP_OTHER, text, sizeof text);
    TPageErrors errors(this);
    WriteDesktopDir(text, errors);
}

void TDesktopPage::RemoveOther() {
    TPageErrors errors(this);
    RemoveDesktopDir(errors);
}

int TDesktopPage::Apply() {
    // 1. A checked box stores what the edit holds, as it stands.
    // 2. An unchecked box removes the stored directory.
    if (IsDlgButtonChecked(hwnd, IDC_DESKTOP_USE_OTHER) == BST_CHECKED)
        StoreOther();
    else
        RemoveOther();
    // 3. Failures are reported, never a refusal.
    return 1;
}

TConfigPage* NewDesktopPage(TWin* parent) {
    return NewConfigPage<TDesktopPage>(parent);
}
