#include "app/EditCodeDlg.h"

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

void Place(HWND dialog, int id, int left, int top, int right, int bottom)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

CEditCodeDlg::CEditCodeDlg(const std::wstring& title, std::wstring& code, HWND parent)
    : CBitmapDialog(IDD_EDIT_CODE, parent),
      m_title(title),
      m_code(code),
      m_whiteBrush(CreateSolidBrush(RGB(255, 255, 255)))
{
    SetContentColour(BackgroundColour);
    AnswerControlColours({WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}, false);
}

BOOL CEditCodeDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, m_title.c_str());
    SkinCommandButton(m_save, m_hWnd, IDOK, IDI_OK);
    SkinCommandButton(m_cancel, m_hWnd, IDCANCEL, IDI_CANCEL);
    PlaceControls();
    HWND edit = GetDlgItem(IDC_EDITCODE_TEXT);
    SetWindowTextW(edit, m_code.c_str());
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return FALSE;
}

void CEditCodeDlg::PlaceControls()
{
    ResizeTo(256, 125);
    const RECT c = GetContentRect();
    Place(m_hWnd, IDC_EDITCODE_TEXT, c.left + Scale(20), c.top + Scale(10), c.right - Scale(20), c.bottom - Scale(40));
    Place(m_hWnd, IDCANCEL, c.right - Scale(90), c.bottom - Scale(30), c.right - Scale(20), c.bottom - Scale(10));
    Place(m_hWnd, IDOK, c.right - Scale(170), c.bottom - Scale(30), c.right - Scale(100), c.bottom - Scale(10));
}

void CEditCodeDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    PlaceControls();
}

void CEditCodeDlg::OnOK()
{
    HWND edit = GetDlgItem(IDC_EDITCODE_TEXT);
    int length = GetWindowTextLengthW(edit);
    if (length <= 0)
        return;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), length + 1)));
    if (text.empty())
        return;
    m_code = text;
    EndDialog(IDOK);
}


INT_PTR CEditCodeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CTLCOLOREDIT:
        handled = true;
        return OpaqueControlColour(wParam, RGB(255, 255, 255), m_whiteBrush.Get());
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}
