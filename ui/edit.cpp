#include "ui/edit.h"

void TEdit::LimitText(int characters) {
    SendMessageA(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

int TEdit::GetTextLength() const {
    return hwnd ? GetWindowTextLengthA(hwnd) : 0;
}
