// Thin wrapper of the system edit control.
#pragma once

#include "ui/control.h"

class TEdit : public TControl {
public:
    // Takes over the dialog item with this id, or is created as a child with
    // the style when there is none.
    TEdit(TWin* parent, int id, long style = WS_BORDER | ES_AUTOHSCROLL)
        : TControl("Edit", parent, id, style) {}

    // EM_LIMITTEXT: how many characters the user may type.
    void LimitText(int characters);
    // WM_GETTEXTLENGTH.
    int GetTextLength() const;
    bool IsEmpty() const { return GetTextLength() == 0; }
};
