// A static that shows a file path, shortened in the middle when the path is
// wider than the control.
#pragma once

#include "ui/x_static.h"

class TFileStatic : public TXStatic {
public:
    // The data link is the path: a buffer of MAX_PATH bytes.
    TFileStatic(TWin* parent, int id) : TXStatic(parent, id) {}

    // Shows the linked path; a path that does not fit the control's width in
    // its font keeps its start and its file name with "..." between them.
    int SetData() override;
};
