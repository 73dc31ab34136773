#include "app/VerifyResultDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Dpi.h"
#include "res/resource.h"

namespace {
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
    : CDialog(IDD_VERIFY_RESULT, owner),
      m_entries(std::move(entries)),
      m_findMoved(std::move(findMoved)),
      m_showDetails(std::move(showDetails))
{
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const CVerifyEntry& a, const CVerifyEntry& b) { return Rank(a.Result) < Rank(b.Result); });
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
    HWND list = GetDlgItem(IDC_VERIFY_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    struct Column {
        const wchar_t* Title;
        int Width;
    };
    const Column columns[] = {{L"Software", 170}, {L"Result", 80}, {L"Installer file", 300}};
    int index = 0;
    for (const Column& column : columns) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.pszText = const_cast<wchar_t*>(column.Title);
        item.cx = ScaleForWindow(m_hWnd, column.Width);
        ListView_InsertColumn(list, index++, &item);
    }
    FillRows();
    return TRUE;
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
    EnableWindow(GetDlgItem(IDC_VERIFY_FIND_MOVED), !StillMissing().empty() && m_findMoved);
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

INT_PTR CVerifyResultDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, bool& handled)
{
    if (message != WM_NOTIFY)
        return 0;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_VERIFY_LIST || (header->code != NM_DBLCLK && header->code != NM_RETURN))
        return 0;
    // A double-click or Enter on a row opens that installer's details.
    handled = true;
    const int row = ListView_GetNextItem(GetDlgItem(IDC_VERIFY_LIST), -1, LVNI_SELECTED);
    if (row < 0 || row >= static_cast<int>(m_entries.size()) || !m_showDetails)
        return 0;
    m_showDetails(m_hWnd, *m_entries[static_cast<size_t>(row)].Record);
    FillRows();
    ListView_SetItemState(GetDlgItem(IDC_VERIFY_LIST), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return 0;
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
