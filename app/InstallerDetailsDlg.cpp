#include "app/InstallerDetailsDlg.h"

#include "app/DialogButtons.h"
#include "app/PaneColour.h"
#include "model/InstallerFacts.h"
#include "model/Vocabulary.h"
#include "res/resource.h"

const wchar_t* const InstallerDetailsTitle = L"Installer details";

namespace {
// The rows at 96 DPI: a label column, then the value boxes to the right edge.
constexpr int Margin = 10;
constexpr int LabelWidth = 100;
constexpr int ValueLeft = Margin + LabelWidth + 4;
constexpr int RowHeight = 20;
constexpr int RowPitch = 25;

const wchar_t NotRecorded[] = L"Not recorded";

std::wstring OrNotRecorded(const std::wstring& value)
{
    return value.empty() ? NotRecorded : value;
}

// "2026-12-08 15:04:05": the stored form with a blank for the "T".
std::wstring ReadableTime(const std::wstring& stored)
{
    std::wstring text = stored;
    if (text.size() == 19 && text[10] == L'T')
        text[10] = L' ';
    return text;
}
}  // namespace

CInstallerDetailsDlg::CInstallerDetailsDlg(CSoftware& record, VerifyNow verifyNow, HWND owner)
    : CBitmapDialog(IDD_INSTALLER_DETAILS, owner),
      m_record(record),
      m_verifyNow(std::move(verifyNow)),
      m_whiteBrush(CreateSolidBrush(RGB(255, 255, 255)))
{
    SetTitleButtons(false, false, true);
    SetContentColour(PaneColour);
}

std::wstring CInstallerDetailsDlg::RowValue(const CSoftware& record, int row)
{
    const CExtraInfo& extra = record.ExtraInfo;
    const CInstallerInfo& installer = record.InstallerInfo;
    const bool measured = HasInstallerFacts(extra);
    switch (row) {
    case 0: return record.BasicInfo.Name + L"(" + record.BasicInfo.Version + L")";
    case 1: return installer.InstallerPath;
    case 2:
        return installer.AttachMode == AttachByImport ? L"Imported copy of " + installer.OriginalPath
                                                      : std::wstring(L"Reference to the file where you keep it");
    case 3: {
        uint64_t size = 0;
        return ParseSizeText(extra.InstallerSize, size) ? GroupedSizeText(size) + L" bytes" : NotRecorded;
    }
    case 4: return OrNotRecorded(extra.InstallerSha256);
    case 5: return measured && extra.InstallerVersion.empty() ? L"None" : OrNotRecorded(extra.InstallerVersion);
    case 6: return measured && extra.InstallerProduct.empty() ? L"None" : OrNotRecorded(extra.InstallerProduct);
    case 7:
        if (extra.InstallerTrust == TrustUnsigned)
            return L"None";
        return OrNotRecorded(extra.InstallerSigner);
    case 8: return OrNotRecorded(extra.InstallerTrust);
    case 9: return OrNotRecorded(ReadableTime(extra.InstallerAttached));
    case 10:
        return extra.InstallerCheck.empty() ? std::wstring(L"Never")
                                            : extra.InstallerCheck + L", " + ReadableTime(extra.InstallerChecked);
    default: return std::wstring();
    }
}

BOOL CInstallerDetailsDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, InstallerDetailsTitle);
    ResizeTo(Width, Height);
    CentreOverOwner(m_hWnd);
    SkinDialogButton(m_verify, m_hWnd, IDC_DETAILS_VERIFY, ButtonArt::Normal);
    SkinDialogButton(m_close, m_hWnd, IDCANCEL, ButtonArt::Normal, IDI_CANCEL);
    PlaceControls();
    FillValues();
    SetFocus(m_close.GetSafeHwnd());
    return FALSE;
}

void CInstallerDetailsDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    ResizeTo(Width, Height);
    PlaceControls();
}

void CInstallerDetailsDlg::PlaceControls()
{
    const RECT c = GetContentRect();
    auto place = [this](int id, int left, int top, int right, int bottom) {
        SetWindowPos(GetDlgItem(id), nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (int row = 0; row < RowCount; ++row) {
        const int top = c.top + Scale(Margin + row * RowPitch);
        const int bottom = c.top + Scale(Margin + row * RowPitch + RowHeight);
        place(IDC_DETAILS_FIRST_LABEL + row, c.left + Scale(Margin), top, c.left + Scale(Margin + LabelWidth), bottom);
        place(IDC_DETAILS_FIRST_VALUE + row, c.left + Scale(ValueLeft), top, c.right - Scale(Margin), bottom);
    }
    place(IDC_DETAILS_VERIFY, c.left + Scale(Margin), c.bottom - Scale(30), c.left + Scale(Margin + 70),
          c.bottom - Scale(10));
    place(IDCANCEL, c.right - Scale(Margin + 70), c.bottom - Scale(30), c.right - Scale(Margin), c.bottom - Scale(10));
}

void CInstallerDetailsDlg::FillValues()
{
    for (int row = 0; row < RowCount; ++row)
        SetDlgItemTextW(m_hWnd, IDC_DETAILS_FIRST_VALUE + row, RowValue(m_record, row).c_str());
    EnableDialogButton(m_verify, !m_record.InstallerInfo.InstallerPath.empty() && m_verifyNow);
}

INT_PTR CInstallerDetailsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        handled = true;
        // The read-only value boxes keep the white of the program's boxes; the labels sit on the pane.
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id >= IDC_DETAILS_FIRST_VALUE && id < IDC_DETAILS_FIRST_VALUE + RowCount)
            return OpaqueControlColour(wParam, RGB(255, 255, 255), m_whiteBrush.Get());
        return TransparentControlColour(wParam, GetContentBrush());
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
        handled = true;
        return TransparentControlColour(wParam, GetContentBrush());
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}

bool CInstallerDetailsDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    if (id != IDC_DETAILS_VERIFY || notifyCode != BN_CLICKED)
        return false;
    if (m_verifyNow)
        m_verifyNow(m_hWnd, m_record);
    FillValues();
    return true;
}
