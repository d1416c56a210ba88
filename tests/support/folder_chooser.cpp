#include "tests/support/folder_chooser.h"

#include "tests/support/modal_answerer.h"
#include "tests/support/tree_items.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>

namespace kt_test {

const char kFolderChooserCaption[] = "Browse for Folder";

namespace {

// The chooser's "Folder:" edit, which shows the name of the selected folder.
HWND FolderNameEdit(HWND chooser) {
    return FindWindowExA(chooser, nullptr, "Edit", nullptr);
}

// The last component of a path ("" for a drive root).
std::string LastComponent(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool Shows(HWND edit, const std::string& name) {
    char shown[MAX_PATH] = "";
    GetWindowTextA(edit, shown, sizeof shown);
    return lstrcmpiA(shown, name.c_str()) == 0;
}

// Expands the chooser's selected tree item and selects its child named
// name, as a click does; returns the children's names seen.
std::string ClickChild(HWND chooser, const std::string& name) {
    HWND tree = FindWindowExA(chooser, nullptr, WC_TREEVIEWA, nullptr);
    if (!tree)
        return "(no tree)";
    auto parentItem =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parentItem));
    std::string seen;
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parentItem)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                 reinterpret_cast<LPARAM>(item)))) {
        std::string text = TreeItemText(tree, item);
        seen += "[" + text + "]";
        if (lstrcmpiA(text.c_str(), name.c_str()) == 0) {
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            break;
        }
    }
    return seen;
}

}  // namespace

std::function<void(HWND)> ChooseFolder(const std::string& path) {
    return [path](HWND chooser) {
        // The selection message answers nothing; a folder the chooser cannot
        // find leaves the old selection, which shows in the name edit.
        std::string expected = LastComponent(path);
        HWND edit = FolderNameEdit(chooser);
        SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
        if (!edit || expected.empty()) {
            PressButton(chooser, IDOK);
            return;
        }
        std::string children;
        if (!Shows(edit, expected)) {
            // The chooser can miss a folder made just before it opened when
            // it goes by the path; a user then opens the parent in the tree
            // and clicks the folder itself.
            std::string parentPath = path.substr(0, path.size() - expected.size());
            SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(parentPath.c_str()));
            children = ClickChild(chooser, expected);
        }
        EXPECT_TRUE(Shows(edit, expected)) << "the folder chooser did not select " << path
                                           << " (its parent holds: " << children << ")";
        PressButton(chooser, IDOK);
    };
}

std::function<void(HWND)> CancelChooser() {
    return [](HWND chooser) { PressButton(chooser, IDCANCEL); };
}

}  // namespace kt_test
