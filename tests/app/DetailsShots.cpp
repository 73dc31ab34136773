// Captures the details pane, the add-software dialog and the code editor with sample records, as
// BMP files in the folder given on the command line (scripts/details-shots.sh turns them into the
// pictures in docs/). Runs under Wine's null display driver: every window paints off-screen and is
// copied from its window DC.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/AddProductDlg.h"
#include "app/EditCodeDlg.h"
#include "app/ItemInfoDlg.h"
#include "framework/Gdi.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "storage/History.h"
#include "storage/SoftwareText.h"

namespace {
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetWindowDC(window)) {}
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    ~CWindowDC() { ReleaseDC(m_window, m_dc); }
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// The DPI to take the pictures at: QV_SHOT_DPI, else the display's.
UINT ShotDpi()
{
    wchar_t value[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"QV_SHOT_DPI", value, 16);
    const int dpi = length && length < 16 ? _wtoi(value) : 0;
    return dpi >= 96 && dpi <= 480 ? static_cast<UINT>(dpi) : WindowDpi(nullptr);
}

bool SaveWindow(HWND window, const std::wstring& path)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    CScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    CMemoryDC memory;
    {
        CScopedSelection select(memory.Get(), bitmap.Get());
        // The whole window, the pane's static edge included.
        CWindowDC source(window);
        BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    bool written = false;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(bits, stride, static_cast<size_t>(height), out);
        written = fclose(out) == 0;
    }
    return written;
}

void ClickTab(HWND tabs, int index)
{
    RECT rect{};
    SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(tabs, WM_LBUTTONUP, 0, point);
}

void FillSample(CSoftware& record)
{
    ParseSoftwareId(L"6F1C2A9E-4B7D-4E21-9A3C-2D5E8F107B44", record);
    record.BasicInfo.Name = L"Clipmate Pro";
    record.BasicInfo.Version = L"4.2.1";
    record.BasicInfo.Company = L"Acme Labs";
    record.BasicInfo.Website = L"http://www.acme-labs.example";
    record.BasicInfo.Price = SoftwarePrice{29.9f, 6};
    record.BasicInfo.Category = 5;
    record.BasicInfo.Type = 1;
    record.RegInfo.UserName = L"Jo Park";
    record.RegInfo.UserCompany = L"Park & Sons";
    record.RegInfo.UserEmail = L"jo@parkandsons.example";
    record.RegInfo.Comment = L"Bought at the spring sale.\r\nThe licence covers two machines.";
    record.RegInfo.CodeName.Add(L"Serial");
    record.RegInfo.Code.Add(L"CMP-4F2K-91QZ-7XTA");
    record.RegInfo.CodeName.Add(L"Upgrade 2025");
    record.RegInfo.Code.Add(L"UPG-2025-0042-LQ");
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    std::wstring folder = argc > 1 ? argv[1] : L".";
    if (folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    HistoryLists.Company.Add(L"Acme Labs");
    HistoryLists.Company.Add(L"Brushworks");
    HistoryLists.CodeName.Add(L"Serial");
    bool ok = true;

    // The pane as the main window holds it, on a plain frame of the same colour.
    CSoftware record;
    FillSample(record);
    const UINT dpi = ShotDpi();
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40, ScaleToDpi(300, dpi),
                                ScaleToDpi(600, dpi), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    {
        CItemInfoDlg pane;
        pane.SetPaneHeight(600);
        pane.SetRecord(&record);
        pane.Create(host);
        pane.SetDpi(dpi);
        pane.SetPaneHeight(ScaleToDpi(600, dpi));
        HWND window = pane.GetSafeHwnd();
        ShowWindow(window, SW_SHOW);
        HWND tabs = GetDlgItem(window, IDC_ITEM_TABS);
        Pump();
        ok &= SaveWindow(window, folder + L"details-view.bmp");
        ClickTab(tabs, 1);
        SendMessageW(GetDlgItem(window, IDC_ITEM_CODELIST), LB_SETCURSEL, 0, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_ITEM_CODELIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_ITEM_CODELIST)));
        Pump();
        ok &= SaveWindow(window, folder + L"details-view-registration.bmp");
        ClickTab(tabs, 0);
        SendMessageW(GetDlgItem(window, IDC_ITEM_MODIFY), BM_CLICK, 0, 0);
        Pump();
        ok &= SaveWindow(window, folder + L"details-edit.bmp");
        ClickTab(tabs, 1);
        SetWindowTextW(GetDlgItem(window, IDC_ITEM_CODENAME), L"Site licence");
        SetWindowTextW(GetDlgItem(window, IDC_ITEM_CODE), L"SITE-77A1-QQ09");
        Pump();
        ok &= SaveWindow(window, folder + L"details-edit-registration.bmp");
    }
    DestroyWindow(host);

    // The add dialog on both pages, made modeless so that it can be captured between steps.
    CSoftware added;
    {
        CAddProductDlg dialog(&added, nullptr);
        dialog.Create(nullptr);
        dialog.SetDpi(dpi);
        HWND window = dialog.GetSafeHwnd();
        SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(window, SW_SHOW);
        HWND pane = dialog.Pane().GetSafeHwnd();
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_NAME), L"Tapedeck");
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_VERSION), L"2.1");
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_COMPANY), L"Reel Audio");
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_PRICE), L"149.50");
        SendMessageW(GetDlgItem(pane, IDC_ITEM_CATEGORY), CB_SETCURSEL, 10, 0);
        SendMessageW(GetDlgItem(pane, IDC_ITEM_TYPE), CB_SETCURSEL, 2, 0);
        SendMessageW(GetDlgItem(pane, IDC_ITEM_CURRENCY), CB_SETCURSEL, 18, 0);
        Pump();
        ok &= SaveWindow(window, folder + L"add-basic.bmp");
        ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 1);
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_USERNAME), L"Sam Reyes");
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_USEREMAIL), L"sam@example.org");
        SetWindowTextW(GetDlgItem(pane, IDC_ITEM_COMMENT), L"Studio copy, boxed.");
        SendMessageW(GetDlgItem(pane, IDC_ITEM_CODELIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Serial"));
        Pump();
        ok &= SaveWindow(window, folder + L"add-registration.bmp");
        DestroyWindow(window);
    }

    // The code editor, modeless for the same reason.
    {
        const std::wstring title = L"Serial";
        std::wstring code = L"CMP-4F2K-91QZ-7XTA";
        CEditCodeDlg dialog(title, code, nullptr);
        dialog.Create(nullptr);
        dialog.SetDpi(dpi);
        HWND window = dialog.GetSafeHwnd();
        SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(window, SW_SHOW);
        Pump();
        ok &= SaveWindow(window, folder + L"edit-code.bmp");
        DestroyWindow(window);
    }
    return ok ? 0 : 1;
}
