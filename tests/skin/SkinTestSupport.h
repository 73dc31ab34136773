#pragma once
// Pixel capture and GDI object counting for the skinned-control tests.

#include <windows.h>

#include <vector>

#include "framework/Gdi.h"

// Templates of tests/skin/SkinTestDialogs.rc.
constexpr UINT FrameTestTemplate = 9300;
constexpr UINT ButtonTestTemplate = 9301;
constexpr UINT TabTestTemplate = 9302;
constexpr int OkButtonId = 300;
constexpr int CaptionButtonId = 301;
constexpr int OtherButtonId = 302;
constexpr int TabId = 400;
constexpr int NarrowTabId = 401;

// A top-down 32-bit (or other depth) image that a window's pixels are copied into.
class CCapture {
public:
    CCapture(int width, int height, int bitsPerPixel = 32);
    CCapture(const CCapture&) = delete;
    CCapture& operator=(const CCapture&) = delete;
    ~CCapture();

    // The window's client area as it is on its surface (BitBlt from the window DC).
    explicit CCapture(HWND window);

    HDC DC() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Colour of a 32-bit capture, or palette index of an 8-bit one.
    COLORREF Pixel(int x, int y) const;
    unsigned PaletteIndex(int x, int y) const;

private:
    int m_width;
    int m_height;
    int m_bits;
    CMemoryDC m_dc;
    CScopedBitmap m_bitmap;
    void* m_pixels = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The pixels of a bitmap resource, read through the same loader the controls use.
struct CBitmapPixels {
    int Width = 0;
    int Height = 0;
    std::vector<COLORREF> Pixels;
    COLORREF At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};
CBitmapPixels ReadBitmapResource(UINT id);

// GDI objects the process holds. Wine's GetGuiResources is a stub (it returns 0), so then the
// entries of the process's GDI handle table are counted instead.
long CountGdiObjects();

// Copies the window to the screen now: pending paints run first.
void PaintNow(HWND window);
