#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "storage/Configurations.h"

namespace {
const wchar_t DefaultText[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n"
    L"<AttachMode>\n1</AttachMode>\n"
    L"<DataFolder>\n</DataFolder>\n"
    L"<ShowAttachModeSelectDlg>\n1</ShowAttachModeSelectDlg>\n"
    L"<DefaultClassifyMode>\n0</DefaultClassifyMode>\n"
    L"<DefaultSortKey>\n1</DefaultSortKey>\n"
    L"</Configurations>\n";
}  // namespace

TEST(SettingsTextTests, DefaultsGiveTheThirteenLines)
{
    EXPECT_EQ(FormatSettingsText(CConfigurations()), DefaultText);

    CConfigurations custom;
    custom.AttachMode = 0;
    custom.DataFolder = L"D:\\Catalogue & Co\\";
    custom.DefaultClassifyMode = -2;
    custom.DefaultSortKey = 4;
    std::wstring text = FormatSettingsText(custom);
    EXPECT_NE(text.find(L"<DataFolder>\nD:\\Catalogue & Co\\</DataFolder>\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"<DefaultClassifyMode>\n-2</DefaultClassifyMode>\n"), std::wstring::npos);

    CConfigurations read;
    ASSERT_TRUE(ParseSettingsText(text, read));
    EXPECT_EQ(read.AttachMode, 0);
    EXPECT_EQ(read.DataFolder, custom.DataFolder);
    EXPECT_EQ(read.ShowAttachModeSelectDlg, 1);
    EXPECT_EQ(read.DefaultClassifyMode, -2);
    EXPECT_EQ(read.DefaultSortKey, 4);
}

TEST(SettingsTextTests, ValuesReadLooselyButEveryElementMustBeThere)
{
    std::wstring text = L"\xFEFF<?xml version=\"1.0\"?>\n<Other/>\n<DefaultSortKey>\n 3 \n\n</DefaultSortKey>\n"
                        L"<DataFolder>\n</DataFolder>\n<AttachMode>\n0zz</AttachMode>\n"
                        L"<DefaultClassifyMode>\n9</DefaultClassifyMode>\n"
                        L"<ShowAttachModeSelectDlg>\n</ShowAttachModeSelectDlg>\n";
    CConfigurations read;
    read.DataFolder = L"keep?";
    ASSERT_TRUE(ParseSettingsText(text, read));
    EXPECT_EQ(read.AttachMode, 0);
    EXPECT_EQ(read.DataFolder, L"");
    EXPECT_EQ(read.ShowAttachModeSelectDlg, 0);
    EXPECT_EQ(read.DefaultClassifyMode, 9);
    EXPECT_EQ(read.DefaultSortKey, 3);
}

TEST(SettingsTextTests, DamagedTextChangesNothing)
{
    CConfigurations read;
    read.DataFolder = L"C:\\Kept\\";
    read.AttachMode = 0;

    std::wstring noFinalLineFeed(DefaultText);
    noFinalLineFeed.replace(noFinalLineFeed.find(L"</DefaultSortKey>\n"), 18, L"</DefaultSortKey>");
    EXPECT_FALSE(ParseSettingsText(noFinalLineFeed, read));

    std::wstring crlf;
    for (wchar_t c : std::wstring(DefaultText)) {
        if (c == L'\n')
            crlf += L'\r';
        crlf += c;
    }
    EXPECT_FALSE(ParseSettingsText(crlf, read));
    EXPECT_FALSE(ParseSettingsText(L"", read));
    EXPECT_EQ(read.DataFolder, L"C:\\Kept\\");
    EXPECT_EQ(read.AttachMode, 0);
}

TEST(SettingsTextTests, ADataFolderGetsItsClosingBackslashAndAnEmptyOneStaysEmpty)
{
    auto readFolder = [](const std::wstring& stored) {
        CConfigurations custom;
        custom.DataFolder = stored;
        CConfigurations read;
        EXPECT_TRUE(ParseSettingsText(FormatSettingsText(custom), read));
        return read.DataFolder;
    };
    EXPECT_EQ(readFolder(L"D:\\Cat"), L"D:\\Cat\\");
    EXPECT_EQ(readFolder(L"D:\\Cat\\"), L"D:\\Cat\\");
    EXPECT_EQ(readFolder(L"  D:\\Cat  "), L"D:\\Cat\\");  // trimmed first, then closed
    EXPECT_EQ(readFolder(L"\\\\server\\share"), L"\\\\server\\share\\");
    EXPECT_EQ(readFolder(L""), L"");
    EXPECT_EQ(readFolder(L"   "), L"");
}

TEST(SettingsTextTests, OnlyValuesOutsideTheirTablesAreReplacedByTheDefaults)
{
    CConfigurations inTable;
    inTable.AttachMode = 0;
    inTable.DefaultClassifyMode = 2;
    inTable.DefaultSortKey = 0;
    CConfigurations kept = inTable;
    EXPECT_FALSE(ReplaceOutOfTableSettings(kept));
    EXPECT_EQ(kept.AttachMode, 0);
    EXPECT_EQ(kept.DefaultClassifyMode, 2);
    EXPECT_EQ(kept.DefaultSortKey, 0);
    kept.DefaultSortKey = 5;  // "Expiry"
    kept.ReminderDays = 0;
    EXPECT_FALSE(ReplaceOutOfTableSettings(kept));
    EXPECT_EQ(kept.DefaultSortKey, 5);
    EXPECT_EQ(kept.ReminderDays, 0);

    CConfigurations outside;
    outside.AttachMode = 2;
    outside.DataFolder = L"C:\\Kept\\";
    outside.ShowAttachModeSelectDlg = 9;
    outside.DefaultClassifyMode = 3;
    outside.DefaultSortKey = 6;
    outside.ReminderDays = 3651;
    EXPECT_TRUE(ReplaceOutOfTableSettings(outside));
    EXPECT_EQ(outside.ReminderDays, 30);
    EXPECT_EQ(outside.AttachMode, 1);
    EXPECT_EQ(outside.DefaultClassifyMode, 0);
    EXPECT_EQ(outside.DefaultSortKey, 1);
    EXPECT_EQ(outside.DataFolder, L"C:\\Kept\\");
    EXPECT_EQ(outside.ShowAttachModeSelectDlg, 9);

    for (int32_t negative : {-1, INT32_MIN}) {
        CConfigurations below;
        below.AttachMode = negative;
        below.DefaultClassifyMode = negative;
        below.DefaultSortKey = negative;
        EXPECT_TRUE(ReplaceOutOfTableSettings(below));
        EXPECT_EQ(below.AttachMode, 1);
        EXPECT_EQ(below.DefaultClassifyMode, 0);
        EXPECT_EQ(below.DefaultSortKey, 1);
    }
}

TEST(SettingsTextTests, TheReminderWindowIsWrittenOnlyWhenItIsNotTheDefault)
{
    CConfigurations custom;
    custom.ReminderDays = 30;
    EXPECT_EQ(FormatSettingsText(custom), DefaultText);

    custom.ReminderDays = 7;
    const std::wstring text = FormatSettingsText(custom);
    std::wstring expected = DefaultText;
    expected.insert(expected.find(L"</Configurations>\n"), L"<ReminderDays>\n7</ReminderDays>\n");
    EXPECT_EQ(text, expected);
    CConfigurations read;
    ASSERT_TRUE(ParseSettingsText(text, read));
    EXPECT_EQ(read.ReminderDays, 7);

    // A file without it (every file an older build wrote) reads with the default.
    read.ReminderDays = 5;
    ASSERT_TRUE(ParseSettingsText(DefaultText, read));
    EXPECT_EQ(read.ReminderDays, 30);
    // A value whose closing tag lacks its line feed is not found, and the default holds.
    std::wstring damaged = DefaultText;
    damaged.insert(damaged.find(L"</Configurations>\n"), L"<ReminderDays>\n12 days</ReminderDays>");
    ASSERT_TRUE(ParseSettingsText(damaged, read));
    EXPECT_EQ(read.ReminderDays, 30);
}

TEST(SettingsTextTests, ABackupFolderIsWrittenOnlyWhenChosenAndReadWhenPresent)
{
    // Left at its default, the file stays the thirteen lines to the byte.
    CConfigurations settings;
    EXPECT_EQ(FormatSettingsText(settings), DefaultText);

    settings.BackupFolder = L"E:\\Safe Copies\\";
    const std::wstring text = FormatSettingsText(settings);
    const std::wstring expectedTail =
        L"<DefaultSortKey>\n1</DefaultSortKey>\n<BackupFolder>\nE:\\Safe Copies\\</BackupFolder>\n"
        L"</Configurations>\n";
    ASSERT_GE(text.size(), expectedTail.size());
    EXPECT_EQ(text.substr(text.size() - expectedTail.size()), expectedTail);

    CConfigurations read;
    ASSERT_TRUE(ParseSettingsText(text, read));
    EXPECT_EQ(read.BackupFolder, L"E:\\Safe Copies\\");

    // Older files have none; a hand-edited one gets its backslash like the data folder.
    read.BackupFolder = L"stale";
    ASSERT_TRUE(ParseSettingsText(DefaultText, read));
    EXPECT_EQ(read.BackupFolder, L"");
    std::wstring edited = DefaultText;
    edited.insert(edited.find(L"</Configurations>"), L"<BackupFolder>\n F:\\Keep </BackupFolder>\n");
    ASSERT_TRUE(ParseSettingsText(edited, read));
    EXPECT_EQ(read.BackupFolder, L"F:\\Keep\\");
}
