#include "app/ExportCatalogueDlg.h"

#include <string>
#include <utility>

#include "app/PaneColour.h"
#include "res/resource.h"

namespace {
void SkinCommandButton(CommCtrl::CBitmapButton5S& button, HWND dialog, int id, UINT icon)
{
    button.SubclassDlgItem(id, dialog);
    button.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    button.SetHoverBitmap(IDB_BUTTON_HOVER);
    button.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    button.SetTextColor(RGB(0, 0, 0));
    button.SetIcon(icon);
}

std::wstring CountedText(const wchar_t* text, int count)
{
    return std::wstring(text) + L" (" + std::to_wstring(count) + L")";
}
}  // namespace

CExportCatalogueDlg::CExportCatalogueDlg(int allCount, int selectedCount, ExportChoice& choice, HWND parent)
    : CBitmapDialog(IDD_EXPORT_CATALOGUE, parent),
      m_allCount(allCount),
      m_selectedCount(selectedCount),
      m_choice(choice)
{
    SetContentColour(PaneColour);
    AnswerControlColours({WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}, false);
}

BOOL CExportCatalogueDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, L"Export catalogue");
    ResizeTo(Width, Height);
    SkinCommandButton(m_export, m_hWnd, IDOK, IDI_OK);
    SkinCommandButton(m_cancel, m_hWnd, IDCANCEL, IDI_CANCEL);
    MakeHeadingFont();

    SetDlgItemTextW(m_hWnd, IDC_EXPORT_ALL, CountedText(L"All software of the catalogue", m_allCount).c_str());
    SetDlgItemTextW(m_hWnd, IDC_EXPORT_SELECTED, CountedText(L"The selected software", m_selectedCount).c_str());
    const bool selection = m_choice.Selection && m_selectedCount > 0;
    EnableWindow(GetDlgItem(IDC_EXPORT_SELECTED), m_selectedCount > 0);
    CheckRadioButton(m_hWnd, IDC_EXPORT_ALL, IDC_EXPORT_SELECTED, selection ? IDC_EXPORT_SELECTED : IDC_EXPORT_ALL);
    CheckRadioButton(m_hWnd, IDC_EXPORT_CSV, IDC_EXPORT_JSON, m_choice.Json ? IDC_EXPORT_JSON : IDC_EXPORT_CSV);
    PlaceControls();
    SetFocus(GetDlgItem(IDOK));
    return FALSE;
}

void CExportCatalogueDlg::MakeHeadingFont()
{
    LOGFONTW look{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)), sizeof look, &look);
    look.lfWeight = FW_BOLD;
    CScopedFont font(CreateFontIndirectW(&look));
    for (int id : {IDC_EXPORT_WHICH_LABEL, IDC_EXPORT_FORMAT_LABEL})
        SendMessageW(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    m_headingFont = std::move(font);  // the old font goes once nothing uses it
}

void CExportCatalogueDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(Width, Height);
    MakeHeadingFont();
    PlaceControls();
}

void CExportCatalogueDlg::PlaceControls()
{
    const RECT c = GetContentRect();
    auto place = [this, &c](int id, int left, int top, int width, int height) {
        SetWindowPos(GetDlgItem(id), nullptr, c.left + Scale(left), c.top + Scale(top), Scale(width), Scale(height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int width = Width - 6 - 2 * 16;
    place(IDC_EXPORT_WHICH_LABEL, 16, 12, width, 18);
    place(IDC_EXPORT_ALL, 28, 34, width - 12, 20);
    place(IDC_EXPORT_SELECTED, 28, 56, width - 12, 20);
    place(IDC_EXPORT_FORMAT_LABEL, 16, 88, width, 18);
    place(IDC_EXPORT_CSV, 28, 110, width - 12, 20);
    place(IDC_EXPORT_CSV_NOTE, 46, 130, width - 30, 16);
    place(IDC_EXPORT_JSON, 28, 152, width - 12, 20);
    place(IDC_EXPORT_JSON_NOTE, 46, 172, width - 30, 16);
    const int right = c.right - Scale(16);
    const int bottom = c.bottom - Scale(10);
    const int buttonWidth = Scale(70), buttonHeight = Scale(20);
    SetWindowPos(GetDlgItem(IDCANCEL), nullptr, right - buttonWidth, bottom - buttonHeight, buttonWidth, buttonHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(IDOK), nullptr, right - 2 * buttonWidth - Scale(10), bottom - buttonHeight,
                 buttonWidth, buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CExportCatalogueDlg::OnOK()
{
    m_choice.Selection = IsDlgButtonChecked(m_hWnd, IDC_EXPORT_SELECTED) == BST_CHECKED;
    m_choice.Json = IsDlgButtonChecked(m_hWnd, IDC_EXPORT_JSON) == BST_CHECKED;
    EndDialog(IDOK);
}


