// The check list of the Plug-ins page.
#pragma once

#include "ui/check_list_box.h"

class TPluginListBox : public TCheckListBox {
public:
    static constexpr int kRowHeight = 15;
    // The leftmost pixels of a row are its check box.
    static constexpr int kCheckColumn = 15;

    TPluginListBox(TWin* parent, int id)
        : TCheckListBox(parent, id, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) {}

    // A press on a row's box first makes that row the selection, so that
    // the page's check-changed handling reads the row that was clicked.
    int Mouse(UINT message, POINT at, UINT keys) override;
};
