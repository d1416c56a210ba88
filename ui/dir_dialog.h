// The folder chooser.
#pragma once

#include "ui/win.h"

// Offers the shell's folder chooser, owned by owner and titled title,
// starting at the directory that directory holds. On OK the chosen directory
// is written into directory (at most size - 1 characters) and the result is
// nonzero; on cancel directory is left as it was and the result is 0, and so
// it is when COM (ole32.dll) cannot be loaded, which the user is told. root
// (may be null) limits the choice to a subtree; flags are reserved (0).
int OpenDirDlg(TWin* owner, char* directory, const char* root, const char* title, int flags,
               int size = 256);
