#pragma once
// The owner-drawn push button of the program's dialogs and toolbar: the four state bitmaps of the
// platform bitmap button plus a hover bitmap, with an optional icon and the caption on top. Icon and
// caption move up one pixel while the mouse hovers and down one while the button is pressed.

#include <windows.h>

#include <string>

#include "framework/BitmapButton.h"
#include "framework/Gdi.h"

namespace CommCtrl {

class CBitmapButton5S : public CBitmapButton {
public:
    CBitmapButton5S() = default;

    // A bitmap loaded before is released first.
    bool SetHoverBitmap(UINT id);
    // Loads the icon at the size of the icon rectangle; call it after SetLayout.
    bool SetIcon(UINT id);
    // Rectangles in button coordinates; the caption font is `face`, as high as the caption rectangle
    // and `charWidth` wide.
    void SetLayout(const RECT& iconRect, const RECT& captionRect, int charWidth, const wchar_t* face);
    // Both return the previous value.
    COLORREF SetTextColor(COLORREF colour);
    bool SetShowFocus(bool showFocus);

    bool IsHover() const { return m_hover; }
    // Where the caption is drawn, in button coordinates at the button's DPI, and its font.
    RECT GetCaptionRect() const { return m_captionRect; }
    HFONT GetCaptionFont() const { return m_captionFont.Get(); }

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    // Hover bitmap, icon and layout again at the new DPI.
    void OnDpiChanged() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool IsCursorInside() const;
    bool IsPointInside(POINT point) const;
    void OnMouseMove(WPARAM keys, POINT point);

    void ApplyLayout();

    // As given, at 96 DPI; the rectangles below are at the button's DPI.
    UINT m_hoverId = 0;
    UINT m_iconId = 0;
    RECT m_baseIconRect{};
    RECT m_baseCaptionRect{};
    int m_baseCharWidth = 0;
    std::wstring m_face;
    CScopedBitmap m_hoverBitmap;
    CScopedIcon m_icon;
    RECT m_iconRect{};
    RECT m_iconRectPressed{};
    RECT m_iconRectHover{};
    RECT m_captionRect{};
    RECT m_captionRectPressed{};
    RECT m_captionRectHover{};
    CScopedFont m_captionFont;
    COLORREF m_textColour = RGB(0, 0, 0);
    bool m_hover = false;
    bool m_hoverDrawn = false;
    bool m_showFocus = true;
};

}  // namespace CommCtrl
