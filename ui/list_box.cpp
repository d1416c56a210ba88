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
