// "Directory definition": a central directory by its name or path, with a
// directory picker.
#pragma once

#include "network/definition_dlg.h"

class TAddDirDlg : public TDefinitionDlg {
public:
    // record null: a new directory goes to the end of the list.
    TAddDirDlg(TWin* page, TServerListView* list, TRepositoryItem* record);
    ~TAddDirDlg() override;

    // The ">" button opens the picker; the rest is the shared handling.
    int Command(int id, unsigned code) override;
    // The picker, starting at the edit's text; a chosen directory replaces it.
    void Browse();

    static constexpr int kNumber = 295;

protected:
    void Save() override;
};
