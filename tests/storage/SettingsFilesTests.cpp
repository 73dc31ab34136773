#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "storage/Settings.h"
#include "tests/storage/StorageTestSupport.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

namespace {
const wchar_t OpenFailedText[] =
    L"Sorry! The configuration file is unable to be opened, please restart the computer and try again.";

const char DefaultBytes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n"
    "<AttachMode>\n1</AttachMode>\n<DataFolder>\n</DataFolder>\n"
    "<ShowAttachModeSelectDlg>\n1</ShowAttachModeSelectDlg>\n"
    "<DefaultClassifyMode>\n0</DefaultClassifyMode>\n<DefaultSortKey>\n1</DefaultSortKey>\n"
    "</Configurations>\n";
}  // namespace

TEST(SettingsFilesTests, WritingGivesTheExactBytesAndReadsBack)
{
    CTempFolder folder;
    CMessageBoxScript boxes;
    std::wstring path = folder / L"Quorvane\\settings.xml";  // the folder level is created
    ASSERT_TRUE(WriteSettings(CConfigurations(), path));
    EXPECT_EQ(ReadFileBytes(path), DefaultBytes);

    CConfigurations custom;
    custom.DataFolder = L"D:\\Kat\x00E4log\\";
    custom.DefaultSortKey = 3;
    ASSERT_TRUE(WriteSettings(custom, path));
    EXPECT_NE(ReadFileBytes(path).find("D:\\Kat\xC3\xA4log\\</DataFolder>\n"), std::string::npos);

    CConfigurations read;
    ASSERT_TRUE(ReadSettings(read, path));
    EXPECT_EQ(read.DataFolder, custom.DataFolder);
    EXPECT_EQ(read.DefaultSortKey, 3);
    EXPECT_FALSE(FileExistsAt(path + L".tmp"));
    EXPECT_TRUE(boxes.Shown().empty());

    // A folder that cannot be made is a save that failed: said once.
    EXPECT_FALSE(WriteSettings(custom, folder / L"a\\b\\settings.xml"));
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{OpenFailedText});
}

TEST(SettingsFilesTests, ByteOrderMarkReadsAndCarriageReturnsDoNot)
{
    CTempFolder folder;
    std::wstring path = folder / L"settings.xml";
    ASSERT_TRUE(WriteFileBytes(path, std::string("\xEF\xBB\xBF") + DefaultBytes));
    CConfigurations read;
    read.AttachMode = 0;
    ASSERT_TRUE(ReadSettings(read, path));
    EXPECT_EQ(read.AttachMode, 1);

    std::string crlf;
    for (char c : std::string(DefaultBytes)) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    ASSERT_TRUE(WriteFileBytes(path, crlf));
    read.AttachMode = 0;
    EXPECT_FALSE(ReadSettings(read, path));
    EXPECT_EQ(read.AttachMode, 0);
    EXPECT_FALSE(ReadSettings(read, folder / L"missing.xml"));
}

TEST(SettingsFilesTests, AFileHeldByAnotherHandleIsReportedOnBothWays)
{
    CTempFolder folder;
    CMessageBoxScript boxes;
    std::wstring path = folder / L"settings.xml";
    CConfigurations stored;
    stored.DataFolder = L"C:\\Stored\\";
    ASSERT_TRUE(WriteSettings(stored, path));

    HANDLE holder = HoldFileExclusively(path);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CConfigurations inMemory;
    inMemory.DataFolder = L"C:\\Memory\\";
    EXPECT_FALSE(ReadSettings(inMemory, path));
    EXPECT_FALSE(WriteSettings(inMemory, path));
    CloseHandle(holder);

    EXPECT_EQ(inMemory.DataFolder, L"C:\\Memory\\");
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].Text, OpenFailedText);
    EXPECT_EQ(boxes.Shown()[1].Text, OpenFailedText);
    EXPECT_EQ(boxes.Shown()[1].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    CConfigurations read;
    ASSERT_TRUE(ReadSettings(read, path));
    EXPECT_EQ(read.DataFolder, L"C:\\Stored\\");
}

TEST(SettingsFilesTests, AFailedWriteKeepsTheOldSettingsAndSaysSo)
{
    CTempFolder folder;
    CMessageBoxScript boxes;
    std::wstring path = folder / L"settings.xml";
    CConfigurations stored;
    stored.DataFolder = L"C:\\Stored\\";
    ASSERT_TRUE(WriteSettings(stored, path));
    const std::string before = ReadFileBytes(path);
    size_t failures = 0;
    for (SaveStep step : {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
        CSaveFault fault(step, L"settings.xml");
        EXPECT_FALSE(WriteSettings(CConfigurations(), path));
        EXPECT_EQ(fault.Hits(), 1);
        EXPECT_EQ(boxes.Shown().size(), ++failures) << "step " << static_cast<int>(step);
        EXPECT_EQ(ReadFileBytes(path), before);
    }

    // Real causes: a folder by the temporary file's name, and another program opening the file
    // between the probe and the replace.
    DeleteFileW((path + L".tmp").c_str());
    ASSERT_TRUE(CreateDirectoryW((path + L".tmp").c_str(), nullptr));
    EXPECT_FALSE(WriteSettings(CConfigurations(), path));
    ASSERT_TRUE(RemoveDirectoryW((path + L".tmp").c_str()));
    HANDLE holder = INVALID_HANDLE_VALUE;
    SaveFaultHook previous = SetSaveFaultHook([&](SaveStep step, const std::wstring& target) {
        if (step == SaveStep::Replace && target == path && holder == INVALID_HANDLE_VALUE)
            holder = HoldFileExclusively(target);
        return false;
    });
    bool saved = WriteSettings(CConfigurations(), path);
    SetSaveFaultHook(previous);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CloseHandle(holder);
    EXPECT_FALSE(saved);
    failures += 2;

    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>(failures, OpenFailedText));
    EXPECT_EQ(ReadFileBytes(path), before);
    CConfigurations read;
    ASSERT_TRUE(ReadSettings(read, path));
    EXPECT_EQ(read.DataFolder, L"C:\\Stored\\");

    // Refused in place, the move still replaces the file.
    CSaveFault refused(SaveStep::ReplaceInPlace, L"settings.xml");
    ASSERT_TRUE(WriteSettings(CConfigurations(), path));
    EXPECT_EQ(refused.Hits(), 1);
    EXPECT_EQ(ReadFileBytes(path), DefaultBytes);
    EXPECT_EQ(boxes.Shown().size(), failures);
}

TEST(SettingsFilesTests, CreateMakesOneFolderLevelAndAnEmptyNewFile)
{
    CTempFolder folder;
    std::wstring path = folder / L"Level\\settings.xml";
    EXPECT_TRUE(CreateSettingsFile(path));
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_FALSE(CreateSettingsFile(path));
    EXPECT_FALSE(CreateSettingsFile(folder / L"x\\y\\settings.xml"));
}
