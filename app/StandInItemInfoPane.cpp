#include "app/StandInItemInfoPane.h"

#include <string>

#include "framework/App.h"
#include "framework/Gdi.h"
#include "model/Software.h"

namespace {
const wchar_t StandInClassName[] = L"QuorvaneStandInItemInfoPane";
const COLORREF PaneColour = RGB(228, 236, 247);

bool RegisterStandInClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(ResourceInstance(), StandInClassName, &windowClass))
        return true;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ResourceInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = StandInClassName;
    return RegisterClassExW(&windowClass) != 0;
}
}  // namespace

CStandInItemInfoPane::~CStandInItemInfoPane()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

bool CStandInItemInfoPane::Create(HWND parent)
{
    if (!RegisterStandInClass(&WindowProc))
        return false;
    CreateWindowExW(0, StandInClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, PaneWidth, m_height, parent, nullptr,
                    ResourceInstance(), this);
    return m_hWnd != nullptr;
}

void CStandInItemInfoPane::SetRecord(CSoftware* record)
{
    m_record = record;
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

int CStandInItemInfoPane::SetMode(int mode)
{
    int previous = m_mode;
    m_mode = mode;
    return previous;
}

void CStandInItemInfoPane::SetPaneHeight(int height)
{
    m_height = height;
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, 0, 0, PaneWidth, m_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CStandInItemInfoPane::Relayout()
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CStandInItemInfoPane::Paint(HDC dc) const
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    CScopedBrush background(CreateSolidBrush(PaneColour));
    FillRect(dc, &client, background.Get());
    if (!m_record)
        return;
    std::wstring text = m_record->BasicInfo.Name + L"\n" + m_record->BasicInfo.Version + L"\n" +
                        m_record->BasicInfo.Company;
    RECT area{client.left + 12, client.top + 12, client.right - 12, client.bottom - 12};
    SetBkMode(dc, TRANSPARENT);
    CScopedSelection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, text.c_str(), -1, &area, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT CALLBACK CStandInItemInfoPane::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* created = static_cast<CStandInItemInfoPane*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->m_hWnd = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* pane = reinterpret_cast<CStandInItemInfoPane*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (pane) {
            CPaintDC paint(window);
            pane->Paint(paint.Get());
            return 0;
        }
        break;
    case WM_NCDESTROY:
        if (pane)
            pane->m_hWnd = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
