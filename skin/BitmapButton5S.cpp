#include "skin/BitmapButton5S.h"

#include <windowsx.h>

#include <string>

#include "framework/App.h"
#include "framework/Dpi.h"

namespace CommCtrl {

namespace {
// Any of these keeps the hover bitmap away.
constexpr UINT OtherStates = ODS_SELECTED | ODS_FOCUS | ODS_DISABLED | ODS_CHECKED | ODS_GRAYED;

RECT Shifted(const RECT& rect, int dy)
{
    RECT moved = rect;
    OffsetRect(&moved, 0, dy);
    return moved;
}

bool HasArea(const RECT& rect)
{
    return rect.right > rect.left && rect.bottom > rect.top;
}
}  // namespace

bool CBitmapButton5S::SetHoverBitmap(UINT id)
{
    m_hoverId = id;
    m_hoverBitmap.Reset();
    m_hoverBitmap = LoadBitmapForDpi(id, m_dpi);
    return static_cast<bool>(m_hoverBitmap);
}

bool CBitmapButton5S::SetIcon(UINT id)
{
    m_iconId = id;
    m_icon.Reset();
    m_icon.Reset(static_cast<HICON>(LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                               RectWidth(m_iconRect), RectHeight(m_iconRect), LR_DEFAULTCOLOR)));
    return static_cast<bool>(m_icon);
}

void CBitmapButton5S::SetLayout(const RECT& iconRect, const RECT& captionRect, int charWidth, const wchar_t* face)
{
    m_baseIconRect = iconRect;
    m_baseCaptionRect = captionRect;
    m_baseCharWidth = charWidth;
    m_face = face ? face : L"";
    ApplyLayout();
}

void CBitmapButton5S::OnDpiChanged()
{
    CBitmapButton::OnDpiChanged();
    if (m_hoverId)
        SetHoverBitmap(m_hoverId);
    ApplyLayout();
    if (m_iconId)
        SetIcon(m_iconId);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBitmapButton5S::ApplyLayout()
{
    const RECT iconRect = ScaleRectToDpi(m_baseIconRect, m_dpi);
    const RECT captionRect = ScaleRectToDpi(m_baseCaptionRect, m_dpi);
    const int charWidth = ScaleToDpi(m_baseCharWidth, m_dpi);
    const wchar_t* face = m_face.c_str();
    m_iconRect = iconRect;
    m_iconRectPressed = Shifted(iconRect, ScaleToDpi(1, m_dpi));
    m_iconRectHover = Shifted(iconRect, -ScaleToDpi(1, m_dpi));
    m_captionRect = captionRect;
    m_captionRectPressed = Shifted(captionRect, ScaleToDpi(1, m_dpi));
    m_captionRectHover = Shifted(captionRect, -ScaleToDpi(1, m_dpi));
    m_captionFont.Reset();
    m_captionFont.Reset(CreateFontW(RectHeight(captionRect), charWidth, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, face));
}

COLORREF CBitmapButton5S::SetTextColor(COLORREF colour)
{
    COLORREF previous = m_textColour;
    m_textColour = colour;
    return previous;
}

bool CBitmapButton5S::SetShowFocus(bool showFocus)
{
    bool previous = m_showFocus;
    m_showFocus = showFocus;
    return previous;
}

bool CBitmapButton5S::IsPointInside(POINT point) const
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    return PtInRect(&client, point) != FALSE;
}

bool CBitmapButton5S::IsCursorInside() const
{
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(m_hWnd, &cursor))
        return false;
    return IsPointInside(cursor);
}

void CBitmapButton5S::DrawItem(const DRAWITEMSTRUCT& item)
{
    UINT state = item.itemState;
    if (!m_showFocus)
        state &= ~ODS_FOCUS;

    SIZE size = BitmapSlot(m_hoverBitmap.Get());
    if (size.cx <= 0 || size.cy <= 0)
        size = SIZE{RectWidth(item.rcItem), RectHeight(item.rcItem)};
    CMemoryDC image(item.hDC);
    CScopedBitmap imageBitmap(CreateCompatibleBitmap(item.hDC, size.cx, size.cy));
    if (!image || !imageBitmap)
        return;
    CScopedSelection imageSelection(image.Get(), imageBitmap.Get());

    if (m_hover && m_hoverBitmap && !(state & OtherStates) && IsCursorInside()) {
        CMemoryDC scratch(item.hDC);
        FitBitmap(image.Get(), scratch.Get(), m_hoverBitmap.Get(), 0, 0, size.cx, size.cy);
    } else {
        DrawStateBitmap(image.Get(), RECT{0, 0, size.cx, size.cy}, state);
    }

    const bool pressed = (state & ODS_SELECTED) != 0;
    const RECT& captionRect = pressed ? m_captionRectPressed : m_hover ? m_captionRectHover : m_captionRect;
    const RECT& iconRect = pressed ? m_iconRectPressed : m_hover ? m_iconRectHover : m_iconRect;

    const int length = GetWindowTextLengthW(m_hWnd);
    if (length > 0 && HasArea(m_captionRect)) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(m_hWnd, text.data(), length + 1)));
        CScopedSelection font(image.Get(), m_captionFont.Get());
        CScopedTextLook look(image.Get(), m_textColour);
        RECT textRect = captionRect;
        DrawTextW(image.Get(), text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
    }
    if (m_icon && HasArea(iconRect))
        DrawIconEx(image.Get(), iconRect.left, iconRect.top, m_icon.Get(), RectWidth(iconRect), RectHeight(iconRect),
                   0, nullptr, DI_NORMAL);

    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, size.cx, size.cy, image.Get(), 0, 0, SRCCOPY);
}

void CBitmapButton5S::OnMouseMove(WPARAM keys, POINT point)
{
    if (!IsPointInside(point)) {
        m_hover = false;
        // While the left button is held the platform button owns the capture: it decides on its own
        // whether the release is a click.
        if (!(keys & MK_LBUTTON) && GetCapture() == m_hWnd)
            ReleaseCapture();
    } else {
        const bool checked = SendMessageW(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const bool focused = GetFocus() == m_hWnd;
        const bool pushed = (SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        m_hover = !(checked || (focused && m_showFocus) || pushed);
        // The capture tells the button when the mouse leaves it.
        if (m_hover && GetCapture() != m_hWnd)
            SetCapture(m_hWnd);
    }
    if (m_hover != m_hoverDrawn) {
        if (m_hover && GetCapture() != m_hWnd)
            SetCapture(m_hWnd);
        RedrawNow();
        m_hoverDrawn = m_hover;
    }
}

LRESULT CBitmapButton5S::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return Default(message, wParam, lParam);
    case WM_LBUTTONUP: {
        HWND window = m_hWnd;
        m_hover = false;
        RedrawNow();
        // Remember what the platform draws once the button is released, so that the next move
        // inside brings the hover look back.
        m_hoverDrawn = false;
        LRESULT result = Default(message, wParam, lParam);
        // The click may have closed the dialog.
        if (m_hWnd == window && IsPointInside(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            SetCapture(m_hWnd);
        return result;
    }
    default:
        return CBitmapButton::WindowProc(message, wParam, lParam);
    }
}

}  // namespace CommCtrl
