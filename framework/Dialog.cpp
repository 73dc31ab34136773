#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/Window.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_parent(parent), m_templateId(templateId) {}

CDialog::~CDialog()
{
    if (m_hWnd && !m_modal && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
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
    if (message == WM_INITDIALOG)
        return OnInitDialog();

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
    default:
        return FALSE;
    }
}
