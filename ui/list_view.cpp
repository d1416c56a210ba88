#include "ui/list_view.h"

TQListView::TQListView(TWin* parentWin, int id, long style)
    : TControl(WC_LISTVIEWA, parentWin, id, style) {}

void TQListView::LinkIdentifiers(int modify, int add, int remove, int open) {
    modifyId = modify;
    addId = add;
    deleteId = remove;
    openId = open;
}

int TQListView::CompareItems(LPARAM, LPARAM, int) {
    return 0;
}

int CALLBACK TQListView::CompareProc(LPARAM data1, LPARAM data2, LPARAM context) {
    auto* list = reinterpret_cast<TQListView*>(context);
    return list->CompareItems(data1, data2, list->sortColumn);
}

int TQListView::ColumnClick(NMLISTVIEW* info) {
    if (!info || !hwnd)
        return 0;
    sortColumn = info->iSubItem;
    return SendMessageA(hwnd, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                        reinterpret_cast<LPARAM>(CompareProc)) != 0;
}

int TQListView::GetItemCount() const {
    return static_cast<int>(SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0));
}

int TQListView::InsertItem(const LVITEMA& item) {
    return static_cast<int>(
        SendMessageA(hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int TQListView::SetItem(const LVITEMA& item) {
    return SendMessageA(hwnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int TQListView::DeleteItem(int index) {
    return SendMessageA(hwnd, LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != 0;
}

int TQListView::InsertColumn(int index, const LVCOLUMNA& column) {
    return static_cast<int>(SendMessageA(hwnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&column)));
}

int TQListView::SetColumnWidth(int column, int width) {
    return SendMessageA(hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                        MAKELPARAM(width, 0)) != 0;
}

int TQListView::GetColumnWidth(int column) const {
    return static_cast<int>(SendMessageA(hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int TQListView::GetStringWidth(const char* text) const {
    return static_cast<int>(
        SendMessageA(hwnd, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text ? text : "")));
}

TStringMeter::TStringMeter(const TQListView& list) : window(list.GetHandle()) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (!font || !(dc = GetDC(window)))
        return;
    oldFont = SelectObject(dc, font);
    if (!oldFont) {
        ReleaseDC(window, dc);
        dc = nullptr;
    }
}

TStringMeter::~TStringMeter() {
    if (!dc)
        return;
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}

int TStringMeter::Width(const char* text) const {
    if (!text)
        text = "";
    SIZE size{};
    if (!dc || !GetTextExtentPoint32A(dc, text, lstrlenA(text), &size))
        return static_cast<int>(
            SendMessageA(window, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
    return size.cx;
}

HIMAGELIST TQListView::SetImageList(HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(
        hwnd, LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}

int TQListView::RedrawItems(int first, int last) {
    if (!SendMessageA(hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(first), last))
        return 0;
    // LVM_REDRAWITEMS only invalidates; the cells are asked for again when
    // the list paints.
    return UpdateWindow(hwnd) != 0;
}

int TQListView::GetNextItem(int start, UINT flags) const {
    return static_cast<int>(
        SendMessageA(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

void TQListView::Fire(int id) {
    if (id && parent && parent->GetHandle())
        SendMessageA(parent->GetHandle(), WM_COMMAND, MAKEWPARAM(id, 0),
                     reinterpret_cast<LPARAM>(hwnd));
}

int TQListView::Key(TMsg& msg) {
    if (msg.message != WM_KEYDOWN)
        return 0;
    switch (msg.wParam) {
        case VK_INSERT:
            if (!addId)
                return 0;
            Fire(addId);
            return 1;
        case VK_DELETE:
            if (!deleteId || GetSelection() < 0)
                return 0;
            Fire(deleteId);
            return 1;
        case VK_RETURN:
            if (!openId || GetSelection() < 0)
                return 0;
            Fire(openId);
            return 1;
        default:
            return 0;
    }
}

int TQListView::Other(TMsg& msg) {
    // A list view in a dialog never sees Enter unless it asks for it; it asks
    // only while Enter has a command to fire, and otherwise Enter stays the
    // dialog's default button.
    if (msg.message == WM_GETDLGCODE && msg.lParam) {
        auto* key = reinterpret_cast<const MSG*>(msg.lParam);
        if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN && openId &&
            GetSelection() >= 0) {
            msg.result = DefaultProc(msg) | DLGC_WANTMESSAGE;
            return 1;
        }
    }
    return 0;
}

void* GetItemData(HWND listView, int index) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(listView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<void*>(item.lParam);
}

int FindItemByData(HWND listView, const void* data) {
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(data);
    return static_cast<int>(SendMessageA(listView, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}
