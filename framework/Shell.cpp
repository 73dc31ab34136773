#include "framework/Shell.h"

#include <shellapi.h>

#include <utility>

namespace {
ShellOpener& CurrentShellOpener()
{
    static ShellOpener opener;
    return opener;
}

ShiftKeyReader& CurrentShiftKeyReader()
{
    static ShiftKeyReader reader;
    return reader;
}
}  // namespace

ShellOpener SetShellOpener(ShellOpener opener)
{
    return std::exchange(CurrentShellOpener(), std::move(opener));
}

INT_PTR ShellOpen(HWND owner, const std::wstring& target, const std::wstring& directory)
{
    if (CurrentShellOpener())
        return CurrentShellOpener()(owner, target, directory);
    HINSTANCE result = ShellExecuteW(owner, L"open", target.c_str(), nullptr,
                                     directory.empty() ? nullptr : directory.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result);
}

ShiftKeyReader SetShiftKeyReader(ShiftKeyReader reader)
{
    return std::exchange(CurrentShiftKeyReader(), std::move(reader));
}

bool IsShiftKeyDown()
{
    if (CurrentShiftKeyReader())
        return CurrentShiftKeyReader()();
    return (GetKeyState(VK_LSHIFT) & 0x8000) != 0 || (GetKeyState(VK_RSHIFT) & 0x8000) != 0;
}
