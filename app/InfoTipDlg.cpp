#include "app/InfoTipDlg.h"

#include "app/PaneColour.h"
#include "framework/App.h"
#include "res/resource.h"

CInfoTipDlg::CInfoTipDlg(HWND parent)
    : CDialog(IDD_INFOTIP, parent), m_brush(CreateSolidBrush(BackgroundColour))
{
}

void CInfoTipDlg::SetTipSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

void CInfoTipDlg::SetTipText(const std::wstring& title, const std::wstring& body)
{
    m_title = title;
    m_body = body;
}

bool CInfoTipDlg::ClosesTip(const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// The platform's modal loop dispatches without showing us the message first, so the tip keeps
// its own loop: every message of the thread is looked at before it is dispatched.
INT_PTR CInfoTipDlg::DoModal()
{
    m_closing = false;
    HWND owner = m_parent;
    if (!Create(owner))
        return -1;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    MSG message{};
    bool quit = false;
    while (m_hWnd && !m_closing) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            break;
        }
        if (got == -1)
            break;
        if (ClosesTip(message))
            m_closing = true;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner is enabled again before the tip goes, so the activation returns to it.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (GetCapture() == m_hWnd)
            ReleaseCapture();
        DestroyWindow(m_hWnd);
    }
    if (quit)
        PostQuitMessage(static_cast<int>(message.wParam));
    return IDCANCEL;
}

BOOL CInfoTipDlg::OnInitDialog()
{
    // The tip shows at its owner's DPI.
    if (m_parent && DialogDpiOf(m_parent) != GetDpi())
        SetDpi(DialogDpiOf(m_parent));
    m_titleFont.Reset(CreateFontW(Scale(18), Scale(8), 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
    // No clamping to the screen: the tip stands where the pointer is.
    POINT pointer{};
    GetCursorPos(&pointer);
    SetWindowPos(m_hWnd, HWND_TOP, pointer.x, pointer.y, Scale(m_width), Scale(m_height), SWP_SHOWWINDOW);
    HWND text = GetDlgItem(IDC_INFOTIP_TEXT);
    SetWindowPos(text, nullptr, Scale(5), Scale(30), Scale(m_width - 10), Scale(m_height - 35),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(text, m_body.c_str());
    // Clicks anywhere on the screen reach the tip.
    SetCapture(m_hWnd);
    return TRUE;
}

void CInfoTipDlg::OnCancel()
{
    m_closing = true;
}

void CInfoTipDlg::Paint(HDC dc) const
{
    RECT title{Scale(5), Scale(5), Scale(m_width - 5), Scale(25)};
    CScopedSelection font(dc, m_titleFont.Get());
    SetTextColor(dc, TitleColour);
    SetBkColor(dc, BackgroundColour);
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, m_title.c_str(), -1, &title, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

INT_PTR CInfoTipDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_brush.Get());
        handled = true;
        return TRUE;
    }
    case WM_PAINT: {
        CPaintDC paint(m_hWnd);
        Paint(paint.Get());
        handled = true;
        return 0;
    }
    case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        GetClientRect(m_hWnd, &client);
        FillRect(dc, &client, m_brush.Get());
        Paint(dc);
        handled = true;
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
        handled = true;
        return TransparentControlColour(wParam, m_brush.Get());
    default:
        (void)lParam;
        return 0;
    }
}
