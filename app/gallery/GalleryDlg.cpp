#include "GalleryDlg.h"

#include "GalleryIds.h"
#include "res/resource.h"
#include "app/PaneColour.h"

using CommCtrl::CBitmapButton5S;
using CommCtrl::CEnTabCtrl;

namespace {
constexpr COLORREF ToolCaptionColour = RGB(62, 129, 211);
constexpr COLORREF LabelColour = RGB(70, 80, 95);
constexpr int ToolbarHeight = 74;
constexpr int Margin = 10;
constexpr int GalleryWidth = 740;
constexpr int GalleryHeight = 430;
constexpr UINT MsgShowShortDialog = WM_APP + 1;

// The looks of the program's buttons.
struct CButtonSkin {
    UINT Normal, Pressed, Focused, Disabled, Hover;
    RECT Icon;
    RECT Caption;
};
constexpr CButtonSkin ToolSkin{IDB_TOOL_NORMAL, IDB_TOOL_PRESSED, IDB_TOOL_NORMAL, IDB_TOOL_DISABLED, IDB_TOOL_HOVER,
                               RECT{8, 4, 56, 52}, RECT{0, 52, 64, 64}};
constexpr CButtonSkin CommandSkin{IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED,
                                  IDB_BUTTON_HOVER,  RECT{2, 2, 18, 18},  RECT{20, 3, 70, 17}};
constexpr CButtonSkin BrowseSkin{IDB_BROWSE_NORMAL, IDB_BROWSE_PRESSED, IDB_BROWSE_FOCUSED, IDB_BROWSE_DISABLED,
                                 IDB_BROWSE_HOVER,  RECT{2, 2, 18, 18},  RECT{20, 3, 45, 17}};
constexpr CButtonSkin InformationSkin{IDB_INFO_BUTTON,    IDB_INFO_BUTTON,    IDB_INFO_BUTTON, IDB_INFO_BUTTON,
                                      IDB_INFO_BUTTON,    RECT{2, 2, 18, 18}, RECT{20, 3, 45, 17}};
constexpr CButtonSkin WideSkin{IDB_WIDE_NORMAL, IDB_WIDE_PRESSED, IDB_WIDE_FOCUSED, IDB_WIDE_NORMAL, IDB_WIDE_HOVER,
                               RECT{0, 0, 0, 0}, RECT{0, 3, 100, 17}};

// The operations in the order the program's dialogs call them.
void ApplySkin(CBitmapButton5S& button, HWND dialog, int id, const CButtonSkin& skin, UINT icon, COLORREF colour)
{
    button.SubclassDlgItem(id, dialog);
    button.LoadStateBitmaps(skin.Normal, skin.Pressed, skin.Focused, skin.Disabled);
    button.SetHoverBitmap(skin.Hover);
    button.SetLayout(skin.Icon, skin.Caption, 6, L"Arial");
    button.SetTextColor(colour);
    if (icon)
        button.SetIcon(icon);
    button.SizeToContent();
}

void Place(HWND dialog, int id, const RECT& content, int x, int y, int width = 0, int height = 0)
{
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (width ? 0 : SWP_NOSIZE);
    SetWindowPos(GetDlgItem(dialog, id), nullptr, content.left + x, content.top + y, width, height, flags);
}

void FillTabs(HWND tabs)
{
    const wchar_t* names[] = {L"All", L"Utilities", L"Graphics", L"Development Tools"};
    for (int index = 0; index < 4; ++index) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(names[index]);
        SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
}

void DrawLabel(HDC dc, const RECT& content, int x, int y, const wchar_t* text)
{
    RECT rect{content.left + x, content.top + y, content.right, content.top + y + 16};
    DrawTextW(dc, text, -1, &rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}
}  // namespace

CGalleryShortDlg::CGalleryShortDlg() : CBitmapDialog(IDD_GALLERY_SHORT) {}

BOOL CGalleryShortDlg::OnInitDialog()
{
    SetShortTitle(true);
    CBitmapDialog::OnInitDialog();
    m_paneBrush.Reset(CreateSolidBrush(PaneColour));
    SetWindowTextW(m_hWnd, L"Short title bar");
    SetWindowPos(m_hWnd, nullptr, 0, 0, 260, 72, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT content = GetContentRect();
    ApplySkin(m_ok, m_hWnd, IDC_GALLERY_OK, CommandSkin, IDI_OK, RGB(0, 0, 0));
    ApplySkin(m_cancel, m_hWnd, IDC_GALLERY_CANCEL, CommandSkin, IDI_CANCEL, RGB(0, 0, 0));
    Place(m_hWnd, IDC_GALLERY_OK, content, 100, 14);
    Place(m_hWnd, IDC_GALLERY_CANCEL, content, 176, 14);
    return FALSE;
}

INT_PTR CGalleryShortDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_CTLCOLORDLG) {
        handled = true;
        return reinterpret_cast<INT_PTR>(m_paneBrush.Get());
    }
    return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
}

CGalleryDlg::CGalleryDlg() : CBitmapDialog(IDD_GALLERY) {}

BOOL CGalleryDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    m_paneBrush.Reset(CreateSolidBrush(PaneColour));
    m_labelFont.Reset(CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
    m_toolbarLeft = LoadBitmapResource(IDB_TOOLBAR_LEFT);
    m_toolbarRight = LoadBitmapResource(IDB_TOOLBAR_RIGHT);
    m_toolbarTile = LoadBitmapResource(IDB_TOOLBAR_TILE);
    m_separator = LoadBitmapResource(IDB_TOOL_SEPARATOR);
    m_smallIcon.Reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUORVANE), IMAGE_ICON, 16, 16, 0)));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));

    SetWindowTextW(m_hWnd, L"Quorvane Gallery");
    SetTitleButtons(true, true, true);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(m_hWnd, nullptr, work.left + (RectWidth(work) - GalleryWidth) / 2,
                 work.top + (RectHeight(work) - GalleryHeight) / 2, GalleryWidth, GalleryHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    SkinToolbar();
    SkinButtons();
    SkinTabs();

    // The short title bar stands over the free corner of the gallery, owned by it; it is shown once
    // the gallery itself is up, so that it stays in front.
    if (m_shortDialog.Create(m_hWnd))
        PostMessageW(m_hWnd, MsgShowShortDialog, 0, 0);
    // The OK button starts with the focus, so its focused look shows.
    SetFocus(GetDlgItem(IDC_GALLERY_OK));
    return FALSE;
}

void CGalleryDlg::SkinToolbar()
{
    const int ids[ToolButtonCount] = {IDC_GALLERY_ADD,    IDC_GALLERY_DELETE, IDC_GALLERY_ATTACH,
                                      IDC_GALLERY_DETACH, IDC_GALLERY_EXPORT, IDC_GALLERY_LAUNCH,
                                      IDC_GALLERY_OPTIONS, IDC_GALLERY_ABOUT};
    const UINT icons[ToolButtonCount] = {IDI_TOOL_ADD,    IDI_TOOL_DELETE, IDI_TOOL_ATTACH,  IDI_TOOL_DETACH,
                                         IDI_TOOL_EXPORT, IDI_TOOL_LAUNCH, IDI_TOOL_OPTIONS, IDI_TOOL_ABOUT};
    // The toolbar's layout: three groups behind separators.
    const int left[ToolButtonCount] = {5, 71, 156, 222, 288, 354, 439, 505};
    const RECT content = GetContentRect();
    for (int index = 0; index < ToolButtonCount; ++index) {
        ApplySkin(m_toolButtons[index], m_hWnd, ids[index], ToolSkin, icons[index], ToolCaptionColour);
        m_toolButtons[index].SetShowFocus(false);
        Place(m_hWnd, ids[index], content, left[index], 5);
    }
}

void CGalleryDlg::SkinButtons()
{
    const RECT content = GetContentRect();
    const int row = ToolbarHeight + 30;
    ApplySkin(m_ok, m_hWnd, IDC_GALLERY_OK, CommandSkin, IDI_OK, RGB(0, 0, 0));
    ApplySkin(m_cancel, m_hWnd, IDC_GALLERY_CANCEL, CommandSkin, IDI_CANCEL, RGB(0, 0, 0));
    ApplySkin(m_modify, m_hWnd, IDC_GALLERY_MODIFY, CommandSkin, IDI_MODIFY, RGB(0, 0, 0));
    ApplySkin(m_browse, m_hWnd, IDC_GALLERY_BROWSE, BrowseSkin, IDI_BROWSE, RGB(0, 0, 0));
    ApplySkin(m_information, m_hWnd, IDC_GALLERY_INFO, InformationSkin, IDI_INFO, RGB(0, 0, 0));
    ApplySkin(m_clearHistory, m_hWnd, IDC_GALLERY_CLEAR, WideSkin, 0, RGB(0, 0, 0));
    ApplySkin(m_apply, m_hWnd, IDC_GALLERY_APPLY, CommandSkin, IDI_OK, RGB(0, 0, 0));
    ApplySkin(m_browseDisabled, m_hWnd, IDC_GALLERY_BROWSE_OFF, BrowseSkin, IDI_BROWSE, RGB(0, 0, 0));
    Place(m_hWnd, IDC_GALLERY_OK, content, Margin, row);
    Place(m_hWnd, IDC_GALLERY_CANCEL, content, Margin + 76, row);
    Place(m_hWnd, IDC_GALLERY_MODIFY, content, Margin + 152, row);
    Place(m_hWnd, IDC_GALLERY_BROWSE, content, Margin + 228, row);
    Place(m_hWnd, IDC_GALLERY_INFO, content, Margin + 279, row);
    Place(m_hWnd, IDC_GALLERY_CLEAR, content, Margin + 305, row);
    Place(m_hWnd, IDC_GALLERY_APPLY, content, 480, row);
    Place(m_hWnd, IDC_GALLERY_BROWSE_OFF, content, 556, row);
}

void CGalleryDlg::SkinTabs()
{
    const RECT content = GetContentRect();
    const int top = ToolbarHeight + 90;
    const int width = (RectWidth(content) - 3 * Margin) / 2;
    // The look of the program's two panes.
    CEnTabCtrl::SetLookFlags(true, CEnTabCtrl::LookFlat | CEnTabCtrl::LookColor | CEnTabCtrl::LookSelection |
                                       CEnTabCtrl::LookGradient);
    m_tabs.SubclassDlgItem(IDC_GALLERY_TABS, m_hWnd);
    m_tabs.SetPaintMode(2);
    m_tabs.SetBackgroundColor(PaneColour);
    FillTabs(m_tabs.GetSafeHwnd());
    FillTabs(GetDlgItem(IDC_GALLERY_SYSTEM_TABS));
    Place(m_hWnd, IDC_GALLERY_TABS, content, Margin, top, width, 120);
    Place(m_hWnd, IDC_GALLERY_SYSTEM_TABS, content, 2 * Margin + width, top, width, 120);
}

void CGalleryDlg::DrawToolbar(HDC dc, const RECT& content)
{
    CMemoryDC scratch(dc);
    const int left = content.left;
    const int right = content.right;
    DrawBitmap(dc, scratch.Get(), m_toolbarLeft.Get(), left, content.top);
    StretchBitmap(dc, scratch.Get(), m_toolbarTile.Get(), left + 2, content.top, right - left - 4, ToolbarHeight);
    DrawBitmap(dc, scratch.Get(), m_toolbarRight.Get(), right - 2, content.top);
    for (int x : {145, 428, 579})
        DrawBitmap(dc, scratch.Get(), m_separator.Get(), left + x, content.top + 5);
}

void CGalleryDlg::PaintSkin(HDC dc)
{
    CBitmapDialog::PaintSkin(dc);
    const RECT content = GetContentRect();
    DrawToolbar(dc, content);
    const int width = (RectWidth(content) - 3 * Margin) / 2;
    CScopedSelection font(dc, m_labelFont.Get());
    CScopedTextLook look(dc, LabelColour);
    DrawLabel(dc, content, Margin, ToolbarHeight + 10, L"Command buttons");
    DrawLabel(dc, content, 480, ToolbarHeight + 10, L"Disabled");
    DrawLabel(dc, content, Margin, ToolbarHeight + 70, L"Tabs: program look");
    DrawLabel(dc, content, 2 * Margin + width, ToolbarHeight + 70, L"Tabs: system look");
    DrawLabel(dc, content, Margin, ToolbarHeight + 216, L"Dialog with the short title bar");
}

void CGalleryDlg::ShowShortDialog()
{
    HWND window = m_shortDialog.GetSafeHwnd();
    if (!window)
        return;
    RECT content = GetContentRect();
    POINT corner{content.left + Margin, content.top + 310};
    ClientToScreen(m_hWnd, &corner);
    SetWindowPos(window, HWND_TOP, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    if (HoverOnStart) {
        // The pointer over one toolbar button shows the hover look too.
        RECT launch{};
        GetWindowRect(GetDlgItem(IDC_GALLERY_LAUNCH), &launch);
        SetCursorPos((launch.left + launch.right) / 2, (launch.top + launch.bottom) / 2);
    }
}

INT_PTR CGalleryDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_CTLCOLORDLG) {
        handled = true;
        return reinterpret_cast<INT_PTR>(m_paneBrush.Get());
    }
    if (message == MsgShowShortDialog) {
        handled = true;
        ShowShortDialog();
        return 0;
    }
    return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
}
