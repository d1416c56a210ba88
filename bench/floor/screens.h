// The program's screens as the benchmark's floors build them without the
// program: the seven page templates and tree rows, in the program's order.
// Shared by ktfloor.exe and the dialog case's raw loop.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace kt_floor {

constexpr int kTreeId = 160;
constexpr int kPageCount = 7;
constexpr const char* kPageTemplates[kPageCount] = {"CHNDIRDLG",   "NETWORKDLG", "KORVANEDLG",
                                                    "DESKTOPDLG",  "PLUGINDLG",  "MAXCHNLDLG",
                                                    "SHARETOOLDLG"};
constexpr const char* kPageNames[kPageCount] = {"Channel files",  "Network",  "Korvane",
                                                "Settings",       "Plug-ins", "Max. channels",
                                                "Channel sharing"};
// The row each page hangs below; -1 for the root.
constexpr int kPageParents[kPageCount] = {-1, 0, -1, 2, 2, 2, 2};
// The pages with children, expanded as the program expands them.
constexpr int kParentPages[] = {0, 2};

// The dialog's tree filled with the seven names (each row's data its page),
// expanded, the first row selected and focused.
inline void FillPageTree(HWND dialog, const HWND* pages) {
    HWND tree = GetDlgItem(dialog, kTreeId);
    HTREEITEM items[kPageCount] = {};
    for (int page = 0; page < kPageCount; ++page) {
        TVINSERTSTRUCTA insert{};
        insert.hParent = kPageParents[page] < 0 ? TVI_ROOT : items[kPageParents[page]];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<char*>(kPageNames[page]);
        insert.item.lParam = reinterpret_cast<LPARAM>(pages[page]);
        items[page] = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    for (int parent : kParentPages)
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[parent]));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[0]));
    SetFocus(tree);
}

}  // namespace kt_floor
