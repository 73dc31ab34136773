#include "app/QVNDlg.h"

#include <commctrl.h>
#include <objbase.h>

#include <cwchar>
#include <unordered_map>

#include "app/AboutDlg.h"
#include "app/AddProductDlg.h"
#include "app/BackupCommands.h"
#include "app/BackupsDlg.h"
#include "app/OptionsDlg.h"
#include "app/ReminderDlg.h"
#include "framework/App.h"
#include "framework/MessageBox.h"
#include "framework/Shell.h"
#include "framework/ShellDialogs.h"
#include "installer/IconExtraction.h"
#include "installer/InstallerOperations.h"
#include "installer/InstallerText.h"
#include "model/Catalogue.h"
#include "model/InstallerFacts.h"
#include "model/Vocabulary.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"

const wchar_t* const LeaveWithoutSavingText = L"Are you sure to leave without saving your modifications ?";
const wchar_t* const OpenInstallerFilter =
    L"Application(*.exe, *.msi)|*.exe;*.msi"
    L"|Compressed Package(*.zip ,*.rar, *.cab)|*.zip;*.rar;*.cab"
    L"|All Files(*.*)|*.*||";
const wchar_t* const ExportFolderTitle =
    L"Please select a folder where the installer file will be exported to. And you must have the right to write "
    L"in that folder.";

namespace {
const wchar_t OneInstallerOnlyText[] = L"You can just attach one installer to only one software at a time.";
const wchar_t ReplaceInstallerText[] =
    L"An installer had already been attached to the selected software.\nWould you like to replace it ?";
const wchar_t OneExportOnlyText[] = L"You can just export the installer from one software at a time.";
const wchar_t NoInstallerText[] = L"The selected software havn't attached an installer yet.";
const wchar_t NotImportedText[] = L"The selected software havn't imported an installer yet.";
const wchar_t OneLaunchOnlyText[] = L"You can just install one software at a time.";
const wchar_t InstallerMissingText[] = L"The installer file dosen't exist, please check it.";
const wchar_t LaunchFailedText[] = L"Failed to execute the installer, please try again.";
const wchar_t BeingEditedText[] = L"Can't delete a software which is being edit !";
const wchar_t ImportWhileEditingText[] =
    L"Please save or cancel the modifications of the shown software before importing a catalogue.";
const wchar_t OneDropOnlyText[] = L"Sorry! Only one file is allowed at a time, please retry.";
const wchar_t MainWindowTitle[] = L"Quorvane";

constexpr int AllListId = CSWListDlg::AllListId;

// printf-style formatting into a wide string; the texts here are short lines.
template <class... Args>
std::wstring Format(const wchar_t* format, Args... args)
{
    std::wstring text(64, L'\0');
    for (;;) {
        int written = std::swprintf(text.data(), text.size(), format, args...);
        if (written >= 0 && static_cast<size_t>(written) < text.size()) {
            text.resize(static_cast<size_t>(written));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::wstring NameAndVersion(const CSoftware& record)
{
    return Format(L"%ls(%ls)", record.BasicInfo.Name.c_str(), record.BasicInfo.Version.c_str());
}

// The main window's keys reach it through the message filter its modal loop runs for every message
// (the loop is the platform's and takes no accelerator table). One main window at a time.
CQVNDlg* KeyWindow = nullptr;
HHOOK KeyFilter = nullptr;

LRESULT CALLBACK FilterKeys(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX && KeyWindow && lParam &&
        KeyWindow->Finder().PreTranslateMessage(*reinterpret_cast<MSG*>(lParam)))
        return 1;
    return CallNextHookEx(KeyFilter, code, wParam, lParam);
}

UINT RunPopupMenu(HMENU popup, HWND owner, POINT at)
{
    return static_cast<UINT>(TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                            at.x, at.y, 0, owner, nullptr));
}

bool NewSoftwareId(CSoftware& record)
{
    GUID guid{};
    if (FAILED(CoCreateGuid(&guid)))
        return false;
    record.Id.Data1 = guid.Data1;
    record.Id.Data2 = guid.Data2;
    record.Id.Data3 = guid.Data3;
    for (int i = 0; i < 8; ++i)
        record.Id.Data4[i] = guid.Data4[i];
    return true;
}
}  // namespace

CQVNDlg::CQVNDlg(HWND parent) : CBitmapDialog(IDD_QUORVANE_DIALOG, parent)
{
    m_appIcon.Reset(static_cast<HICON>(
        LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_QUORVANE), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    SetTitleButtons(true, false, true);
    m_addDialog = [](CSoftware& record, HWND owner) { return CAddProductDlg(&record, owner).DoModal(); };
    m_optionsDialog = RunOptionsCommand;
    m_aboutDialog = [](HWND owner) { return CAboutDlg(owner).DoModal(); };
    m_moreMenu = RunPopupMenu;
    m_reminderDialog = [](const std::vector<CDueRecord>& due, HWND owner) {
        return CReminderDlg(due, Settings.ReminderDays, owner).DoModal();
    };
    m_exportChooser = ChooseExportInDialog;
}

CQVNDlg::~CQVNDlg()
{
    // The panes' windows go with this one while every object that serves them still exists.
    if (m_hWnd && !IsModal() && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

BOOL CQVNDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[128]{};
        if (LoadStringW(ResourceInstance(), IDS_ABOUTBOX, about, 128) > 0) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, AboutMenuId, about);
        }
    }
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_appIcon.Get()));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_appIcon.Get()));
    SetWindowTextW(m_hWnd, MainWindowTitle);
    if (CWinApp* app = CWinApp::Current(); app && !app->m_pMainWnd)
        app->m_pMainWnd = m_hWnd;
    // On a screen too small for the window at its DPI, the whole window is laid out at the
    // largest DPI that fits, so that all of it can be reached.
    if (const UINT fitting = FittingDpi(m_hWnd, GetDpi()); fitting != GetDpi())
        SetDpi(fitting);
    ResizeTo(WindowWidth, WindowHeight);
    m_progress.SetOwner(m_hWnd);
    // A background snapshot that failed is told here, also one that ended before the window came.
    Snapshots().SetNotifyWindow(m_hWnd, MSG_SNAPSHOT_DONE);
    m_exchangeKeys.Attach(m_hWnd, IDR_EXCHANGE_KEYS);
    m_vault.Connect(m_hWnd, [this] { RepaintListPane(); });

    m_toolbar.Create(m_hWnd);
    m_toolbar.Place(GetContentRect());

    m_itemInfo.SetPaneHeight(Scale(PaneHeight));
    m_itemInfo.SetCommandTarget(m_hWnd, m_toolbar.GetSafeHwnd());
    m_itemInfo.SetListRepaint([this] {
        // An applied change may take the record out of the found or due tab, or bring it in.
        m_finder.CatalogueChanged();
        m_listPane.RefreshCurrentList();
    });
    m_itemInfo.Create(m_hWnd);
    ShowWindow(m_itemInfo.GetSafeHwnd(), SW_SHOW);

    m_listPane.Connect(&m_itemInfo, m_toolbar.SortBox());
    m_listPane.Create(m_hWnd);
    PlacePanes();
    ShowWindow(m_listPane.GetSafeHwnd(), SW_SHOW);
    // The card the list starts with selected is the one the details pane shows, and the keyboard
    // starts in the list: in the Classify box the first arrow key would regroup the catalogue.
    m_listPane.HandleSelectionChange(CSWListDlg::AllListId);
    m_listPane.FocusCurrentList();

    m_finder.Connect(m_hWnd, &m_listPane, &m_itemInfo, m_itemInfo.GetSafeHwnd());
    if (!KeyFilter) {
        KeyWindow = this;
        KeyFilter = SetWindowsHookExW(WH_MSGFILTER, FilterKeys, nullptr, GetCurrentThreadId());
    }
    if (m_remindWhenShown)
        PostMessageW(m_hWnd, RemindMessage, 0, 0);
    return FALSE;
}

void CQVNDlg::OnDestroy()
{
    Snapshots().SetNotifyWindow(nullptr, 0);
    if (KeyWindow == this) {
        UnhookWindowsHookEx(KeyFilter);
        KeyFilter = nullptr;
        KeyWindow = nullptr;
    }
    CBitmapDialog::OnDestroy();
}

void CQVNDlg::PlacePanes()
{
    const RECT content = GetContentRect();
    SetWindowPos(m_itemInfo.GetSafeHwnd(), nullptr, content.left + Scale(ListPaneWidth),
                 content.top + Scale(ToolbarHeight), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_listPane.GetSafeHwnd(), nullptr, content.left, content.top + Scale(ToolbarHeight),
                 Scale(ListPaneWidth), Scale(PaneHeight), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQVNDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(WindowWidth, WindowHeight);
    m_toolbar.SetDpi(GetDpi());
    m_toolbar.Place(GetContentRect());
    m_listPane.SetDpi(GetDpi());
    m_itemInfo.SetDpi(GetDpi());
    m_itemInfo.SetPaneHeight(Scale(PaneHeight));
    PlacePanes();
    m_finder.DpiChanged(GetDpi());
}

SIZE CQVNDlg::WindowSizeAt(UINT dpi)
{
    return WindowSizeFor(WindowWidth, WindowHeight, dpi, false);
}

UINT CQVNDlg::FittingDpi(HWND window, UINT dpi)
{
    RECT where{};
    GetWindowRect(window, &where);
    return FittingDpiAt(where, dpi);
}

UINT CQVNDlg::FittingDpiAt(const RECT& where, UINT dpi)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&where, MONITOR_DEFAULTTONEAREST), &monitor))
        return dpi;
    const RECT& work = monitor.rcWork;
    UINT fitting = dpi;
    // Sizes round; one DPI less per step until both sides fit, never below 96.
    while (fitting > BaseDpi &&
           (WindowSizeAt(fitting).cx > RectWidth(work) || WindowSizeAt(fitting).cy > RectHeight(work)))
        --fitting;
    return fitting;
}

INT_PTR CQVNDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_DPICHANGED: {
        // The suggested rectangle is on the new monitor; the window keeps its corner there and
        // takes the largest DPI up to the monitor's at which it fits.
        const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
        const UINT dpi = FittingDpiAt(suggested, LOWORD(wParam));
        const SIZE size = WindowSizeAt(dpi);
        const RECT placed{suggested.left, suggested.top, suggested.left + size.cx, suggested.top + size.cy};
        SetDpi(dpi, &placed);
        handled = true;
        return 0;
    }
    case MSG_COMMAND:
        OnCommandMessage(wParam, reinterpret_cast<HWND>(lParam));
        handled = true;
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(wParam, lParam, handled);
        return 0;
    case WM_QUERYDRAGICON:
        handled = true;
        return reinterpret_cast<INT_PTR>(m_appIcon.Get());
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        handled = true;
        return 0;
    case WM_QUERYENDSESSION:
        handled = true;
        return OnQueryEndSession() ? TRUE : FALSE;
    case RemindMessage:
        ShowReminders();
        handled = true;
        return 0;
    case WM_ENABLE:
        // A modal dialog of this window disables it; the find box, owned but not a child, with it.
        m_finder.MainWindowEnabled(wParam != FALSE);
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    case MSG_SNAPSHOT_DONE:
        OnBackgroundSnapshotDone(m_hWnd);
        handled = true;
        return 0;
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}

void CQVNDlg::OnCommandMessage(WPARAM code, HWND sender)
{
    switch (code) {
    case CMD_ADD: OnAdd(); break;
    case CMD_DELETE: OnDelete(); break;
    case CMD_ATTACH: OnAttach(); break;
    case CMD_DETACH: OnDetach(); break;
    case CMD_EXPORT: OnExport(); break;
    case CMD_LAUNCH: OnLaunch(); break;
    case CMD_OPTIONS:
        if (m_optionsDialog && m_optionsDialog(m_hWnd, PaneRestoreGuard()))
            ShowReloadedCatalogue();
        break;
    case CMD_ABOUT:
        if (m_aboutDialog)
            m_aboutDialog(m_hWnd);
        break;
    case CMD_BACKUPS:
        if (RunBackupsCommand(m_hWnd, PaneRestoreGuard()))
            ShowReloadedCatalogue();
        break;
    case CMD_CLASSIFY: OnClassify(m_toolbar.ClassifySelection()); break;
    case CMD_SORT: OnSort(m_toolbar.SortSelection()); break;
    case CMD_FIND: m_finder.Open(); return;
    case CMD_FIND_NEXT: m_finder.Next(); return;
    case CMD_MORE: ShowMoreMenu(); return;
    case CMD_REMINDERS:
        if (!ShowReminders())
            ShowInformation(m_hWnd, NothingDueText(Settings.ReminderDays));
        break;
    case CMD_EXPORT_CATALOGUE: OnExportCatalogue(false); break;
    case CMD_IMPORT_CATALOGUE: OnImportCatalogue(); break;
    case CMD_EXPORT_SELECTED: OnExportCatalogue(true); break;
    case CMD_VERIFY_INSTALLERS: m_vault.VerifyInstallers(CatalogueRecords()); break;
    case CMD_FIND_MOVED_INSTALLERS: m_vault.FindMovedInstallers(m_hWnd, {}, CatalogueRecords()); break;
    case CMD_INSTALLER_DETAILS:
        // From the details pane: the record it shows; otherwise the list's selection.
        if (sender && sender == m_itemInfo.GetSafeHwnd())
            m_vault.ShowDetails(m_itemInfo.Record() ? std::vector<CSoftware*>{m_itemInfo.Record()}
                                                    : std::vector<CSoftware*>());
        else
            m_vault.ShowDetails(SelectedRecords());
        break;
    default: return;
    }
    // A new order of the catalogue is the found tab's order from the next search on.
    if (code == CMD_SORT)
        m_finder.CatalogueOrderChanged();
    // Records may have come, gone or changed: the found or due tab follows.
    if (code != CMD_SORT && code != CMD_ABOUT && code != CMD_LAUNCH && code != CMD_EXPORT && code != CMD_DELETE &&
        IsWindow(m_hWnd))
        m_finder.CatalogueChanged();
    // A toolbar command hands the keyboard back to the list; a menu command leaves it alone.
    if (sender && sender == m_toolbar.GetSafeHwnd() && IsWindow(m_hWnd))
        m_listPane.FocusCurrentList();
}

void CQVNDlg::ShowMoreMenu()
{
    HMENU menu = LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(IDR_MORE_MENU));
    if (!menu)
        return;
    // Below the toolbar's button, as a drop-down, right-aligned with it so it opens over the window.
    RECT button{};
    GetWindowRect(m_toolbar.MoreButton(), &button);
    const UINT id = m_moreMenu ? m_moreMenu(GetSubMenu(menu, 0), m_hWnd, POINT{button.right, button.bottom}) : 0;
    DestroyMenu(menu);
    if (id)
        OnMoreCommand(id);
}

void CQVNDlg::OnMoreCommand(UINT id)
{
    switch (id) {
    case ID_MORE_FIND: OnCommandMessage(CMD_FIND, m_hWnd); break;
    case ID_MORE_FIND_NEXT: OnCommandMessage(CMD_FIND_NEXT, m_hWnd); break;
    case ID_MORE_REMINDERS: OnCommandMessage(CMD_REMINDERS, m_hWnd); break;
    case ID_MORE_ABOUT: OnCommandMessage(CMD_ABOUT, m_hWnd); break;
    default:
        // The other capabilities' entries arrive as the menu's own commands would.
        PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        break;
    }
}

bool CQVNDlg::ShowReminders()
{
    const std::vector<CDueRecord> due = DueRecords(SoftwareList, LocalToday(), Settings.ReminderDays);
    if (due.empty())
        return false;
    if (m_reminderDialog && m_reminderDialog(due, m_hWnd) == IDOK)
        m_finder.ShowDue();
    return true;
}

bool CQVNDlg::OnCommand(WORD id, WORD notifyCode, HWND control)
{
    if (control)
        return CBitmapDialog::OnCommand(id, notifyCode, control);
    switch (id) {
    case ID_VAULT_VERIFY: OnCommandMessage(CMD_VERIFY_INSTALLERS, nullptr); return true;
    case ID_VAULT_FIND_MOVED: OnCommandMessage(CMD_FIND_MOVED_INSTALLERS, nullptr); return true;
    case ID_VAULT_DETAILS: OnCommandMessage(CMD_INSTALLER_DETAILS, nullptr); return true;
    case ID_MORE_BACKUPS: OnCommandMessage(CMD_BACKUPS, nullptr); return true;
    case ID_MORE_EXPORT_CATALOGUE: OnCommandMessage(CMD_EXPORT_CATALOGUE, nullptr); return true;
    case ID_MORE_IMPORT_CATALOGUE: OnCommandMessage(CMD_IMPORT_CATALOGUE, nullptr); return true;
    default: return CBitmapDialog::OnCommand(id, notifyCode, control);
    }
}

std::vector<CSoftware*> CQVNDlg::CatalogueRecords() const
{
    std::vector<CSoftware*> records;
    records.reserve(static_cast<size_t>(SoftwareList.GetSize()));
    for (int i = 0; i < SoftwareList.GetSize(); ++i)
        records.push_back(SoftwareList[i]);
    return records;
}

void CQVNDlg::ShowReloadedCatalogue()
{
    m_finder.CatalogueChanged();
    // The shown record belonged to the old folder: drop it before anything can draw it. Edits in
    // progress went with it.
    m_itemInfo.SetRecord(nullptr);
    m_itemInfo.SetMode(ItemInfoView);
    m_listPane.RebuildTabs();
    TabCtrl_SetCurSel(TabWindow(), 0);
    m_listPane.ActivateTab(false);
    m_listPane.HandleSelectionChange(CSWListDlg::AllListId);
    RepaintListPane();
}

RestoreGuard CQVNDlg::PaneRestoreGuard()
{
    return [this](HWND asking) { return LeaveEditBeforeRestore(asking); };
}

bool CQVNDlg::LeaveEditBeforeRestore(HWND asking)
{
    if (m_itemInfo.Mode() != ItemInfoEdit)
        return true;
    if (!AskQuestion(asking, LeaveWithoutSavingText))
        return false;
    // Left now, not when the catalogue is shown again: until then a message box of the reload
    // leaves this window enabled, and an Apply would write the old record over the restored one.
    m_itemInfo.SetMode(ItemInfoView);
    m_itemInfo.SetRecord(m_itemInfo.Record());  // its codes and values as stored
    return true;
}

void CQVNDlg::OnSysCommand(WPARAM command, LPARAM, bool& handled)
{
    if ((command & 0xFFF0) == AboutMenuId) {
        if (m_aboutDialog)
            m_aboutDialog(m_hWnd);
        handled = true;
    } else if ((command & 0xFFF0) == SC_CLOSE) {
        m_closingFromSystemMenu = 1;
        OnCancel();
        m_closingFromSystemMenu = 0;
        handled = true;
    }
}

void CQVNDlg::OnCancel()
{
    if (!m_closingFromSystemMenu && !IsClosingFromCloseButton())
        return;
    if (m_itemInfo.Mode() == ItemInfoEdit && !AskQuestion(m_hWnd, LeaveWithoutSavingText))
        return;
    EndDialog(IDCANCEL);
}

bool CQVNDlg::OnQueryEndSession()
{
    // The same question as the close button; the edits cannot survive the session.
    return m_itemInfo.Mode() != ItemInfoEdit || AskQuestion(m_hWnd, LeaveWithoutSavingText);
}

void CQVNDlg::PaintSkin(HDC dc)
{
    if (!IsIconic(m_hWnd)) {
        CBitmapDialog::PaintSkin(dc);
        return;
    }
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const RECT area = GetContentRect();
    const int x = (area.right - area.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (area.bottom - area.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_appIcon.Get());
}

// ---- selection -------------------------------------------------------------------------------

HWND CQVNDlg::TabWindow() const
{
    return m_listPane.TabControl();
}

CSoftwareArray* CQVNDlg::CurrentSource() const
{
    const int tab = m_listPane.ActiveTab();
    if (tab <= 0)
        return &SoftwareList;
    if (tab == CSWListDlg::TemporaryTab && m_listPane.HasTemporaryTab())
        return const_cast<CSoftwareArray*>(&m_finder.Shown());
    const int group = tab - m_listPane.FirstGroupTab();
    return group < GroupList.GetSize() ? GroupList[group] : nullptr;
}

std::vector<int> CQVNDlg::SelectedPositions()
{
    CSWListBox* list = m_listPane.CurrentList();
    return list ? list->SelectedIndexes() : std::vector<int>();
}

std::vector<CSoftware*> CQVNDlg::SelectedRecords()
{
    std::vector<CSoftware*> records;
    const CSoftwareArray* source = CurrentSource();
    if (!source)
        return records;
    for (int position : SelectedPositions()) {
        if (position >= 0 && position < source->GetSize())
            records.push_back((*source)[position]);
    }
    return records;
}

void CQVNDlg::RepaintListPane() const
{
    RedrawWindow(m_listPane.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- commands of the catalogue ---------------------------------------------------------------

void CQVNDlg::OnAdd()
{
    auto* record = new CSoftware;
    const INT_PTR result = m_addDialog ? m_addDialog(*record, m_hWnd) : IDCANCEL;
    const bool identified = NewSoftwareId(*record);
    if (result == IDOK && identified && SaveSoftwareFile(*record)) {
        InsertSoftware(record);
        m_listPane.RebuildTabs();
        m_listPane.AllList().SelectOnly(SoftwareList.Find(record));
        RepaintListPane();
        TabCtrl_SetCurSel(TabWindow(), 0);
        m_listPane.ActivateTab(true);
        m_listPane.HandleSelectionChange(AllListId);
        return;
    }
    DeleteSoftwareFile(*record);
    delete record;
}

void CQVNDlg::OnClassify(int mode)
{
    if (SoftwareList.IsEmpty() || mode < 0 || mode >= ClassifyModeCount)
        return;
    CSoftware* shown = m_itemInfo.Record();
    ClassifyCatalogue(SoftwareList, mode, GroupList, GroupNames);
    m_listPane.RebuildTabs();
    CurrentClassifyMode = mode;
    int position = shown ? SoftwareList.Find(shown) : 0;
    if (position < 0)
        position = 0;
    if (m_listPane.ActiveTab() != 0) {
        TabCtrl_SetCurSel(TabWindow(), 0);
        m_listPane.ActivateTab(false);
        m_listPane.FocusCurrentList();
    }
    m_listPane.AllList().SelectOnly(position);
    RepaintListPane();
    m_itemInfo.SetRecord(SoftwareList[position]);
}

void CQVNDlg::OnSort(int key)
{
    if (key <= SortNone || key >= SortKeyCount || SoftwareList.IsEmpty())
        return;
    CSoftwareArray* list = CurrentSource();
    if (!list)
        return;
    list->SortKey = key;
    SortSoftwareList(*list, SortDescending == 0);
    CSoftware* shown = m_itemInfo.Record();
    int position = shown ? list->Find(shown) : 0;
    if (position < 0)
        position = 0;
    if (CSWListBox* listBox = m_listPane.CurrentList()) {
        listBox->SelectOnly(list->IsEmpty() ? -1 : position);
        InvalidateRect(listBox->GetSafeHwnd(), nullptr, FALSE);
    }
    if (!shown && !list->IsEmpty())
        m_itemInfo.SetRecord((*list)[position]);
}

// ---- installer commands ----------------------------------------------------------------------

void CQVNDlg::AfterInstallerChange(CSoftware& record)
{
    UpdateIcon(record);
    m_listPane.RefreshCurrentList();
    SaveSoftwareFile(record);
}

void CQVNDlg::OnAttach()
{
    const std::vector<CSoftware*> records = SelectedRecords();
    if (records.empty())
        return;
    if (records.size() > 1) {
        ShowInformation(m_hWnd, OneInstallerOnlyText);
        return;
    }
    CSoftware& record = *records.front();
    if (!record.InstallerInfo.InstallerPath.empty() && !AskQuestion(m_hWnd, ReplaceInstallerText))
        return;
    std::wstring path;
    if (!BrowseForOpenFile(m_hWnd, OpenInstallerFilter, path))
        return;
    if (AttachInstaller(record, Settings.AttachMode, path, m_progress))
        AfterInstallerChange(record);
}

void CQVNDlg::OnDetach()
{
    const std::vector<CSoftware*> records = SelectedRecords();
    if (records.empty())
        return;
    std::wstring question = L"You are going to detach the installer from following software(s):\n\n";
    int number = 0;
    for (const CSoftware* record : records)
        question += Format(L"%d. %ls(%ls)\n", ++number, record->BasicInfo.Name.c_str(),
                           record->BasicInfo.Version.c_str());
    question += L"\nPress [Yes] to continue.";
    if (AskQuestion(m_hWnd, question)) {
        for (CSoftware* record : records) {
            CInstallerInfo& installer = record->InstallerInfo;
            if (installer.InstallerPath.empty()) {
                ShowInformation(m_hWnd, NameAndVersion(*record) + L" doesn't have an installer yet.");
                continue;
            }
            if (installer.AttachMode == AttachByImport) {
                if (!AskQuestion(m_hWnd, NameAndVersion(*record) +
                                             L"'s installer is attached by Import-Mode, it will be deleted after "
                                             L"detaching.\n\nWould you like to continue ?"))
                    continue;
                DeleteFileRetrying(installer.InstallerPath);
            }
            installer.InstallerPath.clear();
            installer.OriginalPath.clear();
            installer.AttachMode = AttachByReference;
            ClearInstallerFacts(record->ExtraInfo);
            UpdateIcon(*record);
            SaveSoftwareFile(*record);
        }
    }
    m_listPane.RefreshCurrentList();
}

void CQVNDlg::OnExport()
{
    const std::vector<CSoftware*> records = SelectedRecords();
    if (records.empty())
        return;
    if (records.size() > 1) {
        ShowInformation(m_hWnd, OneExportOnlyText);
        return;
    }
    CSoftware& record = *records.front();
    if (record.InstallerInfo.InstallerPath.empty()) {
        ShowInformation(m_hWnd, NoInstallerText);
        return;
    }
    if (record.InstallerInfo.AttachMode != AttachByImport) {
        ShowInformation(m_hWnd, NotImportedText);
        return;
    }
    std::wstring folder;
    if (!BrowseForFolder(m_hWnd, ExportFolderTitle, folder) || folder.size() >= MAX_PATH ||
        !FolderExists(folder, true))
        return;
    if (folder.back() != L'\\')
        folder += L'\\';
    if (!m_vault.ConfirmIntact(record))
        return;
    m_progress.RunCopy(record, folder + FileNamePart(record.InstallerInfo.OriginalPath), CopyExport, false);
}

void CQVNDlg::OnLaunch()
{
    const std::vector<CSoftware*> records = SelectedRecords();
    if (records.empty())
        return;
    if (records.size() > 1) {
        ShowInformation(m_hWnd, OneLaunchOnlyText);
        return;
    }
    CSoftware& record = *records.front();
    if (record.InstallerInfo.InstallerPath.empty()) {
        OnAttach();
        return;
    }
    if (!m_vault.ConfirmIntact(record))
        return;
    std::wstring target = record.InstallerInfo.InstallerPath;
    if (record.InstallerInfo.AttachMode == AttachByImport) {
        target = TempFolder + FileNamePart(record.InstallerInfo.OriginalPath);
        if (m_progress.RunCopy(record, target, CopyExport, true) != CopyComplete)
            return;
    }
    if (!PathExists(target, false)) {
        ShowError(m_hWnd, InstallerMissingText);
        return;
    }
    if (ShellOpen(nullptr, target, TempFolder) <= 32)
        ShowError(m_hWnd, LaunchFailedText);
}

void CQVNDlg::OnDelete()
{
    const std::vector<CSoftware*> records = SelectedRecords();
    if (records.empty())
        return;
    // Catalogue positions of the chosen records; a group's order may differ from the catalogue's.
    std::vector<int> positions;
    positions.reserve(records.size());
    if (m_listPane.ActiveTab() == 0) {
        positions = SelectedPositions();
    } else {
        std::unordered_map<const CSoftware*, int> catalogueIndex;
        catalogueIndex.reserve(static_cast<size_t>(SoftwareList.GetSize()));
        for (int i = 0; i < SoftwareList.GetSize(); ++i)
            catalogueIndex.emplace(SoftwareList[i], i);
        for (const CSoftware* record : records) {
            auto found = catalogueIndex.find(record);
            if (found != catalogueIndex.end())
                positions.push_back(found->second);
        }
    }

    if (!IsShiftKeyDown()) {
        std::wstring question =
            L"(You can press [Shift] key to avoid this message.)\n\nThe following software(s) and it's/their "
            L"imported installer(s) will be removed:\n\n";
        int number = 0;
        for (const CSoftware* record : records)
            question += Format(L"%3d. %ls(%ls)\n", ++number, record->BasicInfo.Name.c_str(),
                               record->BasicInfo.Version.c_str());
        question += L"\nPress [Yes] to continue.";
        if (!AskQuestion(m_hWnd, question))
            return;
    }
    if (m_itemInfo.Mode() == ItemInfoEdit && records.size() == 1 && records.front() == m_itemInfo.Record()) {
        ShowInformation(m_hWnd, BeingEditedText);
        return;
    }

    // Deleting several at once is the change a slip of the mouse makes costly: a backup comes first.
    if (records.size() > 1 && !TakeSnapshot(m_hWnd, SnapshotReason::Delete))
        return;

    m_itemInfo.SetRecord(nullptr);
    for (const CSoftware* record : records) {
        if (record->InstallerInfo.AttachMode == AttachByImport && !record->InstallerInfo.InstallerPath.empty())
            DeleteFileRetrying(record->InstallerInfo.InstallerPath);
        DeleteSoftwareFile(*record);
    }
    RemoveSoftware(positions.data(), static_cast<int>(positions.size()));
    // The found or due tab lets go of the deleted records before anything paints it.
    m_finder.CatalogueChanged();

    HWND tabs = TabWindow();
    const int tabCount = TabCtrl_GetItemCount(tabs);
    m_listPane.RebuildTabs();
    if (TabCtrl_GetItemCount(tabs) == tabCount) {
        m_listPane.HandleSelectionChange(m_listPane.ListIdOfTab(m_listPane.ActiveTab()));
    } else {
        TabCtrl_SetCurSel(tabs, 0);
        m_listPane.ActivateTab(true);
        m_listPane.HandleSelectionChange(AllListId);
    }
    RepaintListPane();
}

void CQVNDlg::OnDropFiles(HDROP drop)
{
    // The drop handle is ours to free, whatever happens below.
    struct CDropRelease {
        HDROP Drop;
        ~CDropRelease() { DragFinish(Drop); }
    } release{drop};

    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    // A path that does not fit the 260 characters would be read cut short, and a folder is no
    // installer: both are refused like a drop of several files.
    const UINT length = count == 1 ? DragQueryFileW(drop, 0, nullptr, 0) : 0;
    std::wstring path;
    if (count == 1 && length > 0 && length < MAX_PATH) {
        path.resize(length + 1);
        path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
    }
    if (path.empty() || PathExists(path, true)) {
        ShowInformation(m_hWnd, OneDropOnlyText);
        return;
    }

    const int before = SoftwareList.GetSize();
    OnAdd();
    if (SoftwareList.GetSize() <= before)
        return;
    CSoftware& record = *SoftwareList[before];
    if (AttachInstaller(record, Settings.AttachMode, path, m_progress))
        AfterInstallerChange(record);
    m_finder.CatalogueChanged();
}

// ---- export and import of the catalogue ------------------------------------------------------

void CQVNDlg::OnExportCatalogue(bool preferSelection)
{
    std::vector<const CSoftware*> all;
    all.reserve(static_cast<size_t>(SoftwareList.GetSize()));
    for (int i = 0; i < SoftwareList.GetSize(); ++i)
        all.push_back(SoftwareList[i]);
    const std::vector<CSoftware*> chosen = SelectedRecords();
    const std::vector<const CSoftware*> selected(chosen.begin(), chosen.end());
    RunCatalogueExport(m_hWnd, all, selected, preferSelection, m_exportChooser);
}

void CQVNDlg::OnImportCatalogue()
{
    // Unsaved edits would either overwrite the imported values or be lost under them.
    if (m_itemInfo.Mode() == ItemInfoEdit) {
        ShowInformation(m_hWnd, ImportWhileEditingText);
        return;
    }
    const std::vector<CSoftware*> stored = RunCatalogueImport(m_hWnd, SoftwareList);
    if (stored.empty())
        return;
    // As after Add: regroup, and show the first imported record selected on the "All" tab.
    m_itemInfo.SetRecord(nullptr);
    ClassifyCatalogue(SoftwareList, CurrentClassifyMode, GroupList, GroupNames);
    m_listPane.RebuildTabs();
    m_listPane.AllList().SelectOnly(SoftwareList.Find(stored.front()));
    RepaintListPane();
    TabCtrl_SetCurSel(TabWindow(), 0);
    m_listPane.ActivateTab(true);
    m_listPane.HandleSelectionChange(AllListId);
}
