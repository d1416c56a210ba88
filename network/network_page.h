// The "Network" page: the machine's directory (LDAP) servers, Resource
// Manager servers and central directories, kept in three parallel registry
// keys under the tool-wide root.
#pragma once

#include "sheet/config_page.h"

class TRepositoryItem;
class TServerListView;

class TNetworkPage : public TConfigPage {
public:
    explicit TNetworkPage(TWin* parent);
    ~TNetworkPage() override;

    int Command(int id, unsigned code) override;
    // Double clicks open the item; the rest is the list's.
    int Notify(int id, NMHDR* header, LRESULT* result) override;
    int InitDlg(int focusId) override;
    // Writes the list; failures are reported, never a refusal.
    int Apply() override;

    // From the list: the row now selected (null, -1: none).
    void OnSelectionChanged(TRepositoryItem* record, int index);

    TServerListView* GetListView() { return LiveList(); }
    TRepositoryItem* GetSelected() const { return selected; }
    int GetSelectedIndex() const { return selectedIndex; }

private:
    void LoadServers();
    void SaveServers();
    int AddItem(int buttonId);
    int ModifyItem();
    int DeleteItem();
    // Runs the definition dialog of that kind for the record (null: new).
    void RunDialog(int type, TRepositoryItem* record);
    // After a button: the list has the focus, OK is the default again.
    void BackToList();
    // The list object while its window lives; null once either is gone.
    TServerListView* LiveList();

    TServerListView* listView = nullptr;
    // The list's window, to tell whether it still lives without asking the
    // dialog for its child (a round trip to the window server under Wine,
    // for every notification of every row).
    HWND listWindow = nullptr;
    TRepositoryItem* selected = nullptr;
    int selectedIndex = -1;
};
