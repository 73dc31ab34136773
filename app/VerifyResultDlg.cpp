#include "app/VerifyResultDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "app/DialogButtons.h"
#include "app/PaneColour.h"
#include "res/resource.h"

const wchar_t* const VerifyResultTitle = L"Verify installers";

namespace {
// Column widths at 96 DPI; the installer file takes what the others leave.
constexpr int SoftwareColumn = 170;
constexpr int ResultColumn = 80;

// Failures first, in the order a user acts on them; the catalogue's order within each.
int Rank(InstallerCheckResult result)
{
    switch (result) {
    case InstallerCheckResult::Changed: return 0;
    case InstallerCheckResult::Missing: return 1;
    case InstallerCheckResult::Unreadable: return 2;
    default: return 3;
    }
}

// The record's result now: a relinked installer reads intact.
InstallerCheckResult CurrentResult(const CVerifyEntry& entry)
{
    const InstallerCheckResult stored = ParseCheckResult(entry.Record->ExtraInfo.InstallerCheck);
    return stored == InstallerCheckResult::None ? entry.Result : stored;
}
}  // namespace

CVerifyResultDlg::CVerifyResultDlg(std::vector<CVerifyEntry> entries, FindMoved findMoved, ShowDetails showDetails,
                                   HWND owner)
    : CBitmapDialog(IDD_VERIFY_RESULT, owner),
      m_entries(std::move(entries)),
      m_findMoved(std::move(findMoved)),
      m_showDetails(std::move(showDetails))
{
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const CVerifyEntry& a, const CVerifyEntry& b) { return Rank(a.Result) < Rank(b.Result); });
    SetTitleButtons(false, false, true);
    SetContentColour(PaneColour);
}

std::wstring CVerifyResultDlg::SummaryText(const std::vector<CVerifyEntry>& entries)
{
    int counts[5] = {};
    for (const CVerifyEntry& entry : entries)
        ++counts[static_cast<int>(CurrentResult(entry))];
    auto count = [&](InstallerCheckResult result) { return std::to_wstring(counts[static_cast<int>(result)]); };
    return std::to_wstring(entries.size()) + (entries.size() == 1 ? L" installer checked: " : L" installers checked: ") +
           count(InstallerCheckResult::Intact) + L" intact, " + count(InstallerCheckResult::Changed) +
           L" changed, " + count(InstallerCheckResult::Missing) + L" missing, " +
           count(InstallerCheckResult::Unreadable) + L" unreadable.";
}

BOOL CVerifyResultDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, VerifyResultTitle);
    ResizeTo(Width, Height);
    CentreOverOwner(m_hWnd);
    SkinDialogButton(m_findMovedButton, m_hWnd, IDC_VERIFY_FIND_MOVED, ButtonArt::Long);
    SkinDialogButton(m_close, m_hWnd, IDCANCEL, ButtonArt::Normal, IDI_CANCEL);
    PlaceControls();

    HWND list = GetDlgItem(IDC_VERIFY_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER);
    const wchar_t* const titles[] = {L"Software", L"Result", L"Installer file"};
    int index = 0;
    for (const wchar_t* title : titles) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = const_cast<wchar_t*>(title);
        ListView_InsertColumn(list, index++, &item);
    }
    SizeColumns();
    FillRows();
    SetFocus(list);
    return FALSE;
}

void CVerifyResultDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(Width, Height);
    PlaceControls();
    SizeColumns();
}

void CVerifyResultDlg::PlaceControls()
{
    const RECT c = GetContentRect();
    auto place = [this](int id, int left, int top, int right, int bottom) {
        SetWindowPos(GetDlgItem(id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_VERIFY_SUMMARY, c.left + Scale(10), c.top + Scale(10), c.right - Scale(10), c.top + Scale(30));
    place(IDC_VERIFY_LIST, c.left + Scale(10), c.top + Scale(36), c.right - Scale(10), c.bottom - Scale(40));
    place(IDC_VERIFY_FIND_MOVED, c.left + Scale(10), c.bottom - Scale(30), c.left + Scale(160), c.bottom - Scale(10));
    place(IDCANCEL, c.right - Scale(80), c.bottom - Scale(30), c.right - Scale(10), c.bottom - Scale(10));
}

// The columns fill the list's width: the installer file takes what the others leave.
void CVerifyResultDlg::SizeColumns()
{
    HWND list = GetDlgItem(IDC_VERIFY_LIST);
    RECT client{};
    GetClientRect(list, &client);
    ListView_SetColumnWidth(list, 0, Scale(SoftwareColumn));
    ListView_SetColumnWidth(list, 1, Scale(ResultColumn));
    ListView_SetColumnWidth(list, 2, std::max(Scale(100), RectWidth(client) - Scale(SoftwareColumn + ResultColumn)));
}

void CVerifyResultDlg::FillRows()
{
    HWND list = GetDlgItem(IDC_VERIFY_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    int row = 0;
    for (const CVerifyEntry& entry : m_entries) {
        const CSoftware& record = *entry.Record;
        std::wstring name = record.BasicInfo.Name + L"(" + record.BasicInfo.Version + L")";
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = name.data();
        ListView_InsertItem(list, &item);
        std::wstring result = CheckResultText(CurrentResult(entry));
        ListView_SetItemText(list, row, 1, result.data());
        std::wstring path = record.InstallerInfo.InstallerPath;
        ListView_SetItemText(list, row, 2, path.data());
        ++row;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SetDlgItemTextW(m_hWnd, IDC_VERIFY_SUMMARY, SummaryText(m_entries).c_str());
    EnableDialogButton(m_findMovedButton, !StillMissing().empty() && m_findMoved);
}

std::vector<CSoftware*> CVerifyResultDlg::StillMissing() const
{
    std::vector<CSoftware*> missing;
    for (const CVerifyEntry& entry : m_entries) {
        if (CurrentResult(entry) == InstallerCheckResult::Missing)
            missing.push_back(entry.Record);
    }
    return missing;
}

INT_PTR CVerifyResultDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_VERIFY_LIST || (header->code != NM_DBLCLK && header->code != NM_RETURN))
            break;
        handled = true;
        OnOpenRow();
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
        handled = true;
        return TransparentControlColour(wParam, GetContentBrush());
    default:
        break;
    }
    return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
}

void CVerifyResultDlg::OnOpenRow()
{
    HWND list = GetDlgItem(IDC_VERIFY_LIST);
    const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (row < 0 || row >= static_cast<int>(m_entries.size()) || !m_showDetails)
        return;
    m_showDetails(m_hWnd, *m_entries[static_cast<size_t>(row)].Record);
    FillRows();
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

bool CVerifyResultDlg::OnCommand(WORD id, WORD, HWND)
{
    if (id != IDC_VERIFY_FIND_MOVED)
        return false;
    if (m_findMoved)
        m_findMoved(m_hWnd, StillMissing());
    FillRows();
    return true;
}
