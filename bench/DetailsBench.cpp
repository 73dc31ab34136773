// Huge values in the details pane, under Wine, in one run: selecting a record whose comment is
// large, on each page of the pane, beside the bare platform edit control given the same text with
// the comment editor's styles and size; a huge name; and a record of many registration codes,
// loaded from its file and shown.
// Usage: details_bench [largest comment in KiB] [codes]   (default 4096 and 10000)

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/ItemInfoDlg.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"

namespace {
using Clock = std::chrono::steady_clock;

double Time(const std::function<void()>& step)
{
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// What the message loop does before it waits again, short of the timers that come later.
void PumpAllButTimers()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Prose in lines of about seventy characters, as a long pasted note would be.
std::wstring Prose(size_t characters)
{
    const wchar_t* const words[] = {L"licence", L"renewed", L"until", L"the", L"seat", L"moved", L"to",
                                    L"another", L"machine", L"after", L"support", L"answered"};
    std::wstring text;
    text.reserve(characters + 16);
    size_t line = 0;
    for (unsigned k = 0; text.size() < characters; ++k) {
        const std::wstring word = words[(k * 7) % 12];
        text += word;
        line += word.size() + 1;
        if (line > 70) {
            text += L"\r\n";
            line = 0;
        } else {
            text += L' ';
        }
    }
    text.resize(characters);
    return text;
}

void SelectPage(CItemInfoDlg& pane, int page)
{
    HWND tabs = GetDlgItem(pane.GetSafeHwnd(), IDC_ITEM_TABS);
    TabCtrl_SetCurSel(tabs, page);
    NMHDR header{tabs, IDC_ITEM_TABS, TCN_SELCHANGE};
    SendMessageW(pane.GetSafeHwnd(), WM_NOTIFY, IDC_ITEM_TABS, reinterpret_cast<LPARAM>(&header));
    Pump();
}

// Dispatches what is queued; the longest single message is how long input waited at worst.
double PumpTimingEach()
{
    double longest = 0;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        longest = std::max(longest, Time([&] { DispatchMessageW(&message); }));
    }
    return longest;
}

// Selecting the record, painted as the message loop would before the next input; and, when asked,
// the time until the comment's editor holds the whole comment, the message loop running meanwhile,
// and the longest the program went without answering input in all that time.
double ShowRecord(CItemInfoDlg& pane, CSoftware& record, CSoftware& plain, double* whole = nullptr,
                  double* longestBusy = nullptr)
{
    pane.SetRecord(&plain);
    Pump();
    const auto start = Clock::now();
    const double shown = Time([&] {
        pane.SetRecord(&record);
        PumpAllButTimers();
        RedrawWindow(pane.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    if (whole) {
        double longest = shown;
        while (!pane.IsCommentComplete()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            longest = std::max(longest, PumpTimingEach());
        }
        if (longestBusy)
            *longestBusy = longest;
        *whole = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    return shown;
}

// The bare edit control with the comment editor's styles and size, given the same text.
double BareEdit(HWND host, HWND comment, const std::wstring& text)
{
    RECT rect{};
    GetWindowRect(comment, &rect);
    const DWORD style = (static_cast<DWORD>(GetWindowLongW(comment, GWL_STYLE)) | WS_VISIBLE) & ~WS_DISABLED;
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(comment, GWL_EXSTYLE));
    HWND edit = CreateWindowExW(exStyle, L"EDIT", L"", style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                                host, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit, WM_SETFONT, SendMessageW(comment, WM_GETFONT, 0, 0), FALSE);
    const double ms = Time([&] {
        SetWindowTextW(edit, text.c_str());
        Pump();
        RedrawWindow(edit, nullptr, nullptr, RDW_UPDATENOW);
    });
    DestroyWindow(edit);
    return ms;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const size_t largestKib = argc > 1 ? static_cast<size_t>(_wtoi(argv[1])) : 4096;
    const int codes = argc > 2 ? _wtoi(argv[2]) : 10000;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring data = std::wstring(base) + L"qv_details_bench_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(data.c_str(), nullptr);
    Settings.DataFolder = data;

    HWND host = CreateWindowExW(0, L"STATIC", L"Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 821, 707,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CItemInfoDlg pane;
    pane.SetPaneHeight(600);
    if (!pane.Create(host)) {
        std::printf("the pane could not be created\n");
        return 1;
    }
    ShowWindow(pane.GetSafeHwnd(), SW_SHOW);
    CSoftware plain;
    plain.BasicInfo.Name = L"Plain";
    plain.RegInfo.Comment = L"A short note.";
    HWND comment = GetDlgItem(pane.GetSafeHwnd(), IDC_ITEM_COMMENT);
    SelectPage(pane, 1);
    pane.SetRecord(&plain);
    Pump();

    // The bare control is busy for all its time; the pane shows the comment's start at once and
    // answers input between the parts that follow, so "longest busy" is what the user waits at most.
    std::printf("comment of    basic page   registration page              bare edit   longest busy   whole\n"
                "                           shown      whole   longest busy              / bare      / bare\n");
    for (size_t kib = 64; kib <= largestKib; kib *= 4) {
        CSoftware record;
        record.BasicInfo.Name = L"Huge comment";
        record.RegInfo.Comment = Prose(kib * 1024);
        SelectPage(pane, 0);
        const double basic = ShowRecord(pane, record, plain);
        SelectPage(pane, 1);
        double whole = 0;
        double busy = 0;
        const double registration = ShowRecord(pane, record, plain, &whole, &busy);
        const bool complete = GetWindowTextLengthW(comment) == static_cast<int>(record.RegInfo.Comment.size());
        const double bare = BareEdit(host, comment, record.RegInfo.Comment);
        std::printf("%6zu KiB   %8.1f ms   %9.1f ms %9.1f ms   %9.1f ms   %7.1f ms   %8.2f   %6.2f%s\n", kib, basic,
                    registration, whole, busy, bare, busy / bare, whole / bare,
                    complete ? "" : "   (the editor does not hold the whole comment!)");
        pane.SetRecord(&plain);
        Pump();
    }

    {
        // One paragraph without line breaks: the edit control wraps it at a cost that grows with the
        // square of its length, so the bare control is timed on a small one only.
        CSoftware record;
        std::wstring paragraph = Prose(64 * 1024);
        for (wchar_t& character : paragraph)
            if (character == L'\r' || character == L'\n')
                character = L' ';
        record.RegInfo.Comment = paragraph;
        SelectPage(pane, 1);
        double whole = 0;
        double busy = 0;
        const double shown = ShowRecord(pane, record, plain, &whole, &busy);
        const double bare = BareEdit(host, comment, record.RegInfo.Comment);
        std::printf("one paragraph of 64 KiB: registration page shown %.1f ms, whole %.1f ms, longest busy %.1f ms, "
                    "bare edit %.1f ms, whole / bare %.2f\n", shown, whole, busy, bare, whole / bare);
        pane.SetRecord(&plain);
        Pump();
    }

    {
        CSoftware record;
        record.BasicInfo.Name = Prose(largestKib * 1024);
        record.BasicInfo.Company = record.BasicInfo.Name;
        record.RegInfo.UserName = record.BasicInfo.Name;
        SelectPage(pane, 0);
        const double basic = ShowRecord(pane, record, plain);
        SelectPage(pane, 1);
        const double registration = ShowRecord(pane, record, plain);
        std::printf("name, company and user name of %zu KiB each: basic page %.1f ms, registration page %.1f ms\n",
                    largestKib, basic, registration);
    }

    {
        CSoftware record;
        ParseSoftwareId(L"5EED0000-0000-4000-8000-00000000C0DE", record);
        record.BasicInfo.Name = L"Many codes";
        for (int k = 0; k < codes; ++k) {
            record.RegInfo.CodeName.Add(L"Seat " + std::to_wstring(k + 1));
            record.RegInfo.Code.Add(L"QV-" + std::to_wstring(100000 + k) + L"-ABCD-EFGH");
        }
        SaveSoftwareFile(record);
        CSoftware loaded;
        const double load = Time([&] { LoadSoftwareFile(loaded, data + FormatSoftwareId(record)); });
        SelectPage(pane, 1);
        const double show = ShowRecord(pane, loaded, plain);
        std::printf("%d registration codes: loaded from the file in %.1f ms, shown in %.1f ms (%d in the list)\n",
                    codes, load, show,
                    static_cast<int>(SendMessageW(GetDlgItem(pane.GetSafeHwnd(), IDC_ITEM_CODELIST), LB_GETCOUNT, 0, 0)));
        pane.SetRecord(&plain);
        DeleteSoftwareFile(record);
    }
    DestroyWindow(host);
    RemoveDirectoryW(data.c_str());
    return 0;
}
