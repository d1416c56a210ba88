// Control ids of the Channel files page (template CHNDIRDLG); shared by the
// template and the code.
#pragma once

#define IDC_CHNDIR_CURRENT 273
#define IDC_CHNDIR_NEW 274
#define IDC_CHNDIR_BROWSE 275
#define IDC_CHNDIR_MOVE_CHANNELS 276
#define IDC_CHNDIR_TOOL_WARNING 277
#define IDC_CHNDIR_MOVE_COMMANDS 278
#define IDC_CHNDIR_MOVE_TEMPLATES 279
#define IDC_CHNDIR_MOVE_OTHERS 280
