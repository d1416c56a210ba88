// The base of every configuration page: a modeless child dialog of the sheet
// that loads its settings in InitDlg and saves them in Apply.
#pragma once

#include "ui/dialog.h"

#include <commctrl.h>
#include <prsht.h>

// The id that the sheet's notifications to its pages carry (the placeholder).
constexpr int kPageNotifyId = 162;

class TConfigPage : public TModelessDlg {
public:
    TConfigPage(const char* templateName, TWin* parent, TControlMap* controls);

    // PSN_APPLY: GetData, then Apply; a refusal answers 1.
    int Notify(int id, NMHDR* header, LRESULT* result) override;
    // OK and Cancel belong to the sheet: a page that gets them (Enter on its
    // default button) goes on living inside the sheet.
    int Command(int id, unsigned code) override;
    // Saves the page; nonzero on success, 0 refuses the OK.
    virtual int Apply() { return 1; }
};

// What a page factory does: allocates and constructs the page (which makes
// its window and loads it); null when either fails.
template <class Page, class... Args>
TConfigPage* NewConfigPage(Args&&... args) {
    return NewWindowObject<Page>(std::forward<Args>(args)...);
}
