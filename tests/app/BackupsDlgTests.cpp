#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/BackupRecordsDlg.h"
#include "app/BackupsDlg.h"
#include "app/OptionsDlg.h"
#include "res/resource.h"
#include "storage/Backups.h"
#include "storage/FileAccess.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "framework/ShellDialogs.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
const wchar_t IdA[] = L"6B29FC40-CA47-1067-B31D-00DD010662DA";
const wchar_t IdB[] = L"00000000-0000-0000-C000-000000000046";
const wchar_t IdC[] = L"11111111-2222-3333-4444-555555555555";

CSnapshotStamp At(int year, int month, int day, int hour, int minute)
{
    CSnapshotStamp stamp;
    stamp.Year = year;
    stamp.Month = month;
    stamp.Day = day;
    stamp.Hour = hour;
    stamp.Minute = minute;
    return stamp;
}

std::wstring Cell(HWND list, int row, int column)
{
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::wstring> Row(HWND list, int row, int columns = 4)
{
    std::vector<std::wstring> cells;
    for (int column = 0; column < columns; ++column)
        cells.push_back(Cell(list, row, column));
    return cells;
}


std::wstring ShotFolder()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"QV_SHOT_DIR", folder, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return std::wstring();
    std::wstring path = folder;
    return path.back() == L'\\' ? path : path + L'\\';
}

class BackupsDlgTests : public CDialogTest {
protected:
    void SetUp() override
    {
        CDialogTest::SetUp();
        Data = Root / L"Data\\";
        CreateDirectoryW(Data.c_str(), nullptr);
        Settings.DataFolder = Data;
        AddRecord(IdA, L"Alpha Edit", L"1.0");
        AddRecord(IdB, L"Beta Paint", L"2.1");
        AddRecord(IdC, L"Gamma Zip", L"3.0");
    }
    void TearDown() override
    {
        Snapshots().Wait(INFINITE);
        Snapshots().TakeResult();
        CDialogTest::TearDown();
    }

    void AddRecord(const wchar_t* id, const wchar_t* name, const wchar_t* version)
    {
        CSoftware record;
        ASSERT_TRUE(ParseSoftwareId(id, record));
        record.BasicInfo.Name = name;
        record.BasicInfo.Version = version;
        record.BasicInfo.Company = L"Acme";
        ASSERT_TRUE(SaveSoftwareFile(record, Data));
    }
    std::wstring Take(SnapshotReason reason, const CSnapshotStamp& stamp)
    {
        CSnapshotResult result = WriteSnapshot(SnapshotJobNow(reason), stamp);
        EXPECT_TRUE(result.Written);
        return result.Path;
    }
    size_t SnapshotCount() const { return ListSnapshots(BackupFolderInForce()).size(); }

    std::wstring Data;
    CMessageBoxScript Boxes;
};
}  // namespace

TEST_F(BackupsDlgTests, ListsEachSnapshotWithDateTimeCountAndWhySayingInstallersAreNotKept)
{
    Take(SnapshotReason::Daily, At(2026, 12, 7, 8, 55));
    Take(SnapshotReason::Manual, At(2026, 12, 8, 10, 30));
    ASSERT_TRUE(WriteFileBytes(BackupFolderInForce() + L"Backup-20261206-120000.zip", "not a zip"));

    CBackupsDlg dialog(nullptr);
    std::wstring title, note, folder;
    std::vector<std::vector<std::wstring>> rows;
    std::vector<std::wstring> columns;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        title = TextOf(window);
        note = TextOf(window, IDC_BACKUPS_NOTE);
        folder = TextOf(window, IDC_BACKUPS_FOLDER);
        HWND list = GetDlgItem(window, IDC_BACKUPS_LIST);
        for (int row = 0; row < ListView_GetItemCount(list); ++row)
            rows.push_back(Row(list, row));
        // The damaged one can be neither restored nor opened for its softwares.
        ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
        Click(window, IDC_BACKUPS_RESTORE);
        Click(window, IDC_BACKUPS_RECORDS);
        HWND header = ListView_GetHeader(list);
        for (int i = 0; i < Header_GetItemCount(header); ++i) {
            wchar_t text[64] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            columns.push_back(text);
        }
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(script.Run([&] { return dialog.DoModal(); }), IDCANCEL);

    EXPECT_EQ(title, L"Backups");
    EXPECT_EQ(note, L"Backups keep the meta-data files of your softwares, the settings and the histories. Imported "
                    L"installers are not part of them: keep copies of those yourself.");
    EXPECT_EQ(folder, BaseFolder + L"Backups\\");
    EXPECT_EQ(columns, (std::vector<std::wstring>{L"Date", L"Time", L"Softwares", L"Taken"}));
    ASSERT_EQ(rows.size(), 3u);
    const CSnapshotStamp newest = At(2026, 12, 8, 10, 30), older = At(2026, 12, 7, 8, 55);
    EXPECT_EQ(rows[0], (std::vector<std::wstring>{SnapshotDateText(newest), SnapshotTimeText(newest), L"3",
                                                  L"Backed up by hand"}));
    EXPECT_EQ(rows[1], (std::vector<std::wstring>{SnapshotDateText(older), SnapshotTimeText(older), L"3",
                                                  L"First start of the day"}));
    EXPECT_EQ(rows[2][2], L"");
    EXPECT_EQ(rows[2][3], L"Damaged, can't be read");
    // The locale's own forms, with the year, the day and the minutes in them.
    EXPECT_NE(rows[0][0].find(L"2026"), std::wstring::npos);
    EXPECT_NE(rows[0][1].find(L"30"), std::wstring::npos);
    EXPECT_FALSE(dialog.CatalogueChanged());
    const std::wstring damaged = L"Sorry! This backup can't be used. Nothing has been changed.\n\nThe backup file \"" +
                                 BackupFolderInForce() + L"Backup-20261206-120000.zip\" is damaged.";
    EXPECT_EQ(Boxes.Texts(), (std::vector<std::wstring>{damaged, damaged}));
    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST_F(BackupsDlgTests, RestoreAsksKeepsThePresentStateFirstAndPutsTheCatalogueBack)
{
    const std::wstring snapshot = Take(SnapshotReason::Daily, At(2026, 12, 8, 9, 0));
    const std::string betaBytes = ReadFileBytes(Data + IdB);
    ASSERT_TRUE(DeleteFileW((Data + IdB).c_str()));
    ASSERT_TRUE(DeleteFileW((Data + IdC).c_str()));
    const CSnapshotListing listing = ListSnapshots(BackupFolderInForce()).front();

    CBackupsDlg dialog(nullptr);
    // Nothing selected: told to pick one.
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    Boxes.Answer(IDOK);
    Boxes.Answer(IDYES);
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        ListView_SetItemState(GetDlgItem(window, IDC_BACKUPS_LIST), -1, 0, LVIS_SELECTED);
        Click(window, IDC_BACKUPS_RESTORE);
        ListView_SetItemState(GetDlgItem(window, IDC_BACKUPS_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
        Click(window, IDC_BACKUPS_RESTORE);
        Click(window, IDCANCEL);
    });
    script.Run([&] { return dialog.DoModal(); });

    ASSERT_EQ(Boxes.Shown().size(), 3u);
    EXPECT_EQ(Boxes.Shown()[0].Text, L"Please select a backup in the list first.");
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Boxes.Shown()[1].Text,
              L"Do you want to restore the backup of " + SnapshotDateText(listing.Stamp) + L", " +
                  SnapshotTimeText(listing.Stamp) +
                  L" ?\n\nIts 3 software(s) will replace all the softwares of your data folder, and its histories "
                  L"and default settings the present ones. Imported installers are not part of backups and stay "
                  L"as they are.\n\nA backup of the present state is taken first.");
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Boxes.Shown()[2].Text, L"The backup of " + SnapshotDateText(listing.Stamp) + L", " +
                                         SnapshotTimeText(listing.Stamp) + L" has been restored: 3 software(s).");

    EXPECT_TRUE(dialog.CatalogueChanged());
    EXPECT_EQ(ReadFileBytes(Data + IdB), betaBytes);
    EXPECT_TRUE(FileExistsAt(Data + IdC));
    // The state before the restore, one software, is the newest snapshot now.
    const std::vector<CSnapshotListing> listed = ListSnapshots(BackupFolderInForce());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].Manifest.Reason, SnapshotReason::Restore);
    EXPECT_EQ(listed[0].Manifest.Records, 1);
    EXPECT_EQ(listed[1].Path, snapshot);
}

TEST_F(BackupsDlgTests, OneDeletedSoftwareComesBackAloneWithoutAnotherSnapshot)
{
    Take(SnapshotReason::Daily, At(2026, 12, 8, 9, 0));
    ASSERT_TRUE(DeleteFileW((Data + IdB).c_str()));
    AddRecord(IdC, L"Gamma Zip", L"3.1");  // changed since
    const std::string alphaBytes = ReadFileBytes(Data + IdA);

    CBackupsDlg dialog(nullptr);
    std::vector<std::vector<std::wstring>> rows;
    std::wstring note;
    HWND records = nullptr;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script
        .Do([&] {
            // Ticking nothing is refused first.
            Click(dialog.GetSafeHwnd(), IDC_BACKUPS_RECORDS);
        })
        .Then([&] {
            records = OwnWindowTitled(L"Bring Back Softwares");
            if (!records)
                return false;
            note = TextOf(records, IDC_BACKUP_RECORDS_NOTE);
            HWND list = GetDlgItem(records, IDC_BACKUP_RECORDS_LIST);
            for (int row = 0; row < ListView_GetItemCount(list); ++row)
                rows.push_back(Row(list, row));
            Click(records, IDOK);
            ListView_SetCheckState(list, 0, TRUE);
            Click(records, IDOK);
            return true;
        })
        .Then([&] {
            if (IsWindow(records))
                return false;
            Click(dialog.GetSafeHwnd(), IDCANCEL);
            return true;
        });
    script.Run([&] { return dialog.DoModal(); });

    const CSnapshotStamp stamp = At(2026, 12, 8, 9, 0);
    EXPECT_EQ(note, L"Tick the softwares to bring back from the backup of " + SnapshotDateText(stamp) + L", " +
                        SnapshotTimeText(stamp) +
                        L". A software that still exists is replaced by its copy in the backup.");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::wstring>{L"Beta Paint", L"2.1", L"Acme", L"Deleted since"}));
    EXPECT_EQ(rows[1], (std::vector<std::wstring>{L"Gamma Zip", L"3.0", L"Acme", L"Changed since"}));
    EXPECT_EQ(rows[2], (std::vector<std::wstring>{L"Alpha Edit", L"1.0", L"Acme", L"Same as now"}));
    EXPECT_EQ(Boxes.Texts(), (std::vector<std::wstring>{L"Please tick the softwares to bring back first.",
                                                        L"1 software(s) have been brought back from the backup."}));
    EXPECT_TRUE(dialog.CatalogueChanged());
    EXPECT_TRUE(FileExistsAt(Data + IdB));
    EXPECT_EQ(ReadFileBytes(Data + IdA), alphaBytes);
    CSoftware gamma;
    ASSERT_TRUE(LoadSoftwareFile(gamma, Data + IdC));
    EXPECT_EQ(gamma.BasicInfo.Version, L"3.1");  // not ticked: untouched
    EXPECT_EQ(SnapshotCount(), 1u);
}

TEST_F(BackupsDlgTests, BackUpNowAddsOneAndAChosenFolderIsStoredOnlyWhenNotTheDefault)
{
    CreateDirectoryW((Root / L"Elsewhere").c_str(), nullptr);
    std::vector<std::wstring> answers = {Root / L"Elsewhere", BaseFolder + L"Backups"};
    SetFolderPicker([&answers](HWND, const std::wstring&, std::wstring& path) {
        path = answers.front();
        answers.erase(answers.begin());
        return true;
    });
    CBackupsDlg dialog(nullptr);
    int countAfterNow = 0;
    std::wstring storedAfterChange, boxAfterChange;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        Click(window, IDC_BACKUPS_NOW);
        countAfterNow = ListView_GetItemCount(GetDlgItem(window, IDC_BACKUPS_LIST));
        Click(window, IDC_BACKUPS_CHANGE_FOLDER);
        storedAfterChange = Settings.BackupFolder;
        boxAfterChange = TextOf(window, IDC_BACKUPS_FOLDER);
        Click(window, IDC_BACKUPS_CHANGE_FOLDER);
        Click(window, IDCANCEL);
    });
    script.Run([&] { return dialog.DoModal(); });
    SetFolderPicker(nullptr);

    EXPECT_EQ(countAfterNow, 1);
    EXPECT_EQ(storedAfterChange, Root / L"Elsewhere\\");
    EXPECT_EQ(boxAfterChange, Root / L"Elsewhere\\");
    // Back to the default: nothing is stored, and the file is the plain one again.
    EXPECT_EQ(Settings.BackupFolder, L"");
    EXPECT_EQ(ReadFileBytes(SettingsPath).find("BackupFolder"), std::string::npos);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(BackupsDlgTests, OptionsOpensTheBackupsWindowFromTheDataFolderLine)
{
    COptionsDlg options(nullptr);
    RECT button{}, browse{}, box{};
    std::wstring caption;
    bool opened = false;
    CModalScript script([&] { return options.GetSafeHwnd(); });
    script
        .Do([&] {
            HWND window = options.GetSafeHwnd();
            button = ControlRect(window, IDC_OPTIONS_BACKUPS);
            browse = ControlRect(window, IDC_OPTIONS_BROWSE);
            box = ControlRect(window, IDC_OPTIONS_DATA_FOLDER);
            caption = TextOf(window, IDC_OPTIONS_BACKUPS);
            Click(window, IDC_OPTIONS_BACKUPS);
        })
        .Then([&] {
            HWND backups = OwnWindowTitled(L"Backups");
            if (!backups)
                return false;
            opened = true;
            Click(backups, IDCANCEL);
            return true;
        })
        .Then([&] {
            if (OwnWindowTitled(L"Backups"))
                return false;
            Click(options.GetSafeHwnd(), IDCANCEL);
            return true;
        });
    EXPECT_EQ(script.Run([&] { return options.DoModal(); }), IDCANCEL);
    EXPECT_TRUE(opened);
    EXPECT_EQ(caption, L"Backups...");
    EXPECT_EQ(button.right, browse.right);
    EXPECT_EQ(button.right - button.left, 70);
    EXPECT_EQ(button.bottom - button.top, 20);
    EXPECT_LE(button.bottom, box.top);
    EXPECT_FALSE(options.CatalogueRestored());
}

// The picture of the backups list in docs/: scripts/backups-shot.sh runs this with QV_SHOT_DIR.
TEST_F(BackupsDlgTests, Shot)
{
    const std::wstring folder = ShotFolder();
    if (folder.empty())
        GTEST_SKIP() << "QV_SHOT_DIR is not set";
    const CSnapshotStamp stamps[] = {At(2026, 11, 22, 19, 12), At(2026, 11, 29, 9, 41), At(2026, 12, 4, 8, 58),
                                     At(2026, 12, 7, 9, 3),    At(2026, 12, 8, 8, 47),  At(2026, 12, 8, 14, 20)};
    const SnapshotReason reasons[] = {SnapshotReason::Daily, SnapshotReason::Daily, SnapshotReason::Daily,
                                      SnapshotReason::Daily, SnapshotReason::Daily, SnapshotReason::Delete};
    for (int i = 0; i < 6; ++i)
        Take(reasons[i], stamps[i]);
    CBackupsDlg dialog(nullptr);
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetDlgItemTextW(window, IDC_BACKUPS_FOLDER, L"C:\\Users\\Ana\\AppData\\Roaming\\Orrinwell\\Quorvane\\Backups\\");
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(SaveWindowBitmap(window, folder + L"backups.bmp"));
        Click(window, IDCANCEL);
    });
    script.Run([&] { return dialog.DoModal(); });
}

TEST_F(BackupsDlgTests, ARestoreWhoseBackupOfThePresentFailsAsksAndNoChangesNothing)
{
    Take(SnapshotReason::Daily, At(2026, 12, 8, 9, 0));
    ASSERT_TRUE(DeleteFileW((Data + IdB).c_str()));
    SaveFaultHook previous = SetSaveFaultHook([](SaveStep step, const std::wstring& path) {
        return step == SaveStep::Flush && path.size() > 4 && path.compare(path.size() - 4, 4, L".zip") == 0;
    });
    Boxes.Answer(IDYES);  // restore: yes; going on without a backup: unanswered, so No
    CBackupsDlg dialog(nullptr);
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        Click(dialog.GetSafeHwnd(), IDC_BACKUPS_RESTORE);
        Click(dialog.GetSafeHwnd(), IDCANCEL);
    });
    script.Run([&] { return dialog.DoModal(); });
    SetSaveFaultHook(previous);

    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[1].Text,
              L"Sorry! The backup of your softwares could not be taken before this change.\n\nThe backup file can't "
              L"be written in \"" +
                  BackupFolderInForce() + L"\". The disk may be full or write-protected.\n\nDo you want to go on "
                                          L"without a backup ?");
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_FALSE(FileExistsAt(Data + IdB));
    EXPECT_FALSE(dialog.CatalogueChanged());
    EXPECT_EQ(SnapshotCount(), 1u);
}
