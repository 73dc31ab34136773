#include "framework/BitmapButton.h"

#include "framework/Dpi.h"

namespace {
bool LoadOptional(CScopedBitmap& bitmap, UINT id, UINT dpi, UINT* scale = nullptr)
{
    bitmap.Reset(id ? LoadBitmapForDpi(id, dpi, scale).Release() : nullptr);
    return id == 0 || bitmap;
}
}  // namespace

bool CBitmapButton::LoadStateBitmaps(UINT normal, UINT pressed, UINT focused, UINT disabled)
{
    m_stateIds[0] = normal;
    m_stateIds[1] = pressed;
    m_stateIds[2] = focused;
    m_stateIds[3] = disabled;
    bool loaded = normal != 0 && LoadOptional(m_normal, normal, m_dpi, &m_artScale);
    loaded = LoadOptional(m_pressed, pressed, m_dpi) && loaded;
    loaded = LoadOptional(m_focused, focused, m_dpi) && loaded;
    loaded = LoadOptional(m_disabled, disabled, m_dpi) && loaded;
    return loaded;
}

void CBitmapButton::OnDpiChanged()
{
    if (m_stateIds[0])
        LoadStateBitmaps(m_stateIds[0], m_stateIds[1], m_stateIds[2], m_stateIds[3]);
}

SIZE CBitmapButton::BitmapSlot(HBITMAP bitmap) const
{
    const SIZE size = BitmapSize(bitmap);
    const int scale = static_cast<int>(m_artScale);
    return SIZE{ScaleToDpi(MulDiv(size.cx, 100, scale), m_dpi), ScaleToDpi(MulDiv(size.cy, 100, scale), m_dpi)};
}

void CBitmapButton::SizeToContent()
{
    SIZE size = BitmapSlot(m_normal.Get());
    if (m_hWnd && size.cx > 0)
        SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::OnAttached()
{
    // The bitmaps replace the system's drawing only for an owner-drawn button.
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        SendMessageW(m_hWnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
}

bool CBitmapButton::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_BUTTON)
        return false;
    DrawItem(item);
    return true;
}

void CBitmapButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    DrawStateBitmap(item.hDC, item.rcItem, item.itemState);
}

HBITMAP CBitmapButton::StateBitmap(UINT state) const
{
    if ((state & ODS_SELECTED) && m_pressed)
        return m_pressed.Get();
    if ((state & ODS_FOCUS) && m_focused)
        return m_focused.Get();
    if ((state & ODS_DISABLED) && m_disabled)
        return m_disabled.Get();
    return m_normal.Get();
}

void CBitmapButton::DrawStateBitmap(HDC dc, const RECT& rect, UINT state) const
{
    HBITMAP bitmap = StateBitmap(state);
    if (!bitmap)
        return;
    CMemoryDC scratch(dc);
    const SIZE slot = BitmapSlot(bitmap);
    FitBitmap(dc, scratch.Get(), bitmap, rect.left, rect.top, slot.cx, slot.cy);
}
