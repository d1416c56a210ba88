#include "plugins/plugin_list_box.h"

int TPluginListBox::Mouse(UINT message, POINT at, UINT keys) {
    if (message == WM_LBUTTONDOWN && at.x < kCheckColumn && at.y >= 0) {
        int row = GetTopIndex() + at.y / kRowHeight;
        // Below the last row there is nothing to select; the selection stays.
        if (row < GetCount())
            SetCurSel(row);
    }
    return TCheckListBox::Mouse(message, at, keys);
}
