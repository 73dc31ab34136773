#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "app/BackupCommands.h"
#include "app/BackupsDlg.h"
#include "app/OptionsDlg.h"
#include "model/Catalogue.h"
#include "storage/Backups.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"
#include "res/resource.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
using Names = std::vector<std::wstring>;

// Every snapshot write fails at its flush, as on a full disk, while it lives.
class CSnapshotWriteFault {
public:
    CSnapshotWriteFault()
    {
        m_previous = SetSaveFaultHook([](SaveStep step, const std::wstring& path) {
            return step == SaveStep::Flush && path.size() > 4 && path.compare(path.size() - 4, 4, L".zip") == 0;
        });
    }
    ~CSnapshotWriteFault() { SetSaveFaultHook(m_previous); }

private:
    SaveFaultHook m_previous;
};

class BackupCommandTests : public CMainWindowTest {
protected:
    void TearDown() override
    {
        Snapshots().Wait(INFINITE);
        Snapshots().TakeResult();
        CMainWindowTest::TearDown();
    }
    std::vector<CSnapshotListing> Listed() const { return ListSnapshots(BackupFolderInForce()); }
    // Every file of the data folder with its bytes.
    std::map<std::wstring, std::string> DataFiles() const
    {
        std::map<std::wstring, std::string> files;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((Data + L"*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return files;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files[entry.cFileName] = ReadFileBytes(Data + entry.cFileName);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        return files;
    }
    // A backup of the six records, then the first one deleted (one record: no backup of its own).
    void BackUpAndDeleteTheFirst()
    {
        ASSERT_TRUE(WriteSnapshot(SnapshotJobNow(SnapshotReason::Manual), LocalStampNow()).Written);
        Shell.Shift = true;
        Select({0});
        PostFromToolbar(CMD_DELETE);
        ASSERT_EQ(SoftwareList.GetSize(), 5);
    }
    // The first shown record in the details pane, in edit mode, with its name changed and not applied.
    CSoftware* EditTheFirst(const std::wstring& name)
    {
        Select({0});
        HWND details = Window->ItemInfoWindow();
        SendDetailsCommand(IDC_ITEM_MODIFY);
        SetWindowTextW(GetDlgItem(details, IDC_ITEM_NAME), name.c_str());
        EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoEdit);
        return Window->ItemInfo().Record();
    }
    void SendDetailsCommand(int id)
    {
        HWND details = Window->ItemInfoWindow();
        SendMessageW(details, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(details, id)));
    }
    std::wstring EditedName() const { return TextOf(Window->ItemInfoWindow(), IDC_ITEM_NAME); }
    bool AnyRecordNamed(const std::wstring& name) const
    {
        for (const CSoftware* record : SoftwareList) {
            if (record->BasicInfo.Name == name)
                return true;
        }
        return false;
    }
    std::wstring WriteFailedProblem() const
    {
        return L"The backup file can't be written in \"" + BackupFolderInForce() +
               L"\". The disk may be full or write-protected.";
    }
};
}  // namespace

TEST_F(BackupCommandTests, DeletingSeveralTakesASnapshotFirstAndDeletingOneDoesNot)
{
    Open(SixRecords());
    Shell.Shift = true;
    Select({1, 3});
    PostFromToolbar(CMD_DELETE);
    EXPECT_EQ(SoftwareList.GetSize(), 4);
    std::vector<CSnapshotListing> listed = Listed();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Manifest.Reason, SnapshotReason::Delete);
    EXPECT_EQ(listed[0].Manifest.Records, 6);  // the state before the delete

    Select({0});
    PostFromToolbar(CMD_DELETE);
    EXPECT_EQ(SoftwareList.GetSize(), 3);
    EXPECT_EQ(Listed().size(), 1u);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(BackupCommandTests, AFailedSnapshotAsksBeforeTheDeleteAndNoKeepsEverything)
{
    Open(SixRecords());
    CSnapshotWriteFault fault;
    Shell.Shift = true;
    Select({1, 3});
    PostFromToolbar(CMD_DELETE);  // unanswered Yes/No boxes are answered No
    const std::wstring question = L"Sorry! The backup of your softwares could not be taken before this change.\n\n" +
                                  WriteFailedProblem() + L"\n\nDo you want to go on without a backup ?";
    ASSERT_EQ(Boxes.Texts(), Names{question});
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Boxes.Shown()[0].Owner, Main());
    EXPECT_EQ(SoftwareList.GetSize(), 6);
    EXPECT_TRUE(IsWindowEnabled(Main()));

    Boxes.Answer(IDYES);
    Select({1, 3});
    PostFromToolbar(CMD_DELETE);
    EXPECT_EQ(Boxes.Texts(), (Names{question, question}));
    EXPECT_EQ(SoftwareList.GetSize(), 4);
    EXPECT_TRUE(Listed().empty());
}

TEST_F(BackupCommandTests, TheDaysFirstStartTakesOneInTheBackgroundAndAFailureIsTold)
{
    Open(SixRecords());
    {
        CSnapshotWriteFault fault;
        ASSERT_TRUE(StartDailySnapshot());
        ASSERT_TRUE(Snapshots().Wait(10000));
    }
    Pump();  // the worker's message reaches the window
    EXPECT_EQ(Boxes.Texts(),
              Names{L"Sorry! Today's backup of your softwares could not be taken.\n\n" + WriteFailedProblem() +
                    L"\n\nYour softwares are untouched. You can choose another backups folder in Options, "
                    L"Backups..."});
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONWARNING));

    ASSERT_TRUE(StartDailySnapshot());
    ASSERT_TRUE(Snapshots().Wait(10000));
    Pump();
    EXPECT_EQ(Boxes.Shown().size(), 1u);
    ASSERT_EQ(Listed().size(), 1u);
    EXPECT_EQ(Listed()[0].Manifest.Reason, SnapshotReason::Daily);
    // Once a day: today has one now.
    EXPECT_FALSE(StartDailySnapshot());
}

TEST_F(BackupCommandTests, TheMoreMenusBackupsEntryRestoresAndTheWindowShowsTheCatalogueAgain)
{
    Open(SixRecords());
    ASSERT_TRUE(WriteSnapshot(SnapshotJobNow(SnapshotReason::Manual), LocalStampNow()).Written);
    Shell.Shift = true;
    Select({0});
    PostFromToolbar(CMD_DELETE);  // one record: no snapshot of its own
    ASSERT_EQ(SoftwareList.GetSize(), 5);
    ASSERT_EQ(Listed().size(), 1u);

    Boxes.Answer(IDYES);  // the restore question
    Boxes.Answer(IDOK);   // restored
    HWND backups = nullptr;
    CModalScript script([&] {
        // The backups window, once it is up: the script's steps run inside its modal loop.
        wchar_t title[64] = {};
        HWND active = GetActiveWindow();
        GetWindowTextW(active, title, 64);
        return std::wstring(title) == L"Backups" ? active : nullptr;
    });
    script.Do([&] {
        backups = GetActiveWindow();
        Click(backups, IDC_BACKUPS_RESTORE);
        Click(backups, IDCANCEL);
    });
    script.Run([&] {
        SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(ID_MORE_BACKUPS, 0), 0);
        return INT_PTR{0};
    });

    ASSERT_NE(backups, nullptr);
    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(SoftwareList.GetSize(), 6);
    EXPECT_EQ(ShownNames().size(), 6u);
    EXPECT_EQ(ShownNames().front(), L"Alpha Edit");
    // The state before the restore, five softwares, was kept first.
    ASSERT_EQ(Listed().size(), 2u);
    EXPECT_EQ(Listed()[0].Manifest.Reason, SnapshotReason::Restore);
    EXPECT_EQ(Listed()[0].Manifest.Records, 5);
}

TEST_F(BackupCommandTests, ARestoreWhileARecordIsEditedAsksToLeaveTheEditFirst)
{
    Open(SixRecords());
    BackUpAndDeleteTheFirst();
    const CSnapshotListing listing = Listed().front();
    CSoftware* edited = EditTheFirst(L"Changed but not applied");
    ASSERT_NE(edited, nullptr);
    const std::wstring editedName = edited->BasicInfo.Name;
    const std::wstring editedPath = MetaDataPath(*edited);
    const std::map<std::wstring, std::string> before = DataFiles();

    // Restore from the "More" menu's window: the question of the close button comes once the
    // restore is confirmed, over the backups window.
    HWND backups = nullptr;
    auto restoreFromMoreMenu = [&] {
        CModalScript script([] { return OwnWindowTitled(L"Backups"); });
        script.Do([&] {
            backups = OwnWindowTitled(L"Backups");
            Click(backups, IDC_BACKUPS_RESTORE);
            Click(backups, IDCANCEL);
        });
        script.Run([&] {
            SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(ID_MORE_BACKUPS, 0), 0);
            return INT_PTR{0};
        });
        Pump();
    };
    Boxes.Answer(IDYES);  // the restore question; leaving the edit is answered No
    restoreFromMoreMenu();
    ASSERT_EQ(Boxes.Texts(), (Names{RestoreQuestion(listing), LeaveWithoutSavingText}));
    EXPECT_EQ(Boxes.Shown()[1].Owner, backups);
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    // Nothing written, no backup taken for it, and the edit still open as it was.
    EXPECT_EQ(DataFiles(), before);
    EXPECT_EQ(Listed().size(), 1u);
    EXPECT_EQ(SoftwareList.GetSize(), 5);
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoEdit);
    EXPECT_EQ(Window->ItemInfo().Record(), edited);
    EXPECT_EQ(EditedName(), L"Changed but not applied");

    Boxes.Answer(IDYES);  // restore
    Boxes.Answer(IDYES);  // leave the edit
    restoreFromMoreMenu();
    ASSERT_EQ(Boxes.Shown().size(), 5u);
    EXPECT_EQ(Boxes.Shown()[3].Text, LeaveWithoutSavingText);
    EXPECT_EQ(Boxes.Shown()[4].Text, RestoredText(listing, 6));
    EXPECT_EQ(SoftwareList.GetSize(), 6);
    ASSERT_EQ(Listed().size(), 2u);
    EXPECT_EQ(Listed()[0].Manifest.Reason, SnapshotReason::Restore);
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoView);
    EXPECT_FALSE(AnyRecordNamed(L"Changed but not applied"));
    EXPECT_TRUE(AnyRecordNamed(editedName));
    EXPECT_EQ(ReadFileBytes(editedPath), before.at(editedPath.substr(Data.size())));
    // No Apply can bring the edit back over the restored record.
    SetWindowTextW(GetDlgItem(Window->ItemInfoWindow(), IDC_ITEM_NAME), L"Changed but not applied");
    SendDetailsCommand(IDC_ITEM_APPLY);
    Pump();
    EXPECT_EQ(ReadFileBytes(editedPath), before.at(editedPath.substr(Data.size())));
    EXPECT_EQ(Boxes.Shown().size(), 5u);
}

TEST_F(BackupCommandTests, BringingBackFromOptionsWhileARecordIsEditedAsksToLeaveTheEditFirst)
{
    Open(SixRecords());
    BackUpAndDeleteTheFirst();
    // The program's own options window, given the main window's guard.
    Window->SetOptionsDialog(RunOptionsCommand);
    CSoftware* edited = EditTheFirst(L"Changed but not applied");
    ASSERT_NE(edited, nullptr);
    const std::wstring editedName = edited->BasicInfo.Name;
    const std::map<std::wstring, std::string> before = DataFiles();

    // Options, Backups..., Bring Back..., the deleted one (listed first) ticked, OK; then every
    // window closed.
    HWND records = nullptr;
    bool leftOpen = false;
    auto bringBackFromOptions = [&] {
        CModalScript script([] { return OwnWindowTitled(L"Options"); });
        script.Do([&] { Click(OwnWindowTitled(L"Options"), IDC_OPTIONS_BACKUPS); })
            .Then([&] {
                HWND backups = OwnWindowTitled(L"Backups");
                if (backups)
                    Click(backups, IDC_BACKUPS_RECORDS);
                return backups != nullptr;
            })
            .Then([&] {
                records = OwnWindowTitled(L"Bring Back Softwares");
                if (!records)
                    return false;
                ListView_SetCheckState(GetDlgItem(records, IDC_BACKUP_RECORDS_LIST), 0, TRUE);
                Click(records, IDOK);
                leftOpen = IsWindow(records) && IsWindowVisible(records);
                if (leftOpen)
                    Click(records, IDCANCEL);
                return true;
            })
            .Then([&] {
                HWND backups = OwnWindowTitled(L"Backups");
                if (IsWindow(records) && IsWindowVisible(records))
                    return false;
                Click(backups, IDCANCEL);
                return true;
            })
            .Then([&] {
                if (OwnWindowTitled(L"Backups"))
                    return false;
                Click(OwnWindowTitled(L"Options"), IDCANCEL);
                return true;
            });
        script.Run([&] {
            SendMessageW(Main(), MSG_COMMAND, CMD_OPTIONS, 0);
            return INT_PTR{0};
        });
        Pump();
    };
    bringBackFromOptions();  // leaving the edit is answered No
    ASSERT_EQ(Boxes.Texts(), Names{LeaveWithoutSavingText});
    EXPECT_EQ(Boxes.Shown()[0].Owner, records);
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    // The ticks stay for another try; nothing was written.
    EXPECT_TRUE(leftOpen);
    EXPECT_EQ(DataFiles(), before);
    EXPECT_EQ(SoftwareList.GetSize(), 5);
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoEdit);
    EXPECT_EQ(Window->ItemInfo().Record(), edited);
    EXPECT_EQ(EditedName(), L"Changed but not applied");

    Boxes.Answer(IDYES);
    bringBackFromOptions();
    EXPECT_EQ(Boxes.Texts(), (Names{LeaveWithoutSavingText, LeaveWithoutSavingText,
                                    L"1 software(s) have been brought back from the backup."}));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(SoftwareList.GetSize(), 6);
    EXPECT_EQ(DataFiles().size(), before.size() + 1);
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoView);
    EXPECT_FALSE(AnyRecordNamed(L"Changed but not applied"));
    EXPECT_TRUE(AnyRecordNamed(editedName));
    EXPECT_EQ(Listed().size(), 1u);  // one deleted software comes back without a backup of its own
}

TEST_F(BackupCommandTests, SwitchingTheDataFolderWhileARecordIsEditedAsksToLeaveTheEditFirst)
{
    Open(SixRecords());
    Window->SetOptionsDialog(RunOptionsCommand);
    const std::wstring other = Data.substr(0, Data.size() - 1) + L" other\\";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    CSoftware* edited = EditTheFirst(L"Changed but not applied");
    ASSERT_NE(edited, nullptr);
    const std::wstring editedPath = MetaDataPath(*edited);
    const std::map<std::wstring, std::string> before = DataFiles();

    // Options with the other folder typed in, OK; Options stays open when the answer is No.
    bool leftOpen = false;
    auto switchFolder = [&] {
        CModalScript script([] { return OwnWindowTitled(L"Options"); });
        script.Do([&] {
            HWND options = OwnWindowTitled(L"Options");
            SetDlgItemTextW(options, IDC_OPTIONS_DATA_FOLDER, other.c_str());
            Click(options, IDOK);
            leftOpen = IsWindow(options) && IsWindowVisible(options);
            if (leftOpen)
                Click(options, IDCANCEL);
        });
        script.Run([&] {
            SendMessageW(Main(), MSG_COMMAND, CMD_OPTIONS, 0);
            return INT_PTR{0};
        });
        Pump();
    };
    // The test's folders are on the system partition: that warning comes first, answered No (keep it).
    switchFolder();  // leaving the edit is answered No
    ASSERT_EQ(Boxes.Texts(), (Names{SystemPartitionQuestion, LeaveWithoutSavingText}));
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(leftOpen);
    EXPECT_EQ(Settings.DataFolder, Data);
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoEdit);
    EXPECT_EQ(Window->ItemInfo().Record(), edited);
    EXPECT_EQ(EditedName(), L"Changed but not applied");

    Boxes.Answer(IDNO);
    Boxes.Answer(IDYES);
    switchFolder();
    EXPECT_EQ(Boxes.Texts(), (Names{SystemPartitionQuestion, LeaveWithoutSavingText, SystemPartitionQuestion,
                                    LeaveWithoutSavingText, DataFolderSwitchedText}));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(Settings.DataFolder, other);
    EXPECT_EQ(SoftwareList.GetSize(), 0);
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoView);
    // The old folder keeps the record as it was stored.
    EXPECT_EQ(DataFiles(), before);
    EXPECT_EQ(ReadFileBytes(editedPath), before.at(editedPath.substr(Data.size())));
}

TEST_F(BackupCommandTests, SwitchingTheDataFolderWithoutAnEditAsksNothingMore)
{
    Open(SixRecords());
    Window->SetOptionsDialog(RunOptionsCommand);
    const std::wstring other = Data.substr(0, Data.size() - 1) + L" other\\";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    CModalScript script([] { return OwnWindowTitled(L"Options"); });
    script.Do([&] {
        HWND options = OwnWindowTitled(L"Options");
        SetDlgItemTextW(options, IDC_OPTIONS_DATA_FOLDER, other.c_str());
        Click(options, IDOK);
    });
    script.Run([&] {
        SendMessageW(Main(), MSG_COMMAND, CMD_OPTIONS, 0);
        return INT_PTR{0};
    });
    Pump();
    EXPECT_EQ(Boxes.Texts(), (Names{SystemPartitionQuestion, DataFolderSwitchedText}));
    EXPECT_EQ(Settings.DataFolder, other);
}
