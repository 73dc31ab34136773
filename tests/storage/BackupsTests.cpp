#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "storage/Backups.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/Settings.h"
#include "storage/SnapshotText.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "storage/ZipArchive.h"
#include "tests/storage/StorageTestSupport.h"
#include "tests/support/BriefHolder.h"
#include "tests/support/InUseWait.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

namespace {
const wchar_t IdA[] = L"6B29FC40-CA47-1067-B31D-00DD010662DA";
const wchar_t IdB[] = L"00000000-0000-0000-C000-000000000046";
const wchar_t IdC[] = L"11111111-2222-3333-4444-555555555555";

CSnapshotStamp At(int year, int month, int day, int hour = 9, int minute = 0, int second = 0)
{
    CSnapshotStamp stamp;
    stamp.Year = year;
    stamp.Month = month;
    stamp.Day = day;
    stamp.Hour = hour;
    stamp.Minute = minute;
    stamp.Second = second;
    return stamp;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> EntryNames(const std::wstring& zipPath)
{
    std::vector<CZipEntry> entries;
    EXPECT_TRUE(ReadZip(ReadFileBytes(zipPath), entries));
    std::vector<std::string> names;
    for (const CZipEntry& entry : entries)
        names.push_back(entry.Name);
    return names;
}

// Per-user folder and data folder of the test's own, with three records, an imported copy, a
// stray file, the settings and two history files.
class BackupsTests : public testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryW((Root / L"AppData").c_str(), nullptr);
        SetPathsFrom(Root / L"AppData");
        CreateBaseFolder();
        Data = Root / L"Data\\";
        CreateDirectoryW(Data.c_str(), nullptr);
        Settings = CConfigurations();
        Settings.DataFolder = Data;
        for (const wchar_t* id : {IdA, IdB, IdC})
            AddRecord(id, std::wstring(L"Program ") + id[0]);
        ASSERT_TRUE(WriteFileBytes(Data + IdA + std::wstring(L"_INSTALL"), std::string(4096, 'I')));
        ASSERT_TRUE(WriteFileBytes(Data + L"notes.txt", "mine"));
        ASSERT_TRUE(WriteSettings(Settings));
        CreateDirectoryW(HistoryFolder.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(HistoryFolder + L"Company.his", Utf16Bytes(L"Acme\n")));
        ASSERT_TRUE(WriteFileBytes(HistoryFolder + L"Email.his", Utf16Bytes(L"a@example.org\n")));
    }
    void TearDown() override
    {
        Snapshots().Wait(INFINITE);
        Snapshots().TakeResult();
        Settings = CConfigurations();
        BaseFolder = m_base;
        SettingsPath = m_settings;
        TempFolder = m_temp;
        HistoryFolder = m_history;
    }

    void AddRecord(const std::wstring& id, const std::wstring& name)
    {
        CSoftware record;
        ASSERT_TRUE(ParseSoftwareId(id, record));
        record.BasicInfo.Name = name;
        ASSERT_TRUE(SaveSoftwareFile(record, Data));
    }

    std::wstring Backups() const { return BackupFolderInForce(); }

    CTempFolder Root;
    std::wstring Data;
    CMessageBoxScript Boxes;

private:
    std::wstring m_base = BaseFolder, m_settings = SettingsPath, m_temp = TempFolder, m_history = HistoryFolder;
};
}  // namespace

TEST_F(BackupsTests, ASnapshotHoldsTheMetaDataSettingsAndHistoriesButNoInstallerCopy)
{
    EXPECT_EQ(Backups(), BaseFolder + L"Backups\\");
    const CSnapshotResult result = WriteSnapshot(SnapshotJobNow(SnapshotReason::Daily), At(2026, 12, 8, 7, 5, 9));
    ASSERT_TRUE(result.Written) << std::string(result.Problem.begin(), result.Problem.end());
    EXPECT_EQ(result.Path, Backups() + L"Backup-20261208-070509.zip");
    EXPECT_EQ(result.Records, 3);
    // Written beside and renamed: nothing else is left in the folder.
    EXPECT_EQ(FilesIn(Backups()), std::vector<std::wstring>{L"Backup-20261208-070509.zip"});

    const std::vector<std::string> expected = {"Backup.xml",
                                               "Data/00000000-0000-0000-C000-000000000046",
                                               "Data/11111111-2222-3333-4444-555555555555",
                                               "Data/6B29FC40-CA47-1067-B31D-00DD010662DA",
                                               "settings.xml",
                                               "History/Company.his",
                                               "History/Email.his"};
    EXPECT_EQ(EntryNames(result.Path), expected);

    std::vector<CZipEntry> entries;
    ASSERT_TRUE(ReadZip(ReadFileBytes(result.Path), entries));
    EXPECT_EQ(entries[3].Data, ReadFileBytes(Data + IdA));
    EXPECT_EQ(entries[4].Data, ReadFileBytes(SettingsPath));
    EXPECT_EQ(entries[0].Data, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Backup>\n<Taken>\n2026-12-08 07:05:09</Taken>\n"
                               "<Reason>\ndaily</Reason>\n<Records>\n3</Records>\n<DataFolder>\n" +
                                   std::string(Data.begin(), Data.end()) + "</DataFolder>\n</Backup>\n");

    // A second one in the same second takes the next serial; the list shows both, newest first.
    const CSnapshotResult again = WriteSnapshot(SnapshotJobNow(SnapshotReason::Delete), At(2026, 12, 8, 7, 5, 9));
    ASSERT_TRUE(again.Written);
    EXPECT_EQ(again.Path, Backups() + L"Backup-20261208-070509-2.zip");
    const std::vector<CSnapshotListing> listed = ListSnapshots(Backups());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].FileName, L"Backup-20261208-070509-2.zip");
    EXPECT_TRUE(listed[0].Readable);
    EXPECT_EQ(listed[0].Manifest.Reason, SnapshotReason::Delete);
    EXPECT_EQ(listed[1].Manifest.Records, 3);
    EXPECT_TRUE(HasSnapshotOfDay(Backups(), At(2026, 12, 8, 23, 59)));
    EXPECT_FALSE(HasSnapshotOfDay(Backups(), At(2026, 12, 9)));
}

TEST_F(BackupsTests, PruningKeepsTheRuleAndTouchesNoOtherFile)
{
    const std::wstring folder = Backups();
    CreateDirectoryW(folder.c_str(), nullptr);
    // Thirty days of one snapshot each, a leftover of a cut-off write and a file of the user's.
    for (int day = 1; day <= 30; ++day)
        ASSERT_TRUE(WriteFileBytes(folder + FormatSnapshotFileName(At(2026, 11, day)), "z"));
    ASSERT_TRUE(WriteFileBytes(folder + L"Backup-20261130-100000.zip.tmp", "half"));
    ASSERT_TRUE(WriteFileBytes(folder + L"Backup of my photos.zip", "mine"));

    // Kept: the ten days from 21 November, and the newest of the four last weeks (Monday to
    // Sunday): 30, 29, 22 and 15 November.
    EXPECT_EQ(PruneSnapshots(folder), 30 - 11);
    const std::vector<std::wstring> expected = {
        L"Backup of my photos.zip",    L"Backup-20261115-090000.zip",
        L"Backup-20261121-090000.zip", L"Backup-20261122-090000.zip", L"Backup-20261123-090000.zip",
        L"Backup-20261124-090000.zip", L"Backup-20261125-090000.zip", L"Backup-20261126-090000.zip",
        L"Backup-20261127-090000.zip", L"Backup-20261128-090000.zip", L"Backup-20261129-090000.zip",
        L"Backup-20261130-090000.zip"};
    EXPECT_EQ(FilesIn(folder), expected);
    // Damaged files are listed as such rather than hidden.
    const std::vector<CSnapshotListing> listed = ListSnapshots(folder);
    ASSERT_EQ(listed.size(), 11u);
    EXPECT_FALSE(listed[0].Readable);
}

TEST_F(BackupsTests, AFailedWriteLeavesNoFileAndSaysWhy)
{
    {
        CSaveFault fault(SaveStep::Flush, L".zip");
        const CSnapshotResult result = WriteSnapshot(SnapshotJobNow(SnapshotReason::Delete), At(2026, 12, 8));
        EXPECT_FALSE(result.Written);
        EXPECT_EQ(result.Problem, L"The backup file can't be written in \"" + Backups() +
                                      L"\". The disk may be full or write-protected.");
        EXPECT_EQ(fault.Hits(), 1);
    }
    EXPECT_TRUE(FilesIn(Backups()).empty());

    // A backups folder whose parent is gone cannot be made.
    Settings.BackupFolder = Root / L"Gone\\Backups\\";
    const CSnapshotResult result = WriteSnapshot(SnapshotJobNow(SnapshotReason::Daily), At(2026, 12, 8));
    EXPECT_FALSE(result.Written);
    EXPECT_EQ(result.Problem, L"The backups folder \"" + Root.Path() + L"Gone\\Backups\\\" can't be created.");
}

TEST_F(BackupsTests, AFileHeldForAMomentIsWaitedForAndOneHeldForGoodIsNamed)
{
    const std::wstring held = Data + IdB;
    {
        // The program's own wait, as every other file access has it.
        CInUseWait wait(DefaultInUseWait);
        CBriefHolder writer(held, GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(writer.WaitUntilHeld());
        const CSnapshotResult waited = WriteSnapshot(SnapshotJobNow(SnapshotReason::Daily), At(2026, 12, 8, 10));
        EXPECT_TRUE(writer.Released());
        EXPECT_TRUE(waited.Written);
        EXPECT_EQ(waited.Records, 3);
    }

    // Beyond the wait (the tests' short one) the file is named.
    CFileHandle forGood(HoldFileExclusively(held));
    ASSERT_TRUE(forGood.IsOpen());
    const CSnapshotResult refused = WriteSnapshot(SnapshotJobNow(SnapshotReason::Daily), At(2026, 12, 8, 11));
    forGood.Close();
    EXPECT_FALSE(refused.Written);
    EXPECT_EQ(refused.Problem, L"The file \"" + held + L"\" can't be read.");
    EXPECT_EQ(FilesIn(Backups()), std::vector<std::wstring>{L"Backup-20261208-100000.zip"});
}

TEST_F(BackupsTests, ARestorePutsBackTheCatalogueHistoriesAndDefaultsButNoFolderOrInstaller)
{
    Settings.DefaultSortKey = 3;
    ASSERT_TRUE(WriteSettings(Settings));
    const CSnapshotResult taken = WriteSnapshot(SnapshotJobNow(SnapshotReason::Manual), At(2026, 12, 8));
    ASSERT_TRUE(taken.Written);
    const std::string recordA = ReadFileBytes(Data + IdA);

    // After the snapshot: one record deleted with its copy, one changed, one added; new history
    // entries and defaults; another backups folder chosen.
    ASSERT_TRUE(DeleteFileW((Data + IdB).c_str()));
    ASSERT_TRUE(DeleteFileW((Data + IdA + L"_INSTALL").c_str()));
    AddRecord(IdA, L"Renamed");
    const wchar_t idD[] = L"AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE";
    AddRecord(idD, L"Added later");
    ASSERT_TRUE(WriteFileBytes(HistoryFolder + L"Company.his", Utf16Bytes(L"Acme\nLater\n")));
    Settings.DefaultSortKey = 1;
    Settings.BackupFolder = Root / L"Elsewhere\\";
    ASSERT_TRUE(WriteSettings(Settings));

    CSnapshotContent content;
    std::wstring problem;
    ASSERT_TRUE(LoadSnapshot(taken.Path, content, problem));
    EXPECT_EQ(content.Records.size(), 3u);
    ASSERT_TRUE(RestoreSnapshotFiles(content, Data, problem)) << std::string(problem.begin(), problem.end());

    EXPECT_EQ(FilesIn(Data), (std::vector<std::wstring>{IdB, IdC, IdA, L"notes.txt"}));
    EXPECT_EQ(ReadFileBytes(Data + IdA), recordA);
    EXPECT_EQ(ReadFileBytes(HistoryFolder + L"Company.his"), Utf16Bytes(L"Acme\n"));
    CConfigurations stored;
    ASSERT_TRUE(ReadSettings(stored));
    EXPECT_EQ(stored.DefaultSortKey, 3);
    EXPECT_EQ(stored.DataFolder, Data);
    EXPECT_EQ(stored.BackupFolder, Root / L"Elsewhere\\");
    EXPECT_EQ(Settings.DefaultSortKey, 3);
    CSoftwareArray loaded;
    loaded.IsOwner = 1;
    EXPECT_EQ(ScanDataFolder(loaded, Data, true), 3);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(BackupsTests, SingleRecordsComeBackAloneAndADamagedSnapshotChangesNothing)
{
    const CSnapshotResult taken = WriteSnapshot(SnapshotJobNow(SnapshotReason::Manual), At(2026, 12, 8));
    ASSERT_TRUE(taken.Written);
    ASSERT_TRUE(DeleteFileW((Data + IdB).c_str()));
    ASSERT_TRUE(DeleteFileW((Data + IdC).c_str()));

    CSnapshotContent content;
    std::wstring problem;
    ASSERT_TRUE(LoadSnapshot(taken.Path, content, problem));
    ASSERT_TRUE(RestoreSnapshotRecords(content, {IdB}, Data, problem));
    EXPECT_EQ(FilesIn(Data),
              (std::vector<std::wstring>{IdB, IdA, IdA + std::wstring(L"_INSTALL"), L"notes.txt"}));

    // One flipped byte inside the archive: refused whole, with the file named.
    std::string bytes = ReadFileBytes(taken.Path);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
    const std::wstring damaged = Backups() + L"Backup-20261208-100000.zip";
    ASSERT_TRUE(WriteFileBytes(damaged, bytes));
    EXPECT_FALSE(LoadSnapshot(damaged, content, problem));
    EXPECT_EQ(problem, L"The backup file \"" + damaged + L"\" is damaged.");
    EXPECT_TRUE(content.Records.empty());
    EXPECT_FALSE(LoadSnapshot(Backups() + L"Backup-20991231-000000.zip", content, problem));
    EXPECT_EQ(problem, L"The backup file \"" + Backups() + L"Backup-20991231-000000.zip\" can't be read.");
}

TEST_F(BackupsTests, ASnapshotOfMoreRecordsThanAClassicZipCountsIsListedAndBroughtBack)
{
    // A snapshot as the backups write it for 65,600 records, past the 65,534 entries a zip holds
    // without its Zip64 end records. It is made in memory: as many files in one folder take minutes
    // under Wine, whose case-insensitive look-ups scan the folder for every new file.
    const size_t records = 65600;
    CSnapshotManifest manifest;
    manifest.Taken = At(2026, 12, 8);
    manifest.Reason = SnapshotReason::Manual;
    manifest.Records = static_cast<int32_t>(records);
    manifest.DataFolder = Data;
    const uint32_t stamp = ZipDosDateTime(2026, 12, 8, 9, 0, 0);
    CZipWriter zip;
    ASSERT_TRUE(zip.Add(ManifestEntryName, EncodeUtf8(FormatSnapshotManifest(manifest)), stamp));
    const std::string recordBytes = ReadFileBytes(Data + IdA);
    for (size_t i = 0; i < records; ++i) {
        char id[40];
        std::snprintf(id, sizeof id, "%08X-0000-4000-8000-000000000000", static_cast<unsigned>(i));
        ASSERT_TRUE(zip.Add(std::string(DataEntryPrefix) + id, recordBytes, stamp));
    }
    ASSERT_TRUE(zip.Finish());
    const std::wstring path = Backups() + FormatSnapshotFileName(At(2026, 12, 8));
    CreateDirectoryW(Backups().c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(path, zip.Bytes()));

    const std::vector<CSnapshotListing> listed = ListSnapshots(Backups());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].Readable);
    EXPECT_EQ(listed[0].Manifest.Records, static_cast<int>(records));

    CSnapshotContent content;
    std::wstring problem;
    ASSERT_TRUE(LoadSnapshot(path, content, problem)) << std::string(problem.begin(), problem.end());
    ASSERT_EQ(content.Records.size(), records);
    const std::wstring last = L"0001003F-0000-4000-8000-000000000000";
    EXPECT_EQ(content.Records.back().Id, last);
    ASSERT_TRUE(RestoreSnapshotRecords(content, {last}, Data, problem));
    EXPECT_EQ(ReadFileBytes(Data + last), recordBytes);
}

TEST_F(BackupsTests, TheWorkerReportsByItsResultItsEventAndOnePostedMessage)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const UINT message = WM_APP + 460;
    Snapshots().SetNotifyWindow(window, message);
    ASSERT_TRUE(Snapshots().Start(SnapshotJobNow(SnapshotReason::Daily)));
    EXPECT_FALSE(Snapshots().Start(SnapshotJobNow(SnapshotReason::Daily)));  // one at a time
    ASSERT_TRUE(Snapshots().Wait(10000));
    MSG posted{};
    EXPECT_TRUE(PeekMessageW(&posted, window, message, message, PM_REMOVE));
    std::optional<CSnapshotResult> result = Snapshots().TakeResult();
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->Written);
    EXPECT_EQ(result->Reason, SnapshotReason::Daily);
    EXPECT_FALSE(Snapshots().TakeResult().has_value());

    // A result that ended before any window was named is told to the window named next.
    Snapshots().SetNotifyWindow(nullptr, 0);
    ASSERT_TRUE(Snapshots().Start(SnapshotJobNow(SnapshotReason::Manual)));
    ASSERT_TRUE(Snapshots().Wait(10000));
    EXPECT_FALSE(PeekMessageW(&posted, window, message, message, PM_REMOVE));
    Snapshots().SetNotifyWindow(window, message);
    EXPECT_TRUE(PeekMessageW(&posted, window, message, message, PM_REMOVE));
    Snapshots().SetNotifyWindow(nullptr, 0);
    DestroyWindow(window);
}
