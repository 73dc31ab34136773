#pragma once
// One rule for the display scale. Every pixel figure in the code is a figure at 96 DPI; a window
// shows it at its own DPI, scaled here and nowhere else.

#include <windows.h>

constexpr UINT BaseDpi = 96;

// The DPI a window is shown at: its monitor's where the system tracks it per window, otherwise the
// screen's. A null window gives the screen's.
UINT WindowDpi(HWND window);

// A 96-DPI figure at the given DPI, rounded to the nearest pixel; exact at 96.
inline int ScaleToDpi(int pixels, UINT dpi)
{
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(BaseDpi));
}

// A 96-DPI figure at the window's DPI.
inline int ScaleForWindow(HWND window, int pixels)
{
    return ScaleToDpi(pixels, WindowDpi(window));
}

// A 96-DPI rectangle at the given DPI.
inline RECT ScaleRectToDpi(const RECT& rect, UINT dpi)
{
    return RECT{ScaleToDpi(rect.left, dpi), ScaleToDpi(rect.top, dpi), ScaleToDpi(rect.right, dpi),
                ScaleToDpi(rect.bottom, dpi)};
}

// The scales the art is drawn at, in percent, and the resource-id offset of each: a bitmap or icon
// drawn at 1.25x has the id of its 1x image plus 5000, at 1.5x plus 6000, at 2x plus 7000.
constexpr UINT ArtScales[] = {100, 125, 150, 200};
constexpr UINT ArtIdOffsets[] = {0, 5000, 6000, 7000};

// The art scale for a DPI: the smallest one at least as large, so art is only ever shrunk a
// little (at 175 %), never enlarged; 2x above that.
UINT ArtScaleForDpi(UINT dpi);
// The resource id of an image's variant at the art scale for the DPI.
UINT ArtIdForDpi(UINT baseId, UINT dpi);
