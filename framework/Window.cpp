#include "framework/Window.h"

#include <commctrl.h>

#include "framework/Dialog.h"

namespace {
// Marks a window bound to a CWindow; its value is the object.
constexpr const wchar_t* ObjectProperty = L"Quorvane.CWindow";
constexpr UINT_PTR SubclassId = 1;
}  // namespace

CWindow::~CWindow()
{
    Detach();
}

bool CWindow::Attach(HWND window)
{
    if (!window || m_hWnd || FromHandle(window))
        return false;
    if (!SetPropW(window, ObjectProperty, this))
        return false;
    if (!SetWindowSubclass(window, SubclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropW(window, ObjectProperty);
        return false;
    }
    m_hWnd = window;
    m_dpi = DialogDpiOf(GetParent(window));
    OnAttached();
    return true;
}

void CWindow::SetDpi(UINT dpi)
{
    if (dpi == 0 || dpi == m_dpi)
        return;
    m_dpi = dpi;
    if (m_hWnd)
        OnDpiChanged();
}

bool CWindow::SubclassDlgItem(int id, HWND dialog)
{
    return Attach(::GetDlgItem(dialog, id));
}

void CWindow::Detach()
{
    if (!m_hWnd)
        return;
    if (IsWindow(m_hWnd)) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, SubclassId);
        RemovePropW(m_hWnd, ObjectProperty);
    }
    m_hWnd = nullptr;
}

CWindow* CWindow::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    return static_cast<CWindow*>(GetPropW(window, ObjectProperty));
}

bool CWindow::OnDrawItem(const DRAWITEMSTRUCT&)
{
    return false;
}

bool CWindow::OnMeasureItem(MEASUREITEMSTRUCT&)
{
    return false;
}

void CWindow::RedrawNow(bool erase) const
{
    if (m_hWnd)
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | (erase ? RDW_ERASE : 0));
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CWindow::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR object)
{
    CWindow* self = reinterpret_cast<CWindow*>(object);
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        result = DefSubclassProc(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY)
        self->Detach();
    return result;
}
