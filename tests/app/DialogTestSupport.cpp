#include "tests/app/DialogTestSupport.h"

#include "model/Catalogue.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"

void CDialogTest::SetUp()
{
    SetPathsFrom(Root / L"AppData");
    CreateDirectoryW((Root / L"AppData").c_str(), nullptr);
    CreateBaseFolder();
    ResetProcessState();
}

void CDialogTest::TearDown()
{
    ResetProcessState();
}

void CDialogTest::ResetProcessState()
{
    Settings = CConfigurations();
    GroupList.RemoveAll();
    GroupNames.RemoveAll();
    SoftwareList.IsOwner = 1;
    SoftwareList.RemoveAll();
    SoftwareList.SortKey = 0;
    CurrentClassifyMode = 0;
    ClearHistoryLists();
}

namespace {
CModalScript* RunningScript = nullptr;
constexpr DWORD ScriptTimeLimit = 20000;
// Ticks with nothing left to do before an open dialog counts as abandoned.
constexpr int IdleTickLimit = 50;
}  // namespace

CModalScript::CModalScript(std::function<HWND()> dialog) : m_dialog(std::move(dialog)) {}

CModalScript::~CModalScript()
{
    if (m_timer)
        KillTimer(nullptr, m_timer);
    if (RunningScript == this)
        RunningScript = nullptr;
}

CModalScript& CModalScript::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

CModalScript& CModalScript::Do(std::function<void()> action)
{
    return Then([action = std::move(action)] {
        action();
        return true;
    });
}

INT_PTR CModalScript::Run(const std::function<INT_PTR()>& run)
{
    RunningScript = this;
    m_deadline = GetTickCount() + ScriptTimeLimit;
    m_timer = SetTimer(nullptr, 0, 10, Tick);
    INT_PTR result = run();
    KillTimer(nullptr, m_timer);
    m_timer = 0;
    RunningScript = nullptr;
    EXPECT_FALSE(m_abandoned) << "the dialog was still open after its script";
    return result;
}

void CALLBACK CModalScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (RunningScript)
        RunningScript->OnTick();
}

void CModalScript::OnTick()
{
    HWND dialog = m_dialog();
    if (!dialog || !IsWindow(dialog))
        return;
    const bool late = static_cast<LONG>(GetTickCount() - m_deadline) > 0;
    if (m_next == m_steps.size() || late) {
        if (++m_idleTicks > IdleTickLimit || late) {
            m_abandoned = true;
            EndDialog(dialog, AbandonedResult);
            // A window with a loop of its own (the info tip) ends on its cancel action.
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        return;
    }
    const size_t index = m_next;
    // Advance first: the step may open a modal loop whose ticks run the following steps.
    m_next = index + 1;
    if (!m_steps[index]())
        m_next = index;
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void ClickStatic(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

CClientPixels::CClientPixels(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    if (m_width <= 0 || m_height <= 0)
        return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, m_width, m_height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    m_pixels.assign(pixels, pixels + static_cast<size_t>(m_width) * m_height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, windowDc);
}

COLORREF CClientPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const DWORD pixel = m_pixels[static_cast<size_t>(y) * m_width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int CClientPixels::Count(const RECT& rect, COLORREF colour) const
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x)
            count += At(x, y) == colour;
    }
    return count;
}

void SetText(HWND dialog, int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring TextOf(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

std::vector<std::wstring> ListEntries(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]))));
        entries.push_back(text);
    }
    return entries;
}

int ListSelection(HWND dialog, int id)
{
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

void SelectEntry(HWND dialog, int id, int index)
{
    SendMessageW(GetDlgItem(dialog, id), CB_SETCURSEL, index, 0);
}

RECT ControlRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WindowRectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

HWND OwnWindowTitled(const wchar_t* title)
{
    struct CSearch {
        const wchar_t* Title;
        HWND Found;
    } search{title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<CSearch*>(data);
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            if (IsWindowVisible(window) && std::wstring(text) == s->Title) {
                s->Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

bool SaveWindowBitmap(HWND window, const std::wstring& path)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetWindowDC(window);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t size = stride * static_cast<size_t>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + size);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), size);
    DeleteObject(bitmap);
    return WriteFileBytes(path, bytes);
}

std::string SettingsBytes(int attachMode, const std::string& dataFolder, int show, int classify, int sort)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n<AttachMode>\n" + std::to_string(attachMode) +
           "</AttachMode>\n<DataFolder>\n" + dataFolder + "</DataFolder>\n<ShowAttachModeSelectDlg>\n" +
           std::to_string(show) + "</ShowAttachModeSelectDlg>\n<DefaultClassifyMode>\n" + std::to_string(classify) +
           "</DefaultClassifyMode>\n<DefaultSortKey>\n" + std::to_string(sort) + "</DefaultSortKey>\n"
           "</Configurations>\n";
}

std::string HistoryBytes(const std::vector<std::wstring>& entries)
{
    std::string bytes;
    for (const std::wstring& entry : entries) {
        for (wchar_t unit : entry + L"\n") {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
        }
    }
    return bytes;
}
