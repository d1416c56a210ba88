#include "pages/local/desktop_page.h"

#include "app/desktop_file.h"
#include "resources/desktop_page_ids.h"
#include "sheet/config_dlg.h"
#include "ui/reg_text.h"
#include "ui/dir_dialog.h"
#include "ui/file_util.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kPageNumber = 544;
const char kTemplate[] = "DESKTOPDLG";
const char kDesktopFileName[] = "korvane.dsk";
const char kDskPathKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kChooserTitle[] = "New desktop directory";
const char kCannotCreate[] = "Cannot create registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kCannotWrite[] = "Cannot write to registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";
const char kCannotDelete[] = "Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\DskPath";

// What the edit may hold and what is read back from it: a whole path. A
// shorter read would store a cut path, which names another directory.
constexpr int kEditTextSize = MAX_PATH;
// Enough to tell a stored value that does not fit from one that does.
constexpr int kStoredTextSize = 2048;

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

// The stored directory into text (kStoredTextSize bytes), terminated where
// its data ends: a value need not end in a terminator, nor be text at all.
// A value too long for text gives ERROR_MORE_DATA, with as much of it as
// fits.
LONG ReadStored(char* text) {
    LONG size = 0;
    LONG status = QueryValueText(HKEY_CURRENT_USER, kDskPathKey, text, kStoredTextSize, &size);
    if (status != ERROR_MORE_DATA || size <= 0)
        return status;
    // The answer brought the size the value needs, not its data.
    char* whole = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (!whole)
        return status;
    LONG wholeSize = size;
    if (RegQueryValueA(HKEY_CURRENT_USER, kDskPathKey, whole, &wholeSize) == ERROR_SUCCESS) {
        size_t length = static_cast<size_t>(wholeSize >= 0 && wholeSize < size ? wholeSize : size);
        length = length < kStoredTextSize - 1 ? length : kStoredTextSize - 1;
        std::memcpy(text, whole, length);
        text[length] = '\0';
    }
    std::free(whole);
    return status;
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
    char stored[kStoredTextSize];
    LONG status = ReadStored(stored);
    // A value too long even for this buffer is still a stored directory.
    storedTooLong = status == ERROR_MORE_DATA;
    if (status == ERROR_SUCCESS || storedTooLong) {
        storedTooLong = storedTooLong || lstrlenA(stored) >= kEditTextSize;
        stored[kEditTextSize - 1] = '\0';
        SetDlgItemTextA(hwnd, IDC_DESKTOP_OTHER, stored);
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
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kDskPathKey, &key) != ERROR_SUCCESS) {
        AddError(this, kCannotCreate, 1);
        return;
    }
    if (RegSetValueA(key, nullptr, REG_SZ, text, lstrlenA(text)) != ERROR_SUCCESS)
        AddError(this, kCannotWrite, 1);
    RegCloseKey(key);
}

void TDesktopPage::RemoveOther() {
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kDskPathKey, &key) != ERROR_SUCCESS)
        return;  // nothing stored, nothing to remove
    RegCloseKey(key);
    if (RegDeleteKeyA(HKEY_CURRENT_USER, kDskPathKey) != ERROR_SUCCESS)
        AddError(this, kCannotDelete, 1);
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
