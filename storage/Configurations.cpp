#include "storage/Configurations.h"

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
    settings = read;
    return true;
}
