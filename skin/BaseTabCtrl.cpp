#include "skin/BaseTabCtrl.h"

#include "framework/Gdi.h"

CBaseTabCtrl::CBaseTabCtrl(int paintMode) : m_paintMode(paintMode >= 0 && paintMode <= 2 ? paintMode : 0) {}

bool CBaseTabCtrl::SetPaintMode(int mode)
{
    if (mode < 0 || mode > 2)
        return false;
    m_paintMode = mode;
    if (m_hWnd) {
        SetOwnerDrawnStyle(mode != 0);
        RedrawNow(true);
    }
    return true;
}

void CBaseTabCtrl::SetBackgroundColor(COLORREF colour)
{
    m_backgroundColour = colour;
    RedrawNow(true);
}

bool CBaseTabCtrl::WantsOwnerDrawnTabs() const
{
    return m_paintMode != 0;
}

void CBaseTabCtrl::OnAttached()
{
    if (WantsOwnerDrawnTabs())
        SetOwnerDrawnStyle(true);
}

void CBaseTabCtrl::SetOwnerDrawnStyle(bool ownerDrawn)
{
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    LONG wanted = ownerDrawn ? (style | TCS_OWNERDRAWFIXED) : (style & ~TCS_OWNERDRAWFIXED);
    if (wanted != style)
        SetWindowLongW(m_hWnd, GWL_STYLE, wanted);
}

void CBaseTabCtrl::PaintTab(const DRAWITEMSTRUCT&) {}

void CBaseTabCtrl::PaintFrame(const DRAWITEMSTRUCT&) {}

void CBaseTabCtrl::PaintTabEdges(const DRAWITEMSTRUCT&) {}

COLORREF CBaseTabCtrl::TabBackColor(bool) const
{
    return GetSysColor(COLOR_BTNFACE);
}

COLORREF CBaseTabCtrl::TabTextColor(bool) const
{
    return GetSysColor(COLOR_WINDOWTEXT);
}

DRAWITEMSTRUCT CBaseTabCtrl::Record(HDC dc, int index, UINT state, const RECT& rect) const
{
    DRAWITEMSTRUCT record{};
    record.CtlType = ODT_TAB;
    record.CtlID = static_cast<UINT>(GetDlgCtrlID(m_hWnd));
    record.itemID = static_cast<UINT>(index);
    record.itemAction = ODA_DRAWENTIRE;
    record.itemState = state;
    record.hwndItem = m_hWnd;
    record.hDC = dc;
    record.rcItem = rect;
    return record;
}

bool CBaseTabCtrl::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_TAB)
        return false;
    PaintTab(item);
    PaintTabEdges(item);
    return true;
}

void CBaseTabCtrl::Paint(HDC dc)
{
    CScopedSelection font(dc, GetFont());

    RECT frame{};
    GetClientRect(m_hWnd, &frame);
    RECT display = frame;
    AdjustRect(false, display);
    frame.top = display.top - 2;
    PaintFrame(Record(dc, -1, 0, frame));

    const int selected = GetCurSel();
    int first = 0;
    int last = GetItemCount() - 1;
    VisibleTabs(dc, first, last);
    for (int index = last; index >= first; --index) {
        RECT rect{};
        if (index == selected || !GetItemRect(index, rect))
            continue;
        rect.bottom -= 2;
        DRAWITEMSTRUCT record = Record(dc, index, 0, rect);
        PaintTab(record);
        PaintTabEdges(record);
    }

    RECT rect{};
    if (selected >= 0 && GetItemRect(selected, rect)) {
        rect.top -= 2;
        rect.bottom += 2;
        DRAWITEMSTRUCT record = Record(dc, selected, ODS_SELECTED, rect);
        PaintTab(record);
        PaintTabEdges(record);
    }
}

void CBaseTabCtrl::VisibleTabs(HDC dc, int& first, int& last) const
{
    // Tabs in several rows are not ordered by position; one row is, left to right, so a strip of
    // thousands of tabs paints only the few the clip box shows.
    RECT clip{};
    if (last < 1 || (GetWindowLongW(m_hWnd, GWL_STYLE) & TCS_MULTILINE) || GetClipBox(dc, &clip) == ERROR)
        return;
    // An unselected tab's edge lies one pixel left of its rectangle.
    auto edge = [this](int index, bool right) {
        RECT rect{};
        GetItemRect(index, rect);
        return right ? rect.right + 1 : rect.left - 1;
    };
    int low = first;
    int high = last + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (edge(middle, true) <= clip.left)
            low = middle + 1;
        else
            high = middle;
    }
    const int from = low;
    high = last + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (edge(middle, false) < clip.right)
            low = middle + 1;
        else
            high = middle;
    }
    first = from;
    last = low - 1;
}

void CBaseTabCtrl::EraseBackground(HDC dc)
{
    // The strips around the row of tabs take the same colour as the rest, so one fill covers both.
    RECT client{};
    GetClientRect(m_hWnd, &client);
    FillSolidRect(dc, client, HasBackgroundColor() ? m_backgroundColour : GetSysColor(COLOR_BTNFACE));
}

LRESULT CBaseTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_PAINT:
        if (m_paintMode != 2)
            break;
        if (wParam) {
            Paint(reinterpret_cast<HDC>(wParam));
        } else {
            CPaintDC paint(m_hWnd);
            Paint(paint.Get());
        }
        return 0;
    case WM_PRINTCLIENT:
        if (m_paintMode != 2)
            break;
        if (lParam & PRF_ERASEBKGND)
            EraseBackground(reinterpret_cast<HDC>(wParam));
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    return CTabCtrl::WindowProc(message, wParam, lParam);
}
