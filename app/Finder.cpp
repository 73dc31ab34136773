#include "app/Finder.h"

#include <commctrl.h>

#include "app/ItemInfoPane.h"
#include "app/SWListDlg.h"
#include "model/Catalogue.h"
#include "model/LicenceDates.h"
#include "storage/Configurations.h"

std::wstring FoundTabText(int count)
{
    return L"Found (" + std::to_wstring(count) + L")";
}

std::wstring DueTabText(int count)
{
    return L"Due (" + std::to_wstring(count) + L")";
}

CCalendarDate LocalToday()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return CCalendarDate{now.wYear, now.wMonth, now.wDay};
}

CFinder::CFinder() = default;

CFinder::~CFinder()
{
    if (m_box && m_box->GetSafeHwnd() && IsWindow(m_box->GetSafeHwnd()))
        DestroyWindow(m_box->GetSafeHwnd());
}

void CFinder::Connect(HWND mainWindow, CSWListDlg* listPane, CItemInfoPane* details, HWND boxArea)
{
    m_mainWindow = mainWindow;
    m_boxArea = boxArea;
    m_listPane = listPane;
    m_details = details;
}

bool CFinder::IsBoxOpen() const
{
    return m_box && m_box->GetSafeHwnd() && IsWindowVisible(m_box->GetSafeHwnd());
}

HWND CFinder::BoxWindow() const
{
    return m_box ? m_box->GetSafeHwnd() : nullptr;
}

RECT CFinder::BoxArea() const
{
    RECT area{};
    GetWindowRect(m_boxArea ? m_boxArea : m_listPane->GetSafeHwnd(), &area);
    return area;
}

void CFinder::DpiChanged(UINT dpi)
{
    if (!m_box || !m_box->GetSafeHwnd())
        return;
    m_box->SetDpi(dpi);
    if (IsBoxOpen())
        m_box->PlaceOver(BoxArea());
}

void CFinder::Open()
{
    if (!m_listPane || !m_mainWindow)
        return;
    if (!m_box || !m_box->GetSafeHwnd()) {
        CFindDlg::CHandlers handlers;
        handlers.TextChanged = [this](const std::wstring& text) { Search(text); };
        handlers.Next = [this] { Next(); };
        handlers.Close = [this] { Close(); };
        m_box = std::make_unique<CFindDlg>(std::move(handlers));
        if (!m_box->Create(m_mainWindow)) {
            m_box.reset();
            return;
        }
    }
    if (IsBoxOpen()) {
        SetActiveWindow(m_box->GetSafeHwnd());
        SetFocus(m_box->TextBox());
        SendMessageW(m_box->TextBox(), EM_SETSEL, 0, -1);
        return;
    }
    // The texts are prepared as the box opens, so that typing only scans them.
    if (m_indexStale) {
        m_index.Build(SoftwareList);
        m_indexStale = false;
    }
    // At the main window's scale, which may be below its monitor's where the window would not fit.
    const UINT dpi = DialogDpiOf(m_mainWindow);
    if (m_box->GetDpi() != dpi)
        m_box->SetDpi(dpi);
    m_box->ShowOver(BoxArea());
    // Reopened with the last text: its matches come back.
    if (!m_box->Text().empty() && m_kind != FoundTab)
        Search(m_box->Text());
}

void CFinder::Search(const std::wstring& text)
{
    m_query = text;
    if (SearchKey(text).empty()) {
        if (m_kind == FoundTab)
            RemoveTab();
        return;
    }
    if (m_kind != FoundTab) {
        RemoveTab();
        m_kind = FoundTab;
    }
    // Prepared once and kept while the catalogue stays as it is, through emptied and new queries.
    if (m_indexStale) {
        m_index.Build(SoftwareList);
        m_indexStale = false;
    }
    Fill(nullptr);
    BringTabForward();
}

void CFinder::BringTabForward()
{
    if (!m_listPane || !m_listPane->HasTemporaryTab())
        return;
    // Unsaved edits in the details pane are not dropped by typing: the tab fills behind them.
    if (m_details && m_details->Mode() == ItemInfoEdit)
        return;
    HWND tabs = m_listPane->TabControl();
    if (TabCtrl_GetCurSel(tabs) != CSWListDlg::TemporaryTab) {
        TabCtrl_SetCurSel(tabs, CSWListDlg::TemporaryTab);
        m_listPane->ActivateTab(false);
    }
    m_listPane->HandleSelectionChange(CSWListDlg::TemporaryListId);
    RestoreBoxFocus();
}

void CFinder::RestoreBoxFocus() const
{
    // Showing a list hands it the keyboard; while the box is open, typing goes on there.
    if (IsBoxOpen())
        SetFocus(m_box->TextBox());
}

void CFinder::Next()
{
    if (!IsBoxOpen()) {
        Open();
        return;
    }
    if (m_kind != FoundTab || m_shown.IsEmpty() || !m_listPane)
        return;
    HWND tabs = m_listPane->TabControl();
    CSWListBox& list = m_listPane->TemporaryList();
    int next = 0;
    if (TabCtrl_GetCurSel(tabs) != CSWListDlg::TemporaryTab) {
        TabCtrl_SetCurSel(tabs, CSWListDlg::TemporaryTab);
        m_listPane->ActivateTab(false);
        // Coming back to the tab: on from the record shown there last.
        const int caret = list.CaretIndex();
        next = caret >= 0 ? caret : 0;
    } else {
        const std::vector<int> selected = list.SelectedIndexes();
        const int from = selected.empty() ? list.CaretIndex() : selected.back();
        next = from >= 0 ? (from + 1) % m_shown.GetSize() : 0;
    }
    list.SelectOnly(next);
    SendMessageW(list.GetSafeHwnd(), LB_SETTOPINDEX, static_cast<WPARAM>(next), 0);
    m_listPane->HandleSelectionChange(CSWListDlg::TemporaryListId);
    RestoreBoxFocus();
}

void CFinder::Close()
{
    if (m_box && m_box->GetSafeHwnd())
        ShowWindow(m_box->GetSafeHwnd(), SW_HIDE);
    if (m_kind == FoundTab)
        RemoveTab();
    if (m_mainWindow && IsWindow(m_mainWindow)) {
        SetActiveWindow(m_mainWindow);
        if (m_listPane)
            m_listPane->FocusCurrentList();
    }
}

void CFinder::ShowDue()
{
    if (!m_listPane)
        return;
    if (m_box && m_box->GetSafeHwnd())
        ShowWindow(m_box->GetSafeHwnd(), SW_HIDE);
    RemoveTab();
    m_kind = DueTab;
    Fill(nullptr);
    BringTabForward();
    m_listPane->FocusCurrentList();
}

void CFinder::RemoveTab()
{
    m_kind = NoTab;
    if (m_listPane)
        m_listPane->RemoveTemporaryTab();
    m_shown.RemoveAll();
}

void CFinder::Fill(CSoftware* keep)
{
    if (m_kind == FoundTab) {
        m_index.Find(m_query, m_shown);
    } else if (m_kind == DueTab) {
        m_shown.RemoveAll();
        for (const CDueRecord& due : DueRecords(SoftwareList, LocalToday(), Settings.ReminderDays))
            m_shown.Add(due.Record);
    } else {
        return;
    }
    if (!m_listPane)
        return;
    const std::wstring text = m_kind == FoundTab ? FoundTabText(m_shown.GetSize()) : DueTabText(m_shown.GetSize());
    m_listPane->ShowTemporaryTab(text, &m_shown);
    const int kept = keep ? m_shown.Find(keep) : -1;
    if (kept >= 0)
        m_listPane->TemporaryList().SelectOnly(kept);
}

void CFinder::CatalogueChanged()
{
    m_indexStale = true;
    if (m_kind == NoTab)
        return;
    if (m_kind == FoundTab) {
        m_index.Build(SoftwareList);
        m_indexStale = false;
    }
    // The shown record is only compared, never read: it may be gone already.
    CSoftware* shown = m_details ? m_details->Record() : nullptr;
    Fill(shown);
    if (m_listPane && m_listPane->ActiveTab() == CSWListDlg::TemporaryTab)
        m_listPane->TemporaryList().RedrawNow(false);
}

void CFinder::MainWindowEnabled(bool enabled)
{
    if (HWND box = BoxWindow())
        EnableWindow(box, enabled);
}

bool CFinder::PreTranslateMessage(MSG& message)
{
    if (message.message != WM_KEYDOWN || !m_mainWindow)
        return false;
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    const HWND box = BoxWindow();
    if (root != m_mainWindow && (!box || root != box))
        return false;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (message.wParam == 'F' && control && GetKeyState(VK_MENU) >= 0) {
        Open();
        return true;
    }
    if (message.wParam == VK_F3 && !control) {
        Next();
        return true;
    }
    // The box is not the modal loop's dialog: its Enter, Escape and Tab are given to it here.
    // IsDialogMessage runs the message filters again, which must not come back here.
    if (box && root == box && !m_inBoxKeys) {
        m_inBoxKeys = true;
        const bool used = IsDialogMessageW(box, &message) != FALSE;
        m_inBoxKeys = false;
        return used;
    }
    return false;
}
