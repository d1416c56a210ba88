#include "pages/local/max_channels_page.h"

#include "resources/max_channels_page_ids.h"
#include "sheet/config_dlg.h"
#include "ui/reg_text.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kPageNumber = 560;
const char kTemplate[] = "MAXCHNLDLG";
const char kMaxChannelsKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kCannotUpdate[] =
    "Cannot update registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";
const char kCannotDelete[] =
    "Cannot delete registry key SOFTWARE\\Tavrel\\Korvane\\6.4\\MaxChannels";

// Korvane's own limit when no value is stored, and the highest it accepts.
constexpr long kDefaultChannels = 9;
constexpr long kMaxChannels = 100;
constexpr long kDefaultStep = -1;
constexpr int kSpinEditKind = 4;
constexpr int kStoredTextSize = 2048;

}  // namespace

TMaxChnlPage::TMaxChnlPage(TWin* parentWin)
    : TConfigPage(kTemplate, parentWin, controlMap),
      count(kDefaultChannels),
      useOther(0),
      controlMap{},
      spinData(&count, kDefaultChannels, kMaxChannels, kDefaultStep) {
    // The base only keeps the table's address; it is read when the window
    // is created below, so loading here still comes before any use of it.
    Load();
    controlMap[0] = {IDC_MAXCHNL_COUNT, TSpinEdit::New, &spinData, kSpinEditKind};
    Run(kPageNumber);
}

TMaxChnlPage::~TMaxChnlPage() = default;

void TMaxChnlPage::Load() {
    count = kDefaultChannels;
    useOther = 0;
    char text[kStoredTextSize];
    if (QueryValueText(HKEY_LOCAL_MACHINE, kMaxChannelsKey, text, sizeof text) != ERROR_SUCCESS)
        return;
    // Read as "%d" reads: blanks, a sign, digits up to the first other
    // character. A text that does not start with a number leaves the
    // default, which lies in the range and so counts as a stored value.
    // strtol saturates where a scan would overflow, so a huge number cannot
    // wrap round into the range.
    char* end = nullptr;
    long stored = std::strtol(text, &end, 10);
    if (end == text)
        stored = kDefaultChannels;
    if (stored >= kDefaultChannels && stored <= kMaxChannels) {
        count = stored;
        useOther = 1;
    }
}

int TMaxChnlPage::InitDlg(int focusId) {
    CheckDlgButton(hwnd, IDC_MAXCHNL_USE_OTHER, useOther ? BST_CHECKED : BST_UNCHECKED);
    EnableDlgItem(IDC_MAXCHNL_COUNT, useOther == 1);
    return focusId;
}

int TMaxChnlPage::Command(int id, unsigned code) {
    if (id == IDC_MAXCHNL_USE_OTHER)
        EnableDlgItem(IDC_MAXCHNL_COUNT,
                      IsDlgButtonChecked(hwnd, IDC_MAXCHNL_USE_OTHER) == BST_CHECKED);
    return TConfigPage::Command(id, code);
}

int TMaxChnlPage::Apply() {
    // 1. The edit into count, always within the range.
    GetData();
    // 2. The box decides between storing and removing.
    useOther = IsDlgButtonChecked(hwnd, IDC_MAXCHNL_USE_OTHER) == BST_CHECKED;
    if (useOther) {
        // 3. Store the count as text; this creates the key when it is missing.
        char text[16];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(count));
        if (RegSetValueA(HKEY_LOCAL_MACHINE, kMaxChannelsKey, REG_SZ, text, lstrlenA(text)) !=
            ERROR_SUCCESS)
            AddError(this, kCannotUpdate, 1);
    } else {
        // 4. Remove the key, if there is one.
        HKEY key;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kMaxChannelsKey, &key) == ERROR_SUCCESS) {
            RegCloseKey(key);
            if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMaxChannelsKey) != ERROR_SUCCESS)
                AddError(this, kCannotDelete, 1);
        }
    }
    // 5. A failed write is reported, never a refusal: the other pages save too.
    return 1;
}

TConfigPage* NewMaxChnlPage(TWin* parent) {
    return NewConfigPage<TMaxChnlPage>(parent);
}
