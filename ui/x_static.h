// A static text control of a dialog.
#pragma once

#include "ui/control.h"

class TXStatic : public TControl {
public:
    // Takes over the parent's static item with this id.
    TXStatic(TWin* parent, int id) : TControl("Static", parent, id, 0) {}
};
