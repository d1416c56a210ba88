// Thin wrapper of the system list box.
#pragma once

#include "ui/control.h"

class TListBox : public TControl {
public:
    TListBox(TWin* parent, int id, long style) : TControl("ListBox", parent, id, style) {}

    // LB_ADDSTRING: the index of the new line, or a negative LB_ERR/LB_ERRSPACE.
    int AddString(const char* text);
    int GetCount() const;
    // The line into buffer; returns its length, or -1 (buffer emptied) when
    // the index is out of range or the line does not fit.
    int GetString(int index, char* buffer, int size) const;

    // One LB_ message each.
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetTopIndex() const;
    // The first line equal to text without regard to case, or LB_ERR.
    int FindStringExact(const char* text) const;
    int DeleteString(int index);
    LPARAM GetItemData(int index) const;
    int SetItemData(int index, LPARAM data);
    int GetItemHeight() const;
    int SetItemHeight(int height);
    // The line under a point of the client area, -1 when the point lies
    // below the last line or outside the list.
    int ItemFromPoint(POINT at) const;
};
