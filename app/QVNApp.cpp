#include "app/QVNApp.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/BackupCommands.h"
#include "app/OptionsDlg.h"
#include "app/QVNDlg.h"
#include "framework/MessageBox.h"
#include "installer/IconExtraction.h"
#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/FileAccess.h"
#include "storage/Settings.h"
#include "storage/SoftwareFiles.h"

const wchar_t* const InstancePipeName = L"\\\\.\\pipe\\Quorvane";

namespace {
const wchar_t AnotherInstanceText[] =
    L"Another running Quorvane is detected, please close that instance and try again.";
const wchar_t SettingsResetText[] =
    L"Sorry! The configuration file is damaged or is being using by anather application. You must reset the "
    L"configurations.";
const wchar_t GreetingText[] =
    L"Hello!\n\nSeeing this message means that:\n\n1. It's the first time the application has been launched.\n"
    L"2. Your configuration has become invalid.\n\nPlease (re)set it.";
const wchar_t NoAppDataFolderText[] =
    L"Sorry! Quorvane cannot find your application data folder, so it has nowhere to keep its settings and "
    L"histories. Please make sure your user profile is available and try again.";

IconHandle LoadSharedIcon(int id)
{
    return LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR);
}
}  // namespace

bool CQVNApp::IsAnotherInstanceRunning()
{
    HANDLE pipe = CreateFileW(InstancePipeName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND)
        return false;
    if (pipe != INVALID_HANDLE_VALUE)
        CloseHandle(pipe);
    return true;
}

void CQVNApp::CreateInstancePipe()
{
    HANDLE pipe = CreateNamedPipeW(InstancePipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE, 1, 32, 32, 1000, nullptr);
    InstancePipe = pipe == INVALID_HANDLE_VALUE ? nullptr : pipe;
}

BOOL CQVNApp::InitInstance()
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                     ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&classes);
    CWinApp::InitInstance();
    // The shell's folder picker in its new style needs OLE on this thread.
    m_oleReady = SUCCEEDED(OleInitialize(nullptr));

    if (IsAnotherInstanceRunning()) {
        ShowInformation(nullptr, AnotherInstanceText);
        return FALSE;
    }
    CreateInstancePipe();

    // Without the per-user folder every path below would be relative to the working folder.
    std::wstring appData;
    if (!LocateAppDataFolder(appData) || appData.empty()) {
        ShowError(nullptr, NoAppDataFolderText);
        return FALSE;
    }
    SetPathsFrom(appData);
    m_pathsReady = true;
    CreateBaseFolder();
    NoInstallerIcon = LoadSharedIcon(IDI_NO_INSTALLER);
    FileIcon = LoadSharedIcon(IDI_FILE);
    ImportedIcon = LoadSharedIcon(IDI_IMPORTED);
    InstallIconRefresh();
    CleanFolder(TempFolder);
    LoadHistoryLists();

    if (!ReadSettings(Settings, SettingsPath)) {
        DeleteFileRetrying(SettingsPath);
        WriteSettings(Settings, SettingsPath);
        ShowWarning(nullptr, SettingsResetText);
    }
    // Values outside their tables would leave the catalogue ungrouped or make every attach do
    // nothing; the file keeps them until the options dialog writes sound ones.
    ReplaceOutOfTableSettings(Settings);
    if (!PathExists(Settings.DataFolder, true)) {
        ShowWarning(nullptr, GreetingText);
        if (RunOptionsDialog() != IDOK)
            return FALSE;
    }

    SoftwareList.IsOwner = 1;
    ScanDataFolder(SoftwareList, Settings.DataFolder, true);
    ClassifyCatalogue(SoftwareList, Settings.DefaultClassifyMode, GroupList, GroupNames);
    CurrentClassifyMode = Settings.DefaultClassifyMode;
    SoftwareList.SortKey = Settings.DefaultSortKey;
    SortSoftwareList(SoftwareList, true);
    // The day's first start keeps the catalogue as it was found, while the window comes up.
    StartDailySnapshot();

    RunMainWindow();
    return FALSE;
}

int CQVNApp::ExitInstance()
{
    // Only an instance that got as far as its own paths may empty the scratch folder: a refused
    // second start must leave the running instance's files alone.
    // A snapshot still being written is let finish: a cut-off one would only be a ".tmp" leftover.
    WaitForSnapshots();
    if (m_pathsReady)
        CleanFolder(TempFolder);
    if (InstancePipe) {
        CloseHandle(InstancePipe);
        InstancePipe = nullptr;
    }
    if (m_oleReady) {
        OleUninitialize();
        m_oleReady = false;
    }
    return CWinApp::ExitInstance();
}

bool CQVNApp::LocateAppDataFolder(std::wstring& folder)
{
    return QueryAppDataFolder(folder);
}

INT_PTR CQVNApp::RunOptionsDialog()
{
    // No catalogue is loaded yet, so a changed data folder needs nothing more: the scan follows.
    COptionsDlg options(nullptr);
    return options.DoModal();
}

void CQVNApp::RunMainWindow()
{
    CQVNDlg window;
    // At start-up only: licences due for renewal are listed once the window shows.
    window.RemindWhenShown(true);
    window.DoModal();
    m_pMainWnd = nullptr;
}
