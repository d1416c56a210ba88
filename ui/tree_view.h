// Thin wrapper of the common tree view: each method is one TVM_ message.
#pragma once

#include "ui/control.h"

#include <commctrl.h>

class TTreeView : public TControl {
public:
    TTreeView(TWin* parent, int id, long style) : TControl(WC_TREEVIEWA, parent, id, style) {}

    HTREEITEM InsertItem(HTREEITEM parentItem, HTREEITEM insertAfter, const char* text,
                         LPARAM data);
    // TVM_GETNEXTITEM with one of the TVGN_ codes.
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    HTREEITEM GetRoot() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetSelection() const { return GetNextItem(nullptr, TVGN_CARET); }
    int SelectItem(HTREEITEM item);
    int Expand(HTREEITEM item, UINT action = TVE_EXPAND);
    // The item's text into buffer (at most size - 1 characters).
    int GetItemText(HTREEITEM item, char* buffer, int size) const;
    LPARAM GetItemData(HTREEITEM item) const;
    int DeleteItem(HTREEITEM item);
    int DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    int GetCount() const;
};
