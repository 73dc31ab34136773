#include "DetailsTestSupport.h"

#include <commctrl.h>

#include <deque>

#include "model/Catalogue.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/SoftwareText.h"

namespace {
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == 2024) {
        CHostWindow::Commands().push_back({wParam, reinterpret_cast<HWND>(lParam)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t HostClass[] = L"QuorvaneDetailsTestHost";

struct ScriptStep {
    std::wstring Title;
    std::function<void(HWND)> Action;
};
std::deque<ScriptStep> Steps;
UINT_PTR ScriptTimer = 0;
int IdleTicks = 0;

struct FindRequest {
    const std::wstring* Title;
    HWND Found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter)
{
    auto* request = reinterpret_cast<FindRequest*>(parameter);
    wchar_t className[16]{};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    if (request->Title && TextOf(window) != *request->Title)
        return TRUE;
    request->Found = window;
    return FALSE;
}
}  // namespace

CHostWindow::CHostWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = HostClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, HostClass, L"Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 821, 707,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_toolbar = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, m_window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    Commands().clear();
}

CHostWindow::~CHostWindow()
{
    DestroyWindow(m_window);
}

std::vector<ReceivedCommand>& CHostWindow::Commands()
{
    static std::vector<ReceivedCommand> commands;
    return commands;
}

void CDetailsTest::SetUp()
{
    CreateDirectoryW((m_temp / L"AppData").c_str(), nullptr);
    SetPathsFrom(m_temp / L"AppData");
    CreateBaseFolder();
    CreateDirectoryW(HistoryFolder.c_str(), nullptr);
    CreateDirectoryW(DataFolder().c_str(), nullptr);
    Settings = CConfigurations();
    Settings.DataFolder = DataFolder();
    ClearHistoryLists();
    SoftwareList.RemoveAll();
}

void CDetailsTest::TearDown()
{
    ClearHistoryLists();
    SoftwareList.RemoveAll();
    Settings = CConfigurations();
}

std::wstring CDetailsTest::HistoryFile(const std::wstring& name) const
{
    return HistoryFolder + name;
}

std::unique_ptr<CSoftware> MakeRecord(const std::wstring& id, const std::wstring& name, const std::wstring& company,
                                      float price, int category, int type)
{
    auto record = std::make_unique<CSoftware>();
    ParseSoftwareId(id, *record);
    record->BasicInfo.Name = name;
    record->BasicInfo.Company = company;
    record->BasicInfo.Price.Value = price;
    record->BasicInfo.Category = category;
    record->BasicInfo.Type = type;
    return record;
}

void TypeText(HWND dialog, int id, const std::wstring& text)
{
    HWND control = GetDlgItem(dialog, id);
    SetWindowTextW(control, text.c_str());
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(control));
}

std::wstring TextOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring ItemTextOf(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void ClickTab(HWND tabs, int index)
{
    RECT rect{};
    SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(tabs, WM_LBUTTONUP, 0, point);
}

int ComboSelection(HWND dialog, int id)
{
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

void SelectCombo(HWND dialog, int id, int position)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, position, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::vector<std::wstring> ListTexts(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::wstring> texts;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::wstring> ComboEntries(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    std::vector<std::wstring> texts;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        texts.push_back(text);
    }
    return texts;
}

bool IsShown(HWND dialog, int id)
{
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<COLORREF> CapturePixels(HWND window, const RECT& rect)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC source = GetDC(window);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    ReleaseDC(window, source);
    GdiFlush();
    std::vector<COLORREF> pixels;
    const auto* data = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i)
        pixels.push_back(RGB(data[i * 4 + 2], data[i * 4 + 1], data[i * 4]));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

CModalScript::CModalScript()
{
    Steps.clear();
    IdleTicks = 0;
    ScriptTimer = SetTimer(nullptr, 0, 10, Tick);
}

CModalScript::~CModalScript()
{
    KillTimer(nullptr, ScriptTimer);
    ScriptTimer = 0;
    EXPECT_TRUE(Steps.empty()) << "a scripted dialog never appeared";
    Steps.clear();
}

void CModalScript::Then(const std::wstring& title, std::function<void(HWND)> step)
{
    Steps.push_back({title, std::move(step)});
}

bool CModalScript::Done() const
{
    return Steps.empty();
}

void CALLBACK CModalScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (Steps.empty())
        return;
    FindRequest request{&Steps.front().Title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&request));
    if (!request.Found) {
        if (++IdleTicks < 500)
            return;
        ADD_FAILURE() << "no dialog titled the scripted way appeared";
        Steps.clear();
        FindRequest any{nullptr, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&any));
        if (any.Found)
            PostMessageW(any.Found, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    IdleTicks = 0;
    // Taken off first: the step may open a nested dialog whose own loop runs the next one.
    std::function<void(HWND)> action = std::move(Steps.front().Action);
    Steps.pop_front();
    action(request.Found);
}
