#pragma once
// The base of the program's top-level windows: a borderless pop-up dialog that draws its own frame
// and title bar from bitmaps, with rounded corners, up to three title buttons and dragging by the
// title bar. Derived dialogs call CBitmapDialog::OnInitDialog first, pass unhandled messages on to
// CBitmapDialog::OnMessage, and place their controls inside GetContentRect.

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "framework/Dialog.h"
#include "framework/Gdi.h"

namespace CommCtrl {

class CBitmapDialog : public CDialog {
public:
    explicit CBitmapDialog(UINT templateId, HWND parent = nullptr);

    // The content area's colour: PaintSkin fills the content with it, and the controls' colour
    // messages named by AnswerControlColours answer with it.
    void SetContentColour(COLORREF colour);
    HBRUSH GetContentBrush() const { return m_contentBrush.Get(); }
    // The WM_CTLCOLOR* messages answered with the content colour: text on an opaque background of
    // that colour, or drawn transparent in black.
    void AnswerControlColours(std::initializer_list<UINT> messages, bool transparentText);

    // Which title buttons are shown; without close there is neither minimize nor maximize.
    void SetTitleButtons(bool minimize, bool maximize, bool close);
    // The short title bar (22 pixels instead of 30); a change leaves only the close button.
    void SetShortTitle(bool shortTitle);
    bool IsShortTitle() const { return m_shortTitle; }

    // The client area less the title bar and the 3-pixel borders (at the dialog's DPI).
    virtual RECT GetContentRect() const;

    // Title-bar layout in client coordinates, as last computed.
    enum TitleButton { MinimizeButton = 0, MaximizeButton = 1, CloseButton = 2 };
    RECT GetTitleButtonRect(TitleButton button) const { return m_buttonRects[button]; }
    bool IsTitleButtonShown(TitleButton button) const { return m_buttonShown[button]; }
    RECT GetCaptionRect() const { return m_captionRect; }
    // 0 normal, 1 hover, 2 pressed.
    int GetTitleButtonState(TitleButton button) const { return m_buttonStates[button]; }

    // True while the close button's action runs, so that OnCancel can tell it from the Escape key.
    bool IsClosingFromCloseButton() const { return m_closingFromCloseButton; }

    // A window size given at 96 DPI, at another DPI: frame, title bar and content each scaled, so
    // that content laid out from its own 96-DPI width and height fills it exactly.
    static SIZE WindowSizeFor(int width, int height, UINT dpi, bool shortTitle);
    // The same for this dialog at its DPI and title.
    SIZE ScaledWindowSize(int width, int height) const { return WindowSizeFor(width, height, GetDpi(), m_shortTitle); }
    // Gives the window that size, where it stands.
    void ResizeTo(int width, int height);
    // Where the window at its DPI is larger than the work area of its monitor, lays it out at the
    // largest DPI at which it fits (never below 96), so that all of it can be reached; moves it
    // onto the work area. Runs when the window is first shown.
    void FitWorkArea();

    static constexpr int TitleHeight = 30;
    static constexpr int ShortTitleHeight = 22;
    static constexpr int BorderWidth = 3;

protected:
    // The opening step: title-bar layout, bitmaps and caption font; then the platform dialog's.
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDestroy() override;

    // Draws frame and title bar.
    virtual void PaintSkin(HDC dc);
    // Skin bitmaps, caption font and title bar at the new DPI; derived dialogs call it first.
    void OnDpiChanged() override;

private:
    // The twenty skin bitmaps in one place.
    enum SkinBitmap {
        TopLeft, Top, TopRight, Left, Right, Bottom, BottomLeft, BottomRight,
        MinNormal, MinHover, MinPressed,
        MaxNormal, MaxHover, MaxPressed,
        RestoreNormal, RestoreHover, RestorePressed,
        CloseNormal, CloseHover, ClosePressed,
        SkinBitmapCount
    };

    int TitleBarHeight() const { return Scale(m_shortTitle ? ShortTitleHeight : TitleHeight); }
    void LoadSkinBitmaps();
    void CreateCaptionFont();
    // Title-button and caption rectangles from the client size, then the rounded window shape.
    void LayoutTitleBar();
    void ApplyRoundedShape();
    HBITMAP TitleButtonBitmap(TitleButton button) const;
    void RedrawTitleButton(TitleButton button);
    int TitleButtonAt(POINT point) const;
    bool IsDraggable() const;

    void OnLeftButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnLeftButtonUp(POINT point);
    void OnLeftButtonDoubleClick(POINT point);
    void OnMouseLeave();
    void OnCaptureChanged(HWND newCapture);
    void OnGetMinMaxInfo(MINMAXINFO& info);
    void RunTitleButton(TitleButton button);

    CScopedBrush m_contentBrush;
    COLORREF m_contentColour = 0;
    std::vector<UINT> m_colourMessages;
    bool m_transparentText = false;
    CScopedBitmap m_skin[SkinBitmapCount];
    UINT m_skinDpi = 0;
    RECT m_buttonRects[3]{};
    bool m_buttonShown[3]{true, true, true};
    RECT m_captionRect{};
    bool m_dragging = false;
    POINT m_dragStart{};
    int m_buttonStates[3]{};
    CScopedFont m_captionFont;
    bool m_closingFromCloseButton = false;
    bool m_shortTitle = false;
    bool m_trackingLeave = false;
    bool m_shownOnce = false;
};

}  // namespace CommCtrl
