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

constexpr int FirstLeft = 5;

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

    LoadArt();
    SkinButtons();
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

void CQVNToolbar::LoadArt()
{
    m_leftEdge = LoadBitmapForDpi(IDB_TOOLBAR_LEFT, GetDpi());
    m_rightEdge = LoadBitmapForDpi(IDB_TOOLBAR_RIGHT, GetDpi());
    m_tile = LoadBitmapForDpi(IDB_TOOLBAR_TILE, GetDpi());
    m_ascendingIcon.Reset(LoadIconForDpi(IDI_SORT_ASCENDING, DirectionIconSize, GetDpi()));
    m_descendingIcon.Reset(LoadIconForDpi(IDI_SORT_DESCENDING, DirectionIconSize, GetDpi()));
}

void CQVNToolbar::OnDpiChanged()
{
    // The buttons took their bitmaps, icons and captions at the new DPI already.
    LoadArt();
    m_separatorBitmap = LoadBitmapForDpi(IDB_TOOL_SEPARATOR, GetDpi());
    for (HWND separator : m_separators)
        if (separator)
            SendMessageW(separator, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_separatorBitmap.Get()));
    for (CBitmapButton5S* button : m_buttons)
        button->SizeToContent();
    CreateLabelFont();
    LayOut();
    PlaceMoreButton();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

// Not one of the eight: a small button in the free space at the right end, level with Classify,
// placed from the toolbar's width once it is placed.
void CQVNToolbar::CreateMoreButton()
{
    HWND button = CreateWindowExW(0, L"BUTTON", L"More", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0,
                                  Scale(MoreWidth), Scale(MoreHeight), m_hWnd, reinterpret_cast<HMENU>(IDC_TOOL_MORE),
                                  ResourceInstance(), nullptr);
    if (!button)
        return;
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetDialogFont()), FALSE);
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
    // On the Classify row, so only the Classify box bounds it on the left; the direction icon is
    // on the row below.
    RECT classify{};
    if (m_classifyBox) {
        GetWindowRect(m_classifyBox, &classify);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&classify), 2);
    }
    const int left = std::max<int>(classify.right + Scale(ControlGap),
                                   client.right - Scale(EdgeWidth) - Scale(MoreGap) - Scale(MoreWidth));
    SetWindowPos(button, nullptr, left, Scale(ClassifyTop), Scale(MoreWidth), Scale(MoreHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
    m_separatorBitmap = LoadBitmapForDpi(IDB_TOOL_SEPARATOR, GetDpi());
    if (!m_separatorBitmap)
        return;
    for (HWND& separator : m_separators) {
        separator = CreateWindowExW(0, L"STATIC", L"Separator", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, 0,
                                    0, Scale(SeparatorWidth), Scale(SeparatorHeight), m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(SeparatorId)), ResourceInstance(),
                                    nullptr);
        if (separator)
            SendMessageW(separator, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_separatorBitmap.Get()));
    }
}

void CQVNToolbar::CreateLabelFont()
{
    m_labelFont.Reset(CreateFontW(Scale(12), Scale(7), 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
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
    const int buttonWidth = Scale(RectWidth(ToolCaptionRect));
    m_layoutCursor = Scale(FirstLeft);
    for (int index = 0; index < SlotCount; ++index) {
        const CSlot& slot = slots[index];
        const bool nextIsSeparator = index + 1 < SlotCount && slots[index + 1].IsSeparator;
        if (slot.Window) {
            // A missing separator bitmap leaves its place empty; the buttons keep their positions.
            const UINT size = slot.IsSeparator ? 0 : SWP_NOSIZE;
            SetWindowPos(slot.Window, nullptr, m_layoutCursor, Scale(ControlTop), Scale(SeparatorWidth),
                         Scale(SeparatorHeight),
                         size | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const int width = slot.IsSeparator ? Scale(SeparatorWidth) : buttonWidth;
        m_layoutCursor += width + Scale(slot.IsSeparator || nextIsSeparator ? GroupGap : ControlGap);
    }

    m_labelLeft = m_layoutCursor;
    const int boxLeft = m_labelLeft + Scale(BoxOffset);
    PlaceBox(m_classifyBox, boxLeft, Scale(ClassifyTop));
    PlaceBox(m_sortBox, boxLeft, Scale(SortTop));
    const int iconLeft = boxLeft + Scale(DirectionIconOffset);
    m_sortDirectionRect =
        RECT{iconLeft, Scale(SortTop), iconLeft + Scale(DirectionIconSize), Scale(SortTop) + Scale(DirectionIconSize)};
    m_layoutCursor = m_sortDirectionRect.right;
}

// A drop-down list takes the height of its font whatever it is given; its selection field is
// narrowed until the box is exactly as high as the direction icon beside it. Some platforms round
// the field height, so the request is corrected from what was measured, a bounded number of times.
void CQVNToolbar::PlaceBox(HWND box, int left, int top)
{
    if (!box)
        return;
    const int width = Scale(BoxWidth);
    const int height = Scale(BoxHeight);
    const auto field = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int requested = field;
    for (int attempt = 0; attempt < 3; ++attempt) {
        SetWindowPos(box, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT placed{};
        GetWindowRect(box, &placed);
        const int excess = RectHeight(placed) - height;
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
    SetWindowPos(m_hWnd, nullptr, contentRect.left, contentRect.top, RectWidth(contentRect), Scale(Height),
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
    const int edge = Scale(EdgeWidth);
    const int height = Scale(Height);
    FitBitmap(dc, scratch.Get(), m_leftEdge.Get(), 0, 0, edge, height);
    if (right - edge > edge)
        StretchBitmap(dc, scratch.Get(), m_tile.Get(), edge, 0, right - 2 * edge, height);
    FitBitmap(dc, scratch.Get(), m_rightEdge.Get(), right - edge, 0, edge, height);

    {
        CScopedSelection font(dc, m_labelFont.Get());
        CScopedTextLook look(dc, GetTextColor(dc));
        // Not clipped: a face wider than Arial runs into the free space left of the label rather
        // than losing its first letters.
        const UINT format = DT_SINGLELINE | DT_RIGHT | DT_VCENTER | DT_NOCLIP;
        RECT classifyLabel{m_labelLeft, Scale(ClassifyTop), m_labelLeft + Scale(LabelWidth),
                           Scale(ClassifyTop) + Scale(BoxHeight)};
        DrawTextW(dc, L"Classify", -1, &classifyLabel, format);
        RECT sortLabel{m_labelLeft, Scale(SortTop), m_labelLeft + Scale(LabelWidth), Scale(SortTop) + Scale(BoxHeight)};
        DrawTextW(dc, L"Sort by", -1, &sortLabel, format);
    }

    HICON icon = SortDescending ? m_descendingIcon.Get() : m_ascendingIcon.Get();
    if (icon)
        DrawIconEx(dc, m_sortDirectionRect.left, m_sortDirectionRect.top, icon, RectWidth(m_sortDirectionRect),
                   RectHeight(m_sortDirectionRect), 0, nullptr, DI_NORMAL);
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
