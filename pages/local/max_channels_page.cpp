#include "pages/local/max_channels_page.h"

#include "pages/local/max_channels_store.h"
#include "resources/max_channels_page_ids.h"
#include "sheet/config_dlg.h"
#include "sheet/error_sink.h"

namespace {

constexpr int kPageNumber = 560;
const char kTemplate[] = "MAXCHNLDLG";
constexpr long kDefaultStep = -1;
constexpr int kSpinEditKind = 4;

}  // namespace

TMaxChnlPage::TMaxChnlPage(TWin* parentWin)
    : TConfigPage(kTemplate, parentWin, controlMap),
      count(TMaxChannels::kDefault),
      useOther(0),
      controlMap{},
      spinData(&count, TMaxChannels::kDefault, TMaxChannels::kHighest, kDefaultStep) {
    // The base only keeps the table's address; it is read when the window
    // is created below, so loading here still comes before any use of it.
    Load();
    controlMap[0] = {IDC_MAXCHNL_COUNT, TSpinEdit::New, &spinData, kSpinEditKind};
    Run(kPageNumber);
}

TMaxChnlPage::~TMaxChnlPage() = default;

void TMaxChnlPage::Load() {
    TMaxChannels stored = ReadMaxChannels();
    count = stored.count;
    useOther = stored.useOther;
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
    // 2. The box decides between storing the count and removing the key.
    useOther = IsDlgButtonChecked(hwnd, IDC_MAXCHNL_USE_OTHER) == BST_CHECKED;
    TMaxChannels setting;
    setting.count = count;
    setting.useOther = useOther;
    TPageErrors errors(this);
    WriteMaxChannels(setting, errors);
    // 3. A failed write is reported, never a refusal: the other pages save too.
    return 1;
}

TConfigPage* NewMaxChnlPage(TWin* parent) {
    return NewConfigPage<TMaxChnlPage>(parent);
}
