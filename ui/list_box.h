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
    // LB_DELETESTRING: the lines left, or LB_ERR for no such line.
    int DeleteString(int index);
    // LB_SETITEMDATA / LB_GETITEMDATA: the value a line carries.
    int SetItemData(int index, LPARAM data);
    LPARAM GetItemData(int index) const;
};
