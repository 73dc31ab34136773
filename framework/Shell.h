#pragma once
// The shell's "open" and the Shift key. Each goes through one replaceable function, so tests can
// answer them and see what was asked.

#include <windows.h>

#include <functional>
#include <string>

// Asks the shell to open a file or address: verb "open", no parameters, shown normally. Returns
// the shell's result, where 32 or less is a failure.
using ShellOpener =
    std::function<INT_PTR(HWND owner, const std::wstring& target, const std::wstring& directory)>;
ShellOpener SetShellOpener(ShellOpener opener);
INT_PTR ShellOpen(HWND owner, const std::wstring& target, const std::wstring& directory);

// True while either Shift key is held down.
using ShiftKeyReader = std::function<bool()>;
ShiftKeyReader SetShiftKeyReader(ShiftKeyReader reader);
bool IsShiftKeyDown();
