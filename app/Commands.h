#pragma once
// The one private message by which every user command reaches the main window.

#include <windows.h>

// wParam: the command code; lParam: the sending window.
constexpr UINT MSG_COMMAND = 2024;

enum CommandCode : WPARAM {
    CMD_ADD = 1,
    CMD_DELETE = 2,
    CMD_ATTACH = 3,
    CMD_DETACH = 4,
    CMD_EXPORT = 5,
    CMD_LAUNCH = 6,
    CMD_OPTIONS = 7,
    CMD_ABOUT = 8,
    CMD_CLASSIFY = 9,
    CMD_SORT = 10,
    // Added after the first ten.
    CMD_FIND = 11,       // open the find box
    CMD_FIND_NEXT = 12,  // the next match
    CMD_MORE = 13,       // the toolbar's "More" menu
    CMD_REMINDERS = 14,  // the licences due for renewal
    // Export and import of the catalogue.
    CMD_EXPORT_CATALOGUE = 15,  // every record, or the selection when the user picks it
    CMD_IMPORT_CATALOGUE = 16,
    CMD_EXPORT_SELECTED = 17,   // the selection preselected
    // Installer vault
    CMD_VERIFY_INSTALLERS = 18,
    CMD_FIND_MOVED_INSTALLERS = 19,
    CMD_INSTALLER_DETAILS = 20,
    // Backups (22 to 24)
    CMD_BACKUPS = 22,
};
