// Control ids of the Channel sharing page (template SHARETOOLDLG), of its
// tool selection template (BROWSEAPPDLG) and the default tool icon; shared by
// the templates and the code.
#pragma once

#define IDC_SHARETOOL_LIST 578
#define IDC_SHARETOOL_ADD 579
#define IDC_SHARETOOL_MODIFY 580
#define IDC_SHARETOOL_DELETE 581
#define IDC_BROWSEAPP_PARAMETERS 582
#define IDC_BROWSEAPP_NAME 583
#define IDI_SHARETOOL_DEFAULT 584
// Where the system file dialog puts its own controls in a child template.
#define IDC_BROWSEAPP_STANDARD 1119
