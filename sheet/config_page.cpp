#include "sheet/config_page.h"

TConfigPage::TConfigPage(const char* templateName, TWin* parent, TControlMap* controls)
    : TModelessDlg(templateName, parent, controls, CW_USEDEFAULT, CW_USEDEFAULT) {}

int TConfigPage::Notify(int id, NMHDR* header, LRESULT* result) {
    if (id == kPageNotifyId && header && header->code == static_cast<UINT>(PSN_APPLY)) {
        GetData();
        if (!Apply()) {
            *result = 1;
            return 1;
        }
    }
    return TModelessDlg::Notify(id, header, result);
}

int TConfigPage::Command(int id, unsigned code) {
    // Ending a child page would take it out of the sheet, and its settings
    // out of the next OK.
    if ((id == IDOK || id == IDCANCEL) && code == 0)
        return 1;
    return TModelessDlg::Command(id, code);
}
