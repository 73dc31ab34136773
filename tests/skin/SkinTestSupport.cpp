#include "SkinTestSupport.h"

#include <winternl.h>

#include <cstdint>

CCapture::CCapture(int width, int height, int bitsPerPixel)
    : m_width(width), m_height(height), m_bits(bitsPerPixel), m_dc(nullptr)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    if (bitsPerPixel == 8) {
        // A 6 x 6 x 6 colour cube, so distinct colours mostly map to distinct indices.
        info.header.biClrUsed = 216;
        for (int index = 0; index < 216; ++index) {
            info.colours[index].rgbRed = static_cast<BYTE>(index / 36 * 51);
            info.colours[index].rgbGreen = static_cast<BYTE>(index / 6 % 6 * 51);
            info.colours[index].rgbBlue = static_cast<BYTE>(index % 6 * 51);
        }
    }
    m_bitmap.Reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &m_pixels,
                                    nullptr, 0));
    m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
}

CCapture::~CCapture()
{
    if (m_old)
        SelectObject(m_dc.Get(), m_old);
}

namespace {
SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}
}  // namespace

CCapture::CCapture(HWND window) : CCapture(ClientSize(window).cx, ClientSize(window).cy)
{
    CClientDC source(window);
    BitBlt(DC(), 0, 0, m_width, m_height, source.Get(), 0, 0, SRCCOPY);
    GdiFlush();
}

COLORREF CCapture::Pixel(int x, int y) const
{
    GdiFlush();
    const auto* row = static_cast<const std::uint8_t*>(m_pixels) + static_cast<size_t>(y) * m_width * 4;
    const std::uint8_t* pixel = row + static_cast<size_t>(x) * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

unsigned CCapture::PaletteIndex(int x, int y) const
{
    GdiFlush();
    const int stride = (m_width + 3) & ~3;
    return static_cast<const std::uint8_t*>(m_pixels)[static_cast<size_t>(y) * stride + x];
}

CBitmapPixels ReadBitmapResource(UINT id)
{
    CBitmapPixels result;
    CScopedBitmap bitmap = LoadBitmapResource(id);
    SIZE size = BitmapSize(bitmap.Get());
    if (!bitmap || size.cx <= 0)
        return result;
    result.Width = size.cx;
    result.Height = size.cy;
    result.Pixels.resize(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> raw(result.Pixels.size());
    CClientDC screen(nullptr);
    GetDIBits(screen.Get(), bitmap.Get(), 0, static_cast<UINT>(size.cy), raw.data(), &info, DIB_RGB_COLORS);
    for (size_t index = 0; index < raw.size(); ++index) {
        std::uint32_t bgra = raw[index];
        result.Pixels[index] = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }
    return result;
}

namespace {
// One entry of the process's GDI handle table, as the PEB publishes it.
struct CGdiHandleEntry {
    std::uint64_t Object;
    std::uint16_t ProcessId;
    std::uint16_t Count;
    std::uint16_t Unique;
    std::uint8_t Type;
    std::uint8_t Flags;
    std::uint64_t UserPointer;
};
static_assert(sizeof(CGdiHandleEntry) == 24, "GDI handle table entry");
constexpr size_t GdiSharedHandleTableOffset = 0xF8;  // in the 64-bit PEB
constexpr size_t GdiHandleCount = 0x10000;
}  // namespace

long CountGdiObjects()
{
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<long>(count);
    GdiFlush();
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // mingw's inline TEB read
    const auto* peb = reinterpret_cast<const std::uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    const auto* table = *reinterpret_cast<const CGdiHandleEntry* const*>(peb + GdiSharedHandleTableOffset);
    if (!table)
        return -1;
    long count = 0;
    for (size_t index = 0; index < GdiHandleCount; ++index)
        if (table[index].Type != 0)
            ++count;
    return count;
}

void PaintNow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

