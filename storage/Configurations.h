#pragma once
// The settings record and the text of "settings.xml".

#include <cstdint>
#include <string>

class CConfigurations {
public:
    int32_t AttachMode = 1;  // 0 reference, 1 import
    std::wstring DataFolder;  // ends with a backslash once chosen in the options dialog
    int32_t ShowAttachModeSelectDlg = 1;
    int32_t DefaultClassifyMode = 0;
    int32_t DefaultSortKey = 1;
    // Days before an expiry from which start-up reminds of it. Written only when it differs from
    // the default, so a file of someone who never changed it keeps its thirteen lines.
    int32_t ReminderDays = 30;
    // Where backups go; empty means the "Backups" folder under BaseFolder. Stored only when set,
    // so the file of a user who never chose one stays as it always was.
    std::wstring BackupFolder;
};

// The one settings record of the process.
extern CConfigurations Settings;

// The thirteen lines of the settings file, line feeds only; before the closing line, a ReminderDays
// element when the reminder window is not the default, then a chosen backup folder's element.
std::wstring FormatSettingsText(const CConfigurations& settings);
// Fills settings (all five fields, the reminder window, default when absent, and the backup folder,
// empty when absent) only when every one of the five elements is found. A data folder without its
// closing backslash gets one, so that every path formed from it lies inside it.
bool ParseSettingsText(const std::wstring& text, CConfigurations& settings);

// Puts each of AttachMode, DefaultClassifyMode, DefaultSortKey and ReminderDays that lies outside
// its table (0 to MaxReminderDays for the last) back
// to its default; true when something changed. The file keeps what it holds.
bool ReplaceOutOfTableSettings(CConfigurations& settings);
