#pragma once
// A C++ object bound to an existing control window by subclassing it. The dialog that owns the
// control hands WM_DRAWITEM and WM_MEASUREITEM back to the object (see CDialog), so an owner-drawn
// control draws itself. No exception crosses into user32.

#include <windows.h>

class CWindow {
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    // Unbinds from a window that still exists; the window itself lives on.
    virtual ~CWindow();

    // Binds the object to the window; false when it is null or already bound to an object.
    bool Attach(HWND window);
    // Binds the object to the dialog's control with that id.
    bool SubclassDlgItem(int id, HWND dialog);
    void Detach();

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window, or null.
    static CWindow* FromHandle(HWND window);

    // Reflected by the owner dialog; true when the object drew or measured its item.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& item);
    virtual bool OnMeasureItem(MEASUREITEMSTRUCT& item);

    // The DPI the control is drawn for: its dialog's, taken when it is bound and whenever the
    // dialog's changes (see CDialog::SetDpi).
    UINT GetDpi() const { return m_dpi; }
    void SetDpi(UINT dpi);

    // Invalidates the whole window and paints it at once.
    void RedrawNow(bool erase = false) const;

protected:
    // Right after binding, for styles the object depends on.
    virtual void OnAttached() {}
    // After the DPI changed: fonts, bitmaps and measures at GetDpi().
    virtual void OnDpiChanged() {}
    // Every message of the window; the default passes it on to the control.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own handling of a message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    UINT m_dpi = 96;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR object);
};
