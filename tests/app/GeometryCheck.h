#pragma once
// Checks a laid-out window the way a person looks at it: every visible control inside the area
// its container gives it, no two visible siblings on top of each other, and every text readable in
// full with the control's own font.

#include <windows.h>

#include <string>
#include <vector>

// The five display scales every window is checked at.
constexpr UINT CheckedDpis[] = {96, 120, 144, 168, 192};

// Problems found among the visible children of `container`; `area` is in its client coordinates.
// Controls in `ignored` are left out (a list of its own that clips with an ellipsis on purpose).
std::vector<std::wstring> CheckLayout(HWND container, const RECT& area, const std::vector<HWND>& ignored = {});
// The container's whole client area.
std::vector<std::wstring> CheckLayout(HWND container);

// The problems as one readable message, with the DPI and the window named.
std::string DescribeProblems(const std::vector<std::wstring>& problems, UINT dpi, const char* window);
