#pragma once
// The strip across the top of the main window: eight command buttons in three groups, the
// "Classify" and "Sort by" boxes and the sort-direction icon. It runs no command itself: every
// button, box change and icon press posts MSG_COMMAND (code, the toolbar's window) to the parent.

#include <windows.h>

#include "framework/Array.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "app/PaneColour.h"

class CQVNToolbar : public CDialog {
public:
    // Child dialog of template 105; call Create(parent), then Place.
    CQVNToolbar();
    ~CQVNToolbar() override;

    // Moves the toolbar to the top-left of the parent's content area (parent client coordinates,
    // as CBitmapDialog::GetContentRect gives it), as wide as that area and Height high, and shows
    // it. Does nothing before Create or without a parent.
    void Place(const RECT& contentRect);

    // Current positions of the two boxes: classify mode 0..2 and sort key 0..4 (-1 before Create).
    int ClassifySelection() const;
    int SortSelection() const;
    // Selects "None" in Sort by; posts nothing.
    void ResetSortBox();

    HWND ClassifyBox() const { return m_classifyBox; }
    HWND SortBox() const { return m_sortBox; }
    // The "More" button at the right end: the menu of the further commands (CMD_MORE).
    HWND MoreButton() const { return m_more.GetSafeHwnd(); }
    // Where the sort-direction icon is drawn and pressed, in toolbar client coordinates.
    RECT SortDirectionRect() const { return m_sortDirectionRect; }
    int LabelLeft() const { return m_labelLeft; }

    static constexpr int Height = 74;
    static constexpr COLORREF PaneColour = ::PaneColour;

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape belong to the main window: a child strip never ends itself.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDestroy() override;
    void OnDpiChanged() override;
    // Background, labels and the direction icon, into an off-screen image of the client area.
    virtual void OnPaint(HDC dc, const RECT& client);

private:
    static constexpr int ButtonCount = 8;
    static constexpr int SeparatorCount = 3;

    void LoadArt();
    void SkinButtons();
    void CreateSeparators();
    void CreateLabelFont();
    void LayOut();
    void PlaceBox(HWND box, int left, int top);
    void FillBoxes();
    void OnLeftButtonDown(POINT point);
    void PostCommand(WPARAM code) const;

    CommCtrl::CBitmapButton5S m_add;
    CommCtrl::CBitmapButton5S m_delete;
    CommCtrl::CBitmapButton5S m_attach;
    CommCtrl::CBitmapButton5S m_detach;
    CommCtrl::CBitmapButton5S m_export;
    CommCtrl::CBitmapButton5S m_launch;
    CommCtrl::CBitmapButton5S m_options;
    CommCtrl::CBitmapButton5S m_about;
    CArray<CommCtrl::CBitmapButton5S*> m_buttons;
    CommCtrl::CBitmapButton5S m_more;
    void CreateMoreButton();
    void PlaceMoreButton();
    HWND m_classifyBox = nullptr;
    HWND m_sortBox = nullptr;
    // From the button object to the command it posts.
    CMap<const CWindow*, WPARAM> m_buttonCommands;
    CScopedBrush m_backgroundBrush;
    int m_labelLeft = 5;
    CScopedFont m_labelFont;
    RECT m_sortDirectionRect{};
    CScopedIcon m_ascendingIcon;
    CScopedIcon m_descendingIcon;
    HWND m_separators[SeparatorCount]{};
    CScopedBitmap m_separatorBitmap;
    CScopedBitmap m_leftEdge;
    CScopedBitmap m_rightEdge;
    CScopedBitmap m_tile;
    int m_layoutCursor = 5;
};
