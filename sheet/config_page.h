// The base of every configuration page: a modeless child dialog of the sheet
// that loads its settings in InitDlg and saves them in Apply.
#pragma once

#include "ui/dialog.h"

#include <commctrl.h>
#include <prsht.h>

#include <utility>

// The id that the sheet's notifications to its pages carry (the placeholder).
constexpr int kPageNotifyId = 162;

class TConfigPage : public TModelessDlg {
public:
    TConfigPage(const char* templateName, TWin* parent, TControlMap* controls);

    // PSN_APPLY: GetData, then Apply; a refusal answers 1.
    int Notify(int id, NMHDR* header, LRESULT* result) override;
    // Saves the page; nonzero on success, 0 refuses the OK.
    virtual int Apply() { return 1; }
};

// What a page factory does: allocates and constructs the page (which makes
// its window and loads it). Null when either fails; a page whose window
// could not be made is deleted, as nothing would delete it with a window.
template <class Page, class... Args>
TConfigPage* NewConfigPage(Args&&... args) {
    Page* page = new Page(std::forward<Args>(args)...);
    if (page && !page->GetHandle()) {
        delete page;
        return nullptr;
    }
    return page;
}
