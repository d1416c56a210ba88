// "Resource Manager ProgID": a Resource Manager server by its ProgID.
#pragma once

#include "network/definition_dlg.h"

class TAddRMDlg : public TDefinitionDlg {
public:
    // record null: a new Resource Manager goes to the end of the list.
    TAddRMDlg(TWin* page, TServerListView* list, TRepositoryItem* record);
    ~TAddRMDlg() override;

    static constexpr int kNumber = 305;

protected:
    // The record becomes a Resource Manager with port COM and no search base.
    void Save() override;
};
