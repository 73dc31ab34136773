#include "app/OptionsDlg.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include <windowsx.h>

#include "app/BackupsDlg.h"
#include "framework/MessageBox.h"
#include "framework/ShellDialogs.h"
#include "model/TextRules.h"
#include "res/resource.h"
#include "storage/CatalogueReload.h"
#include "model/LicenceDates.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/Settings.h"

using CommCtrl::CBitmapButton5S;

const wchar_t* const DataFolderTipTitle = L"Data Folder";
const wchar_t* const DataFolderTipText =
    L"The data-folder is used to store all your softwares' informations, including the imported installers. For "
    L"security purposes, we strongly recommend you to create this folder in the non-system partition. Therefore "
    L"you can restore your data and informations easily after reinstalling the operating-system.";
const wchar_t* const DataFolderPickerTitle =
    L"Please select a folder where your data and informations will be saved in. And you must have the right to "
    L"write in that folder.";
const wchar_t* const DataFolderNotAccessibleText = L"The specified data-folder is not accessable, please check it.";
const wchar_t* const DataFolderTooLongText =
    L"The path of the specified data-folder is too long, please choose a folder with a shorter path.";
const wchar_t* const SystemPartitionQuestion =
    L"You have selected a folder in system-partition as your data-folder.\nWe strongly recommend you to create "
    L"this folder in the non-system partition.\n\nDo you want to change the folder ?";
const wchar_t* const SettingsNotSavedText =
    L"Sorry! The configurations can't be saved, because the file is being using by anather application.\n\n"
    L"Please exit that application and try again.";
const wchar_t* const DataFolderSwitchedText =
    L"The data-folder has been changed. The softwares stored in the new folder will be shown now.\n\n"
    L"The softwares of the old folder stay in that folder: choose it again to see them.";
const wchar_t* const ClearHistoryQuestion = L"Do you want to clear all your history data ?";

const wchar_t* const ReminderLabel = L"Remind";

std::wstring ReminderChoiceText(int days)
{
    if (days == 0)
        return L"On the day";
    return std::to_wstring(days) + (days == 1 ? L" day before" : L" days before");
}

namespace {
// The reminder windows offered, in days before the expiry.
constexpr int ReminderChoices[] = {0, 7, 14, 30, 60, 90};

const wchar_t* const AttachModeNames[] = {L"Reference", L"Import (Recommend)"};
const wchar_t* const ClassifyModeNames[] = {L"Category", L"Company", L"Type"};
const wchar_t* const SortKeyNames[] = {L"None", L"Name", L"Price", L"User-Name", L"User-Email", L"Expiry"};

struct CButtonSkin {
    UINT Normal, Pressed, Focused, Disabled, Hover, Icon;
    RECT IconRect;
    RECT CaptionRect;
};
constexpr CButtonSkin OkSkin{IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED,
                             IDB_BUTTON_HOVER,  IDI_OK,             {2, 2, 18, 18},     {20, 3, 70, 17}};
constexpr CButtonSkin CancelSkin{IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED,
                                 IDB_BUTTON_HOVER,  IDI_CANCEL,         {2, 2, 18, 18},     {20, 3, 70, 17}};
constexpr CButtonSkin BrowseSkin{IDB_BROWSE_NORMAL, IDB_BROWSE_PRESSED, IDB_BROWSE_FOCUSED, IDB_BROWSE_DISABLED,
                                 IDB_BROWSE_HOVER,  IDI_BROWSE,         {2, 2, 18, 18},     {20, 3, 45, 17}};
constexpr CButtonSkin InformationSkin{IDB_INFO_BUTTON, IDB_INFO_BUTTON, IDB_INFO_BUTTON, IDB_INFO_BUTTON,
                                      IDB_INFO_BUTTON, IDI_INFO,        {2, 2, 18, 18},  {20, 3, 45, 17}};
constexpr CButtonSkin BackupsSkin{IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED,
                                  IDB_BUTTON_HOVER,  0,                  {0, 0, 0, 0},       {0, 3, 70, 17}};
constexpr CButtonSkin ClearHistorySkin{IDB_WIDE_NORMAL, IDB_WIDE_PRESSED, IDB_WIDE_FOCUSED, IDB_WIDE_NORMAL,
                                       IDB_WIDE_HOVER,  0,                {0, 0, 0, 0},     {0, 3, 100, 17}};

void ApplySkin(CBitmapButton5S& button, HWND dialog, int id, const CButtonSkin& skin)
{
    button.SubclassDlgItem(id, dialog);
    button.LoadStateBitmaps(skin.Normal, skin.Pressed, skin.Focused, skin.Disabled);
    button.SetHoverBitmap(skin.Hover);
    button.SetLayout(skin.IconRect, skin.CaptionRect, 6, L"Arial");
    button.SetTextColor(RGB(0, 0, 0));
    if (skin.Icon)
        button.SetIcon(skin.Icon);
}

void Place(HWND dialog, int id, int left, int top, int right, int bottom)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, left, top, right - left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// A drop-down list's window height includes its list; the closed box keeps the layout's height.
void PlaceList(HWND dialog, int id, int left, int top, int right, int bottom, int entries, UINT dpi)
{
    HWND list = GetDlgItem(dialog, id);
    const int height = bottom - top;
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - ScaleToDpi(6, dpi));
    const int itemHeight = static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(list, nullptr, left, top, right - left, height + entries * itemHeight + ScaleToDpi(4, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Fill(HWND list, const wchar_t* const* names, int count)
{
    for (int index = 0; index < count; ++index)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[index]));
}

// A stored value outside the list shows the default instead, so OK never writes it back.
void Select(HWND list, int value, int fallback)
{
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    SendMessageW(list, CB_SETCURSEL, value >= 0 && value < count ? value : fallback, 0);
}

int Selection(HWND list, int current)
{
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? current : static_cast<int>(index);
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring TrimBlanks(const std::wstring& text)
{
    const wchar_t* blanks = L" \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool SameFolder(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The settings file escapes nothing: a folder is only stored when it reads back as it is.
bool ReadsBack(const std::wstring& folder)
{
    CConfigurations candidate = Settings;
    candidate.DataFolder = folder;
    CConfigurations read;
    return ParseSettingsText(FormatSettingsText(candidate), read) && read.DataFolder == folder;
}
}  // namespace

bool IsAbsoluteFolder(const std::wstring& folder)
{
    if (folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\')
        return (folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z');
    return folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\' && folder[2] != L'\\';
}

bool IsOnSystemPartition(const std::wstring& folder)
{
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length < 3 || length > MAX_PATH || folder.size() < 3)
        return false;
    // Only a drive letter names a partition; two paths that both begin with "\\" need not share one.
    if (folder[0] == L'\\' || windows[0] == L'\\')
        return false;
    return AsciiUpper(folder.substr(0, 3)) == AsciiUpper(std::wstring(windows, 3));
}

COptionsDlg::COptionsDlg(HWND parent, RestoreGuard restoreGuard)
    : CBitmapDialog(IDD_OPTIONS, parent), m_infoTip(nullptr), m_restoreGuard(std::move(restoreGuard))
{
    SetContentColour(BackgroundColour);
    AnswerControlColours({WM_CTLCOLORSTATIC, WM_CTLCOLORLISTBOX, WM_CTLCOLOREDIT, WM_CTLCOLORBTN, WM_CTLCOLORDLG}, true);
}

BOOL COptionsDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    // At a first start there is no main window yet: the dialog needs a taskbar button of its own.
    if (!m_parent)
        SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    SetWindowTextW(m_hWnd, L"Options");
    ResizeTo(Width, Height);

    SkinButtons();
    m_infoTip.SetOwner(m_hWnd);
    m_infoTip.SetTipSize(250, 160);
    m_infoTip.SetTipText(DataFolderTipTitle, DataFolderTipText);

    CreateReminderRow();
    PlaceControls();
    FillLists();
    ShowSettings();
    m_dataFolderChanged = false;
    return TRUE;
}

void COptionsDlg::SkinButtons()
{
    ApplySkin(m_ok, m_hWnd, IDOK, OkSkin);
    ApplySkin(m_cancel, m_hWnd, IDCANCEL, CancelSkin);
    ApplySkin(m_browse, m_hWnd, IDC_OPTIONS_BROWSE, BrowseSkin);
    ApplySkin(m_information, m_hWnd, IDC_OPTIONS_INFORMATION, InformationSkin);
    ApplySkin(m_clearHistory, m_hWnd, IDC_OPTIONS_CLEAR_HISTORY, ClearHistorySkin);
    ApplySkin(m_backups, m_hWnd, IDC_OPTIONS_BACKUPS, BackupsSkin);
}

// Made in code after the template's controls, in the tab order before "Clear History".
void COptionsDlg::CreateReminderRow()
{
    // The dialog's font at its DPI, so that a later change of DPI finds and replaces it.
    HFONT font = GetDialogFont();
    HWND label = CreateWindowExW(0, L"STATIC", ReminderLabel, WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, 0, 0,
                                 Scale(80), Scale(20),
                                 m_hWnd, reinterpret_cast<HMENU>(IDC_OPTIONS_REMIND_LABEL), nullptr, nullptr);
    HWND days = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                                0, 0, Scale(100), Scale(120), m_hWnd, reinterpret_cast<HMENU>(IDC_OPTIONS_REMIND_DAYS), nullptr,
                                nullptr);
    for (HWND control : {label, days})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // In the tab order right after the sort list.
    SetWindowPos(label, GetDlgItem(IDC_OPTIONS_SORT_KEY), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(days, label, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void COptionsDlg::PlaceControls()
{
    const RECT content = GetContentRect();
    const int l = content.left, t = content.top, r = content.right;
    Place(m_hWnd, IDC_OPTIONS_ATTACH_GROUP, l + Scale(10), t + Scale(10), r - Scale(10), t + Scale(115));
    Place(m_hWnd, IDC_OPTIONS_DEFAULTS_GROUP, l + Scale(10), t + Scale(125), r - Scale(10), t + Scale(245));
    Place(m_hWnd, IDC_OPTIONS_ATTACH_LABEL, l + Scale(20), t + Scale(40), l + Scale(100), t + Scale(60));
    PlaceList(m_hWnd, IDC_OPTIONS_ATTACH_MODE, l + Scale(110), t + Scale(40), r - Scale(20), t + Scale(60), 2, GetDpi());
    Place(m_hWnd, IDC_OPTIONS_FOLDER_LABEL, l + Scale(20), t + Scale(70), l + Scale(130), t + Scale(85));
    Place(m_hWnd, IDC_OPTIONS_INFORMATION, l + Scale(135), t + Scale(65), l + Scale(155), t + Scale(85));
    Place(m_hWnd, IDC_OPTIONS_DATA_FOLDER, l + Scale(20), t + Scale(85), r - Scale(70), t + Scale(105));
    Place(m_hWnd, IDC_OPTIONS_BROWSE, r - Scale(65), t + Scale(85), r - Scale(20), t + Scale(105));
    // Backups keep what the data folder holds, so their button sits on the folder's line.
    Place(m_hWnd, IDC_OPTIONS_BACKUPS, r - Scale(90), t + Scale(62), r - Scale(20), t + Scale(82));
    Place(m_hWnd, IDC_OPTIONS_CLASSIFY_LABEL, l + Scale(20), t + Scale(155), l + Scale(100), t + Scale(175));
    PlaceList(m_hWnd, IDC_OPTIONS_CLASSIFY_MODE, l + Scale(110), t + Scale(155), r - Scale(20), t + Scale(175), 3, GetDpi());
    Place(m_hWnd, IDC_OPTIONS_SORT_LABEL, l + Scale(20), t + Scale(185), l + Scale(100), t + Scale(205));
    PlaceList(m_hWnd, IDC_OPTIONS_SORT_KEY, l + Scale(110), t + Scale(185), r - Scale(20), t + Scale(205), 5, GetDpi());
    Place(m_hWnd, IDC_OPTIONS_REMIND_LABEL, l + Scale(20), t + Scale(215), l + Scale(100), t + Scale(235));
    PlaceList(m_hWnd, IDC_OPTIONS_REMIND_DAYS, l + Scale(110), t + Scale(215), r - Scale(20), t + Scale(235),
              static_cast<int>(std::size(ReminderChoices)) + 1, GetDpi());
    Place(m_hWnd, IDC_OPTIONS_CLEAR_HISTORY, l + Scale(10), t + Scale(255), l + Scale(110), t + Scale(275));
    Place(m_hWnd, IDOK, r - Scale(160), t + Scale(255), r - Scale(90), t + Scale(275));
    Place(m_hWnd, IDCANCEL, r - Scale(80), t + Scale(255), r - Scale(10), t + Scale(275));
}

void COptionsDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(Width, Height);
    PlaceControls();
}

void COptionsDlg::FillLists()
{
    Fill(GetDlgItem(IDC_OPTIONS_ATTACH_MODE), AttachModeNames, 2);
    Fill(GetDlgItem(IDC_OPTIONS_CLASSIFY_MODE), ClassifyModeNames, 3);
    Fill(GetDlgItem(IDC_OPTIONS_SORT_KEY), SortKeyNames, static_cast<int>(std::size(SortKeyNames)));
}

void COptionsDlg::ShowSettings()
{
    const CConfigurations defaults;
    Select(GetDlgItem(IDC_OPTIONS_ATTACH_MODE), Settings.AttachMode, defaults.AttachMode);
    Select(GetDlgItem(IDC_OPTIONS_CLASSIFY_MODE), Settings.DefaultClassifyMode, defaults.DefaultClassifyMode);
    Select(GetDlgItem(IDC_OPTIONS_SORT_KEY), Settings.DefaultSortKey, defaults.DefaultSortKey);
    SetDlgItemTextW(m_hWnd, IDC_OPTIONS_DATA_FOLDER, Settings.DataFolder.c_str());
    // The choices, and the stored value among them when it is none of them.
    HWND days = GetDlgItem(IDC_OPTIONS_REMIND_DAYS);
    std::vector<int> choices(std::begin(ReminderChoices), std::end(ReminderChoices));
    const int stored = Settings.ReminderDays;
    if (stored >= 0 && stored <= MaxReminderDays && std::find(choices.begin(), choices.end(), stored) == choices.end())
        choices.insert(std::upper_bound(choices.begin(), choices.end(), stored), stored);
    SendMessageW(days, CB_RESETCONTENT, 0, 0);
    for (int choice : choices) {
        const int at = static_cast<int>(SendMessageW(days, CB_ADDSTRING, 0,
                                                     reinterpret_cast<LPARAM>(ReminderChoiceText(choice).c_str())));
        SendMessageW(days, CB_SETITEMDATA, at, choice);
        if (choice == stored)
            SendMessageW(days, CB_SETCURSEL, at, 0);
    }
    if (SendMessageW(days, CB_GETCURSEL, 0, 0) == CB_ERR)
        SendMessageW(days, CB_SETCURSEL, std::find(choices.begin(), choices.end(), DefaultReminderDays) - choices.begin(), 0);
}

bool COptionsDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    if (notifyCode != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_OPTIONS_BROWSE:
        OnBrowse();
        return true;
    case IDC_OPTIONS_INFORMATION:
        OnInformation();
        return true;
    case IDC_OPTIONS_CLEAR_HISTORY:
        OnClearHistory();
        return true;
    case IDC_OPTIONS_BACKUPS:
        OnBackups();
        return true;
    default:
        return false;
    }
}

void COptionsDlg::OnBrowse()
{
    std::wstring folder;
    if (!BrowseForFolder(m_hWnd, DataFolderPickerTitle, folder) || folder.empty() || folder.size() > MAX_PATH ||
        !PathExists(folder, true))
        return;
    // A drive's root already ends with its backslash.
    if (folder.back() != L'\\')
        folder += L'\\';
    SetDlgItemTextW(m_hWnd, IDC_OPTIONS_DATA_FOLDER, folder.c_str());
}

void COptionsDlg::OnInformation()
{
    m_infoTip.DoModal();
    FocusDataFolder();
}

void COptionsDlg::OnClearHistory()
{
    if (!AskQuestion(m_hWnd, ClearHistoryQuestion))
        return;
    ClearHistoryLists();
    SaveHistoryLists();
}

void COptionsDlg::OnBackups()
{
    CBackupsDlg backups(m_hWnd, m_restoreGuard);
    backups.DoModal();
    // The catalogue on screen is shown again once this dialog has closed, whatever its result.
    m_catalogueRestored = m_catalogueRestored || backups.CatalogueChanged();
}

void COptionsDlg::FocusDataFolder()
{
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_OPTIONS_DATA_FOLDER)), TRUE);
}

std::wstring COptionsDlg::TakeDataFolder()
{
    std::wstring folder = TrimBlanks(WindowText(GetDlgItem(IDC_OPTIONS_DATA_FOLDER)));
    if (!IsAbsoluteFolder(folder) || !PathExists(folder, true)) {
        ShowWarning(m_hWnd, DataFolderNotAccessibleText);
        return std::wstring();
    }
    // Every file path is the folder followed directly by the file name.
    if (folder.back() != L'\\')
        folder += L'\\';
    if (folder.size() > MaxDataFolderLength) {
        ShowWarning(m_hWnd, DataFolderTooLongText);
        return std::wstring();
    }
    if (!ReadsBack(folder)) {
        ShowWarning(m_hWnd, DataFolderNotAccessibleText);
        return std::wstring();
    }
    return folder;
}

void COptionsDlg::OnOK()
{
    const std::wstring folder = TakeDataFolder();
    if (folder.empty()) {
        FocusDataFolder();
        return;
    }
    if (IsOnSystemPartition(folder) &&
        ShowMessageBox(m_hWnd, SystemPartitionQuestion, MB_YESNO | MB_ICONWARNING) == IDYES) {
        FocusDataFolder();
        return;
    }
    // Another folder shows another catalogue: an edit still open in the details would go with it.
    if (!SameFolder(folder, Settings.DataFolder) && !MayRestore(m_restoreGuard, m_hWnd)) {
        FocusDataFolder();
        return;
    }

    const std::wstring folderInForce = Settings.DataFolder;
    Settings.AttachMode = Selection(GetDlgItem(IDC_OPTIONS_ATTACH_MODE), Settings.AttachMode);
    Settings.DefaultClassifyMode = Selection(GetDlgItem(IDC_OPTIONS_CLASSIFY_MODE), Settings.DefaultClassifyMode);
    Settings.DefaultSortKey = Selection(GetDlgItem(IDC_OPTIONS_SORT_KEY), Settings.DefaultSortKey);
    HWND days = GetDlgItem(IDC_OPTIONS_REMIND_DAYS);
    const LRESULT chosen = SendMessageW(days, CB_GETCURSEL, 0, 0);
    if (chosen != CB_ERR)
        Settings.ReminderDays = static_cast<int32_t>(SendMessageW(days, CB_GETITEMDATA, chosen, 0));
    Settings.DataFolder = folder;
    if (!WriteSettings(Settings)) {
        // The other choices stay in force, but the next start reads the old folder from the file:
        // records saved into the new one now would vanish from view then.
        Settings.DataFolder = folderInForce;
        ShowWarning(m_hWnd, SettingsNotSavedText);
        return;
    }
    m_dataFolderChanged = !SameFolder(folder, folderInForce);
    if (m_dataFolderChanged && FolderExists(folderInForce, true))
        ShowInformation(m_hWnd, DataFolderSwitchedText);
    EndDialog(IDOK);
}

bool RunOptionsCommand(HWND owner, RestoreGuard restoreGuard)
{
    COptionsDlg dialog(owner, std::move(restoreGuard));
    const bool stored = dialog.DoModal() == IDOK;
    if (!dialog.CatalogueRestored() && !(stored && dialog.DataFolderChanged()))
        return false;
    ReloadCatalogue(Settings.DataFolder);
    return true;
}
