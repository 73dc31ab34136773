#pragma once
// The About box: the program icon, the version and four contact links handed to the shell.

#include <windows.h>

#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"
#include "app/PaneColour.h"

class CAboutDlg : public CommCtrl::CBitmapDialog {
public:
    explicit CAboutDlg(HWND parent = nullptr);

    static constexpr int Width = 386;
    static constexpr int Height = 225;
    static constexpr int LinkCount = 4;
    static constexpr COLORREF BackgroundColour = ::PaneColour;
    static constexpr COLORREF LinkColour = RGB(0, 0, 255);

    // The address each link opens, in the order of the links.
    static const wchar_t* LinkTarget(int link);
    // The link rectangles in client coordinates, as placed at opening.
    RECT LinkRect(int link) const { return m_linkRects[link]; }

protected:
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void PaintSkin(HDC dc) override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    // The link under the pointer, or -1.
    int LinkAtCursor() const;

    CommCtrl::CBitmapButton5S m_ok;
    CScopedBrush m_whiteBrush;
    HCURSOR m_handCursor = nullptr;
    CScopedIcon m_icon;
    RECT m_iconRect{};
    RECT m_linkRects[LinkCount]{};
};

extern const wchar_t* const ProgramVersion;
