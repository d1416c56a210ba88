// Control and icon ids of the Network page (template NETWORKDLG) and of its
// definition dialogs (SERVERDIALOG, IDD_ADD_DIR_DLG, IDD_ADD_RM_DLG); shared
// by the templates and the code.
#pragma once

// NETWORKDLG
#define IDC_NETWORK_ADD_DIR 289
#define IDC_NETWORK_DELETE 290
#define IDC_NETWORK_MODIFY 291
#define IDC_NETWORK_LIST 292
#define IDC_NETWORK_ADD_LDAP 294
#define IDC_NETWORK_ADD_RM 307

// The rows' icons, 16 x 14 pixels.
#define IDI_NETWORK_DIRECTORY 297
#define IDI_NETWORK_LDAP_SERVER 298
#define IDI_NETWORK_RESOURCE_MANAGER 304

// SERVERDIALOG
#define IDC_SERVER_NAME 299
#define IDC_SERVER_PORT 300
#define IDC_SERVER_SEARCH_BASE 301
#define IDC_SERVER_OK 303

// IDD_ADD_DIR_DLG
#define IDC_ADD_DIR_BROWSE 275
#define IDC_ADD_DIR_NAME 296
#define IDC_ADD_DIR_OK 302

// IDD_ADD_RM_DLG (its OK is IDOK)
#define IDC_ADD_RM_PROGID 306
#define IDC_ADD_RM_LABEL 308
