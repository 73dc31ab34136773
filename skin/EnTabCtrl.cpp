#include "skin/EnTabCtrl.h"

#include <commctrl.h>

#include "framework/Gdi.h"
#include "skin/ColourMath.h"

namespace CommCtrl {

namespace {
constexpr COLORREF SelectionBarColour = RGB(255, 128, 64);
constexpr int TextBufferLength = 100;
constexpr int ImageWidth = 19;
}  // namespace

DWORD CEnTabCtrl::s_lookFlags = 0;

CEnTabCtrl::CEnTabCtrl() : CBaseTabCtrl(0) {}

void CEnTabCtrl::SetLookFlags(bool on, DWORD flags)
{
    s_lookFlags = on ? flags : 0;
}

bool CEnTabCtrl::WantsOwnerDrawnTabs() const
{
    return CBaseTabCtrl::WantsOwnerDrawnTabs() || s_lookFlags != 0;
}

COLORREF CEnTabCtrl::BaseColour() const
{
    return (s_lookFlags & LookColor) && HasBackgroundColor() ? GetBackgroundColor() : GetSysColor(COLOR_BTNFACE);
}

COLORREF CEnTabCtrl::PlainColour() const
{
    return HasBackgroundColor() ? GetBackgroundColor() : GetSysColor(COLOR_BTNFACE);
}

COLORREF CEnTabCtrl::TabBackColor(bool selected) const
{
    if (selected)
        return (s_lookFlags & LookSelection) ? Lighter(BaseColour(), 1.4) : GetSysColor(COLOR_BTNFACE);
    if ((s_lookFlags & LookBackTabs) || !(s_lookFlags & LookFlat))
        return Darker(BaseColour(), 0.9);
    return PlainColour();
}

COLORREF CEnTabCtrl::TabTextColor(bool selected) const
{
    if (selected)
        return GetSysColor(COLOR_WINDOWTEXT);
    if ((s_lookFlags & (LookColor | LookFlat)) && HasBackgroundColor())
        return Darker(GetBackgroundColor(), 0.5);
    return Darker(GetSysColor(COLOR_BTNFACE), 0.5);
}

void CEnTabCtrl::PaintFrame(const DRAWITEMSTRUCT& record)
{
    const COLORREF colour = TabBackColor(false);
    Draw3dRect(record.hDC, record.rcItem, Lighter(colour, 1.5), Darker(colour, 0.75));
}

void CEnTabCtrl::PaintTab(const DRAWITEMSTRUCT& record)
{
    HDC dc = record.hDC;
    const bool selected = (record.itemState & ODS_SELECTED) != 0;
    RECT rect = record.rcItem;
    rect.bottom += selected ? -1 : 2;

    const COLORREF colour = TabBackColor(selected);
    // A gradient needs at least 16 bits per pixel to look like one.
    if ((s_lookFlags & LookGradient) && SurfaceBitsPerPixel(dc) >= 16) {
        const COLORREF end = selected ? (HasBackgroundColor() ? GetBackgroundColor() : RGB(255, 255, 255))
                                      : Darker(BaseColour(), 0.7);
        const int height = RectHeight(rect);
        for (int line = 0; line < height; ++line)
            FillSolidRect(dc, RECT{rect.left, rect.top + line, rect.right, rect.top + line + 1},
                          GradientLine(colour, end, line, height));
    } else {
        FillSolidRect(dc, rect, colour);
    }

    RECT textRect{rect.left + 3, rect.top + (selected ? 4 : 3), rect.right - 3, rect.bottom};
    wchar_t text[TextBufferLength] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = TextBufferLength;
    item.iImage = -1;
    if (!SendMessageW(m_hWnd, TCM_GETITEMW, record.itemID, reinterpret_cast<LPARAM>(&item)))
        text[0] = L'\0';
    if (HIMAGELIST images = GetImageList()) {
        if (item.iImage >= 0)
            ImageList_Draw(images, item.iImage, dc, textRect.left, textRect.top, ILD_TRANSPARENT);
        textRect.left += ImageWidth;
    }
    CScopedTextLook look(dc, TabTextColor(selected));
    DrawTextW(dc, text, -1, &textRect, DT_SINGLELINE | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CEnTabCtrl::PaintTabEdges(const DRAWITEMSTRUCT& record)
{
    HDC dc = record.hDC;
    const bool selected = (record.itemState & ODS_SELECTED) != 0;
    const COLORREF colour = TabBackColor(selected);
    const COLORREF light = Lighter(colour, 1.5);
    const COLORREF dark = Darker(colour, 0.75);
    RECT rect = record.rcItem;

    if (selected || (s_lookFlags & LookBackTabs)) {
        rect.bottom += selected ? -1 : 1;
        FillSolidRect(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, light);
        FillSolidRect(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, light);
        FillSolidRect(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, dark);
    } else {
        FillSolidRect(dc, RECT{rect.left - 1, rect.top, rect.left, rect.bottom}, dark);
        FillSolidRect(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, dark);
    }

    if (selected) {
        const RECT& top = record.rcItem;
        FillSolidRect(dc, RECT{top.left + 1, top.top, top.right - 2, top.top + 3}, SelectionBarColour);
    }
}

}  // namespace CommCtrl
