// Control ids of the Settings page (template DESKTOPDLG); shared by the
// template and the code.
#pragma once

#define IDC_DESKTOP_DEFAULT 545
#define IDC_DESKTOP_USE_OTHER 546
#define IDC_DESKTOP_OTHER 547
#define IDC_DESKTOP_BROWSE 548
