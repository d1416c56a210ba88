// Control ids of the Plug-ins page (template PLUGINDLG); shared by the
// template and the code.
#pragma once

#define IDC_PLUGIN_LIST 529
#define IDC_PLUGIN_FILE 531
#define IDC_PLUGIN_SCAN 532
