#include "storage/Configurations.h"

#include "model/LicenceDates.h"
#include "model/Vocabulary.h"
#include "storage/ElementText.h"

CConfigurations Settings;

std::wstring FormatSettingsText(const CConfigurations& settings)
{
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n";
    AppendElement(text, L"AttachMode", std::to_wstring(settings.AttachMode));
    AppendElement(text, L"DataFolder", settings.DataFolder);
    AppendElement(text, L"ShowAttachModeSelectDlg", std::to_wstring(settings.ShowAttachModeSelectDlg));
    AppendElement(text, L"DefaultClassifyMode", std::to_wstring(settings.DefaultClassifyMode));
    AppendElement(text, L"DefaultSortKey", std::to_wstring(settings.DefaultSortKey));
    if (settings.ReminderDays != CConfigurations().ReminderDays)
        AppendElement(text, L"ReminderDays", std::to_wstring(settings.ReminderDays));
    if (!settings.BackupFolder.empty())
        AppendElement(text, L"BackupFolder", settings.BackupFolder);
    text += L"</Configurations>\n";
    return text;
}

bool ParseSettingsText(const std::wstring& text, CConfigurations& settings)
{
    CConfigurations read;
    std::wstring attachMode, showDialog, classifyMode, sortKey;
    if (!ExtractElement(text, attachMode, L"AttachMode") || !ExtractElement(text, read.DataFolder, L"DataFolder") ||
        !ExtractElement(text, showDialog, L"ShowAttachModeSelectDlg") ||
        !ExtractElement(text, classifyMode, L"DefaultClassifyMode") ||
        !ExtractElement(text, sortKey, L"DefaultSortKey"))
        return false;
    read.AttachMode = ParseDecimalInt(attachMode);
    read.ShowAttachModeSelectDlg = ParseDecimalInt(showDialog);
    read.DefaultClassifyMode = ParseDecimalInt(classifyMode);
    read.DefaultSortKey = ParseDecimalInt(sortKey);
    std::wstring reminderDays;
    if (ExtractElement(text, reminderDays, L"ReminderDays"))
        read.ReminderDays = ParseDecimalInt(reminderDays);
    // A hand-edited "D:\Cat" would make the scan look for "D:\Cat*-*-*-*-*" and new records land
    // beside the folder. An empty folder stays empty: a lone backslash names a drive's root.
    if (!read.DataFolder.empty() && read.DataFolder.back() != L'\\')
        read.DataFolder += L'\\';
    // Optional: files written before backups existed, or by a user who never chose a folder.
    if (ExtractElement(text, read.BackupFolder, L"BackupFolder") && !read.BackupFolder.empty() &&
        read.BackupFolder.back() != L'\\')
        read.BackupFolder += L'\\';
    settings = read;
    return true;
}

bool ReplaceOutOfTableSettings(CConfigurations& settings)
{
    const CConfigurations defaults;
    bool changed = false;
    auto keepInTable = [&changed](int32_t& value, int32_t count, int32_t fallback) {
        if (value < 0 || value >= count) {
            value = fallback;
            changed = true;
        }
    };
    keepInTable(settings.AttachMode, AttachModeCount, defaults.AttachMode);
    keepInTable(settings.DefaultClassifyMode, ClassifyModeCount, defaults.DefaultClassifyMode);
    keepInTable(settings.DefaultSortKey, SortKeyCount, defaults.DefaultSortKey);
    keepInTable(settings.ReminderDays, MaxReminderDays + 1, defaults.ReminderDays);
    return changed;
}
