// An owner-drawn list box whose lines carry a check box. The check state of
// a line is its item data (nonzero: checked). A click on a line's box or the
// space bar on the selected line toggles it and tells the parent with
// WM_COMMAND and the code kCheckChanged.
#pragma once

#include "ui/list_box.h"

// The notification code of a toggled check box.
constexpr unsigned kCheckChanged = 28;

class TCheckListBox : public TListBox {
public:
    // The list needs LBS_OWNERDRAWFIXED and LBS_HASSTRINGS; a template's
    // list box of that id is taken over.
    TCheckListBox(TWin* parent, int id, long style) : TListBox(parent, id, style) {}

    // Appends a line with its check state; its index, or negative on failure
    // (the line is not added).
    int AppendCheck(const char* text, int checked);
    int GetCheck(int index) const { return GetItemData(index) != 0; }
    void SetCheck(int index, int checked);
    // Flips the line's box, redraws it and notifies the parent.
    void Toggle(int index);

    // The mouse handler: a left button press (or double click) on a line's
    // box toggles it, before the list moves its selection. Returns nonzero
    // when the message must not reach the list's own processing.
    virtual int Mouse(UINT message, POINT at, UINT keys);
    // The box is as wide as a line is high.
    int CheckColumnWidth() const { return GetItemHeight(); }

    int Key(TMsg& msg) override;
    int Other(TMsg& msg) override;
    int DrawItem(DRAWITEMSTRUCT& item) override;

private:
    void NotifyCheckChanged();
};
