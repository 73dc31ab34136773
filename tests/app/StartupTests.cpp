#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "app/QVNApp.h"
#include "storage/Backups.h"
#include "storage/Settings.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
// The application with its two windows replaced by the test's own steps.
class CTestApp : public CSandboxedApp {
public:
    using CSandboxedApp::CSandboxedApp;
    std::function<INT_PTR()> OptionsStep;
    std::function<void()> MainWindowStep;
    int OptionsRuns = 0;
    int MainWindowRuns = 0;

protected:
    INT_PTR RunOptionsDialog() override
    {
        ++OptionsRuns;
        return OptionsStep ? OptionsStep() : IDCANCEL;
    }
    void RunMainWindow() override
    {
        ++MainWindowRuns;
        if (MainWindowStep)
            MainWindowStep();
    }
};

// Chooses the folder as the options dialog's OK would.
INT_PTR ChooseDataFolder(const std::wstring& folder)
{
    Settings.DataFolder = folder;
    return WriteSettings(Settings) ? IDOK : IDCANCEL;
}

class StartupTests : public CPerUserFolderTest {};
}  // namespace

TEST_F(StartupTests, FirstStartWarnsGreetsAndEndsWhenNoFolderIsChosen)
{
    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    app.Run();

    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].Text, SettingsResetText);
    EXPECT_EQ(boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(boxes.Shown()[1].Text, GreetingText);
    EXPECT_EQ(boxes.Shown()[1].Type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(app.OptionsRuns, 1);
    EXPECT_EQ(app.MainWindowRuns, 0);
    EXPECT_EQ(ReadFileBytes(SettingsPath), DefaultSettingsBytes);
    EXPECT_TRUE(PathExists(TempFolder, true));
    EXPECT_TRUE(PathExists(HistoryFolder, true));
    EXPECT_EQ(app.InstancePipe, nullptr);
    EXPECT_FALSE(CQVNApp::IsAnotherInstanceRunning());
}

TEST_F(StartupTests, FirstStartLoadsTheChosenFolder)
{
    CTempFolder data;
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000001", L"Zeta", L"Acme");
    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    app.OptionsStep = [&] { return ChooseDataFolder(data.Path()); };
    std::vector<std::wstring> shown;
    app.MainWindowStep = [&] { shown = Names(SoftwareList); };
    app.Run();
    EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{SettingsResetText, GreetingText}));
    EXPECT_EQ(app.MainWindowRuns, 1);
    EXPECT_EQ(shown, std::vector<std::wstring>{L"Zeta"});
}

TEST_F(StartupTests, ValidSettingsLoadGroupAndSortTheCatalogue)
{
    CTempFolder data;
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000001", L"Delta", L"Acme");
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000002", L"alpha", L"Beta Soft");
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000003", L"Charlie", L"ACME");
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000004", L"Bravo", L"acme");
    CConfigurations stored;
    stored.DataFolder = data.Path();
    stored.DefaultClassifyMode = 1;
    stored.DefaultSortKey = 1;
    CreateBaseFolder();
    ASSERT_TRUE(WriteSettings(stored, SettingsPath));
    CleanFolder(TempFolder);
    ASSERT_TRUE(WriteFileBytes(TempFolder + L"left-over.exe", "old"));

    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    std::vector<std::wstring> all, firstGroup, groupNames;
    bool markerWhileRunning = false, tempEmptyAtStart = false, iconsShared = true;
    app.MainWindowStep = [&] {
        all = Names(SoftwareList);
        ASSERT_EQ(GroupList.GetSize(), 2);
        firstGroup = Names(*GroupList[0]);
        groupNames.assign(GroupNames.begin(), GroupNames.end());
        markerWhileRunning = CQVNApp::IsAnotherInstanceRunning();
        for (const CSoftware* record : SoftwareList)
            iconsShared = iconsShared && record->InstallerInfo.Icon == NoInstallerIcon;
        tempEmptyAtStart = !PathExists(TempFolder + L"left-over.exe", false) && PathExists(TempFolder, true);
        WriteFileBytes(TempFolder + L"launched.exe", "copy");
    };
    app.Run();

    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(app.OptionsRuns, 0);
    EXPECT_EQ(all, (std::vector<std::wstring>{L"alpha", L"Bravo", L"Charlie", L"Delta"}));
    // Groups are built before the sort, in load order; the first form of a company names it.
    EXPECT_EQ(groupNames, (std::vector<std::wstring>{L"Acme", L"Beta Soft"}));
    EXPECT_EQ(firstGroup, (std::vector<std::wstring>{L"Delta", L"Charlie", L"Bravo"}));
    EXPECT_EQ(CurrentClassifyMode, 1);
    EXPECT_EQ(SoftwareList.SortKey, 1);
    EXPECT_EQ(SoftwareList.IsOwner, 1);
    EXPECT_TRUE(markerWhileRunning);
    EXPECT_TRUE(tempEmptyAtStart);
    // The shared icons come from the program's resources; loading gave every record one.
    EXPECT_NE(NoInstallerIcon, nullptr);
    EXPECT_NE(FileIcon, nullptr);
    EXPECT_NE(ImportedIcon, nullptr);
    EXPECT_TRUE(iconsShared);
    EXPECT_FALSE(PathExists(TempFolder + L"launched.exe", false));
    EXPECT_TRUE(PathExists(TempFolder, true));
    EXPECT_FALSE(CQVNApp::IsAnotherInstanceRunning());
}

TEST_F(StartupTests, AMissingDataFolderOnlyGreets)
{
    CTempFolder data;
    CConfigurations stored;
    stored.DataFolder = data / L"removed\\";
    CreateBaseFolder();
    ASSERT_TRUE(WriteSettings(stored, SettingsPath));
    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    app.OptionsStep = [&] { return ChooseDataFolder(data.Path()); };
    app.Run();
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{GreetingText});
    EXPECT_EQ(app.MainWindowRuns, 1);
    CConfigurations read;
    ASSERT_TRUE(ReadSettings(read));
    EXPECT_EQ(read.DataFolder, data.Path());
}

TEST_F(StartupTests, DamagedSettingsAreResetToTheDefaults)
{
    CreateBaseFolder();
    ASSERT_TRUE(WriteFileBytes(SettingsPath, "<?xml version=\"1.0\"?>\r\n<AttachMode>\r\n0</AttachMode>\r\n"));
    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    app.Run();
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(boxes.Shown()[0].Text, SettingsResetText);
    EXPECT_EQ(ReadFileBytes(SettingsPath), DefaultSettingsBytes);
    EXPECT_EQ(Settings.AttachMode, 1);
}

TEST_F(StartupTests, SettingsHeldByAnotherProgramAreReportedThenReset)
{
    CreateBaseFolder();
    ASSERT_TRUE(WriteFileBytes(SettingsPath, DefaultSettingsBytes));
    HANDLE holder = CreateFileW(SettingsPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    app.Run();
    CloseHandle(holder);
    const std::wstring openFailed =
        L"Sorry! The configuration file is unable to be opened, please restart the computer and try again.";
    EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{openFailed, openFailed, SettingsResetText, GreetingText}));
    EXPECT_EQ(boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST_F(StartupTests, ASecondInstanceOnlySaysSoAndTouchesNothing)
{
    CreateBaseFolder();
    CleanFolder(TempFolder);
    ASSERT_TRUE(WriteFileBytes(TempFolder + L"first-instance.exe", "in use"));
    HANDLE first = CreateNamedPipeW(InstancePipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE, 1, 32, 32, 1000, nullptr);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);

    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    app.Run();
    CloseHandle(first);

    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, AnotherInstanceText);
    EXPECT_EQ(boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(app.OptionsRuns + app.MainWindowRuns, 0);
    EXPECT_TRUE(PathExists(TempFolder + L"first-instance.exe", false));
    EXPECT_FALSE(PathExists(SettingsPath, false));
}

namespace {
// Answers the Options dialog from another thread, as a user would: once it is up, the data-folder
// box gets its text and a button is pressed.
class COptionsAnswer {
public:
    COptionsAnswer(std::wstring folder, int button) : m_folder(std::move(folder)), m_button(button)
    {
        m_thread = std::thread([this] { Answer(); });
    }
    ~COptionsAnswer() { m_thread.join(); }
    bool Answered() const { return m_answered; }

private:
    void Answer()
    {
        const DWORD start = GetTickCount();
        HWND dialog = nullptr;
        while (!dialog && GetTickCount() - start < 30000) {
            dialog = FindWindowW(L"#32770", L"Options");
            if (!dialog)
                Sleep(10);
        }
        if (!dialog)
            return;
        if (!m_folder.empty())
            SendMessageW(GetDlgItem(dialog, 1061), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_folder.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(m_button, BN_CLICKED), 0);
        m_answered = true;
    }

    std::wstring m_folder;
    int m_button;
    std::atomic<bool> m_answered{false};
    std::thread m_thread;
};
}  // namespace

TEST_F(StartupTests, AFirstStartChoosesItsFolderInTheOptionsDialog)
{
    CTempFolder data;
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000001", L"Zeta", L"Acme");
    std::wstring typed = data.Path().substr(0, data.Path().size() - 1);  // stored with its backslash
    struct CRunMainOnly : CSandboxedApp {
        using CSandboxedApp::CSandboxedApp;
        int MainWindowRuns = 0;
        std::vector<std::wstring> Shown;
        void RunMainWindow() override
        {
            ++MainWindowRuns;
            Shown = Names(SoftwareList);
        }
    };
    CMessageBoxScript boxes;  // the system-partition question is answered No: go on
    CRunMainOnly app(AppDataFolder());
    {
        COptionsAnswer answer(typed, IDOK);
        app.Run();
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(app.MainWindowRuns, 1);
    EXPECT_EQ(app.Shown, std::vector<std::wstring>{L"Zeta"});
    EXPECT_EQ(Settings.DataFolder, data.Path());
    CConfigurations read;
    ASSERT_TRUE(ReadSettings(read));
    EXPECT_EQ(read.DataFolder, data.Path());

    // A removed folder greets again; cancelling the dialog ends the program.
    DeleteFolderTree(data.Path());
    CRunMainOnly declined(AppDataFolder());
    {
        COptionsAnswer answer(std::wstring(), IDCANCEL);
        declined.Run();
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(declined.MainWindowRuns, 0);
}

TEST_F(StartupTests, ADataFolderStoredWithoutItsBackslashKeepsEveryRecordInside)
{
    CTempFolder data;
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000001", L"Inside", L"Acme");
    std::wstring bare = data.Path().substr(0, data.Path().size() - 1);
    CreateBaseFolder();
    ASSERT_TRUE(WriteFileBytes(SettingsPath, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n"
                                             "<AttachMode>\n1</AttachMode>\n<DataFolder>\n" +
                                                 std::string(bare.begin(), bare.end()) +
                                                 "</DataFolder>\n<ShowAttachModeSelectDlg>\n1"
                                                 "</ShowAttachModeSelectDlg>\n<DefaultClassifyMode>\n0"
                                                 "</DefaultClassifyMode>\n<DefaultSortKey>\n1</DefaultSortKey>\n"
                                                 "</Configurations>\n"));
    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    std::vector<std::wstring> shown;
    app.MainWindowStep = [&] {
        shown = Names(SoftwareList);
        CSoftware added;
        ParseSoftwareId(L"00000000-0000-0000-0000-000000000002", added);
        SaveSoftwareFile(added);
    };
    app.Run();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(shown, std::vector<std::wstring>{L"Inside"});
    EXPECT_EQ(Settings.DataFolder, data.Path());
    EXPECT_TRUE(FileExistsAt(data / L"00000000-0000-0000-0000-000000000002"));
    EXPECT_FALSE(FileExistsAt(bare + L"00000000-0000-0000-0000-000000000002"));
}

TEST_F(StartupTests, SettingsOutsideTheirTablesGiveWayToTheDefaultsInMemoryOnly)
{
    CTempFolder data;
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000001", L"Beta", L"Acme");
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000002", L"Alpha", L"Other");
    CConfigurations stored;
    stored.DataFolder = data.Path();
    stored.AttachMode = 5;
    stored.DefaultClassifyMode = 9;
    stored.DefaultSortKey = -1;
    stored.ShowAttachModeSelectDlg = 7;  // no table: kept
    CreateBaseFolder();
    ASSERT_TRUE(WriteSettings(stored, SettingsPath));
    const std::string before = ReadFileBytes(SettingsPath);

    CMessageBoxScript boxes;
    CTestApp app(AppDataFolder());
    CConfigurations running;
    int groups = 0;
    std::vector<std::wstring> sorted;
    app.MainWindowStep = [&] {
        running = Settings;
        groups = GroupList.GetSize();
        sorted = Names(SoftwareList);
    };
    app.Run();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(app.MainWindowRuns, 1);
    EXPECT_EQ(running.AttachMode, 1);
    EXPECT_EQ(running.DefaultClassifyMode, 0);
    EXPECT_EQ(running.DefaultSortKey, 1);
    EXPECT_EQ(running.ShowAttachModeSelectDlg, 7);
    EXPECT_EQ(CurrentClassifyMode, 0);
    EXPECT_EQ(groups, 1);  // both records have the first category
    EXPECT_EQ(sorted, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
    EXPECT_EQ(ReadFileBytes(SettingsPath), before);
}

TEST_F(StartupTests, WithoutAnApplicationDataFolderStartUpStopsAndSaysSo)
{
    const std::wstring stopText =
        L"Sorry! Quorvane cannot find your application data folder, so it has nowhere to keep its settings and "
        L"histories. Please make sure your user profile is available and try again.";
    for (bool found : {false, true}) {
        CMessageBoxScript boxes;
        CTestApp app(found ? std::wstring() : AppDataFolder());  // found but empty is no folder either
        app.AppDataFound = found;
        app.Run();
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].Text, stopText);
        EXPECT_EQ(boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(app.OptionsRuns + app.MainWindowRuns, 0);
        EXPECT_EQ(app.InstancePipe, nullptr);
        EXPECT_FALSE(CQVNApp::IsAnotherInstanceRunning());
    }
    // Nothing was created, neither in the folder the test offered nor beside the working folder.
    EXPECT_FALSE(PathExists(BaseFolder, true));
    EXPECT_FALSE(PathExists(L"Orrinwell", true));
    EXPECT_FALSE(PathExists(L"Temp\\", true));
    EXPECT_FALSE(PathExists(L"History\\", true));
}

TEST_F(StartupTests, TheDaysFirstStartKeepsABackupAndTheNextStartThatDayDoesNot)
{
    CTempFolder data;
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000001", L"Delta", L"Acme");
    AddRecord(data.Path(), L"00000000-0000-0000-0000-000000000002", L"alpha", L"Beta Soft");
    CConfigurations stored;
    stored.DataFolder = data.Path();
    CreateBaseFolder();
    ASSERT_TRUE(WriteSettings(stored, SettingsPath));

    CMessageBoxScript boxes;
    {
        CTestApp app(AppDataFolder());
        app.Run();
    }
    // Exit lets the background snapshot finish: it is there, whole, once the program has ended.
    std::vector<CSnapshotListing> listed = ListSnapshots(BaseFolder + L"Backups\\");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].Readable);
    EXPECT_EQ(listed[0].Manifest.Reason, SnapshotReason::Daily);
    EXPECT_EQ(listed[0].Manifest.Records, 2);
    EXPECT_EQ(listed[0].Manifest.DataFolder, data.Path());
    {
        CTestApp app(AppDataFolder());
        app.Run();
    }
    EXPECT_EQ(ListSnapshots(BaseFolder + L"Backups\\").size(), 1u);
    EXPECT_TRUE(boxes.Shown().empty());
    // The settings of a user who never chose a backups folder stay as they always were.
    EXPECT_EQ(ReadFileBytes(SettingsPath).find("BackupFolder"), std::string::npos);
}
