// The main window's commands on a large catalogue, under Wine, in one run: the start to the first
// painted window, tab switches, each classify mode and sort key (with the core grouping or sorting
// alone beside them), Select All, deleting 100 records, and the peak working set.
// Usage: commands_bench [records] [companies]   (default 10000 and 2000)

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/QVNDlg.h"
#include "framework/App.h"
#include "framework/MessageBox.h"
#include "framework/Shell.h"
#include "model/Catalogue.h"
#include "model/Search.h"
#include "model/Vocabulary.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"

namespace {
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Time(const std::function<void()>& step)
{
    auto start = Clock::now();
    step();
    return MsSince(start);
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Paints whatever the last step invalidated, as the message loop would before the next input.
void PaintNow(HWND window)
{
    Pump();
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

double WorkingSetMb(bool peak = true)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / (1024.0 * 1024.0);
}

std::wstring MakeFolder(const wchar_t* name)
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + name + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::wstring& folder)
{
    std::wstring from = folder.substr(0, folder.size() - 1);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

const wchar_t* const Syllables[] = {L"ka", L"lo", L"mi", L"ne", L"su", L"ta", L"vo", L"ri", L"de", L"fa"};

std::wstring Word(unsigned value, int length)
{
    std::wstring word;
    for (int k = 0; k < length; ++k) {
        word += Syllables[value % 10];
        value /= 10;
    }
    word[0] = static_cast<wchar_t>(towupper(word[0]));
    return word;
}

void WriteCatalogue(const std::wstring& data, int count, int companies)
{
    for (int k = 0; k < count; ++k) {
        CSoftware record;
        record.Id.Data1 = 0x40000000u + static_cast<uint32_t>(k);
        record.Id.Data2 = 0xBE;
        const unsigned mix = static_cast<unsigned>(k) * 2654435761u;
        record.BasicInfo.Name = Word(mix >> 8, 4) + L" " + std::to_wstring(k);
        record.BasicInfo.Version = std::to_wstring(k % 17) + L"." + std::to_wstring(k % 5);
        record.BasicInfo.Company = Word(static_cast<unsigned>(k % companies) * 7919u, 3) + L" Soft " +
                                   std::to_wstring(k % companies);
        record.BasicInfo.Website = L"www.example.com";
        record.BasicInfo.Category = static_cast<int>(mix % CategoryCount);
        record.BasicInfo.Type = static_cast<int>((mix >> 4) % TypeCount);
        record.BasicInfo.Price.Value = (mix >> 3) % 3 == 0 ? 0.0f : static_cast<float>((mix >> 5) % 50000) / 100.0f;
        record.BasicInfo.Price.Currency = static_cast<int>((mix >> 7) % CurrencyCount);
        record.RegInfo.UserName = Word(mix >> 12, 2);
        record.RegInfo.UserEmail = Word(mix >> 14, 2) + L"@example.com";
        SaveSoftwareFile(record, data);
    }
}

// The platform's own cost of what a regrouping into many groups asks of it, on bare controls:
// inserting the tabs, naming them again, deleting them from position 1, and creating and
// destroying one owner-drawn list box per group.
void PlatformCosts(HWND parent, int groups)
{
    HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 511, 596, parent, nullptr,
                                nullptr, nullptr);
    wchar_t text[] = L"Group name";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    const double insert = Time([&] {
        for (int k = 0; k < groups; ++k)
            SendMessageW(tabs, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    });
    const double rename = Time([&] {
        for (int k = 0; k < groups; ++k)
            SendMessageW(tabs, TCM_SETITEMW, k, reinterpret_cast<LPARAM>(&item));
    });
    const double remove = Time([&] {
        for (int k = 0; k < groups - 1; ++k)
            SendMessageW(tabs, TCM_DELETEITEM, 1, 0);
    });
    DestroyWindow(tabs);
    std::vector<HWND> lists(static_cast<size_t>(groups));
    const DWORD style = WS_CHILD | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_OWNERDRAWVARIABLE | LBS_NOTIFY |
                        LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL | LBS_NODATA;
    const double create = Time([&] {
        for (HWND& list : lists)
            list = CreateWindowExW(0, L"LISTBOX", L"", style, 0, 0, 480, 560, parent, nullptr, nullptr, nullptr);
    });
    const double destroy = Time([&] {
        for (HWND list : lists)
            DestroyWindow(list);
    });
    std::printf("  bare controls, %d groups: insert tabs %.1f ms, rename tabs %.1f ms, delete tabs %.1f ms,\n"
                "    create list boxes %.1f ms, destroy list boxes %.1f ms\n",
                groups, insert, rename, remove, create, destroy);
}

class CBench {
public:
    explicit CBench(CQVNDlg& window) : m_window(window) {}

    void SwitchTab(int tab)
    {
        HWND tabs = m_window.ListPane().TabControl();
        TabCtrl_SetCurSel(tabs, tab);
        NMHDR header{tabs, static_cast<UINT_PTR>(CSWListDlg::TabControlId), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(m_window.ListPane().GetSafeHwnd(), WM_NOTIFY, CSWListDlg::TabControlId,
                     reinterpret_cast<LPARAM>(&header));
        PaintNow(m_window.GetSafeHwnd());
    }
    void Choose(HWND box, int entry)
    {
        SendMessageW(box, CB_SETCURSEL, entry, 0);
        SendMessageW(m_window.Toolbar().GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        PaintNow(m_window.GetSafeHwnd());
    }
    int TabCount() const { return TabCtrl_GetItemCount(m_window.ListPane().TabControl()); }

private:
    CQVNDlg& m_window;
};
}  // namespace

// Find: each query typed one character at a time into the find box, the found tab filled and
// painted after each keystroke, as the message loop would before the next one. Prints the slowest
// keystroke with the line given, then where the time goes.
void MeasureFind(CQVNDlg& window, const char* line)
{
    CFinder& finder = window.Finder();
    finder.Open();
    HWND text = finder.Box()->TextBox();
    const wchar_t* const queries[] = {L"kalo", L"soft 1999", L"example.com", L"mine 42", L"zzzz"};
    double slowestKey = 0, totalKeys = 0, core = 0, update = 0;
    int keys = 0;
    for (const wchar_t* query : queries) {
        SetWindowTextW(text, L"");
        PaintNow(window.GetSafeHwnd());
        std::wstring typed;
        for (const wchar_t* c = query; *c; ++c) {
            typed += *c;
            double searching = 0;
            const double ms = Time([&] {
                searching = Time([&] { SetWindowTextW(text, typed.c_str()); });
                PaintNow(window.GetSafeHwnd());
            });
            slowestKey = std::max(slowestKey, ms);
            totalKeys += ms;
            update += searching;
            ++keys;
        }
        CSearchIndex index;
        index.Build(SoftwareList);
        CSoftwareArray found;
        core = std::max(core, Time([&] { index.Find(query, found); }));
        std::printf("  find \"%ls\": %d found\n", query, found.GetSize());
    }
    CSearchIndex index;
    const double build = Time([&] { index.Build(SoftwareList); });
    std::printf("%s: %.2f ms\n", line, slowestKey);
    std::printf("  (slowest of %d keystrokes, list update and paint included; mean %.2f ms, of which search and "
                "update %.2f ms and paint the rest; core search of a whole query alone at most %.2f ms; preparing "
                "the %d texts once %.2f ms)\n",
                keys, keys ? totalKeys / keys : 0.0, keys ? update / keys : 0.0, core, SoftwareList.GetSize(), build);
    finder.Close();
}

int wmain(int argc, wchar_t** argv)
{
    const double startingSet = WorkingSetMb(false);
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const int companies = argc > 2 ? _wtoi(argv[2]) : 2000;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);

    const std::wstring root = MakeFolder(L"qv_commands_bench_");
    SetPathsFrom(root + L"AppData");
    CreateBaseFolder();
    CleanFolder(TempFolder);
    const std::wstring data = root + L"Data\\";
    CreateDirectoryW(data.c_str(), nullptr);
    Settings.DataFolder = data;
    std::printf("writing %d records with %d companies...\n", count, companies);
    WriteCatalogue(data, count, companies);
    std::printf("working set: %.1f MB when the process began, %.1f MB before start-up (peak %.1f MB while "
                "writing the files)\n",
                startingSet, WorkingSetMb(false), WorkingSetMb());
    NoInstallerIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_NO_INSTALLER), IMAGE_ICON, 48, 48, 0);
    FileIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_FILE), IMAGE_ICON, 48, 48, 0);
    ImportedIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_IMPORTED), IMAGE_ICON, 48, 48, 0);
    SetShiftKeyReader([] { return true; });
    SetMessageBoxAnswerer([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; });

    // Start-up from the scan on, as the application runs it, to the first painted window.
    const auto start = Clock::now();
    SoftwareList.IsOwner = 1;
    ScanDataFolder(SoftwareList, data, true);
    const double scanMs = MsSince(start);
    ClassifyCatalogue(SoftwareList, ClassifyByCategory, GroupList, GroupNames);
    SoftwareList.SortKey = SortByName;
    SortSoftwareList(SoftwareList, true);
    const double loadMs = MsSince(start);
    CQVNDlg window;
    window.Create(nullptr);
    PaintNow(window.GetSafeHwnd());
    const double firstPaintMs = MsSince(start);
    const double peakAfterStart = WorkingSetMb();
    std::printf("records %d, companies %d\n", SoftwareList.GetSize(), companies);
    std::printf("start to first paint       %8.1f ms  (scan %.1f, group and sort %.1f, window %.1f)\n", firstPaintMs,
                scanMs, loadMs - scanMs, firstPaintMs - loadMs);
    std::printf("peak working set after start-up  %6.1f MB\n", peakAfterStart);


    CBench bench(window);
    std::printf("tab switch (category tabs: %d)\n", bench.TabCount());
    std::printf("  All -> tab 1             %8.2f ms\n", Time([&] { bench.SwitchTab(1); }));
    std::printf("  tab 1 -> last tab        %8.2f ms\n", Time([&] { bench.SwitchTab(bench.TabCount() - 1); }));
    std::printf("  last tab -> All          %8.2f ms\n", Time([&] { bench.SwitchTab(0); }));

    HWND classifyBox = window.Toolbar().ClassifyBox();
    HWND sortBox = window.Toolbar().SortBox();
    std::printf("classify (command, core alone, ratio, tabs)\n");
    for (int mode : {ClassifyByCompany, ClassifyByType, ClassifyByCategory, ClassifyByCompany}) {
        const double command = Time([&] { bench.Choose(classifyBox, mode); });
        CSoftwareArrayArray groups;
        CStringArray names;
        const double core = Time([&] { ClassifyCatalogue(SoftwareList, mode, groups, names); });
        std::printf("  %-10ls %10.2f ms %8.2f ms %8.1fx %6d\n", ClassifyModeName(mode), command, core,
                    core > 0 ? command / core : 0.0, bench.TabCount());
    }
    // Where the time of the company grouping goes: the grouping, the tabs and lists, the paint.
    {
        const auto t0 = Clock::now();
        ClassifyCatalogue(SoftwareList, ClassifyByType, GroupList, GroupNames);
        window.ListPane().RebuildTabs();
        PaintNow(window.GetSafeHwnd());
        const auto t1 = Clock::now();
        ClassifyCatalogue(SoftwareList, ClassifyByCompany, GroupList, GroupNames);
        const double grouping = MsSince(t1);
        const auto t2 = Clock::now();
        window.ListPane().RebuildTabs();
        const double rebuild = MsSince(t2);
        const auto t3 = Clock::now();
        PaintNow(window.GetSafeHwnd());
        const double paint = MsSince(t3);
        (void)t0;
        std::printf("  company from type: grouping %.2f ms, RebuildTabs %.2f ms, paint %.2f ms\n", grouping,
                    rebuild, paint);
        CurrentClassifyMode = ClassifyByCompany;
    }

    std::printf("sort on All (command, core alone, ratio)\n");
    for (int key : {SortByName, SortByPrice, SortByUserName, SortByUserEmail}) {
        bench.SwitchTab(0);
        // A fresh copy in the command's starting order for the core's own run.
        CSoftwareArray copy;
        copy.Items() = SoftwareList.Items();
        copy.SortKey = key;
        const double command = Time([&] { bench.Choose(sortBox, key); });
        const double core = Time([&] { SortSoftwareList(copy, true); });
        std::printf("  %-10ls %10.2f ms %8.2f ms %8.1fx\n", SortKeyName(key), command, core,
                    core > 0 ? command / core : 0.0);
    }

    bench.SwitchTab(0);
    HWND pane = window.ListPane().GetSafeHwnd();
    std::printf("select all                 %8.2f ms\n", Time([&] {
                    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(CSWListDlg::CommandSelectAll, 0), 0);
                    PaintNow(window.GetSafeHwnd());
                }));

    std::printf("visiting every tab (%d)...\n", bench.TabCount());
    double slowest = 0, total = 0;
    int slowestTab = 0;
    const int tabs = bench.TabCount();
    for (int tab = 1; tab < tabs; ++tab) {
        const double ms = Time([&] { bench.SwitchTab(tab); });
        if (ms > slowest) {
            slowest = ms;
            slowestTab = tab;
        }
        total += ms;
    }
    bench.SwitchTab(0);
    std::printf("  mean %.2f ms, slowest %.2f ms (tab %d)\n", tabs > 1 ? total / (tabs - 1) : 0.0, slowest,
                slowestTab);
    std::printf("peak working set after every tab %6.1f MB\n", WorkingSetMb());

    // Find comes after the tab visits, so that its texts and the comments and codes it searches
    // stay out of the peak of the visits.
    bench.Choose(classifyBox, ClassifyByCategory);
    // The records get a comment and a code in memory only, so the files and the figures above stay
    // as they were.
    for (int k = 0; k < SoftwareList.GetSize(); ++k) {
        CSoftware& record = *SoftwareList[k];
        record.RegInfo.Comment = L"Bought for the office in " + std::to_wstring(2000 + k % 25) +
                                 L"; renewed every year.\nSeat " + std::to_wstring(k % 50);
        record.RegInfo.CodeName.Add(L"Licence key");
        record.RegInfo.Code.Add(Word(static_cast<unsigned>(k) * 40503u, 5) + L"-" + std::to_wstring(k * 7));
    }
    std::printf("find, grouped by category\n");
    MeasureFind(window, "search per keystroke");
    bench.Choose(classifyBox, ClassifyByCompany);

    // Find: each query typed one character at a time into the find box, the found tab filled and
    // painted after each keystroke, as the message loop would before the next one.
    // Again among 2,000 tabs, with one record carrying a 20 MiB comment, which the search reads
    // whole (the find box's next text prepares every text again, the comment included).
    {
        CSoftware* big = SoftwareList.IsEmpty() ? nullptr : SoftwareList[SoftwareList.GetSize() / 2];
        std::wstring comment;
        if (big) {
            comment = big->RegInfo.Comment;
            big->RegInfo.Comment.assign(20u << 20, L'x');
            window.Finder().CatalogueChanged();
        }
        std::printf("find, grouped by company (%d tabs), one record with a 20 MiB comment\n", bench.TabCount());
        MeasureFind(window, "  search per keystroke among the company tabs");
        if (big) {
            big->RegInfo.Comment = comment;
            window.Finder().CatalogueChanged();
        }
        bench.SwitchTab(0);
    }

    // 100 records spread over the catalogue, with Shift held so that nothing asks: by company, then
    // by category.
    for (int mode : {ClassifyByCompany, ClassifyByCategory}) {
        if (CurrentClassifyMode != mode)
            bench.Choose(classifyBox, mode);
        bench.SwitchTab(0);
        CSWListBox* all = window.ListPane().CurrentList();
        SendMessageW(all->GetSafeHwnd(), LB_SETSEL, FALSE, -1);
        for (int k = 0; k < 100; ++k)
            SendMessageW(all->GetSafeHwnd(), LB_SETSEL, TRUE, k * (SoftwareList.GetSize() / 100));
        const double deleteMs = Time([&] {
            SendMessageW(window.GetSafeHwnd(), MSG_COMMAND, CMD_DELETE,
                         reinterpret_cast<LPARAM>(window.Toolbar().GetSafeHwnd()));
            PaintNow(window.GetSafeHwnd());
        });
        std::printf("delete 100 records by %-8ls %8.2f ms  (%d left, %d tabs)\n", ClassifyModeName(mode), deleteMs,
                    SoftwareList.GetSize(), bench.TabCount());
    }

    // The platform's share of a delete: removing the meta-data files of 100 more records, spread
    // over the catalogue as above (the bench ends here, so the records may lose their files).
    {
        std::vector<const CSoftware*> records;
        for (int k = 0; k < 100; ++k)
            records.push_back(SoftwareList[k * (SoftwareList.GetSize() / 100)]);
        std::printf("  100 record files deleted alone, the platform's share %8.2f ms\n", Time([&] {
                        for (const CSoftware* record : records)
                            DeleteSoftwareFile(*record);
                    }));
    }
    // Measured last, so that these bare controls do not count in the program's working set above.
    PlatformCosts(window.GetSafeHwnd(), companies);

    DestroyWindow(window.GetSafeHwnd());
    SetMessageBoxAnswerer(nullptr);
    SetShiftKeyReader(nullptr);
    GroupList.RemoveAll();
    SoftwareList.RemoveAll();
    RemoveTree(root);
    return 0;
}
