#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

#include <utility>

CDialog::CDialog(UINT templateId, HWND parent) : m_parent(parent), m_templateId(templateId) {}

CDialog::~CDialog()
{
    // The controls go with the window, before their font.
    if (m_hWnd && !m_modal && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    if (m_scaledFont)
        DeleteObject(m_scaledFont);
}

INT_PTR CDialog::DoModal()
{
    m_modal = true;
    m_result = DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return m_result;
}

bool CDialog::Create(HWND parent)
{
    if (parent)
        m_parent = parent;
    m_modal = false;
    HWND window = CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    if (!m_hWnd)
        return;
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow(m_hWnd);
}

namespace {
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

// Where the system scales dialogs itself on a DPI change (per-monitor v2), it would scale what
// OnDpiChanged places again; this dialog does all of it.
void TakeOverDpiScaling(HWND dialog)
{
    static const auto function = reinterpret_cast<SetDialogDpiChangeBehaviorFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    constexpr int DisableAll = 1;  // DDC_DISABLE_ALL
    if (function)
        function(dialog, DisableAll, DisableAll);
}
}  // namespace

UINT DialogDpiOf(HWND window)
{
    for (HWND step = window; step; step = GetParent(step)) {
        if (reinterpret_cast<DLGPROC>(GetWindowLongPtrW(step, DWLP_DLGPROC)) != &CDialog::DialogProc)
            continue;
        if (auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(step, DWLP_USER)))
            return dialog->m_dpi;
    }
    return WindowDpi(window);
}

void CDialog::TakeDpiAtInit()
{
    m_dpi = WindowDpi(m_hWnd);
    m_templateFont = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    m_templateFontDpi = m_dpi;
    TakeOverDpiScaling(m_hWnd);
    // A pane is laid out at its parent's DPI, which may differ from the monitor's.
    if (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD)
        ApplyDpiToFont(DialogDpiOf(GetParent(m_hWnd)));
}

void CDialog::ApplyDpiToFont(UINT dpi)
{
    const HFONT oldFont = GetDialogFont();
    m_dpi = dpi;
    HFONT newFont = nullptr;
    LOGFONTW face{};
    if (dpi != m_templateFontDpi && m_templateFont && GetObjectW(m_templateFont, sizeof(face), &face)) {
        face.lfHeight = MulDiv(face.lfHeight, static_cast<int>(dpi), static_cast<int>(m_templateFontDpi));
        face.lfWidth = MulDiv(face.lfWidth, static_cast<int>(dpi), static_cast<int>(m_templateFontDpi));
        newFont = CreateFontIndirectW(&face);
    }
    const HFONT font = newFont ? newFont : m_templateFont;
    if (font && font != oldFont) {
        // Only the controls on the dialog's font: the ones with a font of their own get it anew
        // from OnDpiChanged.
        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont)
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (m_scaledFont)
        DeleteObject(m_scaledFont);
    m_scaledFont = newFont;
}

HFONT CDialog::GetDialogFont() const
{
    return m_scaledFont ? m_scaledFont : m_templateFont;
}

void CDialog::SetDpi(UINT dpi, const RECT* suggested)
{
    if (!m_hWnd || dpi == 0)
        return;
    ApplyDpiToFont(dpi);
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (CWindow* control = CWindow::FromHandle(child))
            control->SetDpi(dpi);
    if (suggested && !(GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD))
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, RectWidth(*suggested), RectHeight(*suggested),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    OnDpiChanged();
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CDialog::OnCommand(WORD, WORD, HWND)
{
    return false;
}

INT_PTR CDialog::OnMessage(UINT, WPARAM, LPARAM, bool&)
{
    return 0;
}

namespace {
// Messages whose dialog-procedure result is the message result itself, not DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}
}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!dialog)
        return FALSE;
    try {
        INT_PTR result = dialog->Dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            // No control is left to use the font made for another DPI.
            if (dialog->m_scaledFont)
                DeleteObject(dialog->m_scaledFont);
            dialog->m_scaledFont = nullptr;
            dialog->m_templateFont = nullptr;
            SetWindowLongPtrW(window, DWLP_USER, 0);
            dialog->m_hWnd = nullptr;
        }
        return result;
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        TakeDpiAtInit();
        return OnInitDialog();
    }

    bool handled = false;
    INT_PTR result = OnMessage(message, wParam, lParam, handled);
    if (handled) {
        if (ReturnsResultDirectly(message))
            return result;
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }

    switch (message) {
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        WORD code = HIWORD(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code, control) ? TRUE : FALSE;
    }
    case WM_DRAWITEM: {
        // Owner-drawn controls bound to an object draw themselves.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CWindow* control = wParam && item->CtlType != ODT_MENU ? CWindow::FromHandle(item->hwndItem) : nullptr;
        return control && control->OnDrawItem(*item) ? TRUE : FALSE;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        CWindow* control =
            wParam && item->CtlType != ODT_MENU ? CWindow::FromHandle(::GetDlgItem(m_hWnd, item->CtlID)) : nullptr;
        return control && control->OnMeasureItem(*item) ? TRUE : FALSE;
    }
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_DPICHANGED:
        // Both halves carry the same DPI.
        SetDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
