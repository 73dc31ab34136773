#include "app/ItemInfoDlg.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "app/Commands.h"
#include "app/EditCodeDlg.h"
#include "app/Finder.h"
#include "app/Links.h"
#include "framework/MessageBox.h"
#include "model/Catalogue.h"
#include "model/LicenceDates.h"
#include "model/TextRules.h"
#include "model/Vocabulary.h"
#include "res/resource.h"
#include "storage/ElementText.h"
#include "storage/RecordReadBack.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "app/PaneColour.h"

using CommCtrl::CBitmapButton5S;
using CommCtrl::CEnTabCtrl;

const wchar_t* const NameMissingText = L"Field 'Name' couldn't be null.";
const wchar_t* const SaveFailedText = L"A serious error occured while saving your modifications, please try again.";
const wchar_t* const CodeMissingText = L"Code-name or code is empty, please fill the blank.";
const wchar_t* const CodeNameTakenText = L"The code-name is already existed, please use another name.";
const wchar_t* const PriceTooHighText =
    L"Field 'Price' couldn't be 1,000,000 or more, please enter a smaller price.";

const wchar_t* const LicenceLabels[2] = {L"Purchased:", L"Expires:"};

std::wstring NotStorableText(const wchar_t* fieldName)
{
    return std::wstring(L"Field '") + fieldName +
           L"' holds text that couldn't be saved and read back correctly, please change it.";
}

namespace {
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF PureRed = RGB(255, 0, 0);
constexpr COLORREF PureBlue = RGB(0, 0, 255);
constexpr int PaneWidth = 300;
constexpr int RowHeight = 20;
constexpr int RowGap = 15;

CItemInfoDlg* MainPane = nullptr;

// Every editor of both tabs, with "+" and "-".
const int BasicEditors[] = {IDC_ITEM_NAME,  IDC_ITEM_VERSION,  IDC_ITEM_COMPANY,  IDC_ITEM_WEBSITE,
                            IDC_ITEM_PRICE, IDC_ITEM_CURRENCY, IDC_ITEM_CATEGORY, IDC_ITEM_TYPE};
const int RegistrationEditors[] = {IDC_ITEM_USERNAME, IDC_ITEM_USERCOMPANY, IDC_ITEM_USEREMAIL,
                                   IDC_ITEM_CODENAME, IDC_ITEM_CODE,        IDC_ITEM_COMMENT,
                                   IDC_ITEM_CODELIST, IDC_ITEM_ADDCODE,     IDC_ITEM_REMOVECODE};
const int LicenceEditors[] = {IDC_ITEM_PURCHASE_DATE, IDC_ITEM_EXPIRY_DATE};
// An expiry that has passed is shown in this red, as in the reminders.
constexpr COLORREF ExpiredRed = RGB(200, 0, 0);
const int HistoryCombos[] = {IDC_ITEM_COMPANY,     IDC_ITEM_WEBSITE,   IDC_ITEM_USERNAME,
                             IDC_ITEM_USERCOMPANY, IDC_ITEM_USEREMAIL, IDC_ITEM_CODENAME};

const wchar_t* const BasicLabels[7] = {L"Name:",  L"Version:",  L"Company:", L"WebSite:",
                                       L"Price:", L"Category:", L"Type:"};
// The fifth is a spacer and never painted.
const wchar_t* const RegistrationLabels[8] = {L"UserName:", L"Company:", L"UserEmail:", L"Comment:",
                                              L"",          L"Name:",    L"Code:",      L"CodeList:"};

CScopedFont ArialFont(int height, int width, bool linkLook)
{
    return CScopedFont(CreateFontW(height, width, 0, 0, FW_NORMAL, linkLook, linkLook, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
}

RECT Row(int left, int top, int right, int height)
{
    return RECT{left, top, right, top + height};
}

std::wstring ListEntry(HWND list, int index)
{
    int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, index, 0));
    if (length < 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = static_cast<int>(SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return text;
}

bool IsEditClass(HWND window)
{
    wchar_t name[16]{};
    GetClassNameW(window, name, 16);
    return _wcsicmp(name, L"Edit") == 0;
}

// The amount typed in the price box: 0 for text that is no number or a negative one; infinity
// stands for anything too large to be a price.
double TypedPrice(const std::wstring& text)
{
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    double value = std::wcstod(begin, &end);
    if (end == begin || std::isnan(value) || value < 0)
        return 0;
    return value;
}
}  // namespace

LRESULT CItemInfoTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        // The buffered paint covers every pixel.
        return TRUE;
    case WM_PAINT: {
        if (wParam) {
            PaintBuffered(reinterpret_cast<HDC>(wParam));
        } else {
            CPaintDC paint(m_hWnd);
            PaintBuffered(paint.Get());
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintBuffered(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_MOUSEMOVE: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(m_hWnd, m_pane.GetSafeHwnd(), &point, 1);
        m_pane.OnPageMouseMove(point);
        break;
    }
    case WM_SETCURSOR:
        if (m_pane.m_linkHover) {
            SetCursor(m_pane.m_handCursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(m_hWnd, m_pane.GetSafeHwnd(), &point, 1);
        if (m_pane.OnPageClick(point))
            return 0;
        break;
    }
    default:
        break;
    }
    return CEnTabCtrl::WindowProc(message, wParam, lParam);
}

void CItemInfoTabCtrl::PaintBuffered(HDC dc)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    CMemoryDC buffer(dc);
    CScopedBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    {
        CScopedSelection selectBitmap(buffer.Get(), bitmap.Get());
        EraseBackground(buffer.Get());
        Paint(buffer.Get());
        // The pane's rectangles are in pane coordinates.
        POINT origin{0, 0};
        MapWindowPoints(m_hWnd, m_pane.GetSafeHwnd(), &origin, 1);
        POINT oldOrigin{};
        SetViewportOrgEx(buffer.Get(), -origin.x, -origin.y, &oldOrigin);
        m_pane.PaintPage(buffer.Get());
        SetViewportOrgEx(buffer.Get(), oldOrigin.x, oldOrigin.y, nullptr);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
    }
}

CItemInfoDlg::CItemInfoDlg(HWND parent)
    : CDialog(IDD_ITEMINFO, parent),
      m_paneBrush(CreateSolidBrush(PaneColour)),
      m_whiteBrush(CreateSolidBrush(White)),
      m_handCursor(LoadCursorW(nullptr, IDC_HAND)),
      m_tabs(*this)
{
}

CItemInfoDlg::~CItemInfoDlg()
{
    if (MainPane == this)
        MainPane = nullptr;
    // The controls unbind before the window goes.
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

void CItemInfoDlg::SetCommandTarget(HWND mainWindow, HWND sender)
{
    m_commandTarget = mainWindow;
    m_commandSender = sender;
    MainPane = this;
}

bool CItemInfoDlg::IsMainPane() const
{
    return MainPane == this;
}

void CItemInfoDlg::SetPaneHeight(int height)
{
    m_paneHeight = height;
    if (!m_hWnd)
        return;
    SetWindowPos(m_hWnd, nullptr, 0, 0, Scale(PaneWidth), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_tabs.GetSafeHwnd(), nullptr, 0, 0, Scale(PaneWidth - 4), height - Scale(4),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ComputeAreas();
}

int CItemInfoDlg::SetMode(int mode)
{
    int previous = m_mode;
    m_mode = mode;
    if (mode != previous && m_hWnd)
        Relayout();
    return previous;
}

void CItemInfoDlg::SetRecord(CSoftware* record)
{
    const bool hadRecord = m_record != nullptr;
    m_record = record;
    if (m_mode != ItemInfoView || !m_hWnd)
        return;
    EnableWindow(GetDlgItem(IDC_ITEM_MODIFY), record != nullptr);
    EnableWindow(GetDlgItem(IDC_ITEM_INSTALLER), record != nullptr);
    if (m_currentTab == 1) {
        for (int id : {IDC_ITEM_COMMENT, IDC_ITEM_CODELIST, IDC_ITEM_CODE})
            ShowControl(id, record != nullptr);
    }
    // The labels come and go with the record; otherwise only the values change.
    if (hadRecord != (record != nullptr))
        InvalidateRect(m_tabs.GetSafeHwnd(), nullptr, FALSE);
    RepaintValues();
    ReloadCodes(true);
}

void CItemInfoDlg::CreateFonts()
{
    m_labelFont = ArialFont(Scale(15), Scale(6), false);
    m_valueFont = ArialFont(Scale(20), Scale(8), false);
    m_linkFont = ArialFont(Scale(20), Scale(8), true);
}

void CItemInfoDlg::OnDpiChanged()
{
    CreateFonts();
    // The parent sets the pane's height (SetPaneHeight), which lays it out again.
    SetWindowPos(m_hWnd, nullptr, 0, 0, Scale(PaneWidth), m_paneHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_tabs.GetSafeHwnd(), nullptr, Scale(2), Scale(2), Scale(PaneWidth - 4), m_paneHeight - Scale(4),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Relayout();
}

BOOL CItemInfoDlg::OnInitDialog()
{
    CreateFonts();
    if (m_paneHeight <= 0) {
        RECT window{};
        GetWindowRect(m_hWnd, &window);
        m_paneHeight = RectHeight(window);
    } else
        SetWindowPos(m_hWnd, nullptr, 0, 0, Scale(PaneWidth), m_paneHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CEnTabCtrl::SetLookFlags(true, CEnTabCtrl::LookFlat | CEnTabCtrl::LookColor | CEnTabCtrl::LookSelection |
                                       CEnTabCtrl::LookGradient);
    m_tabs.SubclassDlgItem(IDC_ITEM_TABS, m_hWnd);
    m_tabs.SetPaintMode(2);
    m_tabs.SetBackgroundColor(PaneColour);
    SetWindowPos(m_tabs.GetSafeHwnd(), nullptr, Scale(2), Scale(2), Scale(PaneWidth - 4), m_paneHeight - Scale(4),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_tabs.InsertItem(0, L"Basic Info");
    m_tabs.InsertItem(1, L"Registration Info");
    m_tabs.InsertItem(LicenceTab, L"Licence");
    CreateDatePickers();
    m_tabs.SetCurSel(m_currentTab);
    ComputeAreas();

    if (m_mode == ItemInfoView && !m_record && !SoftwareList.IsEmpty())
        m_record = SoftwareList[0];
    else if (m_mode == ItemInfoEdit)
        m_record = nullptr;

    SkinButton(m_modify, IDC_ITEM_MODIFY, IDI_MODIFY);
    SkinButton(m_apply, IDC_ITEM_APPLY, IDI_OK);
    SkinButton(m_cancel, IDC_ITEM_CANCEL, IDI_CANCEL);
    SkinButton(m_installer, IDC_ITEM_INSTALLER, IDI_INFO);
    EnableWindow(GetDlgItem(IDC_ITEM_INSTALLER), m_record != nullptr);
    FillChoiceBoxes();
    FillHistoryBoxes();
    // A comment has no length limit of its own; long ones are put in part by part.
    SendMessageW(GetDlgItem(IDC_ITEM_COMMENT), EM_SETLIMITTEXT, 0, 0);
    if (m_mode == ItemInfoView) {
        EnableWindow(GetDlgItem(IDC_ITEM_MODIFY), m_record != nullptr);
        ReloadCodes(true);
    }
    Relayout();
    return FALSE;
}

// The platform's date control: typed digit by digit or picked from its calendar, and left empty
// with its check box. Made here rather than in the template, so the pane's template stays as it
// was and hosts need not have registered the class.
void CItemInfoDlg::CreateDatePickers()
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    HFONT font = GetDialogFont();
    for (int id : LicenceEditors) {
        HWND picker = CreateWindowExW(0, DATETIMEPICK_CLASSW, L"", WS_CHILD | WS_TABSTOP | DTS_SHOWNONE | DTS_SHORTDATEFORMAT,
                                      0, 0, Scale(100), Scale(RowHeight), m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      GetModuleHandleW(nullptr), nullptr);
        if (!picker)
            continue;
        SendMessageW(picker, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // The same form as the file and the view, whatever the regional settings.
        SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy'-'MM'-'dd"));
        // Above the page's tab control, which the template made last.
        SetWindowPos(picker, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetPickedDate(id, L"");
    }
}

std::wstring CItemInfoDlg::PickedDate(int id) const
{
    SYSTEMTIME time{};
    if (SendMessageW(GetDlgItem(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return std::wstring();
    return FormatIsoDate(CCalendarDate{time.wYear, time.wMonth, time.wDay});
}

void CItemInfoDlg::SetPickedDate(int id, const std::wstring& iso) const
{
    HWND picker = GetDlgItem(id);
    CCalendarDate date;
    SYSTEMTIME time{};
    if (!ParseIsoDate(iso, date) || date.Year < 1601) {
        // Empty shows today's date unchecked; the check box alone says whether a date is set.
        // Some implementations refuse GDT_NONE without a time to show, so one is always given.
        GetLocalTime(&time);
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&time));
        return;
    }
    time.wYear = static_cast<WORD>(date.Year);
    time.wMonth = static_cast<WORD>(date.Month);
    time.wDay = static_cast<WORD>(date.Day);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void CItemInfoDlg::SkinButton(CBitmapButton5S& button, int id, UINT icon)
{
    button.SubclassDlgItem(id, m_hWnd);
    button.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    button.SetHoverBitmap(IDB_BUTTON_HOVER);
    button.SetLayout(RECT{2, 2, 18, 18}, RECT{20, 3, 70, 17}, 6, L"Arial");
    button.SetTextColor(Black);
    button.SetIcon(icon);
}

void CItemInfoDlg::FillChoiceBoxes()
{
    const std::pair<int, std::pair<const wchar_t* const*, int>> boxes[] = {
        {IDC_ITEM_CURRENCY, {CurrencyNames, CurrencyCount}},
        {IDC_ITEM_TYPE, {TypeNames, TypeCount}},
        {IDC_ITEM_CATEGORY, {CategoryNames, CategoryCount}},
    };
    for (const auto& box : boxes) {
        HWND combo = GetDlgItem(box.first);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (int value = 0; value < box.second.second; ++value)
            SendMessageW(combo, CB_INSERTSTRING, value, reinterpret_cast<LPARAM>(box.second.first[value]));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
}

void CItemInfoDlg::FillHistoryBoxes()
{
    const CStringArray* lists[] = {&HistoryLists.Company,     &HistoryLists.Website, &HistoryLists.UserName,
                                   &HistoryLists.UserCompany, &HistoryLists.Email,   &HistoryLists.CodeName};
    for (int i = 0; i < 6; ++i) {
        SendMessageW(GetDlgItem(HistoryCombos[i]), CB_RESETCONTENT, 0, 0);
        for (const std::wstring& entry : *lists[i])
            AddToCombo(HistoryCombos[i], entry);
    }
}

void CItemInfoDlg::AddToCombo(int id, const std::wstring& text) const
{
    SendMessageW(GetDlgItem(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CItemInfoDlg::AddHistoryToPanes(HistoryListId list, const std::wstring& value)
{
    if (!MainPane || !MainPane->m_hWnd)
        return;
    MainPane->AddToCombo(HistoryCombos[list], value);
}

void CItemInfoDlg::ComputeAreas()
{
    RECT area{};
    GetClientRect(m_tabs.GetSafeHwnd(), &area);
    m_tabs.AdjustRect(false, area);
    MapWindowPoints(m_tabs.GetSafeHwnd(), m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    m_fieldArea = area;
    m_valueArea = area;
    if (m_mode != ItemInfoAdd)
        m_valueArea.top += Scale(30);
}

void CItemInfoDlg::PlaceControl(int id, const RECT& rect) const
{
    SetWindowPos(GetDlgItem(id), nullptr, rect.left, rect.top, RectWidth(rect), RectHeight(rect),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CItemInfoDlg::ShowControl(int id, bool show) const
{
    ShowWindow(GetDlgItem(id), show ? SW_SHOWNA : SW_HIDE);
}

void CItemInfoDlg::LayoutBasic(int firstTop)
{
    const int left = m_fieldArea.left;
    const int right = m_fieldArea.right;
    for (int row = 0; row < 7; ++row) {
        int top = firstTop + row * Scale(RowHeight + RowGap);
        m_basicLabels[row] = Row(left + Scale(5), top, left + Scale(75), Scale(RowHeight));
        m_basicValues[row] = Row(left + Scale(80), top, right - Scale(5), Scale(RowHeight));
    }
    const int valueLeft = left + Scale(80);
    const int width = right - left - Scale(85);
    const int ids[7] = {IDC_ITEM_NAME, IDC_ITEM_VERSION, IDC_ITEM_COMPANY, IDC_ITEM_WEBSITE,
                        IDC_ITEM_PRICE, IDC_ITEM_CATEGORY, IDC_ITEM_TYPE};
    for (int row = 0; row < 7; ++row) {
        RECT rect = m_basicValues[row];
        // Combo boxes take their dropped-down height.
        if (ids[row] == IDC_ITEM_COMPANY || ids[row] == IDC_ITEM_WEBSITE || ids[row] == IDC_ITEM_CATEGORY ||
            ids[row] == IDC_ITEM_TYPE)
            rect.bottom = rect.top + Scale(200);
        if (ids[row] == IDC_ITEM_PRICE)
            rect.right = valueLeft + width / 2;
        PlaceControl(ids[row], rect);
    }
    const RECT& price = m_basicValues[4];
    PlaceControl(IDC_ITEM_CURRENCY,
                 RECT{valueLeft + width / 2 + width / 4, price.top - Scale(2), valueLeft + width / 2 + width / 2, price.top + Scale(200)});
}

void CItemInfoDlg::LayoutRegistration(int firstTop)
{
    const int left = m_fieldArea.left;
    const int right = m_fieldArea.right;
    const int valueLeft = left + Scale(80);
    const int valueRight = right - Scale(5);
    for (int row = 0; row < 4; ++row) {
        int top = firstTop + row * Scale(RowHeight + RowGap);
        m_regLabels[row] = Row(left + Scale(5), top, left + Scale(75), Scale(RowHeight));
        if (row < 3)
            m_regValues[row] = Row(valueLeft, top, valueRight, Scale(RowHeight));
    }
    const int ids[3] = {IDC_ITEM_USERNAME, IDC_ITEM_USERCOMPANY, IDC_ITEM_USEREMAIL};
    for (int row = 0; row < 3; ++row) {
        RECT rect = m_regValues[row];
        rect.bottom = rect.top + Scale(200);
        PlaceControl(ids[row], rect);
    }
    const int commentTop = m_regLabels[3].bottom + Scale(5);
    const RECT comment{left + Scale(5), commentTop, right - Scale(5), commentTop + Scale(50)};
    PlaceControl(IDC_ITEM_COMMENT, comment);

    if (m_mode == ItemInfoView) {
        m_regLabels[4] = RECT{};
        m_regLabels[5] = RECT{};
        m_regLabels[6] = RECT{};
        m_regLabels[7] = Row(left + Scale(5), comment.bottom + Scale(15), left + Scale(75), Scale(RowHeight));
        const RECT list{left + Scale(5), m_regLabels[7].bottom + Scale(5), right - Scale(5), m_regLabels[7].bottom + Scale(65)};
        PlaceControl(IDC_ITEM_CODELIST, list);
        PlaceControl(IDC_ITEM_CODE, RECT{left + Scale(5), list.bottom + Scale(5), right - Scale(5), list.bottom + Scale(85)});
        return;
    }
    m_regLabels[4] = Row(left + Scale(5), comment.bottom + Scale(15), left + Scale(75), Scale(RowHeight));
    m_regLabels[5] = Row(left + Scale(5), m_regLabels[4].bottom + Scale(5), left + Scale(75), Scale(RowHeight));
    const RECT& nameRow = m_regLabels[5];
    const int comboRight = valueRight - Scale(50);
    PlaceControl(IDC_ITEM_CODENAME, RECT{valueLeft, nameRow.top, comboRight, nameRow.top + Scale(200)});
    PlaceControl(IDC_ITEM_ADDCODE, RECT{comboRight + Scale(5), nameRow.top, comboRight + Scale(25), nameRow.bottom});
    PlaceControl(IDC_ITEM_REMOVECODE, RECT{comboRight + Scale(30), nameRow.top, comboRight + Scale(50), nameRow.bottom});
    m_regLabels[6] = Row(left + Scale(5), nameRow.bottom + Scale(5), left + Scale(75), Scale(RowHeight));
    const RECT code{valueLeft, m_regLabels[6].top, valueRight, m_regLabels[6].top + Scale(80)};
    PlaceControl(IDC_ITEM_CODE, code);
    m_regLabels[7] = Row(left + Scale(5), code.bottom + Scale(5), left + Scale(75), Scale(RowHeight));
    PlaceControl(IDC_ITEM_CODELIST, RECT{valueLeft, m_regLabels[7].top, valueRight, m_regLabels[7].top + Scale(60)});
}

void CItemInfoDlg::LayoutLicence(int firstTop)
{
    const int left = m_fieldArea.left;
    const int right = m_fieldArea.right;
    const int valueLeft = left + Scale(80);
    for (int row = 0; row < 2; ++row) {
        const int top = firstTop + row * Scale(RowHeight + RowGap);
        m_licenceLabels[row] = Row(left + Scale(5), top, left + Scale(75), Scale(RowHeight));
        m_licenceValues[row] = Row(valueLeft, top, right - Scale(5), Scale(RowHeight));
    }
    // The days left stand below the expiry, in the value column.
    m_licenceValues[2] = Row(valueLeft, m_licenceValues[1].bottom + Scale(5), right - Scale(5), Scale(RowHeight));
    const int pickerRight = std::min<int>(right - Scale(5), valueLeft + Scale(130));
    PlaceControl(IDC_ITEM_PURCHASE_DATE, RECT{valueLeft, m_licenceValues[0].top, pickerRight, m_licenceValues[0].bottom});
    PlaceControl(IDC_ITEM_EXPIRY_DATE, RECT{valueLeft, m_licenceValues[1].top, pickerRight, m_licenceValues[1].bottom});
}

void CItemInfoDlg::Relayout()
{
    if (!m_hWnd)
        return;
    ComputeAreas();
    const int left = m_fieldArea.left;
    const int top = m_fieldArea.top;
    const int firstTop = top + Scale(m_mode == ItemInfoAdd ? 5 : 30);
    LayoutBasic(firstTop);
    LayoutRegistration(firstTop);
    LayoutLicence(firstTop);

    const RECT slotA{left + Scale(5), top + Scale(5), left + Scale(75), top + Scale(25)};
    const RECT slotB{left + Scale(80), top + Scale(5), left + Scale(150), top + Scale(25)};
    PlaceControl(IDC_ITEM_MODIFY, slotA);
    PlaceControl(IDC_ITEM_APPLY, slotA);
    PlaceControl(IDC_ITEM_CANCEL, slotB);
    PlaceControl(IDC_ITEM_INSTALLER, slotB);

    for (int id : BasicEditors)
        ShowControl(id, false);
    for (int id : RegistrationEditors)
        ShowControl(id, false);
    for (int id : LicenceEditors)
        ShowControl(id, false);
    const bool viewing = m_mode == ItemInfoView;
    SendMessageW(GetDlgItem(IDC_ITEM_COMMENT), EM_SETREADONLY, viewing, 0);
    SendMessageW(GetDlgItem(IDC_ITEM_CODE), EM_SETREADONLY, viewing, 0);
    ShowControl(IDC_ITEM_MODIFY, viewing);
    ShowControl(IDC_ITEM_APPLY, m_mode == ItemInfoEdit);
    ShowControl(IDC_ITEM_CANCEL, m_mode == ItemInfoEdit);
    ShowControl(IDC_ITEM_INSTALLER, viewing && m_commandTarget != nullptr);
    m_showValues = viewing;
    if (viewing) {
        if (m_currentTab == 1 && m_record) {
            for (int id : {IDC_ITEM_COMMENT, IDC_ITEM_CODELIST, IDC_ITEM_CODE})
                ShowControl(id, true);
        }
    } else {
        ShowEditors();
    }
    if (m_currentTab == 1)
        LoadPendingComment();
    InvalidateRect(m_tabs.GetSafeHwnd(), nullptr, FALSE);
}

void CItemInfoDlg::ShowEditors()
{
    if (m_currentTab == LicenceTab) {
        for (int id : LicenceEditors)
            ShowControl(id, true);
        SetFocus(GetDlgItem(IDC_ITEM_PURCHASE_DATE));
        return;
    }
    const bool basic = m_currentTab == 0;
    if (basic) {
        for (int id : BasicEditors)
            ShowControl(id, true);
    } else {
        for (int id : RegistrationEditors)
            ShowControl(id, true);
    }
    HWND first = GetDlgItem(basic ? IDC_ITEM_NAME : IDC_ITEM_USERNAME);
    SetFocus(first);
    if (basic)
        SendMessageW(first, EM_SETSEL, 0, -1);
    else
        SendMessageW(first, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    const int basicCombos[] = {IDC_ITEM_COMPANY, IDC_ITEM_WEBSITE};
    const int regCombos[] = {IDC_ITEM_USERCOMPANY, IDC_ITEM_USEREMAIL, IDC_ITEM_CODENAME};
    auto clear = [this](int id) { SendMessageW(GetDlgItem(id), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0)); };
    if (basic) {
        for (int id : basicCombos)
            clear(id);
    } else {
        for (int id : regCombos)
            clear(id);
    }
}

std::wstring CItemInfoDlg::PriceText(const SoftwarePrice& price)
{
    if (price.Value == 0.0f)
        return L"Free";
    // Written out in full: the view has room to spare for the largest storable amount.
    return FormatPrice(price.Value) + L" (" + CurrencyName(price.Currency) + L")";
}

void CItemInfoDlg::DrawRowText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font,
                               COLORREF colour) const
{
    CScopedSelection selectFont(dc, font);
    CScopedTextLook look(dc, colour);
    RECT box = rect;
    // A row holds a few dozen characters; the rest of a huge value would only be measured.
    DrawTextW(dc, text.c_str(), static_cast<int>(ShownLineLength(text)), &box,
              DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CItemInfoDlg::PaintPage(HDC dc) const
{
    if (!m_record)
        return;
    const bool editing = m_mode != ItemInfoView;
    if (m_currentTab == 0) {
        for (int row = 0; row < 7; ++row)
            DrawRowText(dc, m_basicLabels[row], BasicLabels[row], m_labelFont.Get(), Black);
        if (editing) {
            RECT star = m_basicLabels[0];
            star.left = star.right - Scale(5);
            DrawRowText(dc, star, L"*", m_labelFont.Get(), PureRed);
        }
        if (!m_showValues)
            return;
        const CBasicInfo& basic = m_record->BasicInfo;
        DrawRowText(dc, m_basicValues[0], basic.Name, m_valueFont.Get(), Black);
        DrawRowText(dc, m_basicValues[1], basic.Version, m_valueFont.Get(), Black);
        DrawRowText(dc, m_basicValues[2], basic.Company, m_valueFont.Get(), Black);
        DrawRowText(dc, m_basicValues[3], basic.Website, m_linkFont.Get(), PureBlue);
        DrawRowText(dc, m_basicValues[4], PriceText(basic.Price), m_valueFont.Get(), Black);
        DrawRowText(dc, m_basicValues[5], CategoryName(basic.Category), m_valueFont.Get(), Black);
        DrawRowText(dc, m_basicValues[6], TypeName(basic.Type), m_valueFont.Get(), Black);
        return;
    }
    if (m_currentTab == LicenceTab) {
        for (int row = 0; row < 2; ++row)
            DrawRowText(dc, m_licenceLabels[row], LicenceLabels[row], m_labelFont.Get(), Black);
        if (!m_showValues)
            return;
        const CExtraInfo& extra = m_record->ExtraInfo;
        DrawRowText(dc, m_licenceValues[0], extra.PurchaseDate.empty() ? L"Null" : extra.PurchaseDate,
                    m_valueFont.Get(), Black);
        CCalendarDate expiry;
        if (!ParseIsoDate(extra.ExpiryDate, expiry)) {
            DrawRowText(dc, m_licenceValues[1], extra.ExpiryDate.empty() ? L"Null" : extra.ExpiryDate,
                        m_valueFont.Get(), Black);
            return;
        }
        const long long left = DaysLeft(expiry, LocalToday());
        const COLORREF colour = left < 0 ? ExpiredRed : Black;
        DrawRowText(dc, m_licenceValues[1], extra.ExpiryDate, m_valueFont.Get(), colour);
        DrawRowText(dc, m_licenceValues[2], DaysLeftText(left), m_valueFont.Get(), colour);
        return;
    }
    for (int row = 0; row < 8; ++row) {
        if (row == 4 || (!editing && (row == 5 || row == 6)))
            continue;
        DrawRowText(dc, m_regLabels[row], RegistrationLabels[row], m_labelFont.Get(), Black);
    }
    if (!m_showValues)
        return;
    const std::wstring* values[3] = {&m_record->RegInfo.UserName, &m_record->RegInfo.UserCompany,
                                     &m_record->RegInfo.UserEmail};
    for (int row = 0; row < 3; ++row)
        DrawRowText(dc, m_regValues[row], values[row]->empty() ? L"Null" : *values[row], m_valueFont.Get(), Black);
}

void CItemInfoDlg::RepaintValues()
{
    RECT rect = m_valueArea;
    rect.left = m_fieldArea.left + Scale(80);
    MapWindowPoints(m_hWnd, m_tabs.GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    InvalidateRect(m_tabs.GetSafeHwnd(), &rect, FALSE);
    UpdateWindow(m_tabs.GetSafeHwnd());
}

std::wstring CItemInfoDlg::ItemText(int id) const
{
    HWND control = GetDlgItem(id);
    int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

void CItemInfoDlg::SetItemText(int id, const std::wstring& text) const
{
    SetWindowTextW(GetDlgItem(id), text.c_str());
}

void CItemInfoDlg::SetChoice(int id, int value) const
{
    SendMessageW(GetDlgItem(id), CB_SETCURSEL, value, 0);
}

int CItemInfoDlg::Choice(int id) const
{
    int position = static_cast<int>(SendMessageW(GetDlgItem(id), CB_GETCURSEL, 0, 0));
    return position < 0 ? 0 : position;
}

void CItemInfoDlg::FillEditors()
{
    const CBasicInfo& basic = m_record->BasicInfo;
    const CRegInfo& reg = m_record->RegInfo;
    SetItemText(IDC_ITEM_NAME, basic.Name);
    SetItemText(IDC_ITEM_VERSION, basic.Version);
    SetItemText(IDC_ITEM_COMPANY, basic.Company);
    SetItemText(IDC_ITEM_WEBSITE, basic.Website);
    SetItemText(IDC_ITEM_PRICE, FormatPrice(basic.Price.Value));
    SetChoice(IDC_ITEM_CURRENCY, basic.Price.Currency);
    SetChoice(IDC_ITEM_CATEGORY, basic.Category);
    SetChoice(IDC_ITEM_TYPE, basic.Type);
    SetItemText(IDC_ITEM_USERNAME, reg.UserName);
    SetItemText(IDC_ITEM_USERCOMPANY, reg.UserCompany);
    SetItemText(IDC_ITEM_USEREMAIL, reg.UserEmail);
    SetPickedDate(IDC_ITEM_PURCHASE_DATE, m_record->ExtraInfo.PurchaseDate);
    SetPickedDate(IDC_ITEM_EXPIRY_DATE, m_record->ExtraInfo.ExpiryDate);
    ReloadCodes(true);
    SendMessageW(GetDlgItem(IDC_ITEM_NAME), EM_SETSEL, 0, -1);
}

void CItemInfoDlg::ReloadCodes(bool fill)
{
    SetItemText(IDC_ITEM_COMMENT, L"");
    m_commentPending = false;
    m_commentLoaded = 0;
    KillTimer(m_hWnd, CommentTimer);
    SetItemText(IDC_ITEM_CODENAME, L"");
    SetItemText(IDC_ITEM_CODE, L"");
    HWND list = GetDlgItem(IDC_ITEM_CODELIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    m_codes.clear();
    if (!fill || !m_record)
        return;
    const CRegInfo& reg = m_record->RegInfo;
    // The edit control lays out the whole comment, which may run to megabytes: it goes in only
    // when the comment is to be seen, not with every selection on the basic tab.
    m_commentPending = true;
    if (m_currentTab == 1)
        LoadPendingComment();
    const int count = std::min(reg.CodeName.GetSize(), reg.Code.GetSize());
    size_t characters = 0;
    for (int i = 0; i < count; ++i)
        characters += reg.CodeName[i].size() + 1;
    // Thousands of codes go in as one change: room reserved once, drawn once.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_INITSTORAGE, static_cast<WPARAM>(count), static_cast<LPARAM>(characters * sizeof(wchar_t)));
    m_codes.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(reg.CodeName[i].c_str()));
        m_codes.push_back(reg.Code[i]);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CItemInfoDlg::LoadPendingComment()
{
    if (!m_commentPending || !m_record)
        return;
    const std::wstring& comment = m_record->RegInfo.Comment;
    // Shown read-only, a long comment comes in parts: its first screens at once, the rest between
    // the user's input, so the pane answers at once whatever the comment's size.
    if (m_mode != ItemInfoView || comment.size() <= CommentFirstPart) {
        m_commentPending = false;
        SetItemText(IDC_ITEM_COMMENT, comment);
        return;
    }
    if (m_commentLoaded > 0)
        return;  // its parts are coming already
    m_commentLoaded = PartEnd(comment, 0, CommentFirstPart);
    SetItemText(IDC_ITEM_COMMENT, comment.substr(0, m_commentLoaded));
    SetTimer(m_hWnd, CommentTimer, USER_TIMER_MINIMUM, nullptr);
}

void CItemInfoDlg::LoadNextCommentParts()
{
    if (!m_commentPending || !m_record || m_mode != ItemInfoView) {
        KillTimer(m_hWnd, CommentTimer);
        return;
    }
    const std::wstring& comment = m_record->RegInfo.Comment;
    HWND editor = GetDlgItem(IDC_ITEM_COMMENT);
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
    const LRESULT firstLine = SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageW(editor, WM_SETREDRAW, FALSE, 0);
    // Parts go in back to back until the user does something, or a quarter of a second is over
    // and the pane is painted. The editor's work per part grows with what it holds already, so
    // parts are large, a sixteenth of the comment, which keeps the whole within a few per cent of
    // one plain fill. A long paragraph without line breaks costs the editor far more per
    // character, growing with the square of the part: there parts are small.
    const size_t largestPart = std::max(CommentPart, comment.size() / 16);
    const DWORD start = GetTickCount();
    do {
        const size_t partSize = HasLongParagraph(comment, m_commentLoaded, largestPart) ? CommentFirstPart : largestPart;
        const size_t end = PartEnd(comment, m_commentLoaded, partSize);
        const std::wstring part = comment.substr(m_commentLoaded, end - m_commentLoaded);
        const WPARAM at = static_cast<WPARAM>(GetWindowTextLengthW(editor));
        SendMessageW(editor, EM_SETSEL, at, static_cast<LPARAM>(at));
        SendMessageW(editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
        m_commentLoaded = end;
    } while (m_commentLoaded < comment.size() && GetTickCount() - start < 250 && !HIWORD(GetQueueStatus(QS_INPUT)));
    // The reader's place and selection stay where they were.
    SendMessageW(editor, EM_SETSEL, selectionStart, static_cast<LPARAM>(selectionEnd));
    const LRESULT nowFirst = SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageW(editor, EM_LINESCROLL, 0, static_cast<LPARAM>(firstLine - nowFirst));
    SendMessageW(editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editor, nullptr, TRUE);
    if (m_commentLoaded >= comment.size()) {
        m_commentPending = false;
        KillTimer(m_hWnd, CommentTimer);
    }
}

bool CItemInfoDlg::HasLongParagraph(const std::wstring& text, size_t from, size_t size)
{
    constexpr size_t LongParagraph = 8 * 1024;
    const size_t end = std::min(text.size(), from + size);
    size_t lineStart = from;
    for (size_t at = from; at < end; ++at) {
        if (text[at] == L'\n')
            lineStart = at + 1;
        else if (at - lineStart >= LongParagraph)
            return true;
    }
    return false;
}

size_t CItemInfoDlg::PartEnd(const std::wstring& text, size_t from, size_t size)
{
    size_t end = std::min(text.size(), from + size);
    if (end < text.size()) {
        // Never between a surrogate pair, nor between a carriage return and its line feed.
        const wchar_t last = text[end - 1];
        if ((last >= 0xD800 && last <= 0xDBFF) || last == L'\r')
            --end;
    }
    return end;
}

bool CItemInfoDlg::CollectFields()
{
    if (!m_record)
        return false;
    const std::wstring name = TrimText(ItemText(IDC_ITEM_NAME));
    if (name.empty()) {
        ShowInformation(m_hWnd, NameMissingText);
        SetFocus(GetDlgItem(IDC_ITEM_NAME));
        return false;
    }
    const double typedPrice = TypedPrice(TrimText(ItemText(IDC_ITEM_PRICE)));
    float price = static_cast<float>(typedPrice);
    // The amount must fit the file's nine characters; refused before anything changes.
    if (!IsStorablePrice(price)) {
        ShowInformation(m_hWnd, PriceTooHighText);
        if (IsWindowVisible(GetDlgItem(IDC_ITEM_PRICE))) {
            SetFocus(GetDlgItem(IDC_ITEM_PRICE));
            SendMessageW(GetDlgItem(IDC_ITEM_PRICE), EM_SETSEL, 0, -1);
        }
        return false;
    }

    // Held as the file keeps it (two decimals), so that an amount that rounds to nothing is free
    // now and not only after the next start.
    price = ParseDecimalFloat(FormatPrice(price));

    // Everything is gathered into a scratch record first: the pane's record changes only once
    // every value is known to come back from the file.
    CSoftware collected;
    CBasicInfo& basic = collected.BasicInfo;
    CRegInfo& reg = collected.RegInfo;
    basic.Name = name;
    basic.Version = TrimText(ItemText(IDC_ITEM_VERSION));
    basic.Company = TrimText(ItemText(IDC_ITEM_COMPANY));
    basic.Website = TrimText(ItemText(IDC_ITEM_WEBSITE));
    basic.Price.Value = price;
    basic.Price.Currency = Choice(IDC_ITEM_CURRENCY);
    basic.Category = Choice(IDC_ITEM_CATEGORY);
    basic.Type = price == 0.0f ? 0 : Choice(IDC_ITEM_TYPE);
    reg.UserName = TrimText(ItemText(IDC_ITEM_USERNAME));
    reg.UserCompany = TrimText(ItemText(IDC_ITEM_USERCOMPANY));
    reg.UserEmail = TrimText(ItemText(IDC_ITEM_USEREMAIL));
    // A comment not wholly in its editor was never changed there.
    reg.Comment = m_commentPending ? m_record->RegInfo.Comment : ItemText(IDC_ITEM_COMMENT);
    HWND list = GetDlgItem(IDC_ITEM_CODELIST);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && i < static_cast<int>(m_codes.size()); ++i) {
        reg.CodeName.Add(ListEntry(list, i));
        reg.Code.Add(m_codes[static_cast<size_t>(i)]);
    }
    collected.InstallerInfo.InstallerPath = m_record->InstallerInfo.InstallerPath;
    collected.InstallerInfo.OriginalPath = m_record->InstallerInfo.OriginalPath;
    collected.InstallerInfo.AttachMode = m_record->InstallerInfo.AttachMode;
    collected.ExtraInfo = m_record->ExtraInfo;
    collected.ExtraInfo.PurchaseDate = PickedDate(IDC_ITEM_PURCHASE_DATE);
    collected.ExtraInfo.ExpiryDate = PickedDate(IDC_ITEM_EXPIRY_DATE);
    StoredField broken = FirstFieldNotReadBack(collected);
    if (broken != StoredField::NoField) {
        ShowInformation(m_hWnd, NotStorableText(StoredFieldName(broken)));
        return false;
    }

    CBasicInfo& target = m_record->BasicInfo;
    target.Name = basic.Name;
    target.Version = basic.Version;
    target.Company = basic.Company;
    target.Website = basic.Website;
    target.Price = basic.Price;
    target.Category = basic.Category;
    target.Type = basic.Type;
    m_record->RegInfo.UserName = reg.UserName;
    m_record->RegInfo.UserCompany = reg.UserCompany;
    m_record->RegInfo.UserEmail = reg.UserEmail;
    m_record->RegInfo.Comment = reg.Comment;
    m_record->RegInfo.CodeName = reg.CodeName;
    m_record->RegInfo.Code = reg.Code;
    m_record->ExtraInfo.PurchaseDate = collected.ExtraInfo.PurchaseDate;
    m_record->ExtraInfo.ExpiryDate = collected.ExtraInfo.ExpiryDate;
    for (int id : LicenceEditors)
        SetPickedDate(id, L"");
    for (int id : {IDC_ITEM_NAME, IDC_ITEM_VERSION, IDC_ITEM_COMPANY, IDC_ITEM_WEBSITE, IDC_ITEM_PRICE,
                   IDC_ITEM_USERNAME, IDC_ITEM_USERCOMPANY, IDC_ITEM_USEREMAIL, IDC_ITEM_COMMENT})
        SetItemText(id, L"");
    for (int id : {IDC_ITEM_CURRENCY, IDC_ITEM_CATEGORY, IDC_ITEM_TYPE})
        SetChoice(id, 0);

    AddRecordToHistory(*m_record,
                       [this](HistoryListId history, const std::wstring& value) { AddHistoryToPanes(history, value); });
    return true;
}

void CItemInfoDlg::OnModify()
{
    if (m_mode != ItemInfoView || !m_record)
        return;
    SetMode(ItemInfoEdit);
    FillEditors();
}

void CItemInfoDlg::OnApply()
{
    if (m_mode != ItemInfoEdit || !m_record)
        return;
    const std::wstring company = m_record->BasicInfo.Company;
    const int category = m_record->BasicInfo.Category;
    const int type = m_record->BasicInfo.Type;
    if (!CollectFields())
        return;
    if (!SaveSoftwareFile(*m_record))
        ShowError(m_hWnd, SaveFailedText);
    ReloadCodes(true);
    if (!m_codes.empty()) {
        SendMessageW(GetDlgItem(IDC_ITEM_CODELIST), LB_SETCURSEL, 0, 0);
        SetItemText(IDC_ITEM_CODE, m_codes.front());
    }
    SetMode(ItemInfoView);
    const CBasicInfo& now = m_record->BasicInfo;
    const bool regroup = (now.Company != company && !SameTextOtherCase(now.Company, company)) ||
                         now.Category != category || now.Type != type;
    if (regroup && m_commandTarget)
        SendMessageW(m_commandTarget, MSG_COMMAND, CMD_CLASSIFY, reinterpret_cast<LPARAM>(m_commandSender));
    else if (!regroup && m_repaintList)
        m_repaintList();
}

void CItemInfoDlg::OnCancelEdit()
{
    if (m_mode != ItemInfoEdit)
        return;
    m_mode = ItemInfoView;
    ReloadCodes(true);
    Relayout();
}

void CItemInfoDlg::OnTabChange()
{
    int tab = m_tabs.GetCurSel();
    if (tab < 0 || tab == m_currentTab)
        return;
    m_currentTab = tab;
    m_linkHover = false;
    Relayout();
    if (m_mode == ItemInfoAdd && m_pageChanged)
        m_pageChanged();
}

void CItemInfoDlg::OnAddCode()
{
    const std::wstring name = TrimText(ItemText(IDC_ITEM_CODENAME));
    const std::wstring code = TrimText(ItemText(IDC_ITEM_CODE));
    if (name.empty() || code.empty()) {
        ShowInformation(m_hWnd, CodeMissingText);
        return;
    }
    HWND list = GetDlgItem(IDC_ITEM_CODELIST);
    // Letter case counts: "Serial" and "serial" are two codes.
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (ListEntry(list, i) == name) {
            ShowInformation(m_hWnd, CodeNameTakenText);
            return;
        }
    }
    m_codes.push_back(code);
    int position = static_cast<int>(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str())));
    SendMessageW(list, LB_SETCURSEL, position, 0);
    SetItemText(IDC_ITEM_CODENAME, L"");
    SetItemText(IDC_ITEM_CODE, L"");
    if (AddCodeNameToHistory(name)) {
        AddToCombo(IDC_ITEM_CODENAME, name);
        if (!IsMainPane() && MainPane && MainPane->m_hWnd)
            MainPane->AddToCombo(IDC_ITEM_CODENAME, name);
    }
}

void CItemInfoDlg::OnRemoveCode()
{
    HWND list = GetDlgItem(IDC_ITEM_CODELIST);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    if (count <= 0)
        return;
    const int selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (selected < 0 || selected >= count) {
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        return;
    }
    SendMessageW(list, LB_DELETESTRING, selected, 0);
    if (selected < static_cast<int>(m_codes.size()))
        m_codes.erase(m_codes.begin() + selected);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void CItemInfoDlg::OnCodeSelected()
{
    if (m_mode != ItemInfoView)
        return;
    const int selected = static_cast<int>(SendMessageW(GetDlgItem(IDC_ITEM_CODELIST), LB_GETCURSEL, 0, 0));
    if (selected >= 0 && selected < static_cast<int>(m_codes.size()))
        SetItemText(IDC_ITEM_CODE, m_codes[static_cast<size_t>(selected)]);
}

void CItemInfoDlg::OnEditCode()
{
    if (m_mode == ItemInfoView)
        return;
    HWND list = GetDlgItem(IDC_ITEM_CODELIST);
    const int selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (selected < 0 || selected >= static_cast<int>(m_codes.size()))
        return;
    const std::wstring name = ListEntry(list, selected);
    std::wstring code = m_codes[static_cast<size_t>(selected)];
    CEditCodeDlg editor(name, code, m_hWnd);
    if (editor.DoModal() == IDOK)
        m_codes[static_cast<size_t>(selected)] = code;
}

void CItemInfoDlg::OnPageMouseMove(POINT point)
{
    m_linkHover = m_mode == ItemInfoView && m_currentTab == 0 && m_record &&
                  !m_record->BasicInfo.Website.empty() && PtInRect(&m_basicValues[3], point);
    if (m_linkHover)
        SetCursor(m_handCursor);
}

bool CItemInfoDlg::OnPageClick(POINT point)
{
    OnPageMouseMove(point);
    if (!m_linkHover)
        return false;
    OpenLink(m_hWnd, m_record->BasicInfo.Website);
    return true;
}

HBRUSH CItemInfoDlg::ControlColour(HDC dc, HWND control) const
{
    const bool editable = IsEditClass(control) && !(GetWindowLongW(control, GWL_STYLE) & ES_READONLY);
    SetBkColor(dc, editable ? White : PaneColour);
    return editable ? m_whiteBrush.Get() : m_paneBrush.Get();
}

bool CItemInfoDlg::OnCommand(WORD id, WORD notifyCode, HWND)
{
    switch (id) {
    case IDC_ITEM_MODIFY:
        if (notifyCode == BN_CLICKED)
            OnModify();
        return true;
    case IDC_ITEM_APPLY:
        if (notifyCode == BN_CLICKED)
            OnApply();
        return true;
    case IDC_ITEM_INSTALLER:
        // The main window shows the facts of the record this pane shows.
        if (notifyCode == BN_CLICKED && m_commandTarget)
            PostMessageW(m_commandTarget, MSG_COMMAND, CMD_INSTALLER_DETAILS, reinterpret_cast<LPARAM>(m_hWnd));
        return true;
    case IDC_ITEM_CANCEL:
        if (notifyCode == BN_CLICKED)
            OnCancelEdit();
        return true;
    case IDC_ITEM_ADDCODE:
        if (notifyCode == BN_CLICKED)
            OnAddCode();
        return true;
    case IDC_ITEM_REMOVECODE:
        if (notifyCode == BN_CLICKED)
            OnRemoveCode();
        return true;
    case IDC_ITEM_CODELIST:
        if (notifyCode == LBN_SELCHANGE)
            OnCodeSelected();
        else if (notifyCode == LBN_DBLCLK)
            OnEditCode();
        return true;
    case IDC_ITEM_CODE:
        if (notifyCode == EN_SETFOCUS)
            SendMessageW(GetDlgItem(IDC_ITEM_CODE), EM_SETSEL, 0, -1);
        return true;
    default:
        return false;
    }
}

INT_PTR CItemInfoDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_ITEM_TABS && header->code == TCN_SELCHANGE) {
            OnTabChange();
            handled = true;
        }
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_paneBrush.Get());
        handled = true;
        return TRUE;
    }
    case WM_TIMER:
        if (wParam != CommentTimer)
            return 0;
        handled = true;
        LoadNextCommentParts();
        return 0;
    case WM_CTLCOLORDLG:
        handled = true;
        return reinterpret_cast<INT_PTR>(m_paneBrush.Get());
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        handled = true;
        return reinterpret_cast<INT_PTR>(ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return 0;
    }
}
