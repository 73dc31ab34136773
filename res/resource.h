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
