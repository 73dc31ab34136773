#include "app/QVNToolbar.h"

#include <algorithm>

#include "app/Commands.h"
#include "framework/App.h"
#include "model/Catalogue.h"
#include "model/Vocabulary.h"
#include "res/resource.h"
#include "storage/Configurations.h"

using CommCtrl::CBitmapButton5S;

namespace {
constexpr int ButtonIds[] = {IDC_TOOL_ADD,    IDC_TOOL_DELETE, IDC_TOOL_ATTACH,  IDC_TOOL_DETACH,
                             IDC_TOOL_EXPORT, IDC_TOOL_LAUNCH, IDC_TOOL_OPTIONS, IDC_TOOL_ABOUT};
constexpr UINT ButtonIcons[] = {IDI_TOOL_ADD,    IDI_TOOL_DELETE, IDI_TOOL_ATTACH,  IDI_TOOL_DETACH,
                                IDI_TOOL_EXPORT, IDI_TOOL_LAUNCH, IDI_TOOL_OPTIONS, IDI_TOOL_ABOUT};
constexpr WPARAM ButtonCodes[] = {CMD_ADD,    CMD_DELETE, CMD_ATTACH,  CMD_DETACH,
                                  CMD_EXPORT, CMD_LAUNCH, CMD_OPTIONS, CMD_ABOUT};

constexpr RECT ToolIconRect{8, 4, 56, 52};
constexpr RECT ToolCaptionRect{0, 52, 64, 64};
constexpr COLORREF ToolCaptionColour = RGB(62, 129, 211);

constexpr int ControlTop = 5;
constexpr int SeparatorWidth = 1;
constexpr int SeparatorHeight = 64;
// A separator stands this far from its neighbours; other controls 2 pixels apart.
constexpr int GroupGap = 10;
constexpr int ControlGap = 2;
// The boxes stand right of their labels.
constexpr int LabelWidth = 50;
constexpr int BoxOffset = 54;
constexpr int BoxWidth = 100;
constexpr int BoxHeight = 20;
constexpr int ClassifyTop = 10;
constexpr int SortTop = 44;
constexpr int DirectionIconOffset = 102;
constexpr int DirectionIconSize = 20;
constexpr int EdgeWidth = 2;

constexpr int SeparatorId = 0xFFFF;
// The "More" button: the browse button's 45 x 20 skin, 3 pixels in from the right edge.
constexpr int MoreWidth = 45;
constexpr int MoreHeight = 20;
constexpr int MoreGap = 3;

HICON LoadIconResource(UINT id, int size)
{
    return static_cast<HICON>(LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

// A stored position, or the first entry when it is outside the box.
int PositionOrFirst(int value, int count)
{
    return value >= 0 && value < count ? value : 0;
}
}  // namespace

CQVNToolbar::CQVNToolbar()
    : CDialog(IDD_TOOLBAR), m_backgroundBrush(CreateSolidBrush(PaneColour))
{
    CBitmapButton5S* buttons[ButtonCount] = {&m_add,    &m_delete, &m_attach,  &m_detach,
                                             &m_export, &m_launch, &m_options, &m_about};
    for (int index = 0; index < ButtonCount; ++index) {
        m_buttons.Add(buttons[index]);
        m_buttonCommands.SetAt(buttons[index], ButtonCodes[index]);
    }
}

CQVNToolbar::~CQVNToolbar()
{
    // The window goes first, so that no control paints with a bitmap or font already deleted.
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

BOOL CQVNToolbar::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_classifyBox = GetDlgItem(IDC_CLASSIFY_BOX);
    m_sortBox = GetDlgItem(IDC_SORT_BOX);
    for (int index = 0; index < ButtonCount; ++index)
        m_buttons[index]->SubclassDlgItem(ButtonIds[index], m_hWnd);

    m_leftEdge = LoadBitmapResource(IDB_TOOLBAR_LEFT);
    m_rightEdge = LoadBitmapResource(IDB_TOOLBAR_RIGHT);
    m_tile = LoadBitmapResource(IDB_TOOLBAR_TILE);
    SkinButtons();
    m_ascendingIcon.Reset(LoadIconResource(IDI_SORT_ASCENDING, DirectionIconSize));
    m_descendingIcon.Reset(LoadIconResource(IDI_SORT_DESCENDING, DirectionIconSize));
    CreateSeparators();
    for (CBitmapButton5S* button : m_buttons) {
        // A toolbar button never shows the keyboard focus.
        button->SetShowFocus(false);
        button->SizeToContent();
    }
    CreateLabelFont();
    LayOut();
    FillBoxes();
    CreateMoreButton();
    return TRUE;
}

// Not one of the eight: a small button in the free space at the right end, level with Classify,
// placed from the toolbar's width once it is placed.
void CQVNToolbar::CreateMoreButton()
{
    HWND button = CreateWindowExW(0, L"BUTTON", L"More", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0,
                                  MoreWidth, MoreHeight, m_hWnd, reinterpret_cast<HMENU>(IDC_TOOL_MORE),
                                  ResourceInstance(), nullptr);
    if (!button)
        return;
    SendMessageW(button, WM_SETFONT, SendMessageW(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    m_more.SubclassDlgItem(IDC_TOOL_MORE, m_hWnd);
    m_more.LoadStateBitmaps(IDB_BROWSE_NORMAL, IDB_BROWSE_PRESSED, IDB_BROWSE_FOCUSED, IDB_BROWSE_DISABLED);
    m_more.SetHoverBitmap(IDB_BROWSE_HOVER);
    m_more.SetLayout(RECT{0, 0, 0, 0}, RECT{0, 3, MoreWidth, 17}, 6, L"Arial");
    m_more.SetTextColor(RGB(0, 0, 0));
    m_more.SetShowFocus(false);
    m_buttonCommands.SetAt(&m_more, CMD_MORE);
    PlaceMoreButton();
}

void CQVNToolbar::PlaceMoreButton()
{
    HWND button = m_more.GetSafeHwnd();
    if (!button)
        return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int left = std::max<int>(m_layoutCursor + ControlGap, client.right - EdgeWidth - MoreGap - MoreWidth);
    SetWindowPos(button, nullptr, left, ClassifyTop, MoreWidth, MoreHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQVNToolbar::SkinButtons()
{
    for (int index = 0; index < ButtonCount; ++index) {
        CBitmapButton5S& button = *m_buttons[index];
        button.LoadStateBitmaps(IDB_TOOL_NORMAL, IDB_TOOL_PRESSED, IDB_TOOL_NORMAL, IDB_TOOL_DISABLED);
        button.SetHoverBitmap(IDB_TOOL_HOVER);
        button.SetLayout(ToolIconRect, ToolCaptionRect, 6, L"Arial");
        button.SetTextColor(ToolCaptionColour);
        button.SetIcon(ButtonIcons[index]);
    }
}

void CQVNToolbar::CreateSeparators()
{
    m_separatorBitmap = LoadBitmapResource(IDB_TOOL_SEPARATOR);
    if (!m_separatorBitmap)
        return;
    for (HWND& separator : m_separators) {
        separator = CreateWindowExW(0, L"STATIC", L"Separator", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, 0,
                                    0, SeparatorWidth, SeparatorHeight, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(SeparatorId)), ResourceInstance(),
                                    nullptr);
        if (separator)
            SendMessageW(separator, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_separatorBitmap.Get()));
    }
}

void CQVNToolbar::CreateLabelFont()
{
    m_labelFont.Reset(CreateFontW(12, 7, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
}

// Left to right from LayoutCursor: Add, Delete | Attach, Detach, Export, Launch | Options, About |.
void CQVNToolbar::LayOut()
{
    struct CSlot {
        HWND Window;
        bool IsSeparator;
    };
    const CSlot slots[] = {
        {m_add.GetSafeHwnd(), false},     {m_delete.GetSafeHwnd(), false}, {m_separators[0], true},
        {m_attach.GetSafeHwnd(), false},  {m_detach.GetSafeHwnd(), false}, {m_export.GetSafeHwnd(), false},
        {m_launch.GetSafeHwnd(), false},  {m_separators[1], true},         {m_options.GetSafeHwnd(), false},
        {m_about.GetSafeHwnd(), false},   {m_separators[2], true},
    };
    constexpr int SlotCount = static_cast<int>(sizeof(slots) / sizeof(slots[0]));
    const int buttonWidth = RectWidth(ToolCaptionRect);
    for (int index = 0; index < SlotCount; ++index) {
        const CSlot& slot = slots[index];
        const bool nextIsSeparator = index + 1 < SlotCount && slots[index + 1].IsSeparator;
        if (slot.Window) {
            // A missing separator bitmap leaves its place empty; the buttons keep their positions.
            const UINT size = slot.IsSeparator ? 0 : SWP_NOSIZE;
            SetWindowPos(slot.Window, nullptr, m_layoutCursor, ControlTop, SeparatorWidth, SeparatorHeight,
                         size | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const int width = slot.IsSeparator ? SeparatorWidth : buttonWidth;
        m_layoutCursor += width + (slot.IsSeparator || nextIsSeparator ? GroupGap : ControlGap);
    }

    m_labelLeft = m_layoutCursor;
    const int boxLeft = m_labelLeft + BoxOffset;
    PlaceBox(m_classifyBox, boxLeft, ClassifyTop);
    PlaceBox(m_sortBox, boxLeft, SortTop);
    const int iconLeft = boxLeft + DirectionIconOffset;
    m_sortDirectionRect = RECT{iconLeft, SortTop, iconLeft + DirectionIconSize, SortTop + DirectionIconSize};
    m_layoutCursor = m_sortDirectionRect.right;
}

// A drop-down list takes the height of its font whatever it is given; its selection field is
// narrowed until the box is exactly as high as the direction icon beside it. Some platforms round
// the field height, so the request is corrected from what was measured, a bounded number of times.
void CQVNToolbar::PlaceBox(HWND box, int left, int top)
{
    if (!box)
        return;
    const auto field = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int requested = field;
    for (int attempt = 0; attempt < 3; ++attempt) {
        SetWindowPos(box, nullptr, left, top, BoxWidth, BoxHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT placed{};
        GetWindowRect(box, &placed);
        const int excess = RectHeight(placed) - BoxHeight;
        if (excess == 0 || field == CB_ERR || requested - excess <= 0)
            return;
        requested -= excess;
        SendMessageW(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), requested);
    }
}

void CQVNToolbar::FillBoxes()
{
    for (int mode = 0; mode < ClassifyModeCount; ++mode)
        SendMessageW(m_classifyBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ClassifyModeName(mode)));
    for (int key = 0; key < SortKeyCount; ++key)
        SendMessageW(m_sortBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SortKeyName(key)));
    SendMessageW(m_classifyBox, CB_SETCURSEL, PositionOrFirst(Settings.DefaultClassifyMode, ClassifyModeCount), 0);
    SendMessageW(m_sortBox, CB_SETCURSEL, PositionOrFirst(Settings.DefaultSortKey, SortKeyCount), 0);
}

void CQVNToolbar::Place(const RECT& contentRect)
{
    if (!m_hWnd || !GetParent(m_hWnd))
        return;
    SetWindowPos(m_hWnd, nullptr, contentRect.left, contentRect.top, RectWidth(contentRect), Height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PlaceMoreButton();
}

int CQVNToolbar::ClassifySelection() const
{
    return m_classifyBox ? static_cast<int>(SendMessageW(m_classifyBox, CB_GETCURSEL, 0, 0)) : -1;
}

int CQVNToolbar::SortSelection() const
{
    return m_sortBox ? static_cast<int>(SendMessageW(m_sortBox, CB_GETCURSEL, 0, 0)) : -1;
}

void CQVNToolbar::ResetSortBox()
{
    if (m_sortBox)
        SendMessageW(m_sortBox, CB_SETCURSEL, 0, 0);
}

void CQVNToolbar::OnDestroy()
{
    // The boxes and separators go with the window; their handles must not be used after it.
    m_classifyBox = nullptr;
    m_sortBox = nullptr;
    for (HWND& separator : m_separators)
        separator = nullptr;
}

void CQVNToolbar::PostCommand(WPARAM code) const
{
    if (HWND parent = GetParent(m_hWnd))
        PostMessageW(parent, MSG_COMMAND, code, reinterpret_cast<LPARAM>(m_hWnd));
}

bool CQVNToolbar::OnCommand(WORD id, WORD notifyCode, HWND control)
{
    if (id == IDC_CLASSIFY_BOX || id == IDC_SORT_BOX) {
        if (notifyCode != CBN_SELCHANGE)
            return false;
        PostCommand(id == IDC_CLASSIFY_BOX ? CMD_CLASSIFY : CMD_SORT);
        return true;
    }
    WPARAM code = 0;
    if (notifyCode == BN_CLICKED && m_buttonCommands.Lookup(CWindow::FromHandle(control), code)) {
        PostCommand(code);
        return true;
    }
    return false;
}

void CQVNToolbar::OnLeftButtonDown(POINT point)
{
    if (!PtInRect(&m_sortDirectionRect, point))
        return;
    SortDescending = !SortDescending;
    InvalidateRect(m_hWnd, &m_sortDirectionRect, FALSE);
    PostCommand(CMD_SORT);
}

void CQVNToolbar::OnPaint(HDC dc, const RECT& client)
{
    FillSolidRect(dc, client, PaneColour);
    CMemoryDC scratch(dc);
    const int right = client.right;
    DrawBitmap(dc, scratch.Get(), m_leftEdge.Get(), 0, 0);
    if (right - EdgeWidth > EdgeWidth)
        StretchBitmap(dc, scratch.Get(), m_tile.Get(), EdgeWidth, 0, right - 2 * EdgeWidth, Height);
    DrawBitmap(dc, scratch.Get(), m_rightEdge.Get(), right - EdgeWidth, 0);

    {
        CScopedSelection font(dc, m_labelFont.Get());
        CScopedTextLook look(dc, GetTextColor(dc));
        // Not clipped: a face wider than Arial runs into the free space left of the label rather
        // than losing its first letters.
        const UINT format = DT_SINGLELINE | DT_RIGHT | DT_VCENTER | DT_NOCLIP;
        RECT classifyLabel{m_labelLeft, ClassifyTop, m_labelLeft + LabelWidth, ClassifyTop + BoxHeight};
        DrawTextW(dc, L"Classify", -1, &classifyLabel, format);
        RECT sortLabel{m_labelLeft, SortTop, m_labelLeft + LabelWidth, SortTop + BoxHeight};
        DrawTextW(dc, L"Sort by", -1, &sortLabel, format);
    }

    HICON icon = SortDescending ? m_descendingIcon.Get() : m_ascendingIcon.Get();
    if (icon)
        DrawIconEx(dc, m_sortDirectionRect.left, m_sortDirectionRect.top, icon, DirectionIconSize, DirectionIconSize,
                   0, nullptr, DI_NORMAL);
}

INT_PTR CQVNToolbar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_ERASEBKGND:
        // WM_PAINT covers the whole client area.
        handled = true;
        return TRUE;
    case WM_PAINT: {
        handled = true;
        CPaintDC paint(m_hWnd);
        RECT client{};
        GetClientRect(m_hWnd, &client);
        if (RectWidth(client) <= 0 || RectHeight(client) <= 0)
            return 0;
        // Drawn off screen first, so that the labels and the icon never flicker over the background.
        CMemoryDC image(paint.Get());
        CScopedBitmap bitmap(CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
        if (!image || !bitmap) {
            OnPaint(paint.Get(), client);
            return 0;
        }
        {
            CScopedSelection target(image.Get(), bitmap.Get());
            OnPaint(image.Get(), client);
            const RECT& area = paint.PaintRect();
            BitBlt(paint.Get(), area.left, area.top, RectWidth(area), RectHeight(area), image.Get(), area.left,
                   area.top, SRCCOPY);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        handled = true;
        OnLeftButtonDown(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
        handled = true;
        return OpaqueControlColour(wParam, PaneColour, m_backgroundBrush.Get());
    default:
        return 0;
    }
}
