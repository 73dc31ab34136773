#pragma once
// An owner-drawn push button (BS_OWNERDRAW) that draws one of four bitmaps for its state:
// normal, pressed, focused and disabled. Bind it to the dialog's button with SubclassDlgItem.

#include <windows.h>

#include "framework/Gdi.h"
#include "framework/Window.h"

class CBitmapButton : public CWindow {
public:
    CBitmapButton() = default;

    // Bitmap resource ids for the four states; 0 leaves a state without its own bitmap, and it then
    // shows the normal one. False when the normal bitmap, or any other named one, fails to load.
    bool LoadStateBitmaps(UINT normal, UINT pressed = 0, UINT focused = 0, UINT disabled = 0);
    // Resizes the button to its normal bitmap.
    void SizeToContent();

    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    // Draws the button for the platform's drawing request.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    // The bitmap that fits the state (ODS_ flags), copied to the rectangle's top-left corner.
    void DrawStateBitmap(HDC dc, const RECT& rect, UINT state) const;
    HBITMAP StateBitmap(UINT state) const;

    void OnAttached() override;
    // The state bitmaps of the art scale for the new DPI.
    void OnDpiChanged() override;
    // The size a bitmap of this button fills at the button's DPI (a bitmap of the next larger art
    // scale is shrunk to it).
    SIZE BitmapSlot(HBITMAP bitmap) const;

    CScopedBitmap m_normal;
    CScopedBitmap m_pressed;
    CScopedBitmap m_focused;
    CScopedBitmap m_disabled;
    UINT m_stateIds[4]{};
    // The art scale the state bitmaps were drawn at, in percent.
    UINT m_artScale = 100;
};
