#include "ui/control.h"

TControl::TControl(const char* className, TWin* parentWin, int id, long style)
    : TWin(className, parentWin, id) {
    wca.style = WS_CHILD | WS_VISIBLE | static_cast<DWORD>(style);
    wca.x = wca.y = wca.w = wca.h = 0;
    TryLink();
}

int TControl::TryLink() {
    if (hwnd)
        return 1;
    if (!parent || !parent->GetHandle())
        return 0;
    HWND item = GetDlgItem(parent->GetHandle(), wca.id);
    return item ? LinkWindow(item) : 0;
}

int TControl::GetText(char* buffer, int size) const {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    return hwnd ? GetWindowTextA(hwnd, buffer, size) : 0;
}

void TControl::SetText(const char* text) {
    if (hwnd)
        SetWindowTextA(hwnd, text ? text : "");
}
