#include "app/FindDlg.h"

#include "app/PaneColour.h"
#include "framework/Dpi.h"
#include "res/resource.h"

const wchar_t* const FindBoxTitle = L"Find";

static_assert(CFindDlg::IDC_TextBox == IDC_FIND_TEXT, "one identifier for the text box");

CFindDlg::CFindDlg(CHandlers handlers)
    : CBitmapDialog(IDD_FIND),
      m_handlers(std::move(handlers)),
      m_whiteBrush(CreateSolidBrush(RGB(255, 255, 255)))
{
    SetTitleButtons(false, false, true);
    SetContentColour(PaneColour);
    AnswerControlColours({WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}, true);
}

bool CFindDlg::Create(HWND owner)
{
    return CDialog::Create(owner);
}

BOOL CFindDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, FindBoxTitle);

    m_next.SubclassDlgItem(IDC_FIND_NEXT, m_hWnd);
    m_next.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    m_next.SetHoverBitmap(IDB_BUTTON_HOVER);
    m_next.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    m_next.SetTextColor(RGB(0, 0, 0));
    m_next.SetIcon(IDI_OK);
    PlaceControls();
    return FALSE;
}

void CFindDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    PlaceControls();
}

// One row: the label, the text box, then "Next" at the right.
void CFindDlg::PlaceControls()
{
    ResizeTo(Width, Height);
    const RECT c = GetContentRect();
    const int top = c.top + Scale(10);
    const int rowHeight = Scale(20);
    auto place = [this](int id, int left, int top, int right, int bottom) {
        SetWindowPos(GetDlgItem(id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_FIND_LABEL, c.left + Scale(8), top + Scale(3), c.left + Scale(70), top + rowHeight);
    place(IDC_FIND_TEXT, c.left + Scale(72), top, c.right - Scale(84), top + rowHeight);
    place(IDC_FIND_NEXT, c.right - Scale(78), top, c.right - Scale(8), top + rowHeight);
}

void CFindDlg::ShowOver(const RECT& area)
{
    PlaceOver(area);
    ShowWindow(m_hWnd, SW_SHOW);
    HWND text = TextBox();
    SetFocus(text);
    SendMessageW(text, EM_SETSEL, 0, -1);
}

void CFindDlg::PlaceOver(const RECT& area)
{
    RECT box{};
    GetWindowRect(m_hWnd, &box);
    // Centred across the area and just above its bottom edge: the list and its tabs stay in view.
    SetWindowPos(m_hWnd, HWND_TOP, area.left + (RectWidth(area) - RectWidth(box)) / 2,
                 area.bottom - RectHeight(box) - Scale(8), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

std::wstring CFindDlg::Text() const
{
    HWND text = TextBox();
    const int length = GetWindowTextLengthW(text);
    std::wstring value(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    value.resize(static_cast<size_t>(GetWindowTextW(text, value.data(), length + 1)));
    return value;
}

void CFindDlg::SetText(const std::wstring& text)
{
    SetWindowTextW(TextBox(), text.c_str());
}

void CFindDlg::OnOK()
{
    if (m_handlers.Next)
        m_handlers.Next();
}

void CFindDlg::OnCancel()
{
    if (m_handlers.Close)
        m_handlers.Close();
}

bool CFindDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    if (id == IDC_FIND_TEXT && notifyCode == EN_CHANGE) {
        if (m_handlers.TextChanged)
            m_handlers.TextChanged(Text());
        return true;
    }
    if (id == IDC_FIND_NEXT && notifyCode == BN_CLICKED) {
        OnOK();
        // The keyboard stays in the text box, ready for the next Enter.
        SetFocus(TextBox());
        return true;
    }
    return false;
}

INT_PTR CFindDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CTLCOLOREDIT:
        handled = true;
        return OpaqueControlColour(wParam, RGB(255, 255, 255), m_whiteBrush.Get());
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}
