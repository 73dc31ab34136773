#pragma once
// Resource identifiers. The numbers are fixed: stored layouts and the code rely on them.

// Strings
#define IDS_ABOUTBOX 101

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_QUORVANE_DIALOG 102
#define IDD_TOOLBAR 105
#define IDD_SWLIST 106
#define IDD_ITEMINFO 107
#define IDD_ADD_PRODUCT 162
#define IDD_IMPORT_PROGRESS 181
#define IDD_OPTIONS 183
#define IDD_INFOTIP 194
#define IDD_EDIT_CODE 197

// Icons
#define IDI_QUORVANE 128
#define IDI_SORT_ASCENDING 160
#define IDI_SORT_DESCENDING 161
#define IDI_TOOL_ABOUT 163
#define IDI_TOOL_ADD 164
#define IDI_TOOL_ATTACH 165
#define IDI_TOOL_DELETE 166
#define IDI_TOOL_DETACH 167
#define IDI_TOOL_EXPORT 168
#define IDI_TOOL_OPTIONS 169
#define IDI_TOOL_LAUNCH 170
#define IDI_CANCEL 171
#define IDI_OK 172
#define IDI_MODIFY 176
#define IDI_NO_INSTALLER 178
#define IDI_FILE 179
#define IDI_IMPORTED 180
#define IDI_BROWSE 190
#define IDI_INFO 192

// Skin bitmaps of the bitmap dialog
#define IDB_FRAME_TOPLEFT 129
#define IDB_FRAME_TOP 130
#define IDB_FRAME_TOPRIGHT 131
#define IDB_FRAME_BOTTOM 132
#define IDB_FRAME_LEFT 133
#define IDB_FRAME_BOTTOMLEFT 134
#define IDB_FRAME_RIGHT 135
#define IDB_FRAME_BOTTOMRIGHT 136
#define IDB_MIN_HOVER 137
#define IDB_MIN_PRESSED 138
#define IDB_MIN_NORMAL 139
#define IDB_MAX_HOVER 140
#define IDB_MAX_PRESSED 141
#define IDB_MAX_NORMAL 142
#define IDB_CLOSE_HOVER 143
#define IDB_CLOSE_PRESSED 144
#define IDB_CLOSE_NORMAL 145
#define IDB_RESTORE_HOVER 146
#define IDB_RESTORE_PRESSED 147
#define IDB_RESTORE_NORMAL 148

// Toolbar
#define IDB_TOOL_DISABLED 149
#define IDB_TOOL_PRESSED 150
#define IDB_TOOL_HOVER 152
#define IDB_TOOL_NORMAL 153
#define IDB_TOOL_SEPARATOR 154
#define IDB_TOOLBAR_RIGHT 155
#define IDB_TOOLBAR_LEFT 156
#define IDB_TOOLBAR_TILE 157

// List entry backgrounds (only the first column, 1 x 90, is drawn)
#define IDB_ENTRY_NORMAL 158
#define IDB_ENTRY_SELECTED 159

// 70 x 20 command button states (OK, Cancel, Save, Modify, Apply)
#define IDB_BUTTON_NORMAL 173
#define IDB_BUTTON_PRESSED 174
#define IDB_BUTTON_HOVER 175
#define IDB_BUTTON_DISABLED 182
#define IDB_BUTTON_FOCUSED 184

// 45 x 20 browse button ("...") states
#define IDB_BROWSE_NORMAL 185
#define IDB_BROWSE_DISABLED 186
#define IDB_BROWSE_PRESSED 187
#define IDB_BROWSE_FOCUSED 188
#define IDB_BROWSE_HOVER 189

// 20 x 20 information button, every state
#define IDB_INFO_BUTTON 193

// 100 x 20 "Clear History" button states (normal doubles as disabled)
#define IDB_WIDE_PRESSED 198
#define IDB_WIDE_NORMAL 199
#define IDB_WIDE_FOCUSED 200
#define IDB_WIDE_HOVER 201

// Menu
#define IDR_LIST_CONTEXT 191

// Controls
#define IDC_PROGRESS 1053

// CQVNToolbar controls
#define IDC_TOOL_ADD 1000
#define IDC_TOOL_DELETE 1001
#define IDC_TOOL_ATTACH 1002
#define IDC_TOOL_DETACH 1003
#define IDC_TOOL_EXPORT 1004
#define IDC_TOOL_LAUNCH 1005
#define IDC_TOOL_OPTIONS 1006
#define IDC_TOOL_ABOUT 1007
#define IDC_CLASSIFY_BOX 1013
#define IDC_SORT_BOX 1014
// CItemInfoDlg controls
#define IDC_ITEM_TABS 1012
#define IDC_ITEM_PRICE 1022
#define IDC_ITEM_CODE 1023
#define IDC_ITEM_NAME 1025
#define IDC_ITEM_VERSION 1026
#define IDC_ITEM_COMPANY 1027
#define IDC_ITEM_WEBSITE 1028
#define IDC_ITEM_USERNAME 1029
#define IDC_ITEM_CATEGORY 1030
#define IDC_ITEM_TYPE 1031
#define IDC_ITEM_USERCOMPANY 1032
#define IDC_ITEM_USEREMAIL 1033
#define IDC_ITEM_COMMENT 1035
#define IDC_ITEM_CODENAME 1037
#define IDC_ITEM_MODIFY 1038
#define IDC_ITEM_APPLY 1039
#define IDC_ITEM_CANCEL 1040
#define IDC_ITEM_ADDCODE 1041
#define IDC_ITEM_REMOVECODE 1042
#define IDC_ITEM_CURRENCY 1043
#define IDC_ITEM_CODELIST 1044

// CEditCodeDlg controls
#define IDC_EDITCODE_TEXT 1023
// CInfoTipDlg controls
#define IDC_INFOTIP_TEXT 1064

// COptionsDlg controls
#define IDC_OPTIONS_BROWSE 1050
#define IDC_OPTIONS_ATTACH_GROUP 1054
#define IDC_OPTIONS_DEFAULTS_GROUP 1055
#define IDC_OPTIONS_ATTACH_LABEL 1056
#define IDC_OPTIONS_FOLDER_LABEL 1057
#define IDC_OPTIONS_CLASSIFY_LABEL 1058
#define IDC_OPTIONS_SORT_LABEL 1059
#define IDC_OPTIONS_ATTACH_MODE 1060
#define IDC_OPTIONS_DATA_FOLDER 1061
#define IDC_OPTIONS_INFORMATION 1065
#define IDC_OPTIONS_CLEAR_HISTORY 1074
#define IDC_OPTIONS_CLASSIFY_MODE 1013
#define IDC_OPTIONS_SORT_KEY 1014

// CAboutDlg controls
#define IDC_ABOUT_VERSION 1068
#define IDC_ABOUT_NOTICE 1070
#define IDC_ABOUT_CONTACT 1072
#define IDC_ABOUT_WEBSITE 1074
#define IDC_ABOUT_SUPPORT 1075
#define IDC_ABOUT_BUGS 1076
#define IDC_ABOUT_SALES 1077
// CSWListDlg controls
#define IDC_SWLIST_TABS 1010
#define IDC_SWLIST_ALL 1011
#define ID_LIST_ADD 32771
#define ID_LIST_DELETE 32772
#define ID_LIST_ATTACH 32774
#define ID_LIST_DETACH 32775
#define ID_LIST_EXPORT 32776
#define ID_LIST_LAUNCH 32777
#define ID_LIST_SELECT_ALL 32778
#define ID_LIST_REVERSE_SELECT 32779

// The main window's menu of further commands. Identifier ranges are kept apart per capability:
// resources 400-419 find, 420-439 export and import, 440-459 installer vault, 460-479 backups,
// 480-499 groups; controls 4000-4099 find, 4100-4199 export and import, 4200-4299 vault,
// 4300-4399 backups, 4400-4499 groups; menu commands 32800-32819 find, 32820-32839 export and
// import, 32840-32859 vault, 32860-32879 backups.
#define IDR_MORE_MENU 400
#define ID_MORE_ABOUT 32799

// Find and licence reminders (resources 400-419, controls 4000-4099, commands 32800-32819).
#define IDD_FIND 401
#define IDD_REMINDERS 402
#define IDC_FIND_LABEL 4000
#define IDC_FIND_TEXT 4001
#define IDC_FIND_NEXT 4002
#define IDC_REMINDER_TEXT 4030
#define IDC_REMINDER_LIST 4031
#define IDC_REMINDER_SHOW 4032
#define IDC_TOOL_MORE 4090
#define ID_MORE_FIND 32800
#define ID_MORE_FIND_NEXT 32801
#define ID_MORE_REMINDERS 32802
// CItemInfoDlg's "Licence" tab, created in code
#define IDC_ITEM_PURCHASE_DATE 4040
#define IDC_ITEM_EXPIRY_DATE 4041
// COptionsDlg's reminder window, created in code
#define IDC_OPTIONS_REMIND_LABEL 4050
#define IDC_OPTIONS_REMIND_DAYS 4051
