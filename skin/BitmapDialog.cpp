#include "skin/BitmapDialog.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "res/resource.h"

namespace CommCtrl {

namespace {
// Resource ids in the order of CBitmapDialog::SkinBitmap.
constexpr UINT SkinBitmapIds[] = {
    IDB_FRAME_TOPLEFT,   IDB_FRAME_TOP,       IDB_FRAME_TOPRIGHT, IDB_FRAME_LEFT,      IDB_FRAME_RIGHT,
    IDB_FRAME_BOTTOM,    IDB_FRAME_BOTTOMLEFT, IDB_FRAME_BOTTOMRIGHT,
    IDB_MIN_NORMAL,      IDB_MIN_HOVER,       IDB_MIN_PRESSED,
    IDB_MAX_NORMAL,      IDB_MAX_HOVER,       IDB_MAX_PRESSED,
    IDB_RESTORE_NORMAL,  IDB_RESTORE_HOVER,   IDB_RESTORE_PRESSED,
    IDB_CLOSE_NORMAL,    IDB_CLOSE_HOVER,     IDB_CLOSE_PRESSED,
};

constexpr COLORREF CaptionColour = RGB(62, 129, 211);
constexpr int CornerWidth = 6;
constexpr int BottomCorner = 5;
constexpr int ButtonWidth = 31;
constexpr int ButtonHeight = 23;
constexpr int ShortButtonWidth = 21;
constexpr int ShortButtonHeight = 16;
constexpr int CornerEllipse = 9;

constexpr int NormalState = 0;
constexpr int HoverState = 1;
constexpr int PressedState = 2;

POINT PointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}
}  // namespace

CBitmapDialog::CBitmapDialog(UINT templateId, HWND parent) : CDialog(templateId, parent) {}

SIZE CBitmapDialog::WindowSizeFor(int width, int height, UINT dpi, bool shortTitle)
{
    const int title = shortTitle ? ShortTitleHeight : TitleHeight;
    const int border = ScaleToDpi(BorderWidth, dpi);
    return SIZE{2 * border + ScaleToDpi(width - 2 * BorderWidth, dpi),
                ScaleToDpi(title, dpi) + ScaleToDpi(height - title - BorderWidth, dpi) + border};
}

void CBitmapDialog::SetContentColour(COLORREF colour)
{
    m_contentColour = colour;
    m_contentBrush.Reset(CreateSolidBrush(colour));
}

void CBitmapDialog::AnswerControlColours(std::initializer_list<UINT> messages, bool transparentText)
{
    m_colourMessages.assign(messages);
    m_transparentText = transparentText;
}

void CBitmapDialog::FitWorkArea()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!m_hWnd || !GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    // Each step lays out at a DPI the proportions promise to fit; rounding may need one more.
    for (int step = 0; step < 4; ++step) {
        RECT window{};
        GetWindowRect(m_hWnd, &window);
        const int width = RectWidth(window);
        const int height = RectHeight(window);
        if ((width <= RectWidth(work) && height <= RectHeight(work)) || GetDpi() <= BaseDpi)
            break;
        const UINT byWidth = MulDiv(GetDpi(), RectWidth(work), width);
        const UINT byHeight = MulDiv(GetDpi(), RectHeight(work), height);
        SetDpi(std::max<UINT>(BaseDpi, std::min({byWidth, byHeight, GetDpi() - 1})));
    }
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const int left = std::max(work.left, std::min(window.left, work.right - RectWidth(window)));
    const int top = std::max(work.top, std::min(window.top, work.bottom - RectHeight(window)));
    if (left != window.left || top != window.top)
        SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapDialog::ResizeTo(int width, int height)
{
    const SIZE size = ScaledWindowSize(width, height);
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapDialog::SetTitleButtons(bool minimize, bool maximize, bool close)
{
    m_buttonShown[CloseButton] = close;
    m_buttonShown[MaximizeButton] = close && maximize;
    m_buttonShown[MinimizeButton] = close && minimize;
    for (int button = 0; button < 3; ++button)
        if (!m_buttonShown[button])
            m_buttonStates[button] = NormalState;
    if (m_hWnd) {
        LayoutTitleBar();
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CBitmapDialog::SetShortTitle(bool shortTitle)
{
    if (shortTitle == m_shortTitle)
        return;
    m_shortTitle = shortTitle;
    SetTitleButtons(false, false, true);
    if (m_hWnd) {
        CreateCaptionFont();
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

RECT CBitmapDialog::GetContentRect() const
{
    RECT rect{};
    if (m_hWnd)
        GetClientRect(m_hWnd, &rect);
    const int border = Scale(BorderWidth);
    rect.left += border;
    rect.right -= border;
    rect.bottom -= border;
    rect.top += TitleBarHeight();
    return rect;
}

BOOL CBitmapDialog::OnInitDialog()
{
    for (int button = 0; button < 3; ++button)
        m_buttonStates[button] = NormalState;
    m_dragging = false;
    LoadSkinBitmaps();
    CreateCaptionFont();
    LayoutTitleBar();
    return CDialog::OnInitDialog();
}

void CBitmapDialog::OnDestroy()
{
    m_captionFont.Reset();
    m_dragging = false;
    m_trackingLeave = false;
    m_shownOnce = false;
    CDialog::OnDestroy();
}

void CBitmapDialog::LoadSkinBitmaps()
{
    const bool otherScale = m_skinDpi != 0 && ArtScaleForDpi(m_skinDpi) != ArtScaleForDpi(GetDpi());
    for (int index = 0; index < SkinBitmapCount; ++index)
        if (!m_skin[index] || otherScale)
            m_skin[index] = LoadBitmapForDpi(SkinBitmapIds[index], GetDpi());
    m_skinDpi = GetDpi();
}

void CBitmapDialog::OnDpiChanged()
{
    LoadSkinBitmaps();
    CreateCaptionFont();
    LayoutTitleBar();
}

void CBitmapDialog::CreateCaptionFont()
{
    if (m_shortTitle)
        m_captionFont.Reset(CreateFontW(Scale(14), Scale(6), 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
    else
        m_captionFont.Reset(CreateFontW(Scale(18), Scale(8), 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

void CBitmapDialog::LayoutTitleBar()
{
    if (!m_hWnd)
        return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int top = Scale(m_shortTitle ? 3 : 4);
    const int bottom = Scale(m_shortTitle ? 19 : 27);
    const int width = Scale(m_shortTitle ? ShortButtonWidth : ButtonWidth);

    // From the right: close, then maximize, then minimize.
    int edge = client.right - Scale(BorderWidth);
    for (TitleButton button : {CloseButton, MaximizeButton, MinimizeButton}) {
        if (!m_buttonShown[button]) {
            SetRectEmpty(&m_buttonRects[button]);
            continue;
        }
        m_buttonRects[button] = RECT{edge - width, top, edge, bottom};
        edge -= width;
    }
    const bool anyShown = m_buttonShown[CloseButton];
    m_captionRect = RECT{0, 0, anyShown ? edge : client.right, TitleBarHeight()};
    ApplyRoundedShape();
}

void CBitmapDialog::ApplyRoundedShape()
{
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    // The region's right and bottom edges are exclusive; one more keeps the last column and row.
    CScopedRegion shape(
        CreateRoundRectRgn(0, 0, RectWidth(window) + 1, RectHeight(window) + 1, Scale(CornerEllipse),
                                          Scale(CornerEllipse)));
    if (shape && SetWindowRgn(m_hWnd, shape.Get(), TRUE))
        shape.Release();  // the window owns it now
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

HBITMAP CBitmapDialog::TitleButtonBitmap(TitleButton button) const
{
    int first = CloseNormal;
    if (button == MinimizeButton)
        first = MinNormal;
    else if (button == MaximizeButton)
        first = IsZoomed(m_hWnd) ? RestoreNormal : MaxNormal;
    // Normal, hover and pressed follow each other.
    return m_skin[first + std::clamp(m_buttonStates[button], NormalState, PressedState)].Get();
}

void CBitmapDialog::PaintSkin(HDC dc)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int title = TitleBarHeight();
    const int corner = Scale(CornerWidth);
    const int border = Scale(BorderWidth);
    const int bottomCorner = Scale(BottomCorner);
    CMemoryDC scratch(dc);
    HDC source = scratch.Get();

    // Top corners and the top edge between them; the short title squeezes them to its height.
    if (m_shortTitle) {
        StretchBitmap(dc, source, m_skin[TopLeft].Get(), 0, 0, corner, title);
        StretchBitmap(dc, source, m_skin[TopRight].Get(), width - corner, 0, corner, title);
    } else {
        FitBitmap(dc, source, m_skin[TopLeft].Get(), 0, 0, corner, title);
        FitBitmap(dc, source, m_skin[TopRight].Get(), width - corner, 0, corner, title);
    }
    StretchBitmap(dc, source, m_skin[Top].Get(), corner, 0, width - 2 * corner, title);

    // Side edges from below the title bar to the bottom corners.
    StretchBitmap(dc, source, m_skin[Left].Get(), 0, title, border, height - bottomCorner - title);
    StretchBitmap(dc, source, m_skin[Right].Get(), width - border, title, border, height - bottomCorner - title);

    // Bottom edge and corners.
    StretchBitmap(dc, source, m_skin[Bottom].Get(), bottomCorner, height - border, width - 2 * bottomCorner, border);
    FitBitmap(dc, source, m_skin[BottomLeft].Get(), 0, height - bottomCorner, bottomCorner, bottomCorner);
    FitBitmap(dc, source, m_skin[BottomRight].Get(), width - bottomCorner, height - bottomCorner, bottomCorner,
              bottomCorner);

    for (TitleButton button : {MinimizeButton, MaximizeButton, CloseButton}) {
        if (!m_buttonShown[button])
            continue;
        const RECT& rect = m_buttonRects[button];
        if (m_shortTitle)
            StretchBitmap(dc, source, TitleButtonBitmap(button), rect.left, rect.top, Scale(ShortButtonWidth),
                          Scale(ShortButtonHeight));
        else
            FitBitmap(dc, source, TitleButtonBitmap(button), rect.left, rect.top, Scale(ButtonWidth),
                      Scale(ButtonHeight));
    }

    int textLeft = Scale(5);
    if (!m_shortTitle) {
        HICON icon = reinterpret_cast<HICON>(SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0));
        if (icon) {
            DrawIconEx(dc, Scale(5), Scale(5), icon, Scale(20), Scale(20), 0, nullptr, DI_NORMAL);
            textLeft = Scale(25);
        }
    }
    int length = GetWindowTextLengthW(m_hWnd);
    if (length > 0) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(m_hWnd, text.data(), length + 1)));
        CScopedSelection font(dc, m_captionFont.Get());
        CScopedTextLook look(dc, CaptionColour);
        // Kept clear of the title buttons.
        RECT textRect{textLeft, Scale(5), m_captionRect.right, title};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (m_contentBrush) {
        const RECT content = GetContentRect();
        FillRect(dc, &content, m_contentBrush.Get());
    }
}

void CBitmapDialog::RedrawTitleButton(TitleButton button)
{
    RedrawWindow(m_hWnd, &m_buttonRects[button], nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int CBitmapDialog::TitleButtonAt(POINT point) const
{
    for (TitleButton button : {MinimizeButton, MaximizeButton, CloseButton})
        if (m_buttonShown[button] && PtInRect(&m_buttonRects[button], point))
            return button;
    return -1;
}

bool CBitmapDialog::IsDraggable() const
{
    return !IsZoomed(m_hWnd) && !IsIconic(m_hWnd);
}

void CBitmapDialog::OnLeftButtonDown(POINT point)
{
    if (PtInRect(&m_captionRect, point)) {
        if (IsDraggable()) {
            m_dragging = true;
            m_dragStart = point;
            SetCapture(m_hWnd);
        }
        return;
    }
    int button = TitleButtonAt(point);
    if (button < 0)
        return;
    m_buttonStates[button] = PressedState;
    SetCapture(m_hWnd);
    RedrawTitleButton(static_cast<TitleButton>(button));
}

void CBitmapDialog::OnMouseMove(POINT point)
{
    if (m_dragging) {
        RECT window{};
        GetWindowRect(m_hWnd, &window);
        SetWindowPos(m_hWnd, nullptr, window.left + point.x - m_dragStart.x, window.top + point.y - m_dragStart.y, 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const int under = TitleButtonAt(point);
    bool anyHover = false;
    for (TitleButton button : {MinimizeButton, MaximizeButton, CloseButton}) {
        int& state = m_buttonStates[button];
        int wanted = state;
        if (button == under && state == NormalState)
            wanted = HoverState;
        else if (button != under && state == HoverState)
            wanted = NormalState;
        anyHover = anyHover || wanted == HoverState;
        if (wanted != state) {
            state = wanted;
            RedrawTitleButton(button);
        }
    }
    // Without a move outside the window the hover look would stay; ask to hear of the leave.
    if (anyHover && !m_trackingLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_trackingLeave = TrackMouseEvent(&track) != FALSE;
    }
}

void CBitmapDialog::OnMouseLeave()
{
    m_trackingLeave = false;
    for (TitleButton button : {MinimizeButton, MaximizeButton, CloseButton}) {
        if (m_buttonStates[button] == HoverState) {
            m_buttonStates[button] = NormalState;
            RedrawTitleButton(button);
        }
    }
}

void CBitmapDialog::OnLeftButtonUp(POINT point)
{
    if (m_dragging) {
        m_dragging = false;
        ReleaseCapture();
    }
    int pressed = -1;
    for (TitleButton button : {MinimizeButton, MaximizeButton, CloseButton})
        if (m_buttonStates[button] == PressedState)
            pressed = button;
    if (pressed < 0)
        return;
    const TitleButton button = static_cast<TitleButton>(pressed);
    // The state goes back before the capture, so losing the capture finds nothing to undo.
    m_buttonStates[button] = NormalState;
    ReleaseCapture();
    RedrawTitleButton(button);
    if (PtInRect(&m_buttonRects[button], point))
        RunTitleButton(button);
}

void CBitmapDialog::RunTitleButton(TitleButton button)
{
    switch (button) {
    case MinimizeButton:
        ShowWindow(m_hWnd, SW_MINIMIZE);
        break;
    case MaximizeButton:
        ShowWindow(m_hWnd, IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
        break;
    case CloseButton:
        // The window may be gone afterwards; only the object is touched.
        m_closingFromCloseButton = true;
        OnCancel();
        m_closingFromCloseButton = false;
        break;
    }
}

void CBitmapDialog::OnLeftButtonDoubleClick(POINT point)
{
    if (PtInRect(&m_captionRect, point) && m_buttonShown[MaximizeButton]) {
        ShowWindow(m_hWnd, IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
        return;
    }
    // The second press of a quick double click acts as a press.
    OnLeftButtonDown(point);
}

void CBitmapDialog::OnCaptureChanged(HWND newCapture)
{
    if (newCapture == m_hWnd)
        return;
    // Another window took the mouse: no drag goes on and no press can complete.
    m_dragging = false;
    for (TitleButton button : {MinimizeButton, MaximizeButton, CloseButton}) {
        if (m_buttonStates[button] == PressedState) {
            m_buttonStates[button] = NormalState;
            RedrawTitleButton(button);
        }
    }
}

void CBitmapDialog::OnGetMinMaxInfo(MINMAXINFO& info)
{
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return;
    info.ptMaxPosition = POINT{work.left, work.top};
    info.ptMaxSize = POINT{RectWidth(work), RectHeight(work)};
    info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, info.ptMaxSize.x);
    info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, info.ptMaxSize.y);
}

INT_PTR CBitmapDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (m_contentBrush && std::find(m_colourMessages.begin(), m_colourMessages.end(), message) != m_colourMessages.end()) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (m_transparentText) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
        } else {
            SetBkColor(dc, m_contentColour);
        }
        handled = true;
        return reinterpret_cast<INT_PTR>(m_contentBrush.Get());
    }
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam && !m_shownOnce) {
            m_shownOnce = true;
            FitWorkArea();
        }
        return 0;
    case WM_PAINT: {
        CPaintDC paint(m_hWnd);
        PaintSkin(paint.Get());
        handled = true;
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintSkin(reinterpret_cast<HDC>(wParam));
        handled = true;
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            LayoutTitleBar();
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(PointOf(lParam));
        handled = true;
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLeftButtonDoubleClick(PointOf(lParam));
        handled = true;
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(PointOf(lParam));
        handled = true;
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(PointOf(lParam));
        handled = true;
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        handled = true;
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_SETTEXT:
    case WM_SETICON: {
        // The title bar is part of the client area, so the system does not repaint it.
        LRESULT result = DefWindowProcW(m_hWnd, message, wParam, lParam);
        RECT title{0, 0, m_captionRect.right, TitleBarHeight()};
        InvalidateRect(m_hWnd, &title, FALSE);
        handled = true;
        return result;
    }
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        handled = true;
        return 0;
    default:
        return 0;
    }
}

}  // namespace CommCtrl
