// Other programs holding the program's files: a moment is ridden out, for good is reported; and the
// advice a failed save gives for a full or write-protected disk and a vanished data folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/History.h"
#include "storage/Settings.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/storage/StorageTestSupport.h"
#include "tests/support/BriefHolder.h"
#include "tests/support/InUseWait.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

namespace {
const wchar_t IdText[] = L"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";
const wchar_t SettingsOpenFailedText[] =
    L"Sorry! The configuration file is unable to be opened, please restart the computer and try again.";
void Fill(CSoftware& record, const std::wstring& name)
{
    ParseSoftwareId(IdText, record);
    record.BasicInfo.Name = name;
    record.RegInfo.CodeName.Add(L"Key");
    record.RegInfo.Code.Add(L"K-1");
}

std::wstring LoadedName(const std::wstring& path)
{
    CSoftware loaded;
    return LoadSoftwareFile(loaded, path) ? loaded.BasicInfo.Name : L"(not loaded)";
}

// Makes one step of every save fail with the given platform error while it lives.
class CSaveError {
public:
    CSaveError(SaveStep step, DWORD error)
    {
        m_previous = SetSaveFaultHook([step, error](SaveStep at, const std::wstring&) {
            if (at != step)
                return false;
            SetLastError(error);
            return true;
        });
    }
    CSaveError(const CSaveError&) = delete;
    CSaveError& operator=(const CSaveError&) = delete;
    ~CSaveError() { SetSaveFaultHook(m_previous); }

private:
    SaveFaultHook m_previous;
};

class FileInUseTests : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedFolder = Settings.DataFolder;
        Settings.DataFolder = m_folder.Path();
    }
    void TearDown() override { Settings.DataFolder = m_savedFolder; }

    std::wstring RecordPath() const { return m_folder / IdText; }

    CTempFolder m_folder;
    CMessageBoxScript m_boxes;

private:
    std::wstring m_savedFolder;
};
}  // namespace

TEST_F(FileInUseTests, ASaveRidesOutReadersThatHoldTheRecordForAMoment)
{
    CInUseWait wait(DefaultInUseWait);
    CSoftware record;
    Fill(record, L"First");
    ASSERT_TRUE(SaveSoftwareFile(record));

    // Most such programs share reading and writing but not deletion; some share nothing at all.
    for (DWORD shareMode : {DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE), DWORD(FILE_SHARE_READ), DWORD(0)}) {
        CBriefHolder reader(RecordPath(), GENERIC_READ, shareMode);
        ASSERT_TRUE(reader.WaitUntilHeld());
        record.BasicInfo.Name = L"Saved past share mode " + std::to_wstring(shareMode);
        EXPECT_TRUE(SaveSoftwareFile(record));
        EXPECT_TRUE(reader.Released()) << "the save went through while the file was held";
        EXPECT_EQ(LoadedName(RecordPath()), record.BasicInfo.Name);
    }
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_FALSE(FileExistsAt(RecordPath() + L".tmp"));
}

TEST_F(FileInUseTests, LoadingAndDeletingRideOutAHolderAndReadersShareReading)
{
    CInUseWait wait(DefaultInUseWait);
    CSoftware record;
    Fill(record, L"Shared");
    ASSERT_TRUE(SaveSoftwareFile(record));

    // Another reader that shares reading does not stand in the way at all, however long it reads.
    CFileHandle otherReader(CreateFileW(RecordPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    ASSERT_TRUE(otherReader.IsOpen());
    EXPECT_EQ(LoadedName(RecordPath()), L"Shared");
    otherReader.Close();

    {
        CBriefHolder writer(RecordPath(), GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(writer.WaitUntilHeld());
        EXPECT_EQ(LoadedName(RecordPath()), L"Shared");
        EXPECT_TRUE(writer.Released());
    }
    {
        CBriefHolder reader(RecordPath(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(reader.WaitUntilHeld());
        EXPECT_TRUE(DeleteSoftwareFile(record));
        EXPECT_TRUE(reader.Released());
    }
    EXPECT_FALSE(FileExistsAt(RecordPath()));
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(FileInUseTests, ARecordWhoseDeletionIsPendingIsWrittenAnewOnceItIsGone)
{
    CInUseWait wait(DefaultInUseWait);
    CSoftware record;
    Fill(record, L"Old");
    ASSERT_TRUE(SaveSoftwareFile(record));

    // A program that deletes the file while others may still open it: until it closes its handle
    // every open is refused.
    CBriefHolder deleter(RecordPath(), DELETE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         true);
    ASSERT_TRUE(deleter.WaitUntilHeld());
    record.BasicInfo.Name = L"New";
    EXPECT_TRUE(SaveSoftwareFile(record));
    EXPECT_TRUE(deleter.Released());
    EXPECT_EQ(LoadedName(RecordPath()), L"New");
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(FileInUseTests, AFileHeldForGoodIsStillReportedOnceTheWaitIsOver)
{
    CSoftware record;
    Fill(record, L"Kept");
    ASSERT_TRUE(SaveSoftwareFile(record));
    const std::string before = ReadFileBytes(RecordPath());

    CFileHandle holder(HoldFileExclusively(RecordPath()));
    ASSERT_TRUE(holder.IsOpen());
    record.BasicInfo.Name = L"Lost";
    EXPECT_FALSE(SaveSoftwareFile(record));
    EXPECT_FALSE(DeleteSoftwareFile(record));
    holder.Close();

    EXPECT_EQ(m_boxes.Texts(), std::vector<std::wstring>{MetaDataOpenFailedText});
    EXPECT_EQ(ReadFileBytes(RecordPath()), before);
    EXPECT_FALSE(FileExistsAt(RecordPath() + L".tmp"));
}

TEST_F(FileInUseTests, SettingsAndHistoriesRideOutAMomentaryHolder)
{
    CInUseWait wait(DefaultInUseWait);
    const std::wstring settingsPath = m_folder / L"settings.xml";
    CConfigurations settings;
    settings.DataFolder = L"D:\\Catalogue\\";
    ASSERT_TRUE(WriteSettings(settings, settingsPath));
    {
        CBriefHolder reader(settingsPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(reader.WaitUntilHeld());
        settings.DefaultSortKey = 4;
        EXPECT_TRUE(WriteSettings(settings, settingsPath));
        EXPECT_TRUE(reader.Released());
    }
    {
        CBriefHolder writer(settingsPath, GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(writer.WaitUntilHeld());
        CConfigurations read;
        EXPECT_TRUE(ReadSettings(read, settingsPath));
        EXPECT_EQ(read.DefaultSortKey, 4);
    }
    {
        // Reading the settings shares reading with others.
        CFileHandle otherReader(CreateFileW(settingsPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(otherReader.IsOpen());
        CConfigurations read;
        EXPECT_TRUE(ReadSettings(read, settingsPath));
    }

    const std::wstring historyPath = m_folder / L"Company.his";
    CStringArray list;
    list.Add(L"Acme");
    ASSERT_EQ(WriteHistoryFile(historyPath, list), 1);
    {
        CBriefHolder reader(historyPath, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(reader.WaitUntilHeld());
        list.Add(L"Globex");
        EXPECT_EQ(WriteHistoryFile(historyPath, list), 2);
        EXPECT_TRUE(reader.Released());
    }
    {
        CBriefHolder writer(historyPath, GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(writer.WaitUntilHeld());
        CStringArray read;
        EXPECT_EQ(ReadHistoryFile(historyPath, read), 2);
    }
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(FileInUseTests, AFullOrWriteProtectedDiskIsSaidAndEveryOtherCauseKeepsTheGeneralText)
{
    CSoftware record;
    Fill(record, L"Original");
    ASSERT_TRUE(SaveSoftwareFile(record));
    const std::string original = ReadFileBytes(RecordPath());
    const std::wstring settingsPath = m_folder / L"settings.xml";

    struct Case {
        SaveStep Step;
        DWORD Error;
        const wchar_t* MetaDataText;
        const wchar_t* SettingsText;
    };
    const wchar_t* const settingsFull =
        L"Sorry! The configuration file is unable to be saved because the disk is full, please free some space on "
        L"it and try again.";
    const wchar_t* const settingsProtected =
        L"Sorry! The configuration file is unable to be saved because the disk is write-protected, please make it "
        L"writable and try again.";
    const Case cases[] = {
        {SaveStep::Write, ERROR_DISK_FULL, MetaDataDiskFullText, settingsFull},
        {SaveStep::Flush, ERROR_HANDLE_DISK_FULL, MetaDataDiskFullText, settingsFull},
        {SaveStep::CreateTemporary, ERROR_WRITE_PROTECT, MetaDataWriteProtectedText, settingsProtected},
        {SaveStep::CreateTemporary, ERROR_ACCESS_DENIED, MetaDataOpenFailedText, SettingsOpenFailedText},
        {SaveStep::Replace, ERROR_GEN_FAILURE, MetaDataOpenFailedText, SettingsOpenFailedText},
    };
    for (const Case& each : cases) {
        CMessageBoxScript boxes;
        {
            CSaveError fault(each.Step, each.Error);
            record.BasicInfo.Name = L"Not saved";
            EXPECT_FALSE(SaveSoftwareFile(record));
            EXPECT_FALSE(WriteSettings(CConfigurations(), settingsPath));
        }
        EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{each.MetaDataText, each.SettingsText}))
            << "error " << each.Error;
        EXPECT_EQ(ReadFileBytes(RecordPath()), original);
        DeleteFileW((RecordPath() + L".tmp").c_str());  // a save killed at Write leaves it, as a crash would
    }
    EXPECT_EQ(std::wstring(MetaDataDiskFullText),
              L"Sorry! The meta-data file is unable to be saved because the disk is full, please free some space on "
              L"it and try again.");
    EXPECT_EQ(std::wstring(MetaDataWriteProtectedText),
              L"Sorry! The meta-data file is unable to be saved because the disk is write-protected, please make it "
              L"writable and try again.");
}

TEST_F(FileInUseTests, AVanishedDataFolderIsNamedAndNeverMadeAgain)
{
    CSoftware record;
    Fill(record, L"Before");
    const std::wstring dataFolder = m_folder / L"Catalogue\\";
    ASSERT_TRUE(CreateDirectoryW(dataFolder.c_str(), nullptr));
    Settings.DataFolder = dataFolder;
    ASSERT_TRUE(SaveSoftwareFile(record));

    // Removed from outside while the program runs, as a pulled drive or a move in Explorer does.
    DeleteFolderTree(dataFolder);
    ASSERT_FALSE(FileExistsAt(dataFolder));
    record.BasicInfo.Name = L"After";
    EXPECT_FALSE(SaveSoftwareFile(record));
    EXPECT_FALSE(CreateSoftwareFile(record));
    EXPECT_FALSE(FileExistsAt(dataFolder)) << "the folder must not come back holding one record";
    const std::wstring expected =
        L"Sorry! The data folder \"" + m_folder.Path() + L"Catalogue\" can't be found, please make sure it is "
                                                         L"available and try again.";
    ASSERT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].Text, expected);
    EXPECT_EQ(m_boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));

    // Once it is back, the same record is stored.
    ASSERT_TRUE(CreateDirectoryW(dataFolder.c_str(), nullptr));
    EXPECT_TRUE(SaveSoftwareFile(record));
    EXPECT_EQ(LoadedName(dataFolder + IdText), L"After");
    EXPECT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(DataFolderMissingText(L"E:\\"),
              L"Sorry! The data folder \"E:\\\" can't be found, please make sure it is available and try again.");
}
