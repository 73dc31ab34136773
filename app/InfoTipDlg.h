#pragma once
// A small light-yellow help popup with a bold title and a wrapped text. It opens at the mouse
// pointer and closes on the next key press or mouse click anywhere.

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "framework/Gdi.h"

class CInfoTipDlg : public CDialog {
public:
    explicit CInfoTipDlg(HWND parent = nullptr);

    // Must be called before the tip is shown.
    void SetTipSize(int width, int height);
    void SetTipText(const std::wstring& title, const std::wstring& body);
    // The owner whose window the tip stands over; the owner given at construction otherwise.
    void SetOwner(HWND owner) { m_parent = owner; }

    // Runs the tip modally at the pointer; returns IDCANCEL once it has closed. The owner then gives
    // the focus back to the control that the tip explains.
    INT_PTR DoModal();

    const std::wstring& Title() const { return m_title; }
    const std::wstring& Body() const { return m_body; }
    int TipWidth() const { return m_width; }
    int TipHeight() const { return m_height; }

    static constexpr COLORREF BackgroundColour = RGB(250, 250, 145);
    static constexpr COLORREF TitleColour = RGB(0, 0, 0);

protected:
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnCancel() override;

private:
    // A key press or a press of either mouse button, wherever it is aimed.
    static bool ClosesTip(const MSG& message);
    void Paint(HDC dc) const;

    CScopedBrush m_brush;
    int m_width = 0;
    int m_height = 0;
    std::wstring m_title;
    std::wstring m_body;
    CScopedFont m_titleFont;
    bool m_closing = false;
};
