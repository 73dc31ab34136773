#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/Commands.h"
#include "app/Links.h"
#include "framework/Shell.h"
#include "installer/IconCache.h"
#include "installer/IconExtraction.h"
#include "res/resource.h"
#include "storage/Paths.h"
#include "tests/app/ListPaneTestSupport.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/skin/SkinTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
// Records the context menus the pane is asked to show, and closes each at once (or picks an
// entry by its key) when the menu loop goes idle.
class CMenuWatch {
public:
    explicit CMenuWatch(HWND owner, wchar_t choose = 0) : m_owner(owner), m_choose(choose)
    {
        SetWindowSubclass(owner, Proc, 77, reinterpret_cast<DWORD_PTR>(this));
        // A bound: should the loop never go idle, the menu still closes.
        m_timer = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    }
    CMenuWatch(const CMenuWatch&) = delete;
    CMenuWatch& operator=(const CMenuWatch&) = delete;
    ~CMenuWatch()
    {
        KillTimer(nullptr, m_timer);
        RemoveWindowSubclass(m_owner, Proc, 77);
    }

    int Shown = 0;
    std::vector<std::wstring> Items;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        auto* self = reinterpret_cast<CMenuWatch*>(data);
        if (message == WM_INITMENUPOPUP) {
            ++self->Shown;
            self->m_closing = false;
            HMENU menu = reinterpret_cast<HMENU>(wParam);
            self->Items.clear();
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t text[64] = {};
                GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
                self->Items.emplace_back(text);
            }
        }
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !self->m_closing) {
            self->m_closing = true;
            if (self->m_choose)
                PostMessageW(reinterpret_cast<HWND>(lParam), WM_CHAR, self->m_choose, 0);
            else
                EndMenu();
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    HWND m_owner;
    wchar_t m_choose;
    bool m_closing = false;
    UINT_PTR m_timer = 0;
};

struct ShellCall {
    HWND Owner;
    std::wstring Target;
    std::wstring Directory;
};

// Answers the shell's "open" with a fixed result and records what was asked.
class CShellScript {
public:
    explicit CShellScript(INT_PTR result)
        : m_previous(SetShellOpener([this, result](HWND owner, const std::wstring& target, const std::wstring& folder) {
              Calls.push_back({owner, target, folder});
              return result;
          }))
    {
    }
    CShellScript(const CShellScript&) = delete;
    CShellScript& operator=(const CShellScript&) = delete;
    ~CShellScript() { SetShellOpener(m_previous); }
    std::vector<ShellCall> Calls;

private:
    ShellOpener m_previous;
};

int CountColour(const CCapture& capture, const RECT& rect, int top, COLORREF colour)
{
    int count = 0;
    for (int y = rect.top + top; y < rect.bottom + top; ++y) {
        for (int x = rect.left; x < rect.right; ++x)
            count += capture.Pixel(x, y) == colour;
    }
    return count;
}

// Pixels that are neither the card's background nor close to it: drawn ink.
int CountInk(const CCapture& capture, const RECT& rect, int top, COLORREF ink)
{
    int count = 0;
    for (int y = rect.top + top; y < rect.bottom + top; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF pixel = capture.Pixel(x, y);
            count += std::abs(GetRValue(pixel) - GetRValue(ink)) < 48 && std::abs(GetGValue(pixel) - GetGValue(ink)) < 48 &&
                     std::abs(GetBValue(pixel) - GetBValue(ink)) < 48;
        }
    }
    return count;
}

// Writes a capture as a 32-bit top-down BMP file.
void SaveCapture(const CCapture& capture, const std::string& path)
{
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = capture.Width();
    info.biHeight = -capture.Height();
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(capture.Width()) * capture.Height());
    for (int y = 0; y < capture.Height(); ++y) {
        for (int x = 0; x < capture.Width(); ++x) {
            COLORREF c = capture.Pixel(x, y);
            pixels[static_cast<size_t>(y) * capture.Width() + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size() * 4);
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info, sizeof info, 1, out);
        std::fwrite(pixels.data(), 4, pixels.size(), out);
        std::fclose(out);
    }
}

class ListBoxTests : public ListPaneTest {
protected:
    CSWListBox& All() { return Pane->AllList(); }
    HWND AllWindow() { return Pane->AllList().GetSafeHwnd(); }
    void RightClick(POINT point)
    {
        SendMessageW(AllWindow(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageW(AllWindow(), WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }
    void Select(std::initializer_list<int> indexes)
    {
        All().SelectOnly(-1);
        for (int index : indexes)
            SendMessageW(AllWindow(), LB_SETSEL, TRUE, index);
    }
    POINT LinkPoint(int index)
    {
        POINT point = EntryPoint(All(), index);
        return POINT{400, point.y - 45 + 78};
    }
    void MoveTo(POINT point) { SendMessageW(AllWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y)); }

    CSharedIconsScope SharedIcons;
};

// The literal shrinking: the first entry leaves, and the new first is selected, one at a time.
std::vector<int> ShrinkOracle(std::vector<bool> selected, size_t wanted)
{
    while (selected.size() > wanted) {
        selected.erase(selected.begin());
        if (!selected.empty())
            selected[0] = true;
    }
    std::vector<int> indexes;
    for (size_t i = 0; i < selected.size(); ++i) {
        if (selected[i])
            indexes.push_back(static_cast<int>(i));
    }
    return indexes;
}
}  // namespace

TEST_F(ListBoxTests, TheContextMenuResourceHoldsTheListCommands)
{
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_CONTEXT));
    ASSERT_NE(menu, nullptr);
    wchar_t title[32] = {};
    GetMenuStringW(menu, 0, title, 32, MF_BYPOSITION);
    EXPECT_STREQ(title, L"ListContext");
    HMENU popup = GetSubMenu(menu, 0);
    const std::pair<UINT, const wchar_t*> items[] = {
        {32771, L"Add...\t&A"},          {32772, L"Delete\t&D"}, {0, L""},
        {32774, L"Attach...\t&T"},       {32775, L"Detach\t&E"}, {32776, L"Export...\t&X"},
        {32777, L"Launch\t&L"},
        // The installer vault's.
        {32842, L"Installer details...\t&I"}, {32840, L"Verify installers...\t&V"},
        {0, L""},               {32778, L"Select All\tCtrl+A"},
        {32779, L"Reverse Select\t&R"}, {0, L""},             {32822, L"Export Selected...\t&S"},
    };
    ASSERT_EQ(GetMenuItemCount(popup), 14);
    for (int i = 0; i < 14; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, items[i].second) << i;
        if (items[i].first)
            EXPECT_EQ(GetMenuItemID(popup, i), items[i].first) << i;
        else
            EXPECT_TRUE(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR) << i;
    }
    DestroyMenu(menu);
}

TEST_F(ListBoxTests, ShrinkingRemovesEntriesFromTheTopAndSelectsTheFirst)
{
    std::vector<std::unique_ptr<CSoftware>> records;
    CSoftwareArray items;
    for (int i = 0; i < 8; ++i) {
        records.push_back(std::make_unique<CSoftware>());
        items.Add(records.back().get());
    }
    OpenPane();
    CSWListBox list;
    ASSERT_TRUE(list.Create(Pane->GetSafeHwnd(), 1900, Pane->ListArea()));
    list.SetItems(&items);
    EXPECT_EQ(list.Count(), 8);

    const std::vector<std::pair<std::vector<int>, int>> cases = {
        {{1, 4, 6}, 5}, {{7}, 6}, {{0, 2}, 3}, {{}, 1}, {{0}, 0}};
    for (const auto& [selection, wanted] : cases) {
        items.SetSize(8);
        for (int i = 0; i < 8; ++i)
            items[i] = records[i].get();
        list.SetItems(&items);
        ASSERT_EQ(list.Count(), 8);
        list.SelectOnly(-1);
        std::vector<bool> selected(8, false);
        for (int index : selection) {
            SendMessageW(list.GetSafeHwnd(), LB_SETSEL, TRUE, index);
            selected[index] = true;
        }
        items.SetSize(wanted);
        list.SetItems(&items);
        EXPECT_EQ(list.Count(), wanted);
        EXPECT_EQ(list.SelectedIndexes(), ShrinkOracle(selected, static_cast<size_t>(wanted))) << wanted;
    }
    // Growing keeps the selection and adds unselected entries.
    items.SetSize(2);
    list.SetItems(&items);
    list.SelectOnly(1);
    for (int i = 2; i < 8; ++i)
        items.Add(records[i].get());
    list.SetItems(&items);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.SelectedIndexes(), std::vector<int>{1});
    list.SetItems(nullptr);
    EXPECT_EQ(list.Count(), 0);
    DestroyWindow(list.GetSafeHwnd());
}

TEST_F(ListBoxTests, TenThousandEntriesFillSelectAndInvertAsTheLiteralWalkDoes)
{
    std::vector<std::unique_ptr<CSoftware>> records;
    CSoftwareArray items;
    for (int i = 0; i < 10000; ++i) {
        records.push_back(std::make_unique<CSoftware>());
        items.Add(records.back().get());
    }
    OpenPane();
    CSWListBox list;
    ASSERT_TRUE(list.Create(Pane->GetSafeHwnd(), 1900, Pane->ListArea()));
    ShowWindow(list.GetSafeHwnd(), SW_SHOW);

    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point from) {
        return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
    };
    auto start = Clock::now();
    list.SetItems(&items);
    const double fill = ms(start);
    ASSERT_EQ(list.Count(), 10000);

    start = Clock::now();
    list.SelectAll();
    const double selectAll = ms(start);
    EXPECT_EQ(list.SelectedCount(), 10000);

    std::mt19937 random(7);
    list.SelectOnly(-1);
    std::vector<bool> selected(10000, false);
    for (int i = 0; i < 10000; ++i) {
        if (random() % 3 == 0 || i == 0 || i == 5000) {
            SendMessageW(list.GetSafeHwnd(), LB_SETSEL, TRUE, i);
            selected[i] = true;
        }
    }
    start = Clock::now();
    list.InvertSelection();
    const double invert = ms(start);
    std::vector<int> expected;
    for (int i = 0; i < 10000; ++i) {
        if (!selected[i])
            expected.push_back(i);
    }
    EXPECT_EQ(list.SelectedIndexes(), expected);
    list.InvertSelection();
    EXPECT_EQ(list.SelectedCount(), static_cast<int>(10000 - expected.size()));

    start = Clock::now();
    items.SetSize(100);
    list.SetItems(&items);
    const double shrink = ms(start);
    EXPECT_EQ(list.Count(), 100);
    start = Clock::now();
    RedrawWindow(list.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const double paint = ms(start);
    std::printf("10000 entries: fill %.1f ms, select all %.1f ms, invert %.1f ms, shrink to 100 %.1f ms, "
                "paint %.1f ms\n",
                fill, selectAll, invert, shrink, paint);
    DestroyWindow(list.GetSafeHwnd());
}

TEST_F(ListBoxTests, TypeAheadFindsTheNextNameByItsFirstLetterAndWrapsRound)
{
    AddRecord(L"alpha", L"A");
    AddRecord(L"Beta", L"A");
    AddRecord(L"bravo", L"A");
    AddRecord(L"Charlie", L"A");
    AddRecord(L"", L"A");
    CSoftware* bob = AddRecord(L"Bob", L"A");
    Classify(1);
    OpenPane();
    All().SelectOnly(0);

    auto type = [&](wchar_t character) {
        SendMessageW(AllWindow(), WM_CHAR, character, 1);
        return All().SelectedIndexes();
    };
    EXPECT_EQ(type(L'b'), std::vector<int>{1});
    EXPECT_EQ(type(L'b'), std::vector<int>{2});
    EXPECT_EQ(type(L'B'), std::vector<int>{5});
    EXPECT_EQ(All().CaretIndex(), 5);
    EXPECT_EQ(Details.Record(), bob) << "the selection change reaches the pane";
    EXPECT_EQ(type(L'b'), std::vector<int>{1}) << "wraps round from the last entry";
    EXPECT_EQ(type(L'A'), std::vector<int>{0});
    // No match, or only the current entry itself: nothing moves, a multiple selection stays.
    SendMessageW(AllWindow(), LB_SETSEL, TRUE, 3);
    SendMessageW(AllWindow(), LB_SETCARETINDEX, 3, FALSE);
    EXPECT_EQ(type(L'z'), (std::vector<int>{0, 3}));
    EXPECT_EQ(type(L'c'), (std::vector<int>{0, 3})) << "Charlie is the current entry";
    EXPECT_EQ(type(L'\x01'), (std::vector<int>{0, 3})) << "Control+A's character is no letter";
    // The empty name never matches; the rule itself, from the current entry 3.
    EXPECT_EQ(All().CharToItem(L'c', 3), 3);
    EXPECT_EQ(All().CharToItem(L'c', 4), 3);
    EXPECT_EQ(All().CharToItem(L'b', -1), 1);
}

TEST_F(ListBoxTests, RightClicksKeepOrReplaceTheSelectionAndShowTheMenu)
{
    for (const wchar_t* name : {L"One", L"Two", L"Three", L"Four"})
        AddRecord(name, L"A");
    Classify(1);
    OpenPane();
    HWND pane = Pane->GetSafeHwnd();

    {
        // An unselected entry of a multiple selection: it alone is selected, and the menu shows.
        Select({0, 2});
        CMenuWatch menu(pane);
        RightClick(EntryPoint(All(), 1));
        EXPECT_EQ(All().SelectedIndexes(), std::vector<int>{1});
        EXPECT_EQ(menu.Shown, 1);
        ASSERT_EQ(menu.Items.size(), 14u);
        EXPECT_EQ(menu.Items[6], L"Launch\t&L");
    }
    {
        // A selected entry: the selection survives for the menu's command.
        Select({0, 2});
        CMenuWatch menu(pane);
        RightClick(EntryPoint(All(), 2));
        EXPECT_EQ(All().SelectedIndexes(), (std::vector<int>{0, 2}));
        EXPECT_EQ(menu.Shown, 1);
    }
    {
        // Below the last entry: nothing is selected, and the nearest entry, unselected, shows no menu.
        Select({0, 2});
        CMenuWatch menu(pane);
        RightClick(POINT{150, 4 * CSWListBox::ItemHeight + 40});
        EXPECT_EQ(All().SelectedIndexes(), (std::vector<int>{0, 2}));
        EXPECT_EQ(menu.Shown, 0);
    }
    {
        // A command picked from the menu reaches the main window, the pane as its sender.
        Select({3});
        CMenuWatch menu(pane, L'l');
        RightClick(EntryPoint(All(), 3));
        EXPECT_EQ(menu.Shown, 1);
        EXPECT_EQ(Host.TakeCommands(), (std::vector<PostedCommand>{{CMD_LAUNCH, pane}}));
    }
}

TEST_F(ListBoxTests, CardsDrawTheirTextsInTheirColoursAndFreeByType)
{
    CSoftware* free = AddRecord(L"WWWWWWWW", L"MMMMMMMM", 0, 0, 25.0f, L"www.example.com");
    CSoftware* priced = AddRecord(L"Priced", L"Company", 0, 1, 12.5f, L"");
    priced->BasicInfo.Price.Currency = 4;
    UpdateIcon(*free);
    CTempFolder files;
    std::wstring installer = files / L"red.ico";
    ASSERT_TRUE(WriteIconFile(installer, 48, 0xE01010));
    priced->InstallerInfo.InstallerPath = installer;
    UpdateIcon(*priced);
    Classify(0);
    OpenPane();
    All().SelectOnly(1);
    PaintNow(AllWindow());

    CCapture capture(AllWindow());
    const int first = 0;
    const int second = CSWListBox::ItemHeight;
    CBitmapPixels normal = ReadBitmapResource(IDB_ENTRY_NORMAL);
    CBitmapPixels selected = ReadBitmapResource(IDB_ENTRY_SELECTED);
    for (int y : {1, 45, 88}) {
        EXPECT_EQ(capture.Pixel(3, first + y), normal.At(0, y)) << y;
        EXPECT_EQ(capture.Pixel(490, first + y), normal.At(0, y)) << "stretched across the entry";
        EXPECT_EQ(capture.Pixel(3, second + y), selected.At(0, y)) << y;
    }

    // The record without installer shows the no-installer icon, the referenced one its own.
    EXPECT_EQ(capture.Pixel(37, first + 37), RGB(0x10, 0x10, 0x10));
    EXPECT_EQ(capture.Pixel(37, second + 37), RGB(0xE0, 0x10, 0x10));
    EXPECT_EQ(InstallerIcons.Count(), 1u);

    EXPECT_GT(CountInk(capture, CSWListBox::NameRect, first, CSWListBox::NameColour), 40);
    EXPECT_GT(CountInk(capture, CSWListBox::CompanyRect, first, RGB(0, 0, 0)), 40);
    // Type 0 reads "Free" in green whatever its amount; the priced one is black, with its code.
    EXPECT_GT(CountInk(capture, CSWListBox::PriceRect, first, CSWListBox::FreeColour), 100);
    EXPECT_EQ(CountInk(capture, CSWListBox::CurrencyRect, first, CSWListBox::CurrencyColour), 0);
    EXPECT_EQ(CountInk(capture, CSWListBox::PriceRect, second, CSWListBox::FreeColour), 0);
    EXPECT_GT(CountInk(capture, CSWListBox::PriceRect, second, RGB(0, 0, 0)), 100);
    EXPECT_GT(CountInk(capture, CSWListBox::CurrencyRect, second, CSWListBox::CurrencyColour), 5);
    EXPECT_GT(CountInk(capture, CSWListBox::LinkRect, first, CSWListBox::LinkColour), 20);
    EXPECT_EQ(CountInk(capture, CSWListBox::LinkRect, second, CSWListBox::LinkColour), 0);
    // Nothing is drawn outside the card's rectangles.
    EXPECT_EQ(CountColour(capture, RECT{255, 5, 270, 85}, first, CSWListBox::NameColour), 0);

    // A picture of the whole pane for people to look at, when asked for.
    if (const char* folder = std::getenv("QV_CARD_PICTURE")) {
        AddRecord(L"Archiver Deluxe With A Long Name That Does Not Fit", L"Compression Corp", 3, 2, 49.95f,
                  L"https://www.archiver.example/download/latest")->BasicInfo.Version = L"12.4.1";
        AddRecord(L"Paint", L"Artful", 1, 1, 1234567.0f, L"mailto:sales@artful.example");
        Classify(0);
        Pane->RebuildTabs();
        All().SelectOnly(1);
        RedrawWindow(Pane->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        CCapture pane(Pane->GetSafeHwnd());
        SaveCapture(pane, std::string(folder) + "\\pane.bmp");
    }
}

TEST_F(ListBoxTests, PaintingManyTimesHoldsNoMoreGdiObjects)
{
    for (int i = 0; i < 8; ++i)
        AddRecord(L"Record " + std::to_wstring(i), L"A", 0, i % 3, 3.0f * i);
    Classify(0);
    OpenPane();
    PaintNow(AllWindow());
    const long before = CountGdiObjects();
    for (int i = 0; i < 300; ++i)
        RedrawWindow(AllWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(ListBoxTests, TheLinkAreaShowsTheHandAndOpensSafeLinksThroughTheShell)
{
    AddRecord(L"Site", L"A", 0, 1, 1.0f, L"www.example.com");
    AddRecord(L"No site", L"A", 0, 1, 1.0f, L"");
    AddRecord(L"Program", L"A", 0, 1, 1.0f, L"C:\\Windows\\notepad.exe");
    Classify(0);
    OpenPane();
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);

    MoveTo(LinkPoint(0));
    EXPECT_TRUE(All().LinkHover());
    EXPECT_TRUE(SendMessageW(AllWindow(), WM_SETCURSOR, reinterpret_cast<WPARAM>(AllWindow()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), hand);
    // The whole rectangle counts, also far left of the right-aligned text.
    MoveTo(POINT{276, LinkPoint(0).y});
    EXPECT_TRUE(All().LinkHover());
    MoveTo(POINT{270, LinkPoint(0).y});
    EXPECT_FALSE(All().LinkHover());
    MoveTo(LinkPoint(1));
    EXPECT_FALSE(All().LinkHover()) << "an empty web site is no link";
    MoveTo(POINT{400, 3 * CSWListBox::ItemHeight + 78});
    EXPECT_FALSE(All().LinkHover()) << "below the last entry";

    {
        CShellScript shell(42);
        CMessageBoxScript boxes;
        MoveTo(LinkPoint(0));
        ClickAt(AllWindow(), LinkPoint(0));
        ASSERT_EQ(shell.Calls.size(), 1u);
        EXPECT_EQ(shell.Calls[0].Target, L"http://www.example.com");
        EXPECT_EQ(shell.Calls[0].Directory, TempFolder);
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(All().SelectedIndexes(), std::vector<int>{0}) << "the click selects too";

        // Clicking the link area of an entry without a web site only selects.
        MoveTo(LinkPoint(1));
        ClickAt(AllWindow(), LinkPoint(1));
        EXPECT_EQ(shell.Calls.size(), 1u);
        EXPECT_EQ(All().SelectedIndexes(), std::vector<int>{1});

        // A program's path is never started.
        MoveTo(LinkPoint(2));
        ClickAt(AllWindow(), LinkPoint(2));
        EXPECT_EQ(shell.Calls.size(), 1u);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{LinkFailureMessage});
    }
    {
        CShellScript shell(2);
        CMessageBoxScript boxes;
        MoveTo(LinkPoint(0));
        ClickAt(AllWindow(), LinkPoint(0));
        EXPECT_EQ(shell.Calls.size(), 1u);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].Text, L"Failed to open the hyper-link, please try again.");
        EXPECT_EQ(boxes.Shown()[0].Type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
}
