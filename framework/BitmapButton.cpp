#include "framework/BitmapButton.h"

namespace {
bool LoadOptional(CScopedBitmap& bitmap, UINT id)
{
    bitmap.Reset(id ? LoadBitmapResource(id).Release() : nullptr);
    return id == 0 || bitmap;
}
}  // namespace

bool CBitmapButton::LoadStateBitmaps(UINT normal, UINT pressed, UINT focused, UINT disabled)
{
    bool loaded = normal != 0 && LoadOptional(m_normal, normal);
    loaded = LoadOptional(m_pressed, pressed) && loaded;
    loaded = LoadOptional(m_focused, focused) && loaded;
    loaded = LoadOptional(m_disabled, disabled) && loaded;
    return loaded;
}

void CBitmapButton::SizeToContent()
{
    SIZE size = BitmapSize(m_normal.Get());
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
    DrawBitmap(dc, scratch.Get(), bitmap, rect.left, rect.top);
}
