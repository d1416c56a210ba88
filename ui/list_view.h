// The common list view in report style, with the operations both lists of
// the program share: rows that carry a record in their data, sorting through
// a compare hook, and command ids that the list's own keys fire.
#pragma once

#include "ui/control.h"

#include <commctrl.h>

class TQListView : public TControl {
public:
    TQListView(TWin* parent, int id, long style);

    // The commands that the list's keys fire at its parent as WM_COMMAND with
    // code 0: Insert adds, Delete on a selected row deletes, Enter on a
    // selected row opens. Modify is fired by no key: a double click reaches
    // the parent as NM_DBLCLK. An id of 0 leaves its key to the list.
    void LinkIdentifiers(int modifyId, int addId, int deleteId, int openId);
    // Replaces the Add command given to LinkIdentifiers.
    void SetAddId(int id) { addId = id; }
    int GetAddId() const { return addId; }
    int GetModifyId() const { return modifyId; }

    // LVN_COLUMNCLICK: orders the rows by the clicked column through
    // CompareItems, ascending.
    int ColumnClick(NMLISTVIEW* info);
    // The sort hook: how the records of two rows compare in a column.
    virtual int CompareItems(LPARAM data1, LPARAM data2, int column);

    // Thin wrappers, one LVM_ message each.
    int GetItemCount() const;
    int InsertItem(const LVITEMA& item);
    int SetItem(const LVITEMA& item);
    int DeleteItem(int index);
    int InsertColumn(int index, const LVCOLUMNA& column);
    int SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // The pixel width of text in the list's font.
    int GetStringWidth(const char* text) const;
    HIMAGELIST SetImageList(HIMAGELIST list, int which);
    int RedrawItems(int first, int last);
    int GetNextItem(int start, UINT flags) const;
    int GetSelection() const { return GetNextItem(-1, LVNI_SELECTED); }

    int Key(TMsg& msg) override;
    int Other(TMsg& msg) override;

private:
    static int CALLBACK CompareProc(LPARAM data1, LPARAM data2, LPARAM context);
    void Fire(int id);

    int modifyId = 0;
    int addId = 0;
    int deleteId = 0;
    int openId = 0;
    int sortColumn = 0;
};

// Measures texts as the list's LVM_GETSTRINGWIDTHA does, through one device
// context for all of them: the message takes and releases one per text, which
// shows when a thousand rows are measured. Without the list's font it asks
// the list itself.
class TStringMeter {
public:
    explicit TStringMeter(const TQListView& list);
    ~TStringMeter();
    TStringMeter(const TStringMeter&) = delete;
    TStringMeter& operator=(const TStringMeter&) = delete;

    int Width(const char* text) const;

private:
    HWND window;  // the list may go while this lives
    HDC dc = nullptr;
    HGDIOBJ oldFont = nullptr;
};

// The data of the row at index, null when there is no such row.
void* GetItemData(HWND listView, int index);
// The index of the row whose data is data, -1 when none.
int FindItemByData(HWND listView, const void* data);
