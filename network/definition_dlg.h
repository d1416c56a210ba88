// What the three definition dialogs of the Network page share: modal, one to
// three edits that must all hold text before OK may be pressed, and a Save
// that changes the record it was given or appends a new one to the list.
#pragma once

#include "ui/dialog.h"

class TEdit;
class TRepositoryItem;
class TServerListView;

class TDefinitionDlg : public TDialog {
public:
    ~TDefinitionDlg() override;

    // Edits: any change runs UpdateOkButton. OK: Save, then the dialog ends.
    int Command(int id, unsigned code) override;
    // Makes the edit objects, limits and fills them, then sets OK.
    int InitDlg(int focusId) override;
    // OK enabled (and the default button) only while every edit holds
    // text; otherwise Cancel is the default, so Enter cancels.
    void UpdateOkButton();

    // What each field admits; a save keeps one character less.
    static constexpr int kEditLimit = 2047;
    static constexpr int kFieldSize = 2047;
    static constexpr int kMaxEdits = 3;

protected:
    // number: the dialog's help context. editIds lists editCount ids.
    TDefinitionDlg(const char* templateName, int number, TWin* page, TServerListView* list,
                   TRepositoryItem* item, const int* editIds, int editCount, int okId);

    // Puts the record's fields (or a new item's defaults) into the edits;
    // a one-edit dialog shows the record's name.
    virtual void Fill();
    // Builds or changes the record from the edits.
    virtual void Save() = 0;
    // Save of a one-edit dialog: the name given to the record by change, or
    // a new record of that type.
    void SaveName(void (TRepositoryItem::*change)(const char*), int type);

    // Edit index's text, at most kFieldSize - 1 characters, into a buffer
    // of kFieldSize bytes; whether it holds any.
    bool ReadField(int index, char* buffer) const;
    void ShowField(int index, const char* text);
    // Hands a new record to the list; frees it when no row could take it.
    void Append(TRepositoryItem* item);
    // Refreshes the changed record's row.
    void Refresh();

    TEdit* edits[kMaxEdits] = {};
    TRepositoryItem* record;
    TServerListView* listView;
    // Set until InitDlg has filled the edits: their change notifications
    // are the dialog's own then, not the user's.
    int initialising = 1;

private:
    bool IsEditId(int id) const;

    const int* editIds;
    int editCount;
    int okId;
};
