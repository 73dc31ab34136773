#include "app/AboutDlg.h"

#include "app/Links.h"
#include "framework/App.h"
#include "res/resource.h"
#include "Version.h"

const wchar_t* const ProgramVersion = QV_VERSION_WIDE_TEXT;

namespace {
const int LinkIds[CAboutDlg::LinkCount] = {IDC_ABOUT_WEBSITE, IDC_ABOUT_SUPPORT, IDC_ABOUT_BUGS, IDC_ABOUT_SALES};
const wchar_t* const LinkTargets[CAboutDlg::LinkCount] = {
    L"https://www.orrinwell.example/quorvane/",
    L"mailto:support@orrinwell.example",
    L"mailto:feedback@orrinwell.example",
    L"mailto:sales@orrinwell.example",
};

int LinkIndex(int id)
{
    for (int link = 0; link < CAboutDlg::LinkCount; ++link) {
        if (LinkIds[link] == id)
            return link;
    }
    return -1;
}

RECT Place(HWND dialog, int id, int left, int top, int right, int bottom)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, left, top, right - left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return RECT{left, top, right, bottom};
}
}  // namespace

CAboutDlg::CAboutDlg(HWND parent)
    : CBitmapDialog(IDD_ABOUTBOX, parent),
      m_whiteBrush(CreateSolidBrush(RGB(255, 255, 255))),
      m_handCursor(LoadCursorW(nullptr, IDC_HAND))
{
    SetContentColour(BackgroundColour);
}

const wchar_t* CAboutDlg::LinkTarget(int link)
{
    return link >= 0 && link < LinkCount ? LinkTargets[link] : L"";
}

BOOL CAboutDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    SetWindowTextW(m_hWnd, L"About Quorvane");

    HWND version = GetDlgItem(IDC_ABOUT_VERSION);
    wchar_t label[128] = {};
    GetWindowTextW(version, label, 128);
    SetWindowTextW(version, (std::wstring(label) + ProgramVersion).c_str());

    m_icon.Reset(LoadIconForDpi(IDI_QUORVANE, 48, GetDpi()));
    m_ok.SubclassDlgItem(IDCANCEL, m_hWnd);
    m_ok.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    m_ok.SetHoverBitmap(IDB_BUTTON_HOVER);
    m_ok.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    m_ok.SetTextColor(RGB(0, 0, 0));
    m_ok.SetIcon(IDI_OK);
    ResizeTo(Width, Height);
    PlaceControls();
    SetFocus(m_ok.GetSafeHwnd());
    return FALSE;
}

void CAboutDlg::OnDpiChanged()
{
    CBitmapDialog::OnDpiChanged();
    m_icon.Reset(LoadIconForDpi(IDI_QUORVANE, 48, GetDpi()));
    ResizeTo(Width, Height);
    PlaceControls();
}

void CAboutDlg::PlaceControls()
{
    const RECT content = GetContentRect();
    const int l = content.left, t = content.top;
    m_iconRect = RECT{l + Scale(10), t + Scale(10), l + Scale(58), t + Scale(58)};
    Place(m_hWnd, IDC_ABOUT_VERSION, l + Scale(70), t + Scale(10), l + Scale(370), t + Scale(30));
    Place(m_hWnd, IDC_ABOUT_CONTACT, l + Scale(10), t + Scale(68), l + Scale(220), t + Scale(168));
    for (int link = 0; link < LinkCount; ++link)
        m_linkRects[link] = Place(m_hWnd, LinkIds[link], l + Scale(20), t + Scale(83) + Scale(20) * link, l + Scale(210), t + Scale(98) + Scale(20) * link);
    Place(m_hWnd, IDC_ABOUT_NOTICE, l + Scale(10), t + Scale(173), l + Scale(290), t + Scale(193));
    Place(m_hWnd, IDCANCEL, l + Scale(300), t + Scale(173), l + Scale(380), t + Scale(193));
}

void CAboutDlg::PaintSkin(HDC dc)
{
    CBitmapDialog::PaintSkin(dc);
    if (m_icon)
        DrawIconEx(dc, m_iconRect.left, m_iconRect.top, m_icon.Get(), Scale(48), Scale(48), 0, nullptr, DI_NORMAL);
}

int CAboutDlg::LinkAtCursor() const
{
    POINT pointer{};
    if (!GetCursorPos(&pointer) || !ScreenToClient(m_hWnd, &pointer))
        return -1;
    for (int link = 0; link < LinkCount; ++link) {
        if (PtInRect(&m_linkRects[link], pointer))
            return link;
    }
    return -1;
}

INT_PTR CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && LinkAtCursor() >= 0) {
            SetCursor(m_handCursor);
            handled = true;
            return TRUE;
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool isLink = LinkIndex(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) >= 0;
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, BackgroundColour);
        SetTextColor(dc, isLink ? LinkColour : RGB(0, 0, 0));
        handled = true;
        return reinterpret_cast<INT_PTR>(GetContentBrush());
    }
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        handled = true;
        return reinterpret_cast<INT_PTR>(m_whiteBrush.Get());
    }
    default:
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
}

bool CAboutDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    const int link = LinkIndex(id);
    if (link < 0 || notifyCode != STN_CLICKED)
        return false;
    // The dialog stays open whatever the shell answers; OpenLink reports a failure itself.
    OpenLink(m_hWnd, LinkTargets[link]);
    return true;
}
