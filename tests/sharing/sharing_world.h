// What the tests of the Channel sharing page share: the page world of the
// local pages (sandboxed registry with the product installed, the
// configuration dialog), the Launch key, programs to choose, and the tool
// list as a user sees and works it.
#pragma once

#include "resources/share_tool_page_ids.h"
#include "sharing/share_tool_page.h"
#include "sharing/tool_item.h"
#include "tests/pages/local/local_page_test.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kt_test {

constexpr char kLaunchKey[] = "SOFTWARE\\Tavrel\\Korvane\\6.4\\Launch";
constexpr char kSharingTreeName[] = "Channel sharing";
constexpr char kSelectToolCaption[] = "Select tool";

// The path of this test program, which carries icons.
std::string ThisProgram();

// Program files in a folder of their own: copies of this test program
// (with icons) and files without any.
class ToolPrograms {
public:
    // A copy of this program at the relative path; its full path.
    std::string WithIcon(const std::string& relative) const;
    // A small file that holds no icon; its full path.
    std::string WithoutIcon(const std::string& relative) const;
    TempDir dir;
};

// A row of the list as shown.
struct ShownTool {
    std::string name;
    std::string commandLine;
    int image;
};

class SharingWorld : public PageWorld {
public:
    // Builds the dialog and finds the page; null (and the test failed) when
    // either is missing.
    TShareToolPage* Build();
    TShareToolPage* Page() const;
    HWND List() const { return GetDlgItem(page, IDC_SHARETOOL_LIST); }

    int RowCount() const;
    ShownTool Row(int index) const;
    std::vector<std::string> Names() const;
    // Selects and focuses a row as a click does.
    void SelectRow(int index) const;
    // A button of the page, clicked.
    void Press(int id) const { PressButton(page, id); }

    // The Launch key as another program reads it: subkey name to default
    // value, in enumeration order; names of subkeys without a value map to
    // "(no value)".
    std::vector<std::pair<std::string, std::string>> Stored() const;
    void Seed(const std::string& name, const std::string& commandLine) const;
    bool DirtySet() const;
};

}  // namespace kt_test
