// Control ids of the Korvane page (template KORVANEDLG); shared by the
// template and the code.
#pragma once

#define IDC_INSTALL_VERDICT 513
#define IDC_INSTALL_VERSION 514
#define IDC_INSTALL_PATH 515
