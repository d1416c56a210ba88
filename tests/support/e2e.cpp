#include "tests/support/e2e.h"

#include "tests/support/registry_sandbox.h"
#include "tests/support/tree_items.h"

#include <commctrl.h>

#include <vector>

namespace kt_test {

namespace {

const char kProductKey[] = "SOFTWARE\\Tavrel";

void DeleteTree(HKEY root, const char* rootName) {
    LONG status = RegDeleteTreeA(root, kProductKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "cannot delete " << rootName << "\\" << kProductKey << " (error " << status
                      << ")";
}

}  // namespace

void SeedInstallation(const std::string& channelDir) {
    SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4", nullptr, "6.4");
    SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavrel\\Korvane\\6.4\\AppPaths", nullptr,
                 "C:\\Korvane\\korvane.exe");
    SetRegString(HKEY_LOCAL_MACHINE, "Software\\Tavrel\\Korvane Tools\\ChnFiles", nullptr,
                 channelDir.c_str());
}

HWND SelectPageHolding(HWND dialog, int controlId) {
    const int kPageTreeId = 160;
    HWND tree = GetDlgItem(dialog, kPageTreeId);
    HWND page = FindWindowHolding(dialog, controlId);
    if (!tree || !page)
        return nullptr;
    // Only item handles cross the process boundary.
    for (HTREEITEM item : TreeItems(tree)) {
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        if (IsWindowVisible(page))
            return page;
    }
    return nullptr;
}

void ProgramTest::DeleteProductKeys() {
    DeleteTree(HKEY_LOCAL_MACHINE, "HKLM");
    DeleteTree(HKEY_CURRENT_USER, "HKCU");
}

bool ReadRegValue(HKEY root, const std::string& subkey, const char* valueName, std::string* text) {
    if (text)
        text->clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    std::vector<char> data(size + 1, '\0');
    if (status == ERROR_SUCCESS)
        status = RegQueryValueExA(key, valueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        ADD_FAILURE() << subkey << " " << (valueName ? valueName : "(default)")
                      << " is not a string (type " << type << ")";
        return false;
    }
    if (text)
        text->assign(data.data());
    return true;
}

std::string RegQuery(const std::string& arguments, DWORD* exitCode) {
    std::string output;
    if (!RunAndCapture("reg.exe query " + arguments, &output, exitCode))
        return std::string();
    return output;
}

bool WaitVisible(HWND window, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (IsWindowVisible(window))
            return true;
    return false;
}

}  // namespace kt_test
