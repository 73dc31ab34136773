#include "framework/Gdi.h"

#include "framework/App.h"
#include "framework/Dpi.h"

CScopedBitmap LoadBitmapResource(UINT id)
{
    return CScopedBitmap(static_cast<HBITMAP>(
        LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

CScopedBitmap LoadBitmapForDpi(UINT id, UINT dpi, UINT* scale)
{
    const UINT scaled = ArtIdForDpi(id, dpi);
    if (scaled != id) {
        if (CScopedBitmap bitmap = LoadBitmapResource(scaled)) {
            if (scale)
                *scale = ArtScaleForDpi(dpi);
            return bitmap;
        }
    }
    if (scale)
        *scale = 100;
    return LoadBitmapResource(id);
}

HICON LoadIconForDpi(UINT id, int size, UINT dpi)
{
    const int pixels = ScaleToDpi(size, dpi);
    return static_cast<HICON>(
        LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

int SurfaceBitsPerPixel(HDC dc)
{
    if (GetObjectType(dc) == OBJ_MEMDC) {
        BITMAP info{};
        if (GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof(info), &info))
            return info.bmBitsPixel * info.bmPlanes;
    }
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour)
{
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight)
{
    const LONG x = rect.left;
    const LONG y = rect.top;
    const LONG cx = RectWidth(rect);
    const LONG cy = RectHeight(rect);
    FillSolidRect(dc, RECT{x, y, x + cx - 1, y + 1}, topLeft);
    FillSolidRect(dc, RECT{x, y, x + 1, y + cy - 1}, topLeft);
    FillSolidRect(dc, RECT{x + cx - 1, y, x + cx, y + cy}, bottomRight);
    FillSolidRect(dc, RECT{x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

void DrawBitmap(HDC dc, HDC scratch, HBITMAP bitmap, int x, int y)
{
    if (!bitmap)
        return;
    SIZE size = BitmapSize(bitmap);
    CScopedSelection selected(scratch, bitmap);
    BitBlt(dc, x, y, size.cx, size.cy, scratch, 0, 0, SRCCOPY);
}

void StretchBitmap(HDC dc, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (!bitmap || width <= 0 || height <= 0)
        return;
    SIZE size = BitmapSize(bitmap);
    CScopedSelection selected(scratch, bitmap);
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, width, height, scratch, 0, 0, size.cx, size.cy, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

void FitBitmap(HDC dc, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (!bitmap || width <= 0 || height <= 0)
        return;
    const SIZE size = BitmapSize(bitmap);
    CScopedSelection selected(scratch, bitmap);
    if (size.cx == width && size.cy == height) {
        BitBlt(dc, x, y, width, height, scratch, 0, 0, SRCCOPY);
        return;
    }
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchBlt(dc, x, y, width, height, scratch, 0, 0, size.cx, size.cy, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}
