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
// name, as a click does; false when it has none, with the children's names
// seen into *seen.
bool ClickChild(HWND chooser, const std::string& name, std::string* seen) {
    HWND tree = FindWindowExA(chooser, nullptr, WC_TREEVIEWA, nullptr);
    if (!tree) {
        *seen = "(no tree)";
        return false;
    }
    auto parentItem =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parentItem));
    seen->clear();
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parentItem)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                 reinterpret_cast<LPARAM>(item)))) {
        std::string text = TreeItemText(tree, item);
        *seen += "[" + text + "]";
        if (lstrcmpiA(text.c_str(), name.c_str()) == 0) {
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            return true;
        }
    }
    return false;
}

// Selects the folder as a user does: the drive, then each folder below it by
// its name. The chooser finds a path only through item ids that hold each
// folder's last write time as it was when the tree listed the folder, so a
// folder changed since (the shared temporary folder, on a busy machine) is
// never found by its path; its name stays. Returns what the folder that was
// missing holds, or "" when the walk got through.
std::string ClickDown(HWND chooser, const std::string& path) {
    size_t rootEnd = path.find('\\');
    if (rootEnd == std::string::npos || rootEnd == 0)
        return "(not a path from a drive: " + path + ")";
    std::string drive = path.substr(0, rootEnd + 1);
    SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(drive.c_str()));
    std::string seen;
    for (size_t from = rootEnd + 1; from < path.size();) {
        size_t end = path.find('\\', from);
        if (end == std::string::npos)
            end = path.size();
        std::string name = path.substr(from, end - from);
        if (!name.empty() && !ClickChild(chooser, name, &seen))
            return name + " is not in its parent, which holds: " + seen;
        from = end + 1;
    }
    return std::string();
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
        std::string missing;
        if (!Shows(edit, expected))
            missing = ClickDown(chooser, path);
        EXPECT_TRUE(Shows(edit, expected))
            << "the folder chooser did not select " << path << " (" << missing << ")";
        PressButton(chooser, IDOK);
    };
}

std::function<void(HWND)> CancelChooser() {
    return [](HWND chooser) { PressButton(chooser, IDCANCEL); };
}

}  // namespace kt_test
