#include "tests/support/tree_items.h"

namespace kt_test {

namespace {

constexpr int kTextSize = 2048;

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT code) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

void CollectItems(HWND tree, HTREEITEM first, std::vector<HTREEITEM>* items) {
    for (HTREEITEM item = first; item; item = NextItem(tree, item, TVGN_NEXT)) {
        items->push_back(item);
        CollectItems(tree, NextItem(tree, item, TVGN_CHILD), items);
    }
}

}  // namespace

std::vector<HTREEITEM> TreeItems(HWND tree) {
    std::vector<HTREEITEM> items;
    if (tree)
        CollectItems(tree, NextItem(tree, nullptr, TVGN_ROOT), &items);
    return items;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    char buffer[kTextSize];
    buffer[0] = '\0';
    TVITEMA request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = buffer;
    request.cchTextMax = kTextSize;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)))
        return std::string();
    return request.pszText ? std::string(request.pszText) : std::string();
}

}  // namespace kt_test
