#include "app/SWListBox.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "app/Links.h"
#include "framework/App.h"
#include "framework/Dpi.h"
#include "installer/IconCache.h"
#include "model/InstallerFacts.h"
#include "model/TextRules.h"
#include "model/Vocabulary.h"
#include "res/resource.h"

namespace {
constexpr UINT CardText = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

// Every card font: default character set, TrueType output, ClearType quality.
HFONT MakeFont(const wchar_t* face, int height, int width, int weight, bool italic = false, bool underline = false)
{
    return CreateFontW(height, width, 0, 0, weight, italic, underline, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
}

RECT Offset(const RECT& rect, int x, int y)
{
    return RECT{rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
}

void DrawCardText(HDC dc, const std::wstring& text, RECT rect, HFONT font, COLORREF colour, UINT format)
{
    CScopedSelection selection(dc, font);
    CScopedTextLook look(dc, colour);
    // A card holds a few dozen characters; the rest of a huge value would only be measured.
    DrawTextW(dc, text.c_str(), static_cast<int>(ShownLineLength(text)), &rect, format);
}

wchar_t UpperCase(wchar_t character)
{
    CharUpperBuffW(&character, 1);
    return character;
}
}  // namespace

CSWListBox::CSWListBox()
    : m_handCursor(LoadCursorW(nullptr, IDC_HAND))
{
    CreateLook();
}

void CSWListBox::CreateLook()
{
    const UINT dpi = m_dpi;
    auto font = [dpi](const wchar_t* face, int height, int width, int weight, bool italic = false,
                      bool underline = false) {
        return MakeFont(face, ScaleToDpi(height, dpi), ScaleToDpi(width, dpi), weight, italic, underline);
    };
    m_normalBackground = LoadBitmapForDpi(IDB_ENTRY_NORMAL, dpi);
    m_selectedBackground = LoadBitmapForDpi(IDB_ENTRY_SELECTED, dpi);
    m_nameFont.Reset(font(L"Tahoma", 18, 10, FW_BOLD));
    m_versionFont.Reset(font(L"Arial", 13, 8, FW_NORMAL));
    m_companyFont.Reset(font(L"Arial", 17, 8, FW_NORMAL));
    m_priceFont.Reset(font(L"Tahoma", 62, 20, FW_BOLD));
    m_currencyFont.Reset(font(L"Arial", 12, 6, FW_NORMAL));
    m_linkFont.Reset(font(L"Arial", 13, 8, FW_NORMAL, true, true));
}

void CSWListBox::OnDpiChanged()
{
    CreateLook();
    SendMessageW(m_hWnd, LB_SETITEMHEIGHT, 0, EntryHeight());
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

CSWListBox::~CSWListBox() = default;

bool CSWListBox::Create(HWND parent, int id, const RECT& rect)
{
    const DWORD style = WS_CHILD | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_EXTENDEDSEL |
                        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    HWND window = CreateWindowExW(0, L"ListBox", nullptr, style, rect.left, rect.top, RectWidth(rect),
                                  RectHeight(rect), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return false;
    if (!Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    return true;
}

void CSWListBox::OnAttached()
{
    m_linkHover = false;
    // A template's list box asks its height before its dialog can answer; every entry is the
    // same height, so it is set once here.
    if (m_dpi != BaseDpi)
        CreateLook();
    SendMessageW(m_hWnd, LB_SETITEMHEIGHT, 0, EntryHeight());
}

int CSWListBox::Count() const
{
    LRESULT count = SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

int CSWListBox::SelectedCount() const
{
    LRESULT count = SendMessageW(m_hWnd, LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::vector<int> CSWListBox::SelectedIndexes() const
{
    std::vector<int> indexes(static_cast<size_t>(SelectedCount()));
    if (indexes.empty())
        return indexes;
    LRESULT got = SendMessageW(m_hWnd, LB_GETSELITEMS, indexes.size(), reinterpret_cast<LPARAM>(indexes.data()));
    indexes.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return indexes;
}

bool CSWListBox::IsSelected(int index) const
{
    return SendMessageW(m_hWnd, LB_GETSEL, index, 0) > 0;
}

int CSWListBox::CaretIndex() const
{
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETCARETINDEX, 0, 0));
}

CSoftware* CSWListBox::RecordAt(int index) const
{
    if (!m_items || index < 0 || index >= m_items->GetSize())
        return nullptr;
    return (*m_items)[index];
}

void CSWListBox::SetItems(CSoftwareArray* items)
{
    m_items = items;
    const int wanted = items ? items->GetSize() : 0;
    const int count = Count();
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    if (count < wanted) {
        SendMessageW(m_hWnd, LB_SETCOUNT, static_cast<WPARAM>(wanted), 0);
    } else if (count > wanted) {
        // Entries leave from the top: each survivor keeps its selection one place up per entry
        // removed, and the new first entry is selected. Removing from the top one at a time moves
        // every entry each time, so the same result is built by cutting the end.
        const int removed = count - wanted;
        std::vector<int> selected = SelectedIndexes();
        SendMessageW(m_hWnd, LB_SETCOUNT, static_cast<WPARAM>(wanted), 0);
        SendMessageW(m_hWnd, LB_SETSEL, FALSE, -1);
        for (int index : selected) {
            if (index >= removed)
                SendMessageW(m_hWnd, LB_SETSEL, TRUE, index - removed);
        }
        if (wanted > 0)
            SendMessageW(m_hWnd, LB_SETSEL, TRUE, 0);
    }
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CSWListBox::SelectAll()
{
    SendMessageW(m_hWnd, LB_SETSEL, TRUE, -1);
}

void CSWListBox::SelectOnly(int index)
{
    SendMessageW(m_hWnd, LB_SETSEL, FALSE, -1);
    if (index < 0 || index >= Count())
        return;
    SendMessageW(m_hWnd, LB_SETSEL, TRUE, index);
    SendMessageW(m_hWnd, LB_SETANCHORINDEX, index, 0);
    SendMessageW(m_hWnd, LB_SETCARETINDEX, index, FALSE);
}

void CSWListBox::InvertSelection()
{
    // The gaps between selected entries become selected ranges: one message per gap, not one per
    // entry, so a large list inverts at once.
    const std::vector<int> selected = SelectedIndexes();
    const int count = Count();
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_hWnd, LB_SETSEL, FALSE, -1);
    int next = 0;
    for (int index : selected) {
        if (index > next)
            SendMessageW(m_hWnd, LB_SELITEMRANGEEX, next, index - 1);
        next = index + 1;
    }
    if (next < count)
        SendMessageW(m_hWnd, LB_SELITEMRANGEEX, next, count - 1);
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CSWListBox::CharToItem(wchar_t character, int current) const
{
    const int count = m_items ? std::min(Count(), m_items->GetSize()) : 0;
    if (count == 0)
        return current;
    const wchar_t wanted = UpperCase(character);
    auto matches = [&](int index) {
        const std::wstring& name = (*m_items)[index]->BasicInfo.Name;
        return !name.empty() && UpperCase(name[0]) == wanted;
    };
    const int start = std::clamp(current, -1, count - 1);
    for (int i = start + 1; i < count; ++i) {
        if (matches(i))
            return i;
    }
    for (int i = 0; i < start; ++i) {
        if (matches(i))
            return i;
    }
    return current;
}

bool CSWListBox::OnMeasureItem(MEASUREITEMSTRUCT& item)
{
    item.itemWidth = EntryWidth();
    item.itemHeight = EntryHeight();
    return true;
}

bool CSWListBox::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1))
        return true;
    DrawCard(item.hDC, item.rcItem, static_cast<int>(item.itemID), (item.itemState & ODS_SELECTED) != 0);
    return true;
}

void CSWListBox::DrawCard(HDC dc, const RECT& rect, int index, bool selected) const
{
    const int width = RectWidth(rect);
    const int height = RectHeight(rect);
    if (width <= 0 || height <= 0)
        return;
    CMemoryDC card(dc);
    CScopedBitmap surface(CreateCompatibleBitmap(dc, width, height));
    if (!card || !surface)
        return;
    CScopedSelection cardSurface(card.Get(), surface.Get());

    {
        // Only the first pixel column of the background is used, stretched over the entry.
        CMemoryDC scratch(dc);
        HBITMAP background = selected ? m_selectedBackground.Get() : m_normalBackground.Get();
        CScopedSelection source(scratch.Get(), background);
        SIZE size = BitmapSize(background);
        StretchBlt(card.Get(), 0, 0, width, height, scratch.Get(), 0, 0, 1, size.cy > 0 ? size.cy : EntryHeight(),
                   SRCCOPY);
    }

    if (const CSoftware* record = RecordAt(index)) {
        HDC out = card.Get();
        // The cache's handle is drawn at once and never kept: a later card may evict it.
        HICON icon = InstallerIcons.IconFor(*record);
        if (!icon)
            icon = static_cast<HICON>(NoInstallerIcon);
        if (icon)
            DrawIconEx(out, ScaleToDpi(IconOrigin.x, m_dpi), ScaleToDpi(IconOrigin.y, m_dpi), icon,
                       ScaleToDpi(IconSize, m_dpi), ScaleToDpi(IconSize, m_dpi), 0, nullptr, DI_NORMAL);
        if (LastCheckFailed(record->ExtraInfo))
            DrawCheckFailedMark(out);

        const CBasicInfo& info = record->BasicInfo;
        DrawCardText(out, info.Name, CardRect(NameRect), m_nameFont.Get(), NameColour, CardText | DT_LEFT | DT_VCENTER);
        DrawCardText(out, info.Version, CardRect(VersionRect), m_versionFont.Get(), RGB(0, 0, 0),
                     CardText | DT_LEFT | DT_VCENTER);
        DrawCardText(out, info.Company, CardRect(CompanyRect), m_companyFont.Get(), RGB(0, 0, 0),
                     CardText | DT_LEFT | DT_VCENTER);
        // "Free" follows the licence type here, not the amount.
        if (info.Type == 0) {
            DrawCardText(out, L"Free", CardRect(PriceRect), m_priceFont.Get(), FreeColour, CardText | DT_RIGHT | DT_VCENTER);
        } else {
            // Amounts of a million and more need more than nine characters: shown whole, and cut
            // with an ellipsis by the rectangle.
            wchar_t price[32] = {};
            swprintf(price, sizeof price / sizeof price[0], L"%5.2f", static_cast<double>(info.Price.Value));
            DrawCardText(out, price, CardRect(PriceRect), m_priceFont.Get(), RGB(0, 0, 0), CardText | DT_RIGHT | DT_VCENTER);
            DrawCardText(out, CurrencyName(info.Price.Currency), CardRect(CurrencyRect), m_currencyFont.Get(), CurrencyColour,
                         DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_BOTTOM);
        }
        DrawCardText(out, info.Website, CardRect(LinkRect), m_linkFont.Get(), LinkColour, CardText | DT_RIGHT | DT_VCENTER);
    }

    BitBlt(dc, rect.left, rect.top, width, height, card.Get(), 0, 0, SRCCOPY);
}

void CSWListBox::DrawCheckFailedMark(HDC dc) const
{
    // A red disc with a white bar over the icon's lower right corner: the installer's last check
    // found it changed, missing or unreadable.
    const int size = ScaleToDpi(14, m_dpi);
    const int right = ScaleToDpi(IconOrigin.x + IconSize + 2, m_dpi);
    const int bottom = ScaleToDpi(IconOrigin.y + IconSize + 2, m_dpi);
    const RECT disc{right - size, bottom - size, right, bottom};
    CScopedBrush red(CreateSolidBrush(CheckFailedColour));
    CScopedPen outline(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    CScopedSelection brush(dc, red.Get());
    CScopedSelection pen(dc, outline.Get());
    Ellipse(dc, disc.left, disc.top, disc.right, disc.bottom);
    const int bar = std::max(2, size / 7);
    const int middle = (disc.left + disc.right) / 2;
    RECT stroke{middle - bar / 2, disc.top + size / 5, middle - bar / 2 + bar, disc.bottom - size * 2 / 5};
    RECT dot{stroke.left, disc.bottom - size * 3 / 10, stroke.right, disc.bottom - size * 3 / 10 + bar};
    CScopedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(dc, &stroke, white.Get());
    FillRect(dc, &dot, white.Get());
}

int CSWListBox::EntryAt(POINT point) const
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    if (!PtInRect(&client, point))
        return -1;
    const int top = static_cast<int>(SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0));
    const int index = top + point.y / EntryHeight();
    return index < Count() ? index : -1;
}

int CSWListBox::NearestEntry(POINT point) const
{
    const int count = Count();
    if (count == 0)
        return -1;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int y = std::clamp(static_cast<int>(point.y), 0, std::max(0, static_cast<int>(client.bottom) - 1));
    const int top = static_cast<int>(SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0));
    return std::clamp(top + y / EntryHeight(), 0, count - 1);
}

void CSWListBox::OnMouseMove(POINT point)
{
    m_linkHover = false;
    if (!m_items || m_items->IsEmpty())
        return;
    const int index = EntryAt(point);
    const CSoftware* record = RecordAt(index);
    if (!record || record->BasicInfo.Website.empty())
        return;
    RECT entry{};
    if (SendMessageW(m_hWnd, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry)) == LB_ERR)
        return;
    // The whole link rectangle counts, not only its text.
    const RECT link = Offset(CardRect(LinkRect), entry.left, entry.top);
    if (!PtInRect(&link, point))
        return;
    SetCursor(m_handCursor);
    m_linkHover = true;
}

void CSWListBox::OnLeftButtonDown(WPARAM keys, POINT point)
{
    Default(WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
    if (!m_linkHover)
        return;
    if (const CSoftware* record = RecordAt(EntryAt(point)))
        OpenLink(GetAncestor(m_hWnd, GA_ROOT), record->BasicInfo.Website);
}

void CSWListBox::OnRightButtonDown(WPARAM, POINT point)
{
    // A right click on an unselected entry selects it alone; on a selected one it keeps a
    // multiple selection for the menu.
    const int index = EntryAt(point);
    if (index >= 0 && !IsSelected(index))
        Default(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

void CSWListBox::OnRightButtonUp(WPARAM, POINT point)
{
    SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    const int index = NearestEntry(point);
    if (index < 0 || !IsSelected(index) || !m_contextMenu)
        return;
    POINT screen = point;
    ClientToScreen(m_hWnd, &screen);
    TrackPopupMenu(m_contextMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, GetParent(m_hWnd), nullptr);
}

void CSWListBox::PostToParent(WPARAM wParam) const
{
    PostMessageW(GetParent(m_hWnd), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(m_hWnd));
}

// True when the key is taken and gets no default handling.
bool CSWListBox::OnKeyDown(UINT key)
{
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        PostToParent(MAKEWPARAM(0, NotifyLaunch));
        return false;
    case VK_DELETE:
        PostToParent(MAKEWPARAM(0, NotifyDelete));
        return false;
    case 'V':
    case 'I':
        // Ctrl+Shift+V checks every installer, Ctrl+Shift+I shows the selected one's facts.
        if ((GetKeyState(VK_CONTROL) & 0x8000) && (GetKeyState(VK_SHIFT) & 0x8000)) {
            PostMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(key == 'V' ? ID_VAULT_VERIFY : ID_VAULT_DETAILS, 0),
                         0);
            return true;
        }
        return false;
    case 'A':
        if (GetKeyState(VK_LCONTROL) & 0x8000) {
            PostMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(SelectAllCommand, 0), 0);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CSWListBox::OnChar(wchar_t character)
{
    // Control characters (Ctrl+A gives one) are no names' first letters.
    if (character < L' ')
        return;
    const int current = CaretIndex();
    const int found = CharToItem(character, current);
    if (found == current || found < 0)
        return;
    SelectOnly(found);
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CSWListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_MOUSEMOVE: {
        LRESULT result = Default(message, wParam, lParam);
        OnMouseMove(point);
        return result;
    }
    case WM_SETCURSOR:
        if (m_linkHover) {
            SetCursor(m_handCursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(wParam, point);
        return 0;
    case WM_RBUTTONDOWN:
        OnRightButtonDown(wParam, point);
        return 0;
    case WM_RBUTTONUP:
        OnRightButtonUp(wParam, point);
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        OnChar(static_cast<wchar_t>(wParam));
        return 0;
    case WM_GETDLGCODE: {
        // Enter reaches the list, not the dialog's default button, so it can launch.
        LRESULT code = Default(message, wParam, lParam);
        const MSG* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    default:
        break;
    }
    return Default(message, wParam, lParam);
}
