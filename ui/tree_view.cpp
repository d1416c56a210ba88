#include "ui/tree_view.h"

#include <cstring>

HTREEITEM TTreeView::InsertItem(HTREEITEM parentItem, HTREEITEM insertAfter, const char* text,
                                LPARAM data) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parentItem;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text ? text : "");
    insert.item.cchTextMax = static_cast<int>(std::strlen(insert.item.pszText));
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(hwnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM TTreeView::GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(hwnd, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

int TTreeView::SelectItem(HTREEITEM item) {
    return SendMessageA(hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

int TTreeView::Expand(HTREEITEM item, UINT action) {
    return SendMessageA(hwnd, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0;
}

int TTreeView::GetItemText(HTREEITEM item, char* buffer, int size) const {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    TVITEMA request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = buffer;
    request.cchTextMax = size;
    if (!SendMessageA(hwnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)))
        return 0;
    // The tree may answer with a pointer of its own instead of filling ours.
    if (request.pszText != buffer && request.pszText)
        lstrcpynA(buffer, request.pszText, size);
    // A text cut to the buffer comes back without its terminator (the ANSI
    // conversion fills all cchTextMax bytes).
    buffer[size - 1] = '\0';
    return 1;
}

LPARAM TTreeView::GetItemData(HTREEITEM item) const {
    TVITEMA request{};
    request.mask = TVIF_PARAM;
    request.hItem = item;
    if (!SendMessageA(hwnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)))
        return 0;
    return request.lParam;
}

int TTreeView::DeleteItem(HTREEITEM item) {
    return SendMessageA(hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
}

int TTreeView::GetCount() const {
    return static_cast<int>(SendMessageA(hwnd, TVM_GETCOUNT, 0, 0));
}
