#include "app/BackupRecordsDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <utility>

#include "app/BackupCommands.h"
#include "app/BackupsDlg.h"
#include "framework/Dpi.h"
#include "framework/MessageBox.h"
#include "model/TextRules.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/SoftwareText.h"

const wchar_t* const TickRecordsFirstText = L"Please tick the softwares to bring back first.";

namespace {
enum Column { NameColumn, VersionColumn, CompanyColumn, StateColumn };

std::string PresentBytes(const std::wstring& path, bool& exists)
{
    exists = false;
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file.IsOpen())
        return bytes;
    exists = true;
    if (!ReadWholeFile(file.Get(), bytes))
        bytes.clear();
    return bytes;
}

void Place(HWND dialog, int id, int left, int top, int right, int bottom)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinCommandButton(CommCtrl::CBitmapButton5S& button, HWND dialog, int id, UINT icon)
{
    button.SubclassDlgItem(id, dialog);
    button.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    button.SetHoverBitmap(IDB_BUTTON_HOVER);
    button.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    button.SetTextColor(RGB(0, 0, 0));
    button.SetIcon(icon);
}

void SetCell(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
}  // namespace

const wchar_t* BackupRecordStateText(BackupRecordState state)
{
    switch (state) {
    case BackupRecordState::Deleted: return L"Deleted since";
    case BackupRecordState::Changed: return L"Changed since";
    case BackupRecordState::Same:
    default: return L"Same as now";
    }
}

std::vector<CBackupRecordRow> CompareWithDataFolder(const CSnapshotContent& content, const std::wstring& dataFolder)
{
    std::vector<CBackupRecordRow> rows;
    rows.reserve(content.Records.size());
    for (const CSnapshotRecordFile& file : content.Records) {
        CBackupRecordRow row;
        row.Id = file.Id;
        CSoftware record;
        if (ParseSoftwareText(DecodeUtf8(file.Bytes), record)) {
            row.Name = record.BasicInfo.Name;
            row.Version = record.BasicInfo.Version;
            row.Company = record.BasicInfo.Company;
        } else {
            row.Name = file.Id;  // a file the program would not load: at least its name shows
        }
        bool exists = false;
        const std::string present = PresentBytes(dataFolder + file.Id, exists);
        row.State = !exists ? BackupRecordState::Deleted
                            : present == file.Bytes ? BackupRecordState::Same : BackupRecordState::Changed;
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const CBackupRecordRow& a, const CBackupRecordRow& b) {
        if (a.State != b.State)
            return a.State < b.State;
        return TextGreater(b.Name, a.Name);
    });
    return rows;
}

std::wstring BackupRecordsNote(const CSnapshotListing& listing)
{
    return L"Tick the softwares to bring back from the backup of " + SnapshotDateText(listing.Stamp) + L", " +
           SnapshotTimeText(listing.Stamp) + L". A software that still exists is replaced by its copy in the backup.";
}

std::wstring BringBackFailedText(const std::wstring& problem)
{
    return L"Sorry! The softwares could not all be brought back.\n\n" + problem;
}

std::wstring BroughtBackText(int count)
{
    wchar_t text[128] = {};
    std::swprintf(text, 128, L"%d software(s) have been brought back from the backup.", count);
    return text;
}

CBackupRecordsDlg::CBackupRecordsDlg(const CSnapshotListing& listing, const CSnapshotContent& content, HWND parent,
                                     RestoreGuard guard)
    : CBitmapDialog(IDD_BACKUP_RECORDS, parent),
      m_listing(listing),
      m_content(content),
      m_guard(std::move(guard))
{
    SetTitleButtons(false, false, true);
    SetContentColour(PaneColour);
    AnswerControlColours({WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG}, true);
}

BOOL CBackupRecordsDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, L"Bring Back Softwares");
    auto s = [this](int pixels) { return ScaleForWindow(m_hWnd, pixels); };
    SetWindowPos(m_hWnd, nullptr, 0, 0, s(Width), s(Height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SkinCommandButton(m_ok, m_hWnd, IDOK, IDI_OK);
    SkinCommandButton(m_cancel, m_hWnd, IDCANCEL, IDI_CANCEL);
    const RECT c = GetContentRect();
    Place(m_hWnd, IDC_BACKUP_RECORDS_NOTE, c.left + s(10), c.top + s(10), c.right - s(10), c.top + s(42));
    Place(m_hWnd, IDC_BACKUP_RECORDS_LIST, c.left + s(10), c.top + s(50), c.right - s(10), c.bottom - s(40));
    Place(m_hWnd, IDCANCEL, c.right - s(80), c.bottom - s(30), c.right - s(10), c.bottom - s(10));
    Place(m_hWnd, IDOK, c.right - s(160), c.bottom - s(30), c.right - s(90), c.bottom - s(10));
    SetDlgItemTextW(m_hWnd, IDC_BACKUP_RECORDS_NOTE, BackupRecordsNote(m_listing).c_str());

    HWND list = GetDlgItem(IDC_BACKUP_RECORDS_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const wchar_t* titles[] = {L"Software", L"Version", L"Company", L"Now"};
    const int widths[] = {190, 80, 140, 100};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(titles[i]);
        column.cx = s(widths[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    m_rows = CompareWithDataFolder(m_content, Settings.DataFolder);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int row = static_cast<int>(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = m_rows[i].Name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        SetCell(list, row, VersionColumn, m_rows[i].Version);
        SetCell(list, row, CompanyColumn, m_rows[i].Company);
        SetCell(list, row, StateColumn, BackupRecordStateText(m_rows[i].State));
    }
    if (!m_rows.empty())
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    return FALSE;
}

void CBackupRecordsDlg::OnOK()
{
    HWND list = GetDlgItem(IDC_BACKUP_RECORDS_LIST);
    std::vector<std::wstring> ids;
    bool replacing = false;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (ListView_GetCheckState(list, static_cast<int>(i))) {
            ids.push_back(m_rows[i].Id);
            replacing = replacing || m_rows[i].State != BackupRecordState::Deleted;
        }
    }
    if (ids.empty()) {
        ShowInformation(m_hWnd, TickRecordsFirstText);
        return;
    }
    if (!MayRestore(m_guard, m_hWnd))
        return;
    // One deleted software comes back without touching the others; anything more may be undone
    // from the snapshot taken first.
    if ((ids.size() > 1 || replacing) && !TakeSnapshot(m_hWnd, SnapshotReason::BringBack))
        return;
    std::wstring problem;
    if (!RestoreSnapshotRecords(m_content, ids, Settings.DataFolder, problem)) {
        // Some may have been written before the failure: the catalogue is shown again all the same.
        m_broughtBack = static_cast<int>(ids.size());
        ShowError(m_hWnd, BringBackFailedText(problem));
        EndDialog(IDOK);
        return;
    }
    m_broughtBack = static_cast<int>(ids.size());
    ShowInformation(m_hWnd, BroughtBackText(m_broughtBack));
    EndDialog(IDOK);
}


