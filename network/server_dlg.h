// "Directory server definition": a directory (LDAP) server by name or IP
// address, port and search base.
#pragma once

#include "network/definition_dlg.h"

class TServerDlg : public TDefinitionDlg {
public:
    // record null: a new server goes to the end of the list.
    TServerDlg(TWin* page, TServerListView* list, TRepositoryItem* record);
    ~TServerDlg() override;

    static constexpr int kNumber = 293;

protected:
    void Fill() override;
    // A changed server stays an LDAP server whatever its port; a new one
    // with port COM becomes a Resource Manager, and the user is told.
    void Save() override;
};
