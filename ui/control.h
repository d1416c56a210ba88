// A control object: takes over the dialog item with its id, or is created as
// a child window by its owner.
#pragma once

#include "ui/win.h"

class TControl : public TWin {
public:
    TControl(const char* className, TWin* parent, int id, long style);

    int IsControl() const override { return 1; }
    // Attaches to the parent's existing item with this id; nonzero when the
    // object is linked afterwards.
    int TryLink();

    // Move the control's content into its data link, and back.
    virtual int GetData() { return 0; }
    virtual int SetData() { return 0; }
    void SetDataLink(void* data) { dataLink = data; }
    void* GetDataLink() const { return dataLink; }

    // WM_DRAWITEM of an owner-drawn control, passed on by its parent;
    // nonzero when the control drew the item.
    virtual int DrawItem(DRAWITEMSTRUCT&) { return 0; }

    int GetText(char* buffer, int size) const;
    void SetText(const char* text);

    // Next control of the dialog's control table.
    TControl* nextBound = nullptr;

protected:
    void* dataLink = nullptr;
};
