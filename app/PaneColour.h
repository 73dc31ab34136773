#pragma once
// The one background colour of every dialog, pane and tab strip of the program.

#include <windows.h>

constexpr COLORREF PaneColour = RGB(228, 236, 247);

// The answers to WM_CTLCOLOR* messages (wParam is the control's device context).
// Text on an opaque background of the given colour; the control is filled with brush.
inline INT_PTR OpaqueControlColour(WPARAM dc, COLORREF background, HBRUSH brush)
{
    SetBkColor(reinterpret_cast<HDC>(dc), background);
    return reinterpret_cast<INT_PTR>(brush);
}

// Black text straight on whatever brush fills the control.
inline INT_PTR TransparentControlColour(WPARAM dc, HBRUSH brush)
{
    HDC context = reinterpret_cast<HDC>(dc);
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context, RGB(0, 0, 0));
    return reinterpret_cast<INT_PTR>(brush);
}
