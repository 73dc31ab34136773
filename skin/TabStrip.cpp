#include "skin/TabStrip.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/Dpi.h"
#include "framework/Gdi.h"

namespace {
// The platform tab control's measures at 96 DPI: the selected tab's overhang, the frame around
// the display area, the text's padding and the narrowest tab.
constexpr int TabOffset = 2;
constexpr int FrameSize = 4;
constexpr int TextPadding = 6;
constexpr int TabExtraHeight = 5;
constexpr int MinTabWidth = 54;
// The arrows are two scroll-bar buttons wide; the jump button one, and they are one high.
constexpr int ArrowButtonWidth = 17;
constexpr int ButtonHeight = 17;

constexpr wchar_t JumpListClass[] = L"QuorvaneTabJumpList";
constexpr int JumpEditId = 1;
constexpr int JumpListId = 2;
constexpr int JumpListWidth = 240;
constexpr int JumpListRows = 14;
constexpr UINT DestroyMessage = WM_APP + 1;

HINSTANCE ModuleInstance()
{
    return GetModuleHandleW(nullptr);
}

std::wstring UpperCase(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The list of tabs under the jump button: a box to type the beginning of a name in, over the list
// of every tab, whose selection follows what is typed. Enter or a click picks a tab; Escape, or
// clicking elsewhere, closes it.
class CJumpList {
public:
    static bool Register();
    static void Open(HWND stripWindow, HFONT font, const std::wstring& typed);

private:
    explicit CJumpList(HWND stripWindow) : m_stripWindow(stripWindow) {}
    // The strip, looked up each time: the list may outlive it.
    CTabStrip* Strip() const { return CTabStrip::FromWindow(m_stripWindow); }
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Create(HFONT font, const std::wstring& typed);
    void FollowTyping();
    void Pick(int index);
    void Close();

    HWND m_stripWindow;
    HWND m_hWnd = nullptr;
    HWND m_edit = nullptr;
    HWND m_list = nullptr;
    HFONT m_font = nullptr;
    int m_rowHeight = 16;
    bool m_closing = false;
    bool m_moving = false;
};

bool CJumpList::Register()
{
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.style = CS_DROPSHADOW;
        type.lpfnWndProc = WindowProc;
        type.hInstance = ModuleInstance();
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        type.lpszClassName = JumpListClass;
        return RegisterClassExW(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

void CJumpList::Open(HWND stripWindow, HFONT font, const std::wstring& typed)
{
    if (!Register() || !CTabStrip::FromWindow(stripWindow))
        return;
    auto* list = new CJumpList(stripWindow);
    list->Create(font, typed);
}

void CJumpList::Create(HFONT font, const std::wstring& typed)
{
    m_font = font;
    {
        CClientDC dc(m_stripWindow);
        CScopedSelection selection(dc.Get(), font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        m_rowHeight = metrics.tmHeight + ScaleForWindow(m_stripWindow, 4);
    }
    const int width = ScaleForWindow(m_stripWindow, JumpListWidth);
    const int editHeight = m_rowHeight + ScaleForWindow(m_stripWindow, 6);
    const int listHeight = m_rowHeight * JumpListRows + 2;
    // Under the strip's right end, where the jump button is.
    RECT strip{};
    GetWindowRect(m_stripWindow, &strip);
    const int left = std::max(static_cast<int>(strip.left), static_cast<int>(strip.right) - width);
    const int top = strip.top + ScaleForWindow(m_stripWindow, TabOffset + ButtonHeight);
    HWND owner = GetAncestor(m_stripWindow, GA_ROOT);
    m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, JumpListClass, L"Go to tab", WS_POPUP | WS_BORDER, left, top,
                             width + 2, editHeight + listHeight + 2, owner, nullptr, ModuleInstance(), this);
    if (!m_hWnd) {
        delete this;
        return;
    }
    m_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", typed.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0,
                             width, editHeight, m_hWnd, reinterpret_cast<HMENU>(JumpEditId), ModuleInstance(), nullptr);
    m_list = CreateWindowExW(0, L"ListBox", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NODATA |
                                 LBS_NOINTEGRALHEIGHT,
                             0, editHeight, width, listHeight, m_hWnd, reinterpret_cast<HMENU>(JumpListId),
                             ModuleInstance(), nullptr);
    SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(m_edit, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Type the start of a name"));
    SendMessageW(m_list, LB_SETITEMHEIGHT, 0, m_rowHeight);
    SendMessageW(m_list, LB_SETCOUNT, static_cast<WPARAM>(Strip()->Count()), 0);
    SetWindowSubclass(m_edit, EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
    const int current = std::max(0, Strip()->CurSel());
    SendMessageW(m_list, LB_SETCURSEL, current, 0);
    SendMessageW(m_list, LB_SETTOPINDEX, current, 0);
    ShowWindow(m_hWnd, SW_SHOW);
    SetFocus(m_edit);
    SendMessageW(m_edit, EM_SETSEL, typed.size(), typed.size());
    FollowTyping();
}

void CJumpList::FollowTyping()
{
    const int length = GetWindowTextLengthW(m_edit);
    std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(m_edit, typed.data(), length + 1);
    typed.resize(static_cast<size_t>(length));
    if (typed.empty())
        return;
    const CTabStrip* strip = Strip();
    const int found = strip ? strip->FindPrefix(typed, -1) : -1;
    if (found < 0)
        return;
    SendMessageW(m_list, LB_SETCURSEL, found, 0);
    SendMessageW(m_list, LB_SETTOPINDEX, found, 0);
}

void CJumpList::Pick(int index)
{
    if (m_closing)
        return;
    CTabStrip* strip = Strip();
    Close();
    if (strip && index >= 0)
        strip->ChooseTab(index);
}

void CJumpList::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    // Gone from the screen now; destroyed once the message that closed it has been handled.
    ShowWindow(m_hWnd, SW_HIDE);
    PostMessageW(m_hWnd, DestroyMessage, 0, 0);
}

LRESULT CALLBACK CJumpList::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<CJumpList*>(data);
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DefSubclassProc(edit, message, wParam, lParam);
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RETURN:
            self->Pick(static_cast<int>(SendMessageW(self->m_list, LB_GETCURSEL, 0, 0)));
            return 0;
        case VK_ESCAPE:
            self->Close();
            return 0;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        {
            // The list moves while the typing stays in the box; only a click in it picks.
            self->m_moving = true;
            const LRESULT result = SendMessageW(self->m_list, message, wParam, lParam);
            self->m_moving = false;
            return result;
        }
        default:
            break;
        }
        break;
    case WM_CHAR:
        // Enter and Escape were taken as keys; their characters would only beep.
        if (wParam == L'\r' || wParam == 27)
            return 0;
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT CALLBACK CJumpList::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CJumpList*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = window;
    }
    auto* self = reinterpret_cast<CJumpList*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

LRESULT CJumpList::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == JumpEditId && HIWORD(wParam) == EN_CHANGE)
            FollowTyping();
        else if (LOWORD(wParam) == JumpListId && HIWORD(wParam) == LBN_SELCHANGE && !m_moving)
            Pick(static_cast<int>(SendMessageW(m_list, LB_GETCURSEL, 0, 0)));
        return 0;
    case WM_ACTIVATE:
        // A click elsewhere closes the list, as a drop-down's does.
        if (LOWORD(wParam) == WA_INACTIVE && !m_closing)
            PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case DestroyMessage:
        DestroyWindow(m_hWnd);
        return 0;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(m_rowHeight);
        return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const CTabStrip* strip = Strip();
        if (!strip || item->itemID == static_cast<UINT>(-1) || static_cast<int>(item->itemID) >= strip->Count())
            return TRUE;
        const bool selected = (item->itemState & ODS_SELECTED) != 0;
        FillSolidRect(item->hDC, item->rcItem, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        CScopedSelection font(item->hDC, m_font);
        CScopedTextLook look(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = item->rcItem;
        text.left += ScaleForWindow(m_hWnd, 4);
        const std::wstring& name = strip->Text(static_cast<int>(item->itemID));
        DrawTextW(item->hDC, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        return TRUE;
    }
    default:
        break;
    }
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}
}  // namespace

bool CTabStrip::Register()
{
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        type.lpfnWndProc = WindowProc;
        type.hInstance = ModuleInstance();
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.lpszClassName = ClassName;
        return (RegisterClassExW(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) && CJumpList::Register();
    }();
    return registered;
}

CTabStrip::CTabStrip(HWND window) : m_hWnd(window) {}

CTabStrip* CTabStrip::FromWindow(HWND window)
{
    wchar_t name[64] = {};
    if (!window || !GetClassNameW(window, name, 64) || lstrcmpW(name, ClassName) != 0)
        return nullptr;
    return reinterpret_cast<CTabStrip*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK CTabStrip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = new CTabStrip(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CTabStrip*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

int CTabStrip::TabHeight()
{
    Layout();
    return m_tabHeight;
}

int CTabStrip::ControlsWidth()
{
    return ScaleForWindow(m_hWnd, 3 * ArrowButtonWidth);
}

void CTabStrip::Layout()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    CClientDC dc(m_hWnd);
    CScopedSelection selection(dc.Get(), m_font ? m_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    m_tabHeight = metrics.tmHeight + ScaleForWindow(m_hWnd, TabExtraHeight);
    const int padding = ScaleForWindow(m_hWnd, TextPadding);
    const int minWidth = ScaleForWindow(m_hWnd, MinTabWidth);
    m_widths.resize(m_names.size(), -1);
    m_lefts.assign(m_names.size() + 1, 0);
    int left = 0;
    for (size_t i = 0; i < m_names.size(); ++i) {
        // Only names that changed are measured again.
        if (m_widths[i] < 0) {
            SIZE size{};
            GetTextExtentPoint32W(dc.Get(), m_names[i].c_str(), static_cast<int>(m_names[i].size()), &size);
            m_widths[i] = std::max(static_cast<int>(size.cx) + 2 * padding, minWidth);
        }
        m_lefts[i] = left;
        left += m_widths[i];
    }
    m_lefts[m_names.size()] = left;

    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int offset = ScaleForWindow(m_hWnd, TabOffset);
    m_overflow = !m_names.empty() && offset + left > client.right;
    // The last tab may scroll as far as the arrows' edge, no further.
    const int room = client.right - ControlsWidth() - offset;
    m_maxLeftmost = 0;
    if (m_overflow) {
        int first = static_cast<int>(m_names.size()) - 1;
        while (first > 0 && left - m_lefts[static_cast<size_t>(first) - 1] <= room)
            --first;
        m_maxLeftmost = first;
    }
    m_leftmost = std::clamp(m_leftmost, 0, m_maxLeftmost);
    PlaceControls();
    if (m_revealSelection) {
        m_revealSelection = false;
        EnsureVisible(m_selected);
    }
}

void CTabStrip::PlaceControls()
{
    if (!m_arrows) {
        // Drawn as a drop-down's button; its text is for assistive tools.
        m_jumpButton = CreateWindowExW(0, L"Button", L"Go to tab", WS_CHILD | BS_OWNERDRAW, 0, 0, 0, 0, m_hWnd,
                                       reinterpret_cast<HMENU>(JumpButtonId), ModuleInstance(), nullptr);
        m_arrows = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | UDS_HORZ, 0, 0, 0, 0, m_hWnd,
                                   reinterpret_cast<HMENU>(ScrollArrowsId), ModuleInstance(), nullptr);
        if (m_font)
            SendMessageW(m_jumpButton, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    }
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int arrowsWidth = ScaleForWindow(m_hWnd, 2 * ArrowButtonWidth);
    const int width = ScaleForWindow(m_hWnd, ArrowButtonWidth);
    const int height = ScaleForWindow(m_hWnd, ButtonHeight);
    const int top = ScaleForWindow(m_hWnd, TabOffset);
    const UINT show = m_overflow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    SetWindowPos(m_arrows, HWND_TOP, client.right - arrowsWidth, top, arrowsWidth, height, show | SWP_NOACTIVATE);
    SetWindowPos(m_jumpButton, HWND_TOP, client.right - arrowsWidth - width, top, width, height,
                 show | SWP_NOACTIVATE);
    SendMessageW(m_arrows, UDM_SETRANGE32, 0, m_maxLeftmost);
    SendMessageW(m_arrows, UDM_SETPOS32, 0, m_leftmost);
}

void CTabStrip::Invalidate()
{
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CTabStrip::Overflows()
{
    Layout();
    return m_overflow;
}

void CTabStrip::EnsureVisible(int index)
{
    Layout();
    if (index < 0 || index >= Count() || !m_overflow)
        return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int room = client.right - ControlsWidth() - ScaleForWindow(m_hWnd, TabOffset);
    int leftmost = m_leftmost;
    if (index < leftmost)
        leftmost = index;
    while (leftmost < index && m_lefts[static_cast<size_t>(index) + 1] - m_lefts[static_cast<size_t>(leftmost)] > room)
        ++leftmost;
    leftmost = std::min(leftmost, m_maxLeftmost);
    if (leftmost != m_leftmost) {
        m_leftmost = leftmost;
        SendMessageW(m_arrows, UDM_SETPOS32, 0, m_leftmost);
        Invalidate();
    }
}

bool CTabStrip::ItemRect(int index, RECT& rect)
{
    Layout();
    if (index < 0 || index >= Count())
        return false;
    const int offset = ScaleForWindow(m_hWnd, TabOffset);
    const int shift = offset - m_lefts[static_cast<size_t>(m_leftmost)];
    rect.left = m_lefts[static_cast<size_t>(index)] + shift;
    rect.right = m_lefts[static_cast<size_t>(index) + 1] + shift;
    rect.top = offset;
    rect.bottom = offset + m_tabHeight;
    return true;
}

int CTabStrip::HitTest(POINT point)
{
    Layout();
    const int offset = ScaleForWindow(m_hWnd, TabOffset);
    if (m_names.empty() || point.y < offset || point.y >= offset + m_tabHeight || point.x < offset)
        return -1;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    if (m_overflow && point.x >= client.right - ControlsWidth())
        return -1;
    const int x = point.x - offset + m_lefts[static_cast<size_t>(m_leftmost)];
    // The first tab whose right edge lies beyond the point.
    auto it = std::upper_bound(m_lefts.begin() + 1, m_lefts.end(), x);
    if (it == m_lefts.end())
        return -1;
    return static_cast<int>(it - m_lefts.begin()) - 1;
}

void CTabStrip::AdjustRect(bool larger, RECT& rect)
{
    const int rows = m_names.empty() ? 0 : 1;
    const int top = ScaleForWindow(m_hWnd, TabOffset) + rows * TabHeight() + ScaleForWindow(m_hWnd, TabOffset);
    const int frame = ScaleForWindow(m_hWnd, FrameSize);
    const int sign = larger ? -1 : 1;
    rect.left += sign * frame;
    rect.right -= sign * frame;
    rect.top += sign * top;
    rect.bottom -= sign * frame;
}

int CTabStrip::SetCurSel(int index)
{
    if (index >= Count())
        return -1;
    const int previous = m_selected;
    if (index != previous) {
        m_selected = index < 0 ? -1 : index;
        EnsureVisible(m_selected);
        Invalidate();
    }
    return previous;
}

LRESULT CTabStrip::Notify(UINT code) const
{
    NMHDR header{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd)), code};
    return SendMessageW(GetParent(m_hWnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool CTabStrip::ChooseTab(int index)
{
    if (index < 0 || index >= Count() || index == m_selected)
        return false;
    if (Notify(TCN_SELCHANGING))
        return false;
    SetCurSel(index);
    Notify(TCN_SELCHANGE);
    return true;
}

void CTabStrip::ReplaceTabs(int first, const std::vector<std::wstring>& names)
{
    first = std::clamp(first, 0, Count());
    const int kept = Count() - first;
    const int wanted = static_cast<int>(names.size());
    // As the platform control moves its selection for each deletion or insertion at `first`.
    if (m_selected >= first) {
        if (wanted < kept)
            m_selected = m_selected < first + (kept - wanted) ? -1 : m_selected - (kept - wanted);
        else
            m_selected += wanted - kept;
    }
    // A tab keeps its measured width while its name stays the same in the same place.
    m_widths.resize(m_names.size(), -1);
    m_widths.resize(static_cast<size_t>(first) + names.size(), -1);
    for (size_t i = 0; i < names.size(); ++i) {
        const size_t index = static_cast<size_t>(first) + i;
        if (index >= m_names.size() || m_names[index] != names[i])
            m_widths[index] = -1;
    }
    m_names.resize(static_cast<size_t>(first));
    m_names.insert(m_names.end(), names.begin(), names.end());
    // Laid out, and the selection brought into view, when next needed.
    m_dirty = true;
    m_revealSelection = true;
    Invalidate();
}

int CTabStrip::FindPrefix(const std::wstring& prefix, int after) const
{
    const int count = Count();
    if (prefix.empty() || count == 0)
        return -1;
    const std::wstring wanted = UpperCase(prefix);
    for (int step = 1; step <= count; ++step) {
        const int index = ((after + step) % count + count) % count;
        const std::wstring& name = m_names[static_cast<size_t>(index)];
        if (name.size() >= wanted.size() && UpperCase(name.substr(0, wanted.size())) == wanted)
            return index;
    }
    return -1;
}

void CTabStrip::OpenJumpList(const std::wstring& typed)
{
    CJumpList::Open(m_hWnd, m_font ? m_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), typed);
}

void CTabStrip::OnKeyDown(UINT key)
{
    NMTCKEYDOWN keyDown{{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd)), static_cast<UINT>(TCN_KEYDOWN)},
                        static_cast<WORD>(key), 0};
    SendMessageW(GetParent(m_hWnd), WM_NOTIFY, keyDown.hdr.idFrom, reinterpret_cast<LPARAM>(&keyDown));
    const int last = Count() - 1;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        ChooseTab(std::max(0, m_selected - 1));
        break;
    case VK_RIGHT:
    case VK_DOWN:
        ChooseTab(std::min(last, m_selected + 1));
        break;
    case VK_HOME:
        ChooseTab(0);
        break;
    case VK_END:
        ChooseTab(last);
        break;
    default:
        break;
    }
}

void CTabStrip::Paint(HDC dc)
{
    // Plain tabs, for a strip no skin paints.
    RECT client{};
    GetClientRect(m_hWnd, &client);
    FillSolidRect(dc, client, GetSysColor(COLOR_BTNFACE));
    RECT display = client;
    AdjustRect(false, display);
    InflateRect(&display, 2, 2);
    DrawEdge(dc, &display, EDGE_RAISED, BF_RECT);
    CScopedSelection font(dc, m_font ? m_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    CScopedTextLook look(dc, GetSysColor(COLOR_BTNTEXT));
    for (int index = m_leftmost; index < Count(); ++index) {
        RECT rect{};
        ItemRect(index, rect);
        if (rect.left >= client.right)
            break;
        DrawEdge(dc, &rect, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
        const std::wstring& name = m_names[static_cast<size_t>(index)];
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &rect,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

LRESULT CTabStrip::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
        return 0;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        m_widths.clear();
        m_dirty = true;
        if (m_jumpButton)
            SendMessageW(m_jumpButton, WM_SETFONT, wParam, FALSE);
        if (LOWORD(lParam))
            Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_DPICHANGED_AFTERPARENT:
        m_widths.clear();
        m_dirty = true;
        Invalidate();
        return 0;
    case WM_SIZE:
        m_dirty = true;
        Invalidate();
        return 0;
    case WM_PAINT: {
        CPaintDC paint(m_hWnd);
        Paint(paint.Get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!(GetWindowLongPtrW(m_hWnd, GWL_STYLE) & TCS_FOCUSNEVER))
            SetFocus(m_hWnd);
        ChooseTab(HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        return 0;
    }
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        // Typing on the strip starts a jump to the tab whose name begins so.
        if (wParam >= L' ' && Count() > 0)
            OpenJumpList(std::wstring(1, static_cast<wchar_t>(wParam)));
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        return 0;
    case WM_HSCROLL:
        if (LOWORD(wParam) == SB_THUMBPOSITION) {
            Layout();
            m_leftmost = std::clamp(static_cast<int>(static_cast<short>(HIWORD(wParam))), 0, m_maxLeftmost);
            Invalidate();
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == JumpButtonId && HIWORD(wParam) == BN_CLICKED)
            OpenJumpList(std::wstring());
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != JumpButtonId)
            break;
        RECT rect = item->rcItem;
        DrawFrameControl(item->hDC, &rect, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED | DFCS_FLAT : 0));
        return TRUE;
    }
    case TCM_GETITEMCOUNT:
        return Count();
    case TCM_GETCURSEL:
        return m_selected;
    case TCM_SETCURSEL:
        return SetCurSel(static_cast<int>(wParam));
    case TCM_GETCURFOCUS:
        return m_selected;
    case TCM_SETCURFOCUS:
        ChooseTab(static_cast<int>(wParam));
        return 0;
    case TCM_GETROWCOUNT:
        return m_names.empty() ? 0 : 1;
    case TCM_GETIMAGELIST:
        return 0;
    case TCM_INSERTITEMW: {
        const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        if (!item)
            return -1;
        const int index = std::clamp(static_cast<int>(wParam), 0, Count());
        std::vector<std::wstring> tail(m_names.begin() + index, m_names.end());
        tail.insert(tail.begin(), (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : L"");
        ReplaceTabs(index, tail);
        return index;
    }
    case TCM_SETITEMW: {
        const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        const int index = static_cast<int>(wParam);
        if (!item || index < 0 || index >= Count())
            return FALSE;
        if ((item->mask & TCIF_TEXT) && item->pszText) {
            m_names[static_cast<size_t>(index)] = item->pszText;
            if (static_cast<size_t>(index) < m_widths.size())
                m_widths[static_cast<size_t>(index)] = -1;
            m_dirty = true;
            Invalidate();
        }
        return TRUE;
    }
    case TCM_GETITEMW:
    case TCM_GETITEMA: {
        const int index = static_cast<int>(wParam);
        if (!lParam || index < 0 || index >= Count())
            return FALSE;
        const std::wstring& name = m_names[static_cast<size_t>(index)];
        // Both layouts share every field up to the text.
        auto* item = reinterpret_cast<TCITEMW*>(lParam);
        if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
            if (message == TCM_GETITEMW) {
                lstrcpynW(item->pszText, name.c_str(), item->cchTextMax);
            } else {
                auto* ansi = reinterpret_cast<TCITEMA*>(lParam);
                if (!WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi->pszText, ansi->cchTextMax, nullptr,
                                         nullptr))
                    ansi->pszText[ansi->cchTextMax - 1] = '\0';
            }
        }
        if (item->mask & TCIF_IMAGE)
            item->iImage = -1;
        if (item->mask & TCIF_PARAM)
            item->lParam = 0;
        if (item->mask & TCIF_STATE)
            item->dwState = index == m_selected ? (TCIS_BUTTONPRESSED & item->dwStateMask) : 0;
        return TRUE;
    }
    case TCM_DELETEITEM: {
        const int index = static_cast<int>(wParam);
        if (index < 0 || index >= Count())
            return FALSE;
        std::vector<std::wstring> tail(m_names.begin() + index + 1, m_names.end());
        ReplaceTabs(index, tail);
        return TRUE;
    }
    case TCM_DELETEALLITEMS:
        ReplaceTabs(0, {});
        m_leftmost = 0;
        return TRUE;
    case TCM_GETITEMRECT:
        return lParam && ItemRect(static_cast<int>(wParam), *reinterpret_cast<RECT*>(lParam));
    case TCM_HITTEST: {
        auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        const int index = HitTest(info->pt);
        info->flags = index < 0 ? TCHT_NOWHERE : TCHT_ONITEM;
        return index;
    }
    case TCM_ADJUSTRECT:
        if (lParam)
            AdjustRect(wParam != FALSE, *reinterpret_cast<RECT*>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}
