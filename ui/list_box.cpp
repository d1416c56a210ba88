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

int TListBox::GetCurSel() const {
    return static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
}

int TListBox::SetCurSel(int index) {
    return static_cast<int>(SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int TListBox::GetTopIndex() const {
    return static_cast<int>(SendMessageA(hwnd, LB_GETTOPINDEX, 0, 0));
}

int TListBox::FindStringExact(const char* text) const {
    // Start -1: the whole list, from its first line.
    return static_cast<int>(SendMessageA(hwnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text)));
}

int TListBox::DeleteString(int index) {
    return static_cast<int>(SendMessageA(hwnd, LB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

LPARAM TListBox::GetItemData(int index) const {
    return SendMessageA(hwnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

int TListBox::SetItemData(int index, LPARAM data) {
    return static_cast<int>(SendMessageA(hwnd, LB_SETITEMDATA, static_cast<WPARAM>(index), data));
}

int TListBox::GetItemHeight() const {
    return static_cast<int>(SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0));
}

int TListBox::SetItemHeight(int height) {
    return static_cast<int>(SendMessageA(hwnd, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0)));
}

int TListBox::ItemFromPoint(POINT at) const {
    if (at.x < 0 || at.y < 0)
        return -1;
    LRESULT hit = SendMessageA(hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    // The high word is set when the point is outside every line.
    if (HIWORD(hit) || LOWORD(hit) >= GetCount())
        return -1;
    return LOWORD(hit);
}
