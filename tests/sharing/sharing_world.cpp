#include "tests/sharing/sharing_world.h"

#include <cstring>

namespace kt_test {

std::string ThisProgram() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_GT(length, 0u);
    return path;
}

std::string ToolPrograms::WithIcon(const std::string& relative) const {
    dir.Write(relative, "");
    std::string path = dir.File(relative);
    EXPECT_TRUE(CopyFileA(ThisProgram().c_str(), path.c_str(), FALSE))
        << "cannot copy this program to " << path << " (error " << GetLastError() << ")";
    return path;
}

std::string ToolPrograms::WithoutIcon(const std::string& relative) const {
    dir.Write(relative, "no icon in here\r\n");
    return dir.File(relative);
}

TShareToolPage* SharingWorld::Build() {
    if (!BuildAndFind(kSharingTreeName))
        return nullptr;
    TShareToolPage* shown = Page();
    EXPECT_NE(nullptr, shown) << "the Channel sharing page is not a TShareToolPage";
    return shown;
}

TShareToolPage* SharingWorld::Page() const {
    return dynamic_cast<TShareToolPage*>(TWin::GetWin(page));
}

int SharingWorld::RowCount() const {
    return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

ShownTool SharingWorld::Row(int index) const {
    ShownTool shown{"", "", -1};
    char text[2048];
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    text[0] = '\0';
    if (!SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        ADD_FAILURE() << "no row " << index;
        return shown;
    }
    shown.name = text;
    shown.image = item.iImage;
    // The command line cell is the record's, asked for as the list paints.
    item.mask = LVIF_TEXT;
    item.iSubItem = 1;
    text[0] = '\0';
    SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    shown.commandLine = text;
    return shown;
}

std::vector<std::string> SharingWorld::Names() const {
    std::vector<std::string> names;
    for (int index = 0; index < RowCount(); ++index)
        names.push_back(Row(index).name);
    return names;
}

void SharingWorld::SelectRow(int index) const {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&state));
}

std::vector<std::pair<std::string, std::string>> SharingWorld::Stored() const {
    std::vector<std::pair<std::string, std::string>> tools;
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kLaunchKey, &key) != ERROR_SUCCESS)
        return tools;
    char name[256];
    for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        std::string value;
        std::string subkey = std::string(kLaunchKey) + "\\" + name;
        if (!GetRegString(HKEY_LOCAL_MACHINE, subkey.c_str(), nullptr, &value))
            value = "(no value)";
        tools.emplace_back(name, value);
    }
    RegCloseKey(key);
    return tools;
}

void SharingWorld::Seed(const std::string& name, const std::string& commandLine) const {
    SetRegString(HKEY_LOCAL_MACHINE, (std::string(kLaunchKey) + "\\" + name).c_str(), nullptr,
                 commandLine.c_str());
}

bool SharingWorld::DirtySet() const {
    DWORD dirty = 0;
    return GetRegDword(HKEY_LOCAL_MACHINE, kLaunchKey, "Dirty", &dirty) && dirty == 1;
}

}  // namespace kt_test
