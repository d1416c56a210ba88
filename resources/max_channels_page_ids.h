// Control ids of the Max. channels page (template MAXCHNLDLG); shared by the
// template and the code.
#pragma once

#define IDC_MAXCHNL_USE_OTHER 561
#define IDC_MAXCHNL_COUNT 562
#define IDC_MAXCHNL_SPIN 563
