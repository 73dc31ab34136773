#pragma once
// The gallery window: every skinned control of the program in one skinned dialog, so that one
// screenshot shows the whole look.

#include <windows.h>

#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"
#include "skin/EnTabCtrl.h"

// A small window with the short title bar, as the program's dialogs have it.
class CGalleryShortDlg : public CommCtrl::CBitmapDialog {
public:
    CGalleryShortDlg();

protected:
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    CommCtrl::CBitmapButton5S m_ok;
    CommCtrl::CBitmapButton5S m_cancel;
    CScopedBrush m_paneBrush;
};

class CGalleryDlg : public CommCtrl::CBitmapDialog {
public:
    CGalleryDlg();

    // Puts the pointer over a toolbar button once the window is up (for screenshots).
    bool HoverOnStart = false;

protected:
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void PaintSkin(HDC dc) override;

private:
    void SkinToolbar();
    void SkinButtons();
    void SkinTabs();
    void DrawToolbar(HDC dc, const RECT& content);
    void ShowShortDialog();

    static constexpr int ToolButtonCount = 8;
    CommCtrl::CBitmapButton5S m_toolButtons[ToolButtonCount];
    CommCtrl::CBitmapButton5S m_ok;
    CommCtrl::CBitmapButton5S m_cancel;
    CommCtrl::CBitmapButton5S m_modify;
    CommCtrl::CBitmapButton5S m_browse;
    CommCtrl::CBitmapButton5S m_information;
    CommCtrl::CBitmapButton5S m_clearHistory;
    CommCtrl::CBitmapButton5S m_apply;
    CommCtrl::CBitmapButton5S m_browseDisabled;
    CommCtrl::CEnTabCtrl m_tabs;
    CScopedBitmap m_toolbarLeft;
    CScopedBitmap m_toolbarRight;
    CScopedBitmap m_toolbarTile;
    CScopedBitmap m_separator;
    CScopedBrush m_paneBrush;
    CScopedFont m_labelFont;
    CScopedIcon m_smallIcon;
    CGalleryShortDlg m_shortDialog;
};
