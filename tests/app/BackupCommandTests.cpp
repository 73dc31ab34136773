#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/BackupCommands.h"
#include "model/Catalogue.h"
#include "storage/Backups.h"
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
