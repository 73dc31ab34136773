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
