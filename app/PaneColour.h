#pragma once
// The one background colour of every dialog, pane and tab strip of the program.

#include <windows.h>

constexpr COLORREF PaneColour = RGB(228, 236, 247);
