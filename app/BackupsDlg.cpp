#include "app/BackupsDlg.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "app/BackupCommands.h"
#include "app/BackupRecordsDlg.h"
#include "framework/Dpi.h"
#include "framework/MessageBox.h"
#include "framework/ShellDialogs.h"
#include "res/resource.h"
#include "storage/CatalogueReload.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/Settings.h"

using CommCtrl::CBitmapButton5S;

const wchar_t* const BackupsTitle = L"Backups";
const wchar_t* const BackupsFolderPickerTitle =
    L"Please select a folder where the backups of your softwares will be kept. A folder on another disk keeps "
    L"them safe when this one fails.";
const wchar_t* const SelectBackupFirstText = L"Please select a backup in the list first.";
const wchar_t* const BackupDamagedListText = L"Damaged, can't be read";

namespace {
enum Column { DateColumn, TimeColumn, RecordsColumn, ReasonColumn };

template <class... Args>
std::wstring Format(const wchar_t* format, Args... args)
{
    std::wstring text(256, L'\0');
    for (;;) {
        int written = std::swprintf(text.data(), text.size(), format, args...);
        if (written >= 0 && static_cast<size_t>(written) < text.size()) {
            text.resize(static_cast<size_t>(written));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

SYSTEMTIME AsSystemTime(const CSnapshotStamp& stamp)
{
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(stamp.Year);
    time.wMonth = static_cast<WORD>(stamp.Month);
    time.wDay = static_cast<WORD>(stamp.Day);
    time.wHour = static_cast<WORD>(stamp.Hour);
    time.wMinute = static_cast<WORD>(stamp.Minute);
    time.wSecond = static_cast<WORD>(stamp.Second);
    return time;
}

void SkinButton(CBitmapButton5S& button, HWND dialog, int id, bool wide, UINT icon = 0)
{
    button.SubclassDlgItem(id, dialog);
    if (wide)
        button.LoadStateBitmaps(IDB_WIDE_NORMAL, IDB_WIDE_PRESSED, IDB_WIDE_FOCUSED, IDB_WIDE_NORMAL);
    else
        button.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    button.SetHoverBitmap(wide ? IDB_WIDE_HOVER : IDB_BUTTON_HOVER);
    const RECT iconRect = icon ? RECT{2, 2, 18, 18} : RECT{0, 0, 0, 0};
    const RECT captionRect = icon ? RECT{20, 3, 70, 17} : RECT{0, 3, wide ? 100 : 70, 17};
    button.SetLayout(iconRect, captionRect, 6, L"Arial");
    button.SetTextColor(RGB(0, 0, 0));
    if (icon)
        button.SetIcon(icon);
}

void Place(HWND dialog, int id, int left, int top, int right, int bottom)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetCell(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
}  // namespace

std::wstring SnapshotDateText(const CSnapshotStamp& stamp)
{
    const SYSTEMTIME time = AsSystemTime(stamp);
    wchar_t text[80] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 80) <= 0)
        return Format(L"%04d-%02d-%02d", stamp.Year, stamp.Month, stamp.Day);
    return text;
}

std::wstring SnapshotTimeText(const CSnapshotStamp& stamp)
{
    const SYSTEMTIME time = AsSystemTime(stamp);
    wchar_t text[80] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, 80) <= 0)
        return Format(L"%02d:%02d:%02d", stamp.Hour, stamp.Minute, stamp.Second);
    return text;
}

const wchar_t* SnapshotReasonText(SnapshotReason reason)
{
    switch (reason) {
    case SnapshotReason::Daily: return L"First start of the day";
    case SnapshotReason::Delete: return L"Before deleting softwares";
    case SnapshotReason::Import: return L"Before an import";
    case SnapshotReason::Restore: return L"Before a restore";
    case SnapshotReason::BringBack: return L"Before bringing softwares back";
    case SnapshotReason::Manual:
    default: return L"Backed up by hand";
    }
}

std::wstring RestoreQuestion(const CSnapshotListing& listing)
{
    return Format(L"Do you want to restore the backup of %ls, %ls ?\n\nIts %d software(s) will replace all the "
                  L"softwares of your data folder, and its histories and default settings the present ones. "
                  L"Imported installers are not part of backups and stay as they are.\n\nA backup of the present "
                  L"state is taken first.",
                  SnapshotDateText(listing.Stamp).c_str(), SnapshotTimeText(listing.Stamp).c_str(),
                  listing.Manifest.Records);
}

std::wstring RestoredText(const CSnapshotListing& listing, int records)
{
    return Format(L"The backup of %ls, %ls has been restored: %d software(s).",
                  SnapshotDateText(listing.Stamp).c_str(), SnapshotTimeText(listing.Stamp).c_str(), records);
}

std::wstring BackupFailedText(const std::wstring& problem)
{
    return L"Sorry! The backup could not be taken.\n\n" + problem;
}

std::wstring BackupUnusableText(const std::wstring& problem)
{
    return L"Sorry! This backup can't be used. Nothing has been changed.\n\n" + problem;
}

std::wstring RestoreFailedText(const std::wstring& problem, bool stateKept)
{
    std::wstring text = L"Sorry! The backup could not be restored.\n\n" + problem;
    if (stateKept)
        text += L"\n\nThe backup of the state before the restore is at the top of the list.";
    return text;
}

CBackupsDlg::CBackupsDlg(HWND parent, RestoreGuard guard)
    : CBitmapDialog(IDD_BACKUPS, parent),
      m_whiteBrush(CreateSolidBrush(RGB(255, 255, 255))),
      m_guard(std::move(guard))
{
    SetTitleButtons(false, false, true);
    SetContentColour(PaneColour);
    AnswerControlColours({WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG}, true);
}

BOOL CBackupsDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, BackupsTitle);
    SetWindowPos(m_hWnd, nullptr, 0, 0, ScaleForWindow(m_hWnd, Width), ScaleForWindow(m_hWnd, Height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SkinButtons();
    PlaceControls();
    AddColumns();
    SetDlgItemTextW(m_hWnd, IDC_BACKUPS_FOLDER, BackupFolderInForce().c_str());
    Refill();
    SetFocus(GetDlgItem(IDC_BACKUPS_LIST));
    return FALSE;
}

void CBackupsDlg::SkinButtons()
{
    SkinButton(m_changeFolder, m_hWnd, IDC_BACKUPS_CHANGE_FOLDER, false);
    SkinButton(m_backUpNow, m_hWnd, IDC_BACKUPS_NOW, true);
    SkinButton(m_restore, m_hWnd, IDC_BACKUPS_RESTORE, true);
    SkinButton(m_bringBack, m_hWnd, IDC_BACKUPS_RECORDS, true);
    SkinButton(m_close, m_hWnd, IDCANCEL, false, IDI_CANCEL);
}

void CBackupsDlg::PlaceControls()
{
    const RECT c = GetContentRect();
    auto s = [this](int pixels) { return ScaleForWindow(m_hWnd, pixels); };
    const int l = c.left, t = c.top, r = c.right, b = c.bottom;
    Place(m_hWnd, IDC_BACKUPS_NOTE, l + s(10), t + s(10), r - s(10), t + s(42));
    Place(m_hWnd, IDC_BACKUPS_FOLDER_LABEL, l + s(10), t + s(50), l + s(60), t + s(70));
    Place(m_hWnd, IDC_BACKUPS_FOLDER, l + s(60), t + s(50), r - s(90), t + s(70));
    Place(m_hWnd, IDC_BACKUPS_CHANGE_FOLDER, r - s(80), t + s(50), r - s(10), t + s(70));
    Place(m_hWnd, IDC_BACKUPS_LIST, l + s(10), t + s(80), r - s(10), b - s(40));
    Place(m_hWnd, IDC_BACKUPS_NOW, l + s(10), b - s(30), l + s(110), b - s(10));
    Place(m_hWnd, IDC_BACKUPS_RESTORE, l + s(120), b - s(30), l + s(220), b - s(10));
    Place(m_hWnd, IDC_BACKUPS_RECORDS, l + s(230), b - s(30), l + s(330), b - s(10));
    Place(m_hWnd, IDCANCEL, r - s(80), b - s(30), r - s(10), b - s(10));
}

void CBackupsDlg::AddColumns()
{
    HWND list = GetDlgItem(IDC_BACKUPS_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    struct CColumn {
        const wchar_t* Title;
        int Width;
        int Format;
    };
    const CColumn columns[] = {{L"Date", 110, LVCFMT_LEFT},
                               {L"Time", 90, LVCFMT_LEFT},
                               {L"Softwares", 80, LVCFMT_RIGHT},
                               {L"Taken", 230, LVCFMT_LEFT}};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<wchar_t*>(columns[i].Title);
        column.cx = ScaleForWindow(m_hWnd, columns[i].Width);
        column.fmt = columns[i].Format;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void CBackupsDlg::Refill(const std::wstring& select)
{
    HWND list = GetDlgItem(IDC_BACKUPS_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    m_listed = ListSnapshots(BackupFolderInForce());
    int selected = 0;
    for (size_t i = 0; i < m_listed.size(); ++i) {
        const CSnapshotListing& listing = m_listed[i];
        const int row = static_cast<int>(i);
        std::wstring date = SnapshotDateText(listing.Stamp);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = date.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        SetCell(list, row, TimeColumn, SnapshotTimeText(listing.Stamp));
        SetCell(list, row, RecordsColumn, listing.Readable ? std::to_wstring(listing.Manifest.Records) : L"");
        SetCell(list, row, ReasonColumn,
                listing.Readable ? SnapshotReasonText(listing.Manifest.Reason) : BackupDamagedListText);
        if (!select.empty() && CompareStringOrdinal(listing.Path.c_str(), -1, select.c_str(), -1, TRUE) == CSTR_EQUAL)
            selected = row;
    }
    if (!m_listed.empty()) {
        ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, selected, FALSE);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

const CSnapshotListing* CBackupsDlg::SelectedSnapshot()
{
    const int row = ListView_GetNextItem(GetDlgItem(IDC_BACKUPS_LIST), -1, LVNI_SELECTED);
    if (row < 0 || row >= static_cast<int>(m_listed.size())) {
        ShowInformation(m_hWnd, SelectBackupFirstText);
        return nullptr;
    }
    return &m_listed[static_cast<size_t>(row)];
}

INT_PTR CBackupsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
        // The read-only folder box keeps the white of the program's boxes.
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(IDC_BACKUPS_FOLDER)) {
            handled = true;
            return OpaqueControlColour(wParam, RGB(255, 255, 255), m_whiteBrush.Get());
        }
        break;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_BACKUPS_LIST && header->code == NM_DBLCLK) {
            handled = true;
            OnBringBack();
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
}

bool CBackupsDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    if (notifyCode != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_BACKUPS_NOW: OnBackUpNow(); return true;
    case IDC_BACKUPS_RESTORE: OnRestore(); return true;
    case IDC_BACKUPS_RECORDS: OnBringBack(); return true;
    case IDC_BACKUPS_CHANGE_FOLDER: OnChangeFolder(); return true;
    default: return false;
    }
}

void CBackupsDlg::OnBackUpNow()
{
    const CSnapshotResult written = RunSnapshot(m_hWnd, SnapshotReason::Manual);
    if (!written.Written) {
        ShowError(m_hWnd, BackupFailedText(written.Problem));
        return;
    }
    Refill(written.Path);
}

bool CBackupsDlg::LoadSelectedSnapshot(CSnapshotListing& listing, CSnapshotContent& content)
{
    const CSnapshotListing* selected = SelectedSnapshot();
    if (!selected)
        return false;
    listing = *selected;
    // The whole snapshot is read and checked before anything changes.
    std::wstring problem;
    if (!LoadSnapshot(listing.Path, content, problem)) {
        ShowError(m_hWnd, BackupUnusableText(problem));
        return false;
    }
    return true;
}

void CBackupsDlg::OnRestore()
{
    CSnapshotListing listing;
    CSnapshotContent content;
    if (!LoadSelectedSnapshot(listing, content))
        return;
    std::wstring problem;
    if (!AskQuestion(m_hWnd, RestoreQuestion(listing)) || !MayRestore(m_guard, m_hWnd))
        return;
    const CSnapshotResult before = RunSnapshot(m_hWnd, SnapshotReason::Restore);
    if (!before.Written && !AskQuestion(m_hWnd, SnapshotFailedQuestion(before.Problem)))
        return;
    const bool restored = RestoreSnapshotFiles(content, Settings.DataFolder, problem);
    // Whatever reached the disk is what the catalogue shows from now on.
    m_catalogueChanged = true;
    LoadHistoryLists();
    Refill(listing.Path);
    if (!restored) {
        ShowError(m_hWnd, RestoreFailedText(problem, before.Written));
        return;
    }
    ShowInformation(m_hWnd, RestoredText(listing, static_cast<int>(content.Records.size())));
}

void CBackupsDlg::OnBringBack()
{
    CSnapshotListing listing;
    CSnapshotContent content;
    if (!LoadSelectedSnapshot(listing, content))
        return;
    CBackupRecordsDlg records(listing, content, m_hWnd, m_guard);
    if (records.DoModal() == IDOK && records.BroughtBack() > 0) {
        m_catalogueChanged = true;
        Refill(listing.Path);
    }
}

void CBackupsDlg::OnChangeFolder()
{
    std::wstring folder;
    if (!BrowseForFolder(m_hWnd, BackupsFolderPickerTitle, folder) || folder.empty() || folder.size() >= MAX_PATH ||
        !PathExists(folder, true))
        return;
    if (folder.back() != L'\\')
        folder += L'\\';
    // The default folder is stored as no choice at all, so the settings file stays as it was.
    const bool isDefault =
        CompareStringOrdinal(folder.c_str(), -1, DefaultBackupFolder().c_str(), -1, TRUE) == CSTR_EQUAL;
    CConfigurations changed = Settings;
    changed.BackupFolder = isDefault ? std::wstring() : folder;
    if (!WriteSettings(changed))
        return;  // told by the settings writer; the folder in force stays
    Settings.BackupFolder = changed.BackupFolder;
    SetDlgItemTextW(m_hWnd, IDC_BACKUPS_FOLDER, BackupFolderInForce().c_str());
    Refill();
}

bool RunBackupsCommand(HWND owner, RestoreGuard guard)
{
    CBackupsDlg dialog(owner, std::move(guard));
    dialog.DoModal();
    if (!dialog.CatalogueChanged())
        return false;
    ReloadCatalogue(Settings.DataFolder);
    return true;
}
