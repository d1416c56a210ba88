#include "ui/check_list_box.h"

#include "ui/gdi.h"

#include <windowsx.h>

namespace {

constexpr int kTextSize = 2048;
constexpr int kTextGap = 2;
// Bit 30 of a key message: the key was down already (auto-repeat).
constexpr LPARAM kKeyWasDown = 1 << 30;

}  // namespace

int TCheckListBox::AppendCheck(const char* text, int checked) {
    int index = AddString(text);
    if (index < 0)
        return index;
    if (SetItemData(index, checked ? 1 : 0) == LB_ERR) {
        DeleteString(index);
        return LB_ERR;
    }
    return index;
}

void TCheckListBox::SetCheck(int index, int checked) {
    if (SetItemData(index, checked ? 1 : 0) == LB_ERR)
        return;
    RECT row;
    if (SendMessageA(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&row)) != LB_ERR)
        InvalidateRect(hwnd, &row, FALSE);
}

void TCheckListBox::Toggle(int index) {
    if (index < 0 || index >= GetCount())
        return;
    SetCheck(index, !GetCheck(index));
    NotifyCheckChanged();
}

void TCheckListBox::NotifyCheckChanged() {
    HWND parentWindow = ::GetParent(hwnd);
    if (parentWindow)
        SendMessageA(parentWindow, WM_COMMAND, MAKEWPARAM(GetId(), kCheckChanged),
                     reinterpret_cast<LPARAM>(hwnd));
}

int TCheckListBox::Mouse(UINT message, POINT at, UINT) {
    // A double click is the second click of two: each one toggles.
    if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) && at.x >= 0 &&
        at.x < CheckColumnWidth()) {
        int index = ItemFromPoint(at);
        if (index >= 0)
            Toggle(index);
    }
    // The list still selects the line and takes the focus.
    return 0;
}

int TCheckListBox::Key(TMsg& msg) {
    if (msg.wParam != VK_SPACE)
        return 0;
    if (msg.message == WM_KEYDOWN) {
        // A held key toggles once, not with every repeat.
        if (!(msg.lParam & kKeyWasDown))
            Toggle(GetCurSel());
        msg.result = 0;
        return 1;
    }
    // The list would look for a line starting with a blank.
    if (msg.message == WM_CHAR) {
        msg.result = 0;
        return 1;
    }
    return 0;
}

int TCheckListBox::Other(TMsg& msg) {
    if (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK)
        return 0;
    POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (!Mouse(msg.message, at, static_cast<UINT>(msg.wParam)))
        return 0;
    msg.result = 0;
    return 1;
}

int TCheckListBox::DrawItem(DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_LISTBOX)
        return 0;
    TDC dc(item.hDC);
    RECT row = item.rcItem;
    // An empty list with the focus asks only for the focus frame.
    if (item.itemID != static_cast<UINT>(-1)) {
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const bool disabled = (item.itemState & ODS_DISABLED) != 0;
        RECT box = row;
        box.right = box.left + (row.bottom - row.top);
        FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
        RECT mark = box;
        InflateRect(&mark, -1, -1);
        UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
        if (GetCheck(static_cast<int>(item.itemID)))
            state |= DFCS_CHECKED;
        if (disabled)
            state |= DFCS_INACTIVE;
        DrawFrameControl(dc, &mark, DFC_BUTTON, state);

        RECT textArea = row;
        textArea.left = box.right;
        FillRect(dc, &textArea, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        char text[kTextSize];
        if (GetString(static_cast<int>(item.itemID), text, sizeof text) >= 0) {
            SetBkMode(dc, TRANSPARENT);
            int colour = disabled   ? COLOR_GRAYTEXT
                         : selected ? COLOR_HIGHLIGHTTEXT
                                    : COLOR_WINDOWTEXT;
            SetTextColor(dc, GetSysColor(colour));
            textArea.left += kTextGap;
            DrawTextA(dc, text, -1, &textArea,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        row.left = box.right;
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &row);
    return 1;
}
