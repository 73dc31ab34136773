#pragma once
// Owners for GDI objects, device contexts and selections, so that painting code reads top to bottom
// with no cleanup at the end.

#include <windows.h>

#include <utility>

// Owns one GDI object (bitmap, font, brush, pen, region) and deletes it.
template <class THandle>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(THandle handle) : m_handle(handle) {}
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.Release()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    ~CGdiObject() { Reset(); }

    THandle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Deletes the object held so far and takes the new one.
    void Reset(THandle handle = nullptr)
    {
        if (m_handle && m_handle != handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }
    // Gives the object away, for calls such as SetWindowRgn that take ownership.
    THandle Release() { return std::exchange(m_handle, nullptr); }

private:
    THandle m_handle = nullptr;
};

using CScopedBitmap = CGdiObject<HBITMAP>;
using CScopedFont = CGdiObject<HFONT>;
using CScopedBrush = CGdiObject<HBRUSH>;
using CScopedPen = CGdiObject<HPEN>;
using CScopedRegion = CGdiObject<HRGN>;

// Owns an icon loaded with LoadImage (not a shared one) and destroys it.
class CScopedIcon {
public:
    CScopedIcon() = default;
    explicit CScopedIcon(HICON icon) : m_icon(icon) {}
    CScopedIcon(const CScopedIcon&) = delete;
    CScopedIcon& operator=(const CScopedIcon&) = delete;
    ~CScopedIcon() { Reset(); }

    HICON Get() const { return m_icon; }
    explicit operator bool() const { return m_icon != nullptr; }
    void Reset(HICON icon = nullptr)
    {
        if (m_icon && m_icon != icon)
            DestroyIcon(m_icon);
        m_icon = icon;
    }

private:
    HICON m_icon = nullptr;
};

// Selects an object into a DC and puts the previous one back.
class CScopedSelection {
public:
    CScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? SelectObject(dc, object) : nullptr) {}
    CScopedSelection(const CScopedSelection&) = delete;
    CScopedSelection& operator=(const CScopedSelection&) = delete;
    ~CScopedSelection()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC compatible with another DC (or the screen).
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatibleWith = nullptr) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC()
    {
        if (m_dc)
            DeleteDC(m_dc);
    }

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// The client-area DC of a window (or of the screen for a null window).
class CClientDC {
public:
    explicit CClientDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    ~CClientDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint and EndPaint around one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { EndPaint(m_window, &m_paint); }

    HDC Get() const { return m_dc; }
    const RECT& PaintRect() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc = nullptr;
};

// Sets the text colour and background mode of a DC and restores both.
class CScopedTextLook {
public:
    CScopedTextLook(HDC dc, COLORREF textColour, int backgroundMode = TRANSPARENT)
        : m_dc(dc), m_oldColour(SetTextColor(dc, textColour)), m_oldMode(SetBkMode(dc, backgroundMode))
    {
    }
    CScopedTextLook(const CScopedTextLook&) = delete;
    CScopedTextLook& operator=(const CScopedTextLook&) = delete;
    ~CScopedTextLook()
    {
        SetBkMode(m_dc, m_oldMode);
        SetTextColor(m_dc, m_oldColour);
    }

private:
    HDC m_dc;
    COLORREF m_oldColour;
    int m_oldMode;
};

// A bitmap of the program's resources as a DIB section, so its colours survive any display depth.
CScopedBitmap LoadBitmapResource(UINT id);
// The bitmap drawn for the DPI (see ArtIdForDpi in framework/Dpi.h); the 1x one where a variant is
// missing. The art scale it was drawn at, in percent, goes to `scale`.
CScopedBitmap LoadBitmapForDpi(UINT id, UINT dpi, UINT* scale = nullptr);
// An icon at a 96-DPI size shown at the DPI, taken from the icon's nearest image.
HICON LoadIconForDpi(UINT id, int size, UINT dpi);
// Width and height of a bitmap; zero for none.
SIZE BitmapSize(HBITMAP bitmap);
// Colour depth of what a DC paints on: the bitmap selected into a memory DC, else the device.
int SurfaceBitsPerPixel(HDC dc);
// Fills a rectangle with one colour without creating a brush.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour);
// A one-pixel frame inside the rectangle: top and left in one colour, bottom and right in another.
void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
// Copies the bitmap 1:1 to (x, y), or stretched to the given size.
void DrawBitmap(HDC dc, HDC scratch, HBITMAP bitmap, int x, int y);
void StretchBitmap(HDC dc, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height);
// Copies the bitmap 1:1 when it has the size, else shrinks or grows it smoothly to the size: how a
// bitmap of the next larger art scale fills a slot between two scales.
void FitBitmap(HDC dc, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height);

inline int RectWidth(const RECT& rect)
{
    return rect.right - rect.left;
}
inline int RectHeight(const RECT& rect)
{
    return rect.bottom - rect.top;
}
