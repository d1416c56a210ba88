// What the tests of the local pages share: a sandboxed registry with the
// product installed, the configuration dialog, and the page's controls as a
// user sees and works them.
#pragma once

#include "tests/support/config_dialog.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace kt_test {

constexpr char kProductKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4";

// One world per test, or per case of a table (sandboxes do not nest).
class PageWorld {
public:
    // installed: whether the product key exists. The channel file directory
    // is always valid, so that its page never keeps the dialog open.
    explicit PageWorld(bool installed = true) {
        if (installed)
            CreateRegKey(HKEY_LOCAL_MACHINE, kProductKey);
        SetRegString(HKEY_LOCAL_MACHINE, "Software\\Tavrel\\Korvane Tools\\ChnFiles", nullptr,
                     channelDir.Path().c_str());
    }

    // Builds the dialog and finds the page by its tree name; null (and the
    // test failed) when either is missing.
    HWND BuildAndFind(const char* treeName) {
        if (!dialog.Build())
            return nullptr;
        page = dialog.PageWindow(treeName);
        EXPECT_NE(nullptr, page) << "no page \"" << treeName << "\" in the tree";
        return page;
    }

    std::string Text(int id) const {
        char text[2048] = "";
        GetDlgItemTextA(page, id, text, sizeof text);
        return text;
    }
    bool Checked(int id) const { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    // A click: the box changes its state and tells the page.
    void Click(int id) const { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
    // What typing leaves in an edit.
    void Type(int id, const char* text) const { SetDlgItemTextA(page, id, text); }

    RegistrySandbox sandbox;  // first made, last gone: the dialog never sees the real keys
    TempDir channelDir;
    ConfigDialogFixture dialog;
    HWND page = nullptr;
};

}  // namespace kt_test
