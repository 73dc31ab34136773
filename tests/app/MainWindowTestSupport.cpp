#include "tests/app/MainWindowTestSupport.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "framework/App.h"
#include "framework/Shell.h"
#include "framework/ShellDialogs.h"
#include "installer/InstallerText.h"
#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"

std::vector<SampleRecord> SixRecords()
{
    return {
        {L"Alpha Edit", L"1.0", L"Brightline", 17, 0, 0.0f, L"Mia"},
        {L"Beta Paint", L"2.1", L"Corvid Labs", 10, 1, 20.0f, L"Ada"},
        {L"Delta Net", L"0.9", L"Deepwater", 7, 0, 0.0f, L"Lea"},
        {L"Epsilon CAD", L"5.2", L"Corvid Labs", 14, 2, 300.0f, L"Bea"},
        {L"Gamma Zip", L"3.0", L"Brightline", 3, 2, 49.5f, L"Kim"},
        {L"Zeta Sync", L"1.4", L"Brightline", 5, 1, 15.0f, L"Eve"},
    };
}

void CMainWindowTest::SetUp()
{
    ASSERT_TRUE(CreateDirectoryW((Root / L"AppData").c_str(), nullptr));
    SetPathsFrom(Root / L"AppData");
    CreateBaseFolder();
    CleanFolder(TempFolder);
    ASSERT_TRUE(FolderExists(TempFolder, true));
    Data = Root / L"Data\\";
    ASSERT_TRUE(CreateDirectoryW(Data.c_str(), nullptr));
    Settings = CConfigurations();
    Settings.DataFolder = Data;
    Settings.AttachMode = 0;
    SortDescending = 0;
    CurrentClassifyMode = 0;

    m_previousIcons[0] = NoInstallerIcon;
    m_previousIcons[1] = FileIcon;
    m_previousIcons[2] = ImportedIcon;
    NoInstallerIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_NO_INSTALLER), IMAGE_ICON, 48, 48, 0);
    FileIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_FILE), IMAGE_ICON, 48, 48, 0);
    ImportedIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_IMPORTED), IMAGE_ICON, 48, 48, 0);

    SetOpenFilePicker([this](HWND, const std::wstring& filter, std::wstring& path) {
        Shell.OpenFilters.push_back(filter);
        path = Shell.OpenAnswer;
        return !path.empty();
    });
    SetFolderPicker([this](HWND, const std::wstring& title, std::wstring& path) {
        Shell.FolderTitles.push_back(title);
        path = Shell.FolderAnswer;
        return !path.empty();
    });
    SetShellOpener([this](HWND owner, const std::wstring& target, const std::wstring& directory) {
        Shell.Opens.push_back({owner, target, directory});
        return Shell.OpenResult;
    });
    SetShiftKeyReader([this] { return Shell.Shift; });
}

void CMainWindowTest::TearDown()
{
    Window.reset();
    Pump();
    SetOpenFilePicker(nullptr);
    SetFolderPicker(nullptr);
    SetShellOpener(nullptr);
    SetShiftKeyReader(nullptr);
    GroupList.RemoveAll();
    GroupNames.RemoveAll();
    SoftwareList.RemoveAll();
    for (IconHandle icon : {NoInstallerIcon, FileIcon, ImportedIcon})
        DestroyIcon(static_cast<HICON>(icon));
    NoInstallerIcon = m_previousIcons[0];
    FileIcon = m_previousIcons[1];
    ImportedIcon = m_previousIcons[2];
    Settings = CConfigurations();
    SortDescending = 0;
}

void CMainWindowTest::Open(const std::vector<SampleRecord>& records, int classifyMode)
{
    uint32_t seed = 0x51000000;
    for (const SampleRecord& sample : records) {
        CSoftware record;
        record.Id.Data1 = ++seed;
        record.Id.Data2 = 0x1234;
        record.BasicInfo.Name = sample.Name;
        record.BasicInfo.Version = sample.Version;
        record.BasicInfo.Company = sample.Company;
        record.BasicInfo.Category = sample.Category;
        record.BasicInfo.Type = sample.Type;
        record.BasicInfo.Price.Value = sample.Price;
        record.RegInfo.UserName = sample.UserName;
        ASSERT_TRUE(SaveSoftwareFile(record, Data));
    }
    SoftwareList.IsOwner = 1;
    ScanDataFolder(SoftwareList, Data, true);
    ASSERT_EQ(SoftwareList.GetSize(), static_cast<int>(records.size()));
    // The catalogue in name order first, so that every group lists its records in that order too.
    SoftwareList.SortKey = SortByName;
    SortSoftwareList(SoftwareList, true);
    ClassifyCatalogue(SoftwareList, classifyMode, GroupList, GroupNames);
    CurrentClassifyMode = classifyMode;
    Settings.DefaultClassifyMode = classifyMode;

    Window = std::make_unique<CQVNDlg>();
    Window->SetAddDialog([this](CSoftware& record, HWND owner) {
        AddDialogOwners.push_back(owner);
        return AddDialogStep ? AddDialogStep(record) : IDCANCEL;
    });
    Window->SetOptionsDialog([this](HWND, RestoreGuard) { return ++OptionsRuns, false; });
    Window->SetAboutDialog([this](HWND) { return ++AboutRuns, IDOK; });
    ASSERT_TRUE(Window->Create(nullptr));
    Pump();
}

CSoftware* CMainWindowTest::Find(const std::wstring& name) const
{
    for (CSoftware* record : SoftwareList) {
        if (record->BasicInfo.Name == name)
            return record;
    }
    ADD_FAILURE() << "no record named " << testing::PrintToString(name);
    return nullptr;
}

std::wstring CMainWindowTest::MetaDataPath(const CSoftware& record) const
{
    return Data + FormatSoftwareId(record);
}

std::wstring CMainWindowTest::ImportedPath(const CSoftware& record) const
{
    return ImportedInstallerPath(Data, record);
}

std::wstring CMainWindowTest::WriteSourceFile(const std::wstring& name, const std::string& bytes) const
{
    std::wstring path = Root / name;
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
}

void CMainWindowTest::PostFromToolbar(WPARAM code)
{
    PostMessageW(Main(), MSG_COMMAND, code, reinterpret_cast<LPARAM>(ToolbarWindow()));
    Pump();
}

void CMainWindowTest::PostFromListPane(WPARAM code)
{
    PostMessageW(Main(), MSG_COMMAND, code, reinterpret_cast<LPARAM>(ListPaneWindow()));
    Pump();
}

void CMainWindowTest::Pump()
{
    MSG message{};
    for (int k = 0; k < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++k) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void CMainWindowTest::Select(const std::vector<int>& entries)
{
    CSWListBox* list = Window->ListPane().CurrentList();
    ASSERT_NE(list, nullptr);
    HWND box = list->GetSafeHwnd();
    SendMessageW(box, LB_SETSEL, FALSE, -1);
    for (int entry : entries)
        SendMessageW(box, LB_SETSEL, TRUE, entry);
    if (!entries.empty())
        SendMessageW(box, LB_SETCARETINDEX, entries.front(), FALSE);
    const int id = GetDlgCtrlID(box);
    SendMessageW(ListPaneWindow(), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    Pump();
}

void CMainWindowTest::SwitchTab(int tab)
{
    HWND tabs = Window->ListPane().TabControl();
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR header{tabs, static_cast<UINT_PTR>(CSWListDlg::TabControlId), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(ListPaneWindow(), WM_NOTIFY, CSWListDlg::TabControlId, reinterpret_cast<LPARAM>(&header));
    Pump();
}

void CMainWindowTest::ChooseClassify(int mode)
{
    HWND box = Window->Toolbar().ClassifyBox();
    SendMessageW(box, CB_SETCURSEL, mode, 0);
    SendMessageW(ToolbarWindow(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
    Pump();
}

void CMainWindowTest::ChooseSortKey(int key)
{
    HWND box = Window->Toolbar().SortBox();
    SendMessageW(box, CB_SETCURSEL, key, 0);
    SendMessageW(ToolbarWindow(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
    Pump();
}

void CMainWindowTest::ClickToolbarButton(int id)
{
    HWND button = GetDlgItem(ToolbarWindow(), id);
    ASSERT_NE(button, nullptr);
    // A press and release over the button, as the mouse gives them.
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

std::vector<std::wstring> CMainWindowTest::TabNames() const
{
    std::vector<std::wstring> names;
    HWND tabs = Window->ListPane().TabControl();
    const int count = TabCtrl_GetItemCount(tabs);
    for (int k = 0; k < count; ++k) {
        wchar_t text[256]{};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 256;
        TabCtrl_GetItem(tabs, k, &item);
        names.emplace_back(text);
    }
    return names;
}

std::vector<std::wstring> CMainWindowTest::NamesOf(const CSoftwareArray& list)
{
    std::vector<std::wstring> names;
    for (const CSoftware* record : list)
        names.push_back(record->BasicInfo.Name);
    return names;
}

std::vector<std::wstring> CMainWindowTest::ShownNames()
{
    std::vector<std::wstring> names;
    CSWListBox* list = Window->ListPane().CurrentList();
    if (!list)
        return names;
    for (int k = 0; k < list->Count(); ++k)
        names.push_back(list->RecordAt(k) ? list->RecordAt(k)->BasicInfo.Name : L"?");
    return names;
}

std::vector<int> CMainWindowTest::Selected()
{
    CSWListBox* list = Window->ListPane().CurrentList();
    return list ? list->SelectedIndexes() : std::vector<int>();
}

HDROP MakeDropHandle(const std::vector<std::wstring>& paths)
{
    size_t characters = 1;
    for (const std::wstring& path : paths)
        characters += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(files + 1);
    for (const std::wstring& path : paths) {
        std::memcpy(text, path.c_str(), path.size() * sizeof(wchar_t));
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}
