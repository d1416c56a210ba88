// The items of a tree-view control, for tests that walk a page tree.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace kt_test {

// Every item depth first, as the tree shows them when everything is
// expanded. Only handles are asked for, so the tree may belong to another
// process.
std::vector<HTREEITEM> TreeItems(HWND tree);

// The item's text; empty when it has none. The text comes back through a
// buffer of this process, so the tree must be this process's own.
std::string TreeItemText(HWND tree, HTREEITEM item);

}  // namespace kt_test
