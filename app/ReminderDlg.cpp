#include "app/ReminderDlg.h"

#include <commctrl.h>

#include "app/PaneColour.h"
#include "framework/Dpi.h"
#include "res/resource.h"

const wchar_t* const ReminderTitle = L"Licence Reminders";
const wchar_t* const ReminderColumns[4] = {L"Name", L"Version", L"Expiry", L"Days left"};

namespace {
std::wstring DaysText(int days)
{
    return std::to_wstring(days) + (days == 1 ? L" day" : L" days");
}

// Column widths at 96 DPI; the name takes what the others leave.
constexpr int VersionColumn = 80;
constexpr int ExpiryColumn = 86;
constexpr int DaysColumn = 120;
}  // namespace

std::wstring ReminderIntroText(int windowDays)
{
    return L"These licences expire within " + DaysText(windowDays) + L" or have expired:";
}

std::wstring NothingDueText(int windowDays)
{
    return L"No licence expires within " + DaysText(windowDays) + L".";
}

CReminderDlg::CReminderDlg(const std::vector<CDueRecord>& due, int windowDays, HWND parent)
    : CBitmapDialog(IDD_REMINDERS, parent),
      m_due(due),
      m_windowDays(windowDays)
{
    SetContentColour(PaneColour);
    AnswerControlColours({WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}, true);
}

BOOL CReminderDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, ReminderTitle);
    ResizeTo(Width, Height);
    // Centred over the main window.
    if (HWND owner = GetWindow(m_hWnd, GW_OWNER)) {
        RECT ownerRect{}, box{};
        GetWindowRect(owner, &ownerRect);
        GetWindowRect(m_hWnd, &box);
        SetWindowPos(m_hWnd, nullptr, ownerRect.left + (RectWidth(ownerRect) - RectWidth(box)) / 2,
                     ownerRect.top + (RectHeight(ownerRect) - RectHeight(box)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    m_show.SubclassDlgItem(IDC_REMINDER_SHOW, m_hWnd);
    m_show.LoadStateBitmaps(IDB_WIDE_NORMAL, IDB_WIDE_PRESSED, IDB_WIDE_FOCUSED, IDB_WIDE_NORMAL);
    m_show.SetHoverBitmap(IDB_WIDE_HOVER);
    m_show.SetLayout(RECT{0, 0, 0, 0}, RECT{0, 3, 100, 17}, 6, L"Arial");
    m_show.SetTextColor(RGB(0, 0, 0));
    m_close.SubclassDlgItem(IDCANCEL, m_hWnd);
    m_close.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    m_close.SetHoverBitmap(IDB_BUTTON_HOVER);
    m_close.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    m_close.SetTextColor(RGB(0, 0, 0));
    m_close.SetIcon(IDI_CANCEL);

    PlaceControls();
    SetDlgItemTextW(m_hWnd, IDC_REMINDER_TEXT, ReminderIntroText(m_windowDays).c_str());
    FillList();
    SetFocus(GetDlgItem(IDC_REMINDER_LIST));
    return FALSE;
}

void CReminderDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(Width, Height);
    PlaceControls();
    SizeColumns();
}

void CReminderDlg::PlaceControls()
{
    const RECT c = GetContentRect();
    auto place = [this](int id, int left, int top, int right, int bottom) {
        SetWindowPos(GetDlgItem(id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_REMINDER_TEXT, c.left + Scale(10), c.top + Scale(10), c.right - Scale(10), c.top + Scale(28));
    place(IDC_REMINDER_LIST, c.left + Scale(10), c.top + Scale(32), c.right - Scale(10), c.bottom - Scale(36));
    place(IDCANCEL, c.right - Scale(80), c.bottom - Scale(28), c.right - Scale(10), c.bottom - Scale(8));
    place(IDC_REMINDER_SHOW, c.right - Scale(190), c.bottom - Scale(28), c.right - Scale(90),
          c.bottom - Scale(8));
}

// The name takes what the others leave.
void CReminderDlg::SizeColumns()
{
    HWND list = GetDlgItem(IDC_REMINDER_LIST);
    RECT client{};
    GetClientRect(list, &client);
    const int widths[4] = {RectWidth(client) - Scale(VersionColumn + ExpiryColumn + DaysColumn), Scale(VersionColumn),
                           Scale(ExpiryColumn), Scale(DaysColumn)};
    for (int column = 0; column < 4; ++column)
        ListView_SetColumnWidth(list, column, widths[column]);
}

void CReminderDlg::FillList()
{
    HWND list = GetDlgItem(IDC_REMINDER_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW heading{};
        heading.mask = LVCF_TEXT | LVCF_SUBITEM;
        heading.pszText = const_cast<wchar_t*>(ReminderColumns[column]);
        heading.iSubItem = column;
        ListView_InsertColumn(list, column, &heading);
    }
    SizeColumns();
    int row = 0;
    for (const CDueRecord& due : m_due) {
        const std::wstring texts[4] = {due.Record->BasicInfo.Name, due.Record->BasicInfo.Version,
                                       due.Record->ExtraInfo.ExpiryDate, DaysLeftText(due.DaysLeft)};
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(texts[0].c_str());
        item.lParam = row;
        const int at = ListView_InsertItem(list, &item);
        for (int column = 1; column < 4; ++column)
            ListView_SetItemText(list, at, column, const_cast<wchar_t*>(texts[column].c_str()));
        ++row;
    }
    // The caret on the first row without selecting it, so that an expired one shows its red.
    if (row > 0)
        ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
}

bool CReminderDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    if (id == IDC_REMINDER_SHOW && notifyCode == BN_CLICKED) {
        EndDialog(IDOK);
        return true;
    }
    return false;
}

INT_PTR CReminderDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_NOTIFY: {
        // Expired licences in red, as the details pane shows them.
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_REMINDER_LIST || header->code != NM_CUSTOMDRAW)
            return 0;
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        handled = true;
        LRESULT result = CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const size_t row = static_cast<size_t>(draw->nmcd.lItemlParam);
            if (row < m_due.size() && m_due[row].DaysLeft < 0)
                draw->clrText = RGB(200, 0, 0);
        }
        return result;  // the dialog base hands it over as the message's result
    }
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}
