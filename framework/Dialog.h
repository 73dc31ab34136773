#pragma once
// One dialog base: the window procedure stores `this` at WM_INITDIALOG and hands messages to
// virtual handlers. No exception crosses into user32.

#include <windows.h>

#include "framework/Dpi.h"

// The DPI of the dialog a window belongs to (the window itself or its nearest dialog ancestor of
// ours), else the window's own.
UINT DialogDpiOf(HWND window);

class CDialog {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    // Destroys a modeless or child window that still exists.
    virtual ~CDialog();

    // Runs the dialog modally; returns the result passed to EndDialog, or -1 when it could not be
    // created.
    INT_PTR DoModal();
    // Creates the dialog modelessly, or as a child when the template has WS_CHILD.
    bool Create(HWND parent = nullptr);
    // Ends a modal dialog with the result, or destroys a modeless one.
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParentWindow() const { return m_parent; }
    UINT GetTemplateId() const { return m_templateId; }
    bool IsModal() const { return m_modal; }
    INT_PTR GetResult() const { return m_result; }

    // The DPI the dialog is laid out for, and a 96-DPI figure at it.
    UINT GetDpi() const { return m_dpi; }
    int Scale(int pixels) const { return ScaleToDpi(pixels, m_dpi); }
    RECT Scale(const RECT& rect) const { return ScaleRectToDpi(rect, m_dpi); }
    // Lays the dialog out again for another DPI: the template's font at that DPI for the controls
    // that use it, then OnDpiChanged. A top-level dialog first takes the suggested rectangle, as
    // WM_DPICHANGED asks when it moves to a monitor of another DPI; a pane is placed by its parent.
    void SetDpi(UINT dpi, const RECT* suggested = nullptr);
    // The template's font at the dialog's DPI.
    HFONT GetDialogFont() const;

protected:
    // WM_INITDIALOG; the return value sets the default focus as the platform describes.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Enter, or a button with IDOK.
    virtual void OnOK() { EndDialog(IDOK); }
    // Escape, or a button with IDCANCEL.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND other than IDOK and IDCANCEL; true when handled.
    virtual bool OnCommand(WORD id, WORD notifyCode, HWND control);
    // Every message but WM_INITDIALOG, before the default handling above. Set handled and return
    // the message's result to take it.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // WM_DESTROY, while the window still exists.
    virtual void OnDestroy() {}
    // After the DPI changed: fonts, bitmaps and every control's place at GetDpi().
    virtual void OnDpiChanged() {}

    HWND m_hWnd = nullptr;
    HWND m_parent = nullptr;

private:
    friend UINT DialogDpiOf(HWND window);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    void TakeDpiAtInit();
    void ApplyDpiToFont(UINT dpi);

    UINT m_templateId;
    UINT m_dpi = BaseDpi;
    // The font the system made from the template, at the DPI of the dialog's creation, and the
    // same face at another DPI after a change.
    HFONT m_templateFont = nullptr;
    UINT m_templateFontDpi = BaseDpi;
    HFONT m_scaledFont = nullptr;  // owned
    bool m_modal = false;
    INT_PTR m_result = -1;
};
