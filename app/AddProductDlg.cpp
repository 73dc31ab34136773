#include "app/AddProductDlg.h"

#include "res/resource.h"
#include "app/PaneColour.h"

namespace {
constexpr COLORREF BackgroundColour = PaneColour;

void SkinCommandButton(CommCtrl::CBitmapButton5S& button, HWND dialog, int id, UINT icon)
{
    button.SubclassDlgItem(id, dialog);
    button.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    button.SetHoverBitmap(IDB_BUTTON_HOVER);
    button.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    button.SetTextColor(RGB(0, 0, 0));
    button.SetIcon(icon);
}
}  // namespace

CAddProductDlg::CAddProductDlg(CSoftware* record, HWND parent)
    : CBitmapDialog(IDD_ADD_PRODUCT, parent)
{
    SetContentColour(BackgroundColour);
    AnswerControlColours({WM_CTLCOLORDLG, WM_CTLCOLORBTN}, false);
    m_pane.SetMode(ItemInfoAdd);
    m_pane.SetPageChanged([this] { UpdateLayout(); });
    SetSoftware(record);
}

void CAddProductDlg::SetSoftware(CSoftware* record)
{
    m_pane.SetRecord(record);
}

BOOL CAddProductDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, L"Add Software");
    UpdateLayout();
    SkinCommandButton(m_ok, m_hWnd, IDOK, IDI_OK);
    SkinCommandButton(m_cancel, m_hWnd, IDCANCEL, IDI_CANCEL);
    m_buttonsSkinned = true;
    PlaceButtons();
    // The pane's layout gave the Name editor the focus.
    return FALSE;
}

void CAddProductDlg::UpdateLayout()
{
    const int height = m_pane.CurrentTab() == 1 ? RegistrationPageHeight : BasicPageHeight;
    ResizeTo(DialogWidth, height);
    const RECT content = GetContentRect();
    const int paneHeight = RectHeight(content) - Scale(30);
    m_pane.SetMode(ItemInfoAdd);
    m_pane.SetPaneHeight(paneHeight);
    if (!m_paneCreated) {
        m_paneCreated = m_pane.Create(m_hWnd);
        SetWindowPos(m_pane.GetSafeHwnd(), nullptr, content.left, content.top, Scale(300), paneHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowPos(m_pane.GetDlgItem(IDC_ITEM_TABS), nullptr, 0, 0, Scale(296), RectHeight(content) - Scale(34),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_pane.GetSafeHwnd(), SW_SHOW);
    // The taller page may not fit the screen at this scale.
    if (IsWindowVisible(m_hWnd))
        FitWorkArea();
}

void CAddProductDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    m_pane.SetDpi(GetDpi());
    // The pane keeps its place at the content's corner, which moved with the title bar.
    const RECT content = GetContentRect();
    SetWindowPos(m_pane.GetSafeHwnd(), nullptr, content.left, content.top, Scale(300), RectHeight(content) - Scale(30),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateLayout();
    PlaceButtons();
}

void CAddProductDlg::PlaceButtons()
{
    if (!m_buttonsSkinned)
        return;
    const RECT c = GetContentRect();
    SetWindowPos(GetDlgItem(IDCANCEL), nullptr, c.right - Scale(72), c.bottom - Scale(25), Scale(70), Scale(20),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(IDOK), nullptr, c.right - Scale(152), c.bottom - Scale(25), Scale(70), Scale(20),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAddProductDlg::OnOK()
{
    if (m_pane.CollectFields())
        EndDialog(IDOK);
}


INT_PTR CAddProductDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_SIZE: {
        INT_PTR result = CBitmapDialog::OnMessage(message, wParam, lParam, handled);
        PlaceButtons();
        return result;
    }
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}
