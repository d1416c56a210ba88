#include "tests/network/network_world.h"

#include "tests/support/modal_answerer.h"

#include <algorithm>

namespace kt_test {

namespace {

const char* const kPartKeys[] = {kServerKey, kPortKey, kSearchBaseKey};

std::string ValueNameOf(int number) {
    return "Value" + std::to_string(number);
}

}  // namespace

std::vector<std::string> StoredValues(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {"(no key)"};
    std::vector<std::string> values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        std::vector<char> data(8192, '\0');
        DWORD size = static_cast<DWORD>(data.size() - 1);
        LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(data.data()), &size);
        if (status != ERROR_SUCCESS)
            break;
        values.push_back(std::string(name) + "=" + data.data());
    }
    RegCloseKey(key);
    std::sort(values.begin(), values.end());
    return values;
}

void NetworkWorld::Seed(int number, const char* name, const char* port, const char* searchBase) {
    const char* parts[] = {name, port, searchBase};
    for (int part = 0; part < 3; ++part) {
        CreateRegKey(HKEY_LOCAL_MACHINE, kPartKeys[part]);
        if (parts[part])
            SetRegString(HKEY_LOCAL_MACHINE, kPartKeys[part], ValueNameOf(number).c_str(),
                         parts[part]);
    }
}

void NetworkWorld::SeedEmptyStore() {
    for (const char* key : kPartKeys)
        CreateRegKey(HKEY_LOCAL_MACHINE, key);
}

HWND NetworkWorld::Build() {
    if (!BuildAndFind("Network"))
        return nullptr;
    ShowWindow(dialog.DialogWindow(), SW_SHOWNORMAL);
    EXPECT_TRUE(dialog.Select("Network"));
    EXPECT_NE(nullptr, List()) << "the page has no list object";
    return List() ? page : nullptr;
}

TNetworkPage* NetworkWorld::Page() const {
    return dynamic_cast<TNetworkPage*>(TWin::GetWin(page));
}

TServerListView* NetworkWorld::List() const {
    return dynamic_cast<TServerListView*>(TWin::GetWin(ListWindow()));
}

int NetworkWorld::RowCount() const {
    return static_cast<int>(SendMessageA(ListWindow(), LVM_GETITEMCOUNT, 0, 0));
}

std::string NetworkWorld::Cell(int index, int column, int size) const {
    std::vector<char> text(static_cast<size_t>(size) + 1, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = size;
    SendMessageA(ListWindow(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    return text.data();
}

Row NetworkWorld::RowAt(int index) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessageA(ListWindow(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        item.iImage = -2;
    return {Cell(index, 0), Cell(index, 1), Cell(index, 2), item.iImage};
}

std::vector<Row> NetworkWorld::Rows() const {
    std::vector<Row> rows;
    for (int index = 0; index < RowCount(); ++index)
        rows.push_back(RowAt(index));
    return rows;
}

void NetworkWorld::SelectRow(int index) const {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(ListWindow(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&state));
}

void NetworkWorld::ClickHeader(int column) const {
    auto header = reinterpret_cast<HWND>(SendMessageA(ListWindow(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(nullptr, header);
    RECT rect{};
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                             reinterpret_cast<LPARAM>(&rect)));
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

void NetworkWorld::DoubleClick(int index) const {
    POINT at{4, 0};
    if (index >= 0) {
        RECT rect{};
        rect.left = LVIR_LABEL;
        ASSERT_TRUE(SendMessageA(ListWindow(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(&rect)));
        at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    } else {
        RECT client{};
        GetClientRect(ListWindow(), &client);
        at.y = client.bottom - 4;
    }
    LPARAM point = MAKELPARAM(at.x, at.y);
    SendMessageA(ListWindow(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(ListWindow(), WM_LBUTTONUP, 0, point);
    SendMessageA(ListWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageA(ListWindow(), WM_LBUTTONUP, 0, point);
}

void NetworkWorld::PressButton(int id) const {
    kt_test::PressButton(page, id);
}

std::vector<std::string> NetworkWorld::PageErrors() const {
    std::vector<std::string> lines;
    for (const std::string& line : dialog.ErrorLines()) {
        if (line.rfind("Network:  ", 0) == 0)
            lines.push_back(line.substr(10));
    }
    return lines;
}

Row MakeRow(const NetworkWorld& world, const char* name, const char* port, const char* searchBase,
            TRepositoryItem::Type type) {
    return {name, port, searchBase, world.ImageOf(type)};
}

}  // namespace kt_test
