#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "storage/Configurations.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/storage/StorageTestSupport.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

namespace {
const wchar_t OpenFailedText[] =
    L"Sorry! The meta-data file is unable to be opened, please restart the computer and try again.";

const wchar_t IdText[] = L"1F2E3D4C-5B6A-7988-A7B6-C5D4E3F2A1B0";

void Fill(CSoftware& record, const std::wstring& name)
{
    ParseSoftwareId(IdText, record);
    record.BasicInfo.Name = name;
    record.BasicInfo.Company = L"Caf\x00E9 \x4E2D";
    record.BasicInfo.Price.Value = 12.5f;
    record.RegInfo.CodeName.Add(L"Key");
    record.RegInfo.Code.Add(L"AAAA-BBBB");
}

class SoftwareFilesTests : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedFolder = Settings.DataFolder;
        Settings.DataFolder = m_folder.Path();
    }
    void TearDown() override { Settings.DataFolder = m_savedFolder; }

    std::wstring PathOf(const std::wstring& name) const { return m_folder / name; }

    CTempFolder m_folder;
    CMessageBoxScript m_boxes;

private:
    std::wstring m_savedFolder;
};
}  // namespace

TEST_F(SoftwareFilesTests, SavedFileIsTheUtf8TextWithoutMarkAndLoadsBack)
{
    CSoftware record;
    Fill(record, L"Writer");
    ASSERT_TRUE(SaveSoftwareFile(record));
    std::string bytes = ReadFileBytes(PathOf(IdText));
    EXPECT_EQ(bytes, EncodeUtf8(FormatSoftwareText(record)));
    EXPECT_EQ(bytes.compare(0, 5, "<?xml"), 0);
    EXPECT_NE(bytes.find("Caf\xC3\xA9 \xE4\xB8\xAD"), std::string::npos);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    EXPECT_FALSE(FileExistsAt(PathOf(std::wstring(IdText) + L".tmp")));

    CSoftware loaded;
    loaded.BasicInfo.Name = L"overwritten";
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
    EXPECT_EQ(loaded.Id, record.Id);
    EXPECT_EQ(FormatSoftwareText(loaded), FormatSoftwareText(record));
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(SoftwareFilesTests, RewritingAShorterRecordLeavesNoTrailingBytes)
{
    CSoftware record;
    Fill(record, std::wstring(500, L'x'));
    ASSERT_TRUE(SaveSoftwareFile(record));
    record.BasicInfo.Name = L"y";
    ASSERT_TRUE(SaveSoftwareFile(record));
    EXPECT_EQ(ReadFileBytes(PathOf(IdText)), EncodeUtf8(FormatSoftwareText(record)));
}

TEST_F(SoftwareFilesTests, SaveNeverMakesAMissingDataFolder)
{
    CSoftware record;
    Fill(record, L"Deep");
    std::wstring folder = m_folder / L"Catalogue\\";
    // A missing folder is a save that failed, said once and naming the folder; nothing is made.
    EXPECT_FALSE(SaveSoftwareFile(record, folder));
    EXPECT_FALSE(FileExistsAt(folder));
    EXPECT_FALSE(SaveSoftwareFile(record, m_folder / L"Missing\\Catalogue\\"));
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::wstring>{DataFolderMissingText(folder),
                                                          DataFolderMissingText(m_folder / L"Missing\\Catalogue\\")}));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(SaveSoftwareFile(record, folder));
    EXPECT_TRUE(FileExistsAt(folder + IdText));
    EXPECT_EQ(m_boxes.Shown().size(), 2u);
}

TEST_F(SoftwareFilesTests, AFileHeldByAnotherHandleIsReportedAndChangesNothing)
{
    CSoftware record;
    Fill(record, L"Held");
    ASSERT_TRUE(SaveSoftwareFile(record));
    std::string before = ReadFileBytes(PathOf(IdText));

    HANDLE holder = HoldFileExclusively(PathOf(IdText));
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    record.BasicInfo.Name = L"Changed";
    EXPECT_FALSE(SaveSoftwareFile(record));
    CSoftware target;
    target.BasicInfo.Name = L"Target";
    EXPECT_FALSE(LoadSoftwareFile(target, PathOf(IdText)));
    CloseHandle(holder);

    ASSERT_EQ(m_boxes.Shown().size(), 2u);
    for (const ShownMessageBox& box : m_boxes.Shown()) {
        EXPECT_EQ(box.Text, OpenFailedText);
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
    EXPECT_EQ(target.BasicInfo.Name, L"Target");
    EXPECT_TRUE(target.Id.IsNull());
    EXPECT_EQ(ReadFileBytes(PathOf(IdText)), before);
    EXPECT_FALSE(FileExistsAt(PathOf(std::wstring(IdText) + L".tmp")));
}

TEST_F(SoftwareFilesTests, AFailedSaveAtAnyStepKeepsTheOldFileWhole)
{
    CSoftware record;
    Fill(record, L"Original");
    ASSERT_TRUE(SaveSoftwareFile(record));
    const std::string original = ReadFileBytes(PathOf(IdText));

    size_t failures = 0;
    for (SaveStep step : {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
        CSaveFault fault(step, IdText);
        record.BasicInfo.Name = L"Changed at step " + std::to_wstring(static_cast<int>(step));
        EXPECT_FALSE(SaveSoftwareFile(record));
        EXPECT_EQ(fault.Hits(), 1);
        EXPECT_EQ(m_boxes.Shown().size(), ++failures) << "step " << static_cast<int>(step);
        EXPECT_EQ(ReadFileBytes(PathOf(IdText)), original);
        CSoftware loaded;
        ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
        EXPECT_EQ(loaded.BasicInfo.Name, L"Original");
    }
    // The save killed half-way left its half-written temporary file; the next save still works.
    record.BasicInfo.Name = L"Finally";
    ASSERT_TRUE(SaveSoftwareFile(record));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
    EXPECT_EQ(loaded.BasicInfo.Name, L"Finally");
    EXPECT_FALSE(FileExistsAt(PathOf(std::wstring(IdText) + L".tmp")));
    ASSERT_EQ(m_boxes.Shown().size(), failures);
    for (const ShownMessageBox& box : m_boxes.Shown()) {
        EXPECT_EQ(box.Text, OpenFailedText);
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
}

TEST_F(SoftwareFilesTests, ANewRecordThatFailsAtAnyStepLeavesNoFileUnderItsNameAndSaysSo)
{
    CSoftware record;
    Fill(record, L"New");
    // CreateTemporary stands for a folder where files may be changed but not created.
    size_t failures = 0;
    for (SaveStep step : {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
        CSaveFault fault(step, IdText);
        EXPECT_FALSE(SaveSoftwareFile(record));
        EXPECT_EQ(fault.Hits(), 1);
        EXPECT_EQ(m_boxes.Shown().size(), ++failures) << "step " << static_cast<int>(step);
        EXPECT_FALSE(FileExistsAt(PathOf(IdText)));
    }
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::wstring>(failures, OpenFailedText));
}

TEST_F(SoftwareFilesTests, AStaleTemporaryThatCannotBeRewrittenFailsTheSaveOnce)
{
    CSoftware record;
    Fill(record, L"Original");
    ASSERT_TRUE(SaveSoftwareFile(record));
    const std::wstring temporary = PathOf(std::wstring(IdText) + L".tmp");

    // A folder by the temporary file's name, then a temporary file another program holds open.
    ASSERT_TRUE(CreateDirectoryW(temporary.c_str(), nullptr));
    record.BasicInfo.Name = L"Blocked by a folder";
    EXPECT_FALSE(SaveSoftwareFile(record));
    ASSERT_TRUE(RemoveDirectoryW(temporary.c_str()));
    ASSERT_TRUE(WriteFileBytes(temporary, "stale"));
    HANDLE holder = HoldFileExclusively(temporary);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    record.BasicInfo.Name = L"Blocked by a handle";
    EXPECT_FALSE(SaveSoftwareFile(record));
    CloseHandle(holder);

    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::wstring>{OpenFailedText, OpenFailedText}));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
    EXPECT_EQ(loaded.BasicInfo.Name, L"Original");

    // Once the cause is gone, the stale file is simply overwritten.
    record.BasicInfo.Name = L"Through";
    ASSERT_TRUE(SaveSoftwareFile(record));
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
    EXPECT_EQ(loaded.BasicInfo.Name, L"Through");
    EXPECT_FALSE(FileExistsAt(temporary));

    // A new record whose temporary name is taken by a folder is not created at all.
    CSoftware fresh;
    Fill(fresh, L"Fresh");
    ParseSoftwareId(L"00000000-0000-0000-0000-0000000000F0", fresh);
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"00000000-0000-0000-0000-0000000000F0.tmp").c_str(), nullptr));
    EXPECT_FALSE(SaveSoftwareFile(fresh));
    EXPECT_FALSE(FileExistsAt(PathOf(L"00000000-0000-0000-0000-0000000000F0")));
    EXPECT_EQ(m_boxes.Shown().size(), 3u);
}

TEST_F(SoftwareFilesTests, AReadOnlyStaleTemporaryFailsTheSaveOnce)
{
    CSoftware record;
    Fill(record, L"Original");
    ASSERT_TRUE(SaveSoftwareFile(record));
    const std::wstring temporary = PathOf(std::wstring(IdText) + L".tmp");
    ASSERT_TRUE(WriteFileBytes(temporary, "stale"));
    ASSERT_TRUE(SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_READONLY));
    struct CWritableAgain {
        std::wstring Path;
        ~CWritableAgain() { SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    } writableAgain{temporary};
    if (CanOpenForWriting(temporary, 0))
        GTEST_SKIP() << "this file system lets the user write to read-only files (Wine run as root does)";

    record.BasicInfo.Name = L"Changed";
    EXPECT_FALSE(SaveSoftwareFile(record));
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::wstring>{OpenFailedText});
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
    EXPECT_EQ(loaded.BasicInfo.Name, L"Original");
}

TEST_F(SoftwareFilesTests, AFileOpenedByAnotherProgramAfterTheProbeFailsTheReplaceOnce)
{
    CSoftware record;
    Fill(record, L"Original");
    ASSERT_TRUE(SaveSoftwareFile(record));
    const std::string original = ReadFileBytes(PathOf(IdText));

    // The other program opens the file between the probe and the replace.
    HANDLE holder = INVALID_HANDLE_VALUE;
    const std::wstring target = PathOf(IdText);
    SaveFaultHook previous = SetSaveFaultHook([&](SaveStep step, const std::wstring& path) {
        if ((step == SaveStep::Replace) && path == target && holder == INVALID_HANDLE_VALUE)
            holder = HoldFileExclusively(path);
        return false;
    });
    record.BasicInfo.Name = L"Changed";
    bool saved = SaveSoftwareFile(record);
    SetSaveFaultHook(previous);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CloseHandle(holder);

    EXPECT_FALSE(saved);
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::wstring>{OpenFailedText});
    EXPECT_EQ(ReadFileBytes(target), original);
    EXPECT_FALSE(FileExistsAt(target + L".tmp"));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, target));
    EXPECT_EQ(loaded.BasicInfo.Name, L"Original");
}

TEST_F(SoftwareFilesTests, WhereReplacingInPlaceIsRefusedTheMoveTakesOver)
{
    CSoftware record;
    Fill(record, L"Original");
    {
        // A new file never tries to replace in place.
        CSaveFault refused(SaveStep::ReplaceInPlace, IdText);
        ASSERT_TRUE(SaveSoftwareFile(record));
        EXPECT_EQ(refused.Hits(), 0);
    }
    CSaveFault refused(SaveStep::ReplaceInPlace, IdText);
    record.BasicInfo.Name = L"Moved";
    ASSERT_TRUE(SaveSoftwareFile(record));
    EXPECT_EQ(refused.Hits(), 1);
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_FALSE(FileExistsAt(PathOf(std::wstring(IdText) + L".tmp")));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(IdText)));
    EXPECT_EQ(FormatSoftwareText(loaded), FormatSoftwareText(record));
}

TEST_F(SoftwareFilesTests, RecordsThatWouldNotReadBackAreNotWritten)
{
    CSoftware record;
    Fill(record, L"Expensive");
    record.BasicInfo.Price.Value = 1000000.0f;
    EXPECT_FALSE(SaveSoftwareFile(record));
    record.BasicInfo.Price.Value = 5.0f;
    record.BasicInfo.Price.Currency = 19;
    EXPECT_FALSE(SaveSoftwareFile(record));
    EXPECT_FALSE(FileExistsAt(PathOf(IdText)));
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::wstring>{OpenFailedText, OpenFailedText}));
}

TEST_F(SoftwareFilesTests, LoadingChecksTheNameBeforeTheFile)
{
    CSoftware record;
    Fill(record, L"Named");
    ASSERT_TRUE(SaveSoftwareFile(record));
    CSoftware target;
    EXPECT_FALSE(LoadSoftwareFile(target, L""));
    ASSERT_TRUE(MoveFileW(PathOf(IdText).c_str(), PathOf(L"1F2E3D4C-5B6A-7988-A7B6-C5D4E3F2A1B").c_str()));
    EXPECT_FALSE(LoadSoftwareFile(target, PathOf(L"1F2E3D4C-5B6A-7988-A7B6-C5D4E3F2A1B")));
    ASSERT_TRUE(MoveFileW(PathOf(L"1F2E3D4C-5B6A-7988-A7B6-C5D4E3F2A1B").c_str(),
                          PathOf(L"1F2E3D4C-5B6A-7988-A7B6-C5D4E3F2A1BZ").c_str()));
    EXPECT_FALSE(LoadSoftwareFile(target, PathOf(L"1F2E3D4C-5B6A-7988-A7B6-C5D4E3F2A1BZ")));
    EXPECT_FALSE(LoadSoftwareFile(target, PathOf(L"00000000-0000-0000-0000-000000000001")));
    EXPECT_TRUE(target.Id.IsNull());
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(SoftwareFilesTests, LowerCaseNamesLoadAndAreWrittenBackUnderTheSameFile)
{
    CSoftware record;
    Fill(record, L"Lower");
    std::wstring lower = L"1f2e3d4c-5b6a-7988-a7b6-c5d4e3f2a1b0";
    ASSERT_TRUE(WriteFileBytes(PathOf(lower), EncodeUtf8(FormatSoftwareText(record))));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, PathOf(lower)));
    EXPECT_EQ(FormatSoftwareId(loaded), IdText);
    loaded.BasicInfo.Name = L"Upper";
    ASSERT_TRUE(SaveSoftwareFile(loaded));
    CSoftware again;
    ASSERT_TRUE(LoadSoftwareFile(again, PathOf(lower)));
    EXPECT_EQ(again.BasicInfo.Name, L"Upper");
}

TEST_F(SoftwareFilesTests, CreateIsCreateNewAndDeleteReportsThePlatformResult)
{
    CSoftware record;
    Fill(record, L"Created");
    EXPECT_TRUE(CreateSoftwareFile(record));
    EXPECT_EQ(ReadFileBytes(PathOf(IdText)), "");
    EXPECT_FALSE(CreateSoftwareFile(record));
    EXPECT_TRUE(DeleteSoftwareFile(record));
    EXPECT_FALSE(FileExistsAt(PathOf(IdText)));
    EXPECT_FALSE(DeleteSoftwareFile(record));
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(SoftwareFilesTests, LoadingRefreshesTheIconThroughTheHook)
{
    CSoftware record;
    Fill(record, L"Icon");
    ASSERT_TRUE(SaveSoftwareFile(record));
    static int refreshed;
    refreshed = 0;
    auto previous = RefreshIconAfterLoad;
    RefreshIconAfterLoad = [](CSoftware& loaded) {
        if (loaded.BasicInfo.Name == L"Icon")
            ++refreshed;
    };
    CSoftware loaded;
    bool ok = LoadSoftwareFile(loaded, PathOf(IdText));
    RefreshIconAfterLoad = previous;
    EXPECT_TRUE(ok);
    EXPECT_EQ(refreshed, 1);
}

TEST_F(SoftwareFilesTests, ScanLoadsGuidNamedFilesAndCountsFailures)
{
    CSoftware a, b;
    Fill(a, L"Alpha");
    ParseSoftwareId(L"00000000-0000-0000-0000-00000000000A", a);
    Fill(b, L"Beta");
    ParseSoftwareId(L"00000000-0000-0000-0000-00000000000B", b);
    ASSERT_TRUE(SaveSoftwareFile(a));
    ASSERT_TRUE(SaveSoftwareFile(b));
    // Skipped without trying: wrong length (an imported installer, a temporary file, a note).
    WriteFileBytes(PathOf(L"00000000-0000-0000-0000-00000000000A_INSTALL"), "binary");
    WriteFileBytes(PathOf(L"00000000-0000-0000-0000-00000000000A.tmp"), "half");
    WriteFileBytes(PathOf(L"notes.txt"), "x");

    CSoftwareArray list;
    list.IsOwner = 1;
    EXPECT_EQ(ScanDataFolder(list), 2);
    ASSERT_EQ(list.GetSize(), 2);

    // Tried and failed: malformed text, 36 characters that are no GUID, and a folder by that name.
    WriteFileBytes(PathOf(L"00000000-0000-0000-0000-00000000000C"), "<Name>\nbroken");
    WriteFileBytes(PathOf(L"00000000-0000-0000-0000-0000000000ZZ"), EncodeUtf8(FormatSoftwareText(a)));
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"00000000-0000-0000-0000-00000000000D").c_str(), nullptr));
    EXPECT_EQ(ScanDataFolder(list), -2);
    EXPECT_EQ(list.GetSize(), 2);
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::wstring>{OpenFailedText});

    // Without clearing first, the records are appended to those already held.
    EXPECT_EQ(ScanDataFolder(list, std::wstring(), false), -2);
    EXPECT_EQ(list.GetSize(), 4);
}

TEST_F(SoftwareFilesTests, EmptyOrMissingFoldersScanToNothing)
{
    CSoftwareArray list;
    list.IsOwner = 1;
    list.Add(new CSoftware);
    EXPECT_EQ(ScanDataFolder(list), 0);
    EXPECT_EQ(list.GetSize(), 0);
    EXPECT_EQ(ScanDataFolder(list, m_folder / L"absent\\"), 0);
}
