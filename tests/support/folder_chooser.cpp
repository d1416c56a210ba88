#include "tests/support/folder_chooser.h"

#include "tests/support/modal_answerer.h"

#include <gtest/gtest.h>
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

}  // namespace

std::function<void(HWND)> ChooseFolder(const std::string& path) {
    return [path](HWND chooser) {
        // The selection message answers nothing; a folder the chooser cannot
        // find leaves the old selection, which shows in the name edit.
        SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
        std::string expected = LastComponent(path);
        if (HWND edit = FolderNameEdit(chooser); edit && !expected.empty()) {
            char shown[MAX_PATH] = "";
            GetWindowTextA(edit, shown, sizeof shown);
            EXPECT_EQ(0, lstrcmpiA(shown, expected.c_str()))
                << "the folder chooser did not select " << path << " (shows " << shown << ")";
        }
        PressButton(chooser, IDOK);
    };
}

std::function<void(HWND)> CancelChooser() {
    return [](HWND chooser) { PressButton(chooser, IDCANCEL); };
}

}  // namespace kt_test
