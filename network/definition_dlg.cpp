#include "network/definition_dlg.h"

#include "app/fatal_error.h"
#include "network/repository_item.h"
#include "network/server_list_view.h"
#include "ui/app.h"
#include "ui/edit.h"

#include <new>

TDefinitionDlg::TDefinitionDlg(const char* templateName, int number, TWin* page,
                               TServerListView* list, TRepositoryItem* item, const int* ids,
                               int count, int ok)
    : TDialog(AppInstance(), templateName, page, nullptr),
      record(item),
      listView(list),
      editIds(ids),
      editCount(count < kMaxEdits ? count : kMaxEdits),
      okId(ok) {
    helpContext = number;
}

// The edit objects go with their windows.
TDefinitionDlg::~TDefinitionDlg() = default;

bool TDefinitionDlg::IsEditId(int id) const {
    for (int i = 0; i < editCount; ++i) {
        if (editIds[i] == id)
            return true;
    }
    return false;
}

int TDefinitionDlg::InitDlg(int focusId) {
    bool made = true;
    for (int i = 0; i < editCount; ++i) {
        edits[i] = NewWindowObject<TEdit>(this, editIds[i]);
        made = made && edits[i];
    }
    if (!made) {
        FatalMemoryError();
        // The configuration dialog is being cancelled: this one must not
        // stay open over it.
        EndDlg(IDCANCEL);
        return focusId;
    }
    for (int i = 0; i < editCount; ++i)
        edits[i]->LimitText(kEditLimit);
    Fill();
    initialising = 0;
    UpdateOkButton();
    return focusId;
}

void TDefinitionDlg::UpdateOkButton() {
    if (initialising)
        return;
    // Only emptiness counts: blanks are text.
    bool complete = true;
    for (int i = 0; i < editCount; ++i)
        complete = complete && edits[i] && !edits[i]->IsEmpty();
    EnableDlgItem(okId, complete);
    SendMessageA(hwnd, DM_SETDEFID, static_cast<WPARAM>(complete ? okId : IDCANCEL), 0);
}

int TDefinitionDlg::Command(int id, unsigned code) {
    if (IsEditId(id) && code == EN_CHANGE) {
        UpdateOkButton();
        return TDialog::Command(id, code);
    }
    if (id == okId && code == BN_CLICKED) {
        Save();
        return TDialog::Command(IDOK, 0);
    }
    return TDialog::Command(id, code);
}

bool TDefinitionDlg::ReadField(int index, char* buffer) const {
    buffer[0] = '\0';
    if (index < 0 || index >= editCount || !edits[index])
        return false;
    return edits[index]->GetText(buffer, kFieldSize) > 0;
}

void TDefinitionDlg::ShowField(int index, const char* text) {
    if (index >= 0 && index < editCount && edits[index])
        edits[index]->SetText(text);
}

void TDefinitionDlg::Append(TRepositoryItem* item) {
    if (!listView || listView->InsertItem(item) < 0)
        delete item;
}

void TDefinitionDlg::Refresh() {
    if (listView)
        listView->UpdateItem(record);
}

void TDefinitionDlg::Fill() {
    if (record)
        ShowField(0, record->GetName());
}

void TDefinitionDlg::SaveName(void (TRepositoryItem::*change)(const char*), int type) {
    char name[kFieldSize];
    if (!ReadField(0, name))
        return;
    if (record) {
        (record->*change)(name);
        Refresh();
        return;
    }
    auto* item = new (std::nothrow) TRepositoryItem(name, static_cast<TRepositoryItem::Type>(type));
    if (!item) {
        FatalMemoryError();
        return;
    }
    Append(item);
}
