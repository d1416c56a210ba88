#include "ui/list_box.h"

int TListBox::AddString(const char* text) {
    return static_cast<int>(SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int TListBox::GetCount() const {
    return static_cast<int>(SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
}

int TListBox::GetString(int index, char* buffer, int size) const {
    if (!buffer || size <= 0)
        return -1;
    buffer[0] = '\0';
    LRESULT length = SendMessageA(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length >= size)
        return -1;
    return static_cast<int>(SendMessageA(hwnd, LB_GETTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int TListBox::DeleteString(int index) {
    return static_cast<int>(SendMessageA(hwnd, LB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

int TListBox::SetItemData(int index, LPARAM data) {
    return SendMessageA(hwnd, LB_SETITEMDATA, static_cast<WPARAM>(index), data) != LB_ERR;
}

LPARAM TListBox::GetItemData(int index) const {
    return SendMessageA(hwnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}
