#include "framework/Dpi.h"

#include <iterator>

namespace {
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Present from Windows 10 1607; older systems and some Wine versions lack it.
GetDpiForWindowFn DpiForWindowFunction()
{
    static const GetDpiForWindowFn function = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

UINT ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : BaseDpi;
}
}  // namespace

UINT WindowDpi(HWND window)
{
    if (window) {
        if (GetDpiForWindowFn function = DpiForWindowFunction()) {
            UINT dpi = function(window);
            if (dpi > 0)
                return dpi;
        }
    }
    return ScreenDpi();
}

UINT ArtScaleForDpi(UINT dpi)
{
    for (UINT scale : ArtScales)
        if (dpi * 100 <= scale * BaseDpi)
            return scale;
    return ArtScales[std::size(ArtScales) - 1];
}

UINT ArtIdForDpi(UINT baseId, UINT dpi)
{
    const UINT scale = ArtScaleForDpi(dpi);
    for (size_t index = 0; index < std::size(ArtScales); ++index)
        if (ArtScales[index] == scale)
            return baseId + ArtIdOffsets[index];
    return baseId;
}
