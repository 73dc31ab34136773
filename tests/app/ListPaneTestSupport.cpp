#include "tests/app/ListPaneTestSupport.h"

#include <commctrl.h>

#include "app/Commands.h"
#include "installer/IconCache.h"

namespace {
constexpr wchar_t HostClass[] = L"QuorvaneTestHost";
}  // namespace

CHostWindow::CHostWindow()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = HostClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassExW(&windowClass);
    m_window = CreateWindowExW(0, HostClass, L"Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 860, 740, nullptr,
                               nullptr, GetModuleHandleW(nullptr), this);
    m_sortBox = CreateWindowExW(0, L"ComboBox", nullptr, WS_CHILD | CBS_DROPDOWNLIST, 530, 10, 120, 200, m_window,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    for (const wchar_t* key : {L"None", L"Name", L"Price"})
        SendMessageW(m_sortBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key));
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
}

CHostWindow::~CHostWindow()
{
    if (m_window)
        DestroyWindow(m_window);
    PumpMessages();
}

std::vector<PostedCommand> CHostWindow::TakeCommands()
{
    PumpMessages();
    return std::exchange(m_commands, {});
}

LRESULT CALLBACK CHostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<CHostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host && message == MSG_COMMAND) {
        host->m_commands.push_back({wParam, reinterpret_cast<HWND>(lParam)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PumpMessages()
{
    // Bounded: a window that keeps posting to itself must not hang a test.
    MSG message;
    for (int i = 0; i < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

CSoftware* AddRecord(const std::wstring& name, const std::wstring& company, int category, int type, float price,
                     const std::wstring& website)
{
    auto* record = new CSoftware;
    record->BasicInfo.Name = name;
    record->BasicInfo.Company = company;
    record->BasicInfo.Category = category;
    record->BasicInfo.Type = type;
    record->BasicInfo.Price.Value = price;
    record->BasicInfo.Website = website;
    SoftwareList.Add(record);
    return record;
}

void ClearCatalogue()
{
    GroupList.RemoveAll();
    GroupNames.RemoveAll();
    SoftwareList.IsOwner = 1;
    SoftwareList.RemoveAll();
    SoftwareList.SortKey = SortNone;
}

void Classify(int mode)
{
    ASSERT_TRUE(ClassifyCatalogue(SoftwareList, mode, GroupList, GroupNames));
    CurrentClassifyMode = mode;
}

POINT EntryPoint(const CSWListBox& list, int index, int x)
{
    RECT rect{};
    SendMessageW(list.GetSafeHwnd(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return POINT{rect.left + x, (rect.top + rect.bottom) / 2};
}

void ClickAt(HWND list, POINT point, WPARAM keys)
{
    SendMessageW(list, WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageW(list, WM_LBUTTONUP, keys, MAKELPARAM(point.x, point.y));
}

std::vector<std::wstring> TabTexts(HWND tabs)
{
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<CSoftware*> Shown(const CSWListBox& list)
{
    std::vector<CSoftware*> records;
    for (int i = 0; i < list.Count(); ++i)
        records.push_back(list.RecordAt(i));
    return records;
}

void SetControlKey(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE state = down ? 0x80 : 0;
    keys[VK_CONTROL] = state;
    keys[VK_LCONTROL] = state;
    SetKeyboardState(keys);
}

void ListPaneTest::SetUp()
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    ClearCatalogue();
    InstallerIcons.Clear();
    CurrentClassifyMode = 0;
}

void ListPaneTest::TearDown()
{
    SetControlKey(false);
    Pane.reset();
    PumpMessages();
    ClearCatalogue();
    InstallerIcons.Clear();
}

void ListPaneTest::OpenPane()
{
    Pane = std::make_unique<CSWListDlg>();
    ASSERT_TRUE(Pane->Create(Host.Handle()));
    Pane->Connect(&Details, Host.SortBox());
    SetWindowPos(Pane->GetSafeHwnd(), nullptr, 0, 74, CSWListDlg::PaneWidth, CSWListDlg::PaneHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Pane->GetSafeHwnd(), SW_SHOWNOACTIVATE);
    PumpMessages();
}
