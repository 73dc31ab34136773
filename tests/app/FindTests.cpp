// Find in the main window, its temporary tab, the "More" menu and the licence reminders: the real
// main window on a catalogue of the test's own, driven by keys, clicks and commands.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/FindDlg.h"
#include "app/Finder.h"
#include "app/ReminderDlg.h"
#include "model/Catalogue.h"
#include "model/LicenceDates.h"
#include "model/Vocabulary.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/SoftwareFiles.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
using Names = std::vector<std::wstring>;

// Holds a key in this thread's keyboard state, as GetKeyState reads it, while it lives.
class CHeldKey {
public:
    explicit CHeldKey(int key) : m_key(key) { Set(0x80); }
    ~CHeldKey() { Set(0); }

private:
    void Set(BYTE state)
    {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[m_key] = state;
        SetKeyboardState(keys);
    }
    int m_key;
};

std::wstring DaysFromToday(int days)
{
    return FormatIsoDate(DateOfDayNumber(DayNumber(LocalToday()) + days));
}

// Pixels of a list view row in the reminders' red, read back from the window.
int RedPixelsOfRow(HWND list, int row)
{
    RECT rect{};
    ListView_GetItemRect(list, row, &rect, LVIR_BOUNDS);
    HDC window = GetDC(list);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, rect.right - rect.left, rect.bottom - rect.top);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, window, rect.left, rect.top, SRCCOPY);
    int red = 0;
    for (int y = 0; y < rect.bottom - rect.top; ++y)
        for (int x = 0; x < rect.right - rect.left; ++x) {
            const COLORREF pixel = GetPixel(memory, x, y);
            red += GetRValue(pixel) > 150 && GetGValue(pixel) < 60 && GetBValue(pixel) < 60;
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(list, window);
    return red;
}

class FindTests : public CMainWindowTest {
protected:
    // A key pressed in a window, as the main window's modal loop hands it to the dialog manager.
    bool PressKey(HWND window, WPARAM key)
    {
        MSG message{window, WM_KEYDOWN, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
        const bool used = IsDialogMessageW(Main(), &message) != FALSE;
        Pump();
        return used;
    }
    CFindDlg* Box() { return Window->Finder().Box(); }
    HWND BoxText() { return Box() ? Box()->TextBox() : nullptr; }
    void Type(const std::wstring& text)
    {
        ASSERT_NE(BoxText(), nullptr);
        SetWindowTextW(BoxText(), text.c_str());  // EN_CHANGE as typing gives it
        Pump();
    }
    CSoftware* Shown() { return Window->ItemInfo().Record(); }
    std::wstring ShownName() { return Shown() ? Shown()->BasicInfo.Name : L""; }
    void OpenFind()
    {
        CHeldKey control(VK_CONTROL);
        ASSERT_TRUE(PressKey(Window->ListPane().CurrentList()->GetSafeHwnd(), 'F'));
        ASSERT_TRUE(Window->Finder().IsBoxOpen());
    }
};
}  // namespace

TEST_F(FindTests, CtrlFOpensTheBoxAndTypingShowsTheMatchesInATabAfterAll)
{
    Open(SixRecords());
    const Names before = TabNames();
    OpenFind();
    wchar_t title[32]{};
    GetWindowTextW(Window->Finder().BoxWindow(), title, 32);
    EXPECT_STREQ(FindBoxTitle, title);
    EXPECT_EQ(GetWindow(Window->Finder().BoxWindow(), GW_OWNER), Main());
    EXPECT_EQ(GetFocus(), BoxText());
    // Over the free lower part of the details pane, clear of the list and its tabs.
    RECT box{}, details{};
    GetWindowRect(Window->Finder().BoxWindow(), &box);
    GetWindowRect(Window->ItemInfoWindow(), &details);
    EXPECT_EQ(box.right - box.left, CFindDlg::Width);
    EXPECT_EQ(box.bottom - box.top, CFindDlg::Height);
    EXPECT_GE(box.left, details.left);
    EXPECT_LE(box.right, details.right);
    EXPECT_EQ(box.bottom, details.bottom - 8);

    // Company, in any letter case; the matches in catalogue order, the first one shown.
    Type(L"CORVID");
    Names expected = before;
    expected.insert(expected.begin() + 1, L"Found (2)");
    EXPECT_EQ(TabNames(), expected);
    EXPECT_EQ(Window->ListPane().ActiveTab(), CSWListDlg::TemporaryTab);
    EXPECT_EQ(ShownNames(), (Names{L"Beta Paint", L"Epsilon CAD"}));
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(ShownName(), L"Beta Paint");
    // The keyboard stays in the box while the tab fills.
    EXPECT_EQ(GetFocus(), BoxText());

    // Each keystroke searches again; a user name is found too.
    Type(L"e");
    EXPECT_EQ(TabNames()[1], L"Found (6)");
    Type(L"ev");
    EXPECT_EQ(TabNames()[1], L"Found (1)");
    EXPECT_EQ(ShownName(), L"Zeta Sync");
    Type(L"nothing like it");
    EXPECT_EQ(TabNames()[1], L"Found (0)");
    EXPECT_TRUE(ShownNames().empty());
    // An empty box takes the tab away.
    Type(L"");
    EXPECT_EQ(TabNames(), before);
    // While a dialog of the main window is open, the box cannot be used either.
    EnableWindow(Main(), FALSE);
    EXPECT_FALSE(IsWindowEnabled(Window->Finder().BoxWindow()));
    EnableWindow(Main(), TRUE);
    EXPECT_TRUE(IsWindowEnabled(Window->Finder().BoxWindow()));
}

TEST_F(FindTests, EnterAndF3MoveToTheNextMatchAndEscapeClosesTheBoxAndTheTab)
{
    Open(SixRecords());
    const Names before = TabNames();
    OpenFind();
    Type(L"brightline");
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Gamma Zip", L"Zeta Sync"}));
    EXPECT_EQ(ShownName(), L"Alpha Edit");
    EXPECT_TRUE(PressKey(BoxText(), VK_RETURN));
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(ShownName(), L"Gamma Zip");
    EXPECT_TRUE(PressKey(BoxText(), VK_F3));
    EXPECT_EQ(ShownName(), L"Zeta Sync");
    // Round again from the last.
    PostFromToolbar(CMD_FIND_NEXT);
    EXPECT_EQ(ShownName(), L"Alpha Edit");
    // F3 works from the list too.
    EXPECT_TRUE(PressKey(Window->ListPane().CurrentList()->GetSafeHwnd(), VK_F3));
    EXPECT_EQ(ShownName(), L"Gamma Zip");

    EXPECT_TRUE(PressKey(BoxText(), VK_ESCAPE));
    EXPECT_FALSE(Window->Finder().IsBoxOpen());
    EXPECT_EQ(TabNames(), before);
    EXPECT_EQ(Window->ListPane().ActiveTab(), 0);
    EXPECT_EQ(ShownNames().size(), 6u);
    // Reopened, the last text is there and its matches come back.
    OpenFind();
    EXPECT_EQ(TabNames()[1], L"Found (3)");
}

TEST_F(FindTests, GroupTabsMoveOneRightAndKeepTheirListsWhileTheTabIsThere)
{
    Open(SixRecords());
    OpenFind();
    Type(L"a");
    // "Compression Tools" is group 0: now tab 2.
    SwitchTab(2);
    EXPECT_EQ(TabNames()[2], L"Compression Tools");
    EXPECT_EQ(ShownNames(), (Names{L"Gamma Zip"}));
    EXPECT_EQ(ShownName(), L"Gamma Zip");
    SwitchTab(TabNames().size() - 1);
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit"}));
    // Regrouping keeps the tab after "All".
    ChooseClassify(ClassifyByType);
    EXPECT_EQ(TabNames(), (Names{L"All", L"Found (6)", L"Commercial-ware", L"Free-ware", L"Share-ware"}));
    SwitchTab(3);
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Delta Net"}));
    // Sorting the found tab sorts its list only.
    SwitchTab(1);
    ChooseSortKey(SortByUserName);
    EXPECT_EQ(ShownNames(), (Names{L"Beta Paint", L"Epsilon CAD", L"Zeta Sync", L"Gamma Zip", L"Delta Net",
                                   L"Alpha Edit"}));
    EXPECT_EQ(NamesOf(SoftwareList)[0], L"Alpha Edit");
    // Closing while a group tab is shown keeps that group in front.
    SwitchTab(4);
    Window->Finder().Close();
    Pump();
    EXPECT_EQ(Window->ListPane().ActiveTab(), 3);
    EXPECT_EQ(ShownNames(), (Names{L"Beta Paint", L"Zeta Sync"}));
}

TEST_F(FindTests, TheFoundTabFollowsTheCatalogueOrderAfterAllIsSorted)
{
    Open(SixRecords());
    OpenFind();
    Type(L"brightline");
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Gamma Zip", L"Zeta Sync"}));
    Type(L"");
    SwitchTab(0);
    SortDescending = 1;
    ChooseSortKey(SortByName);
    EXPECT_EQ(NamesOf(SoftwareList)[0], L"Zeta Sync");
    Type(L"brightline");
    EXPECT_EQ(ShownNames(), (Names{L"Zeta Sync", L"Gamma Zip", L"Alpha Edit"}));
}

TEST_F(FindTests, DeletingFromTheFoundTabRemovesExactlyThoseRecordsAndUpdatesTheTab)
{
    Open(SixRecords());
    OpenFind();
    Type(L"brightline");
    Shell.Shift = true;  // nothing asks
    Select({0, 2});
    PostFromListPane(CMD_DELETE);
    EXPECT_EQ(NamesOf(SoftwareList), (Names{L"Beta Paint", L"Delta Net", L"Epsilon CAD", L"Gamma Zip"}));
    EXPECT_EQ(TabNames()[1], L"Found (1)");
    EXPECT_EQ(NamesOf(Window->Finder().Shown()), (Names{L"Gamma Zip"}));
    CSWListBox& found = Window->ListPane().TemporaryList();
    ASSERT_EQ(found.Count(), 1);
    EXPECT_EQ(found.RecordAt(0), Find(L"Gamma Zip"));
    // Two groups went, so the pane went back to "All", as after any delete that removes tabs.
    EXPECT_EQ(Window->ListPane().ActiveTab(), 0);
    SwitchTab(1);
    EXPECT_EQ(ShownNames(), (Names{L"Gamma Zip"}));
    EXPECT_EQ(ShownName(), L"Gamma Zip");
}

TEST_F(FindTests, AnAppliedChangeThatLeavesTheMatchesTakesTheRecordOffTheTab)
{
    Open(SixRecords());
    OpenFind();
    Type(L"paint");
    ASSERT_EQ(ShownName(), L"Beta Paint");
    HWND details = Window->ItemInfoWindow();
    SendMessageW(details, WM_COMMAND, MAKEWPARAM(IDC_ITEM_MODIFY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(details, IDC_ITEM_MODIFY)));
    SetWindowTextW(GetDlgItem(details, IDC_ITEM_NAME), L"Beta Draw");
    SendMessageW(details, WM_COMMAND, MAKEWPARAM(IDC_ITEM_APPLY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(details, IDC_ITEM_APPLY)));
    Pump();
    EXPECT_EQ(TabNames()[1], L"Found (0)");
    EXPECT_TRUE(ShownNames().empty());
    // A change that brings one in adds it.
    SendMessageW(details, WM_COMMAND, MAKEWPARAM(IDC_ITEM_MODIFY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(details, IDC_ITEM_MODIFY)));
    SetWindowTextW(GetDlgItem(details, IDC_ITEM_NAME), L"Beta Paint 2");
    SendMessageW(details, WM_COMMAND, MAKEWPARAM(IDC_ITEM_APPLY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(details, IDC_ITEM_APPLY)));
    Pump();
    EXPECT_EQ(TabNames()[1], L"Found (1)");
}

TEST_F(FindTests, TheMoreButtonOpensTheMenuOfFurtherCommands)
{
    Open(SixRecords());
    HWND more = Window->Toolbar().MoreButton();
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(GetDlgCtrlID(more), IDC_TOOL_MORE);
    // At the right end of the toolbar, beside the sort box, clear of the eight buttons.
    RECT button{}, sortBox{}, toolbar{}, about{};
    GetWindowRect(more, &button);
    GetWindowRect(Window->Toolbar().SortBox(), &sortBox);
    GetWindowRect(ToolbarWindow(), &toolbar);
    GetWindowRect(GetDlgItem(ToolbarWindow(), IDC_TOOL_ABOUT), &about);
    EXPECT_GT(button.left, sortBox.right);
    EXPECT_LE(button.right, toolbar.right - 2);
    EXPECT_EQ(button.right - button.left, 45);
    EXPECT_EQ(button.bottom - button.top, 20);
    EXPECT_EQ(about.left - toolbar.left, 505);

    Names items;
    POINT shownAt{};
    UINT answer = ID_MORE_FIND;
    Window->SetMoreMenu([&](HMENU popup, HWND owner, POINT at) {
        EXPECT_EQ(owner, Main());
        shownAt = at;
        items.clear();
        for (int k = 0; k < GetMenuItemCount(popup); ++k) {
            wchar_t text[64]{};
            GetMenuStringW(popup, k, text, 64, MF_BYPOSITION);
            items.emplace_back(text);
        }
        return answer;
    });
    ClickToolbarButton(IDC_TOOL_MORE);
    EXPECT_EQ(items, (Names{L"Find...\tCtrl+F", L"Find Next\tF3", L"Licence Reminders...", L"",
                            L"Export catalogue...\tCtrl+E", L"Import catalogue...\tCtrl+I", L"",
                            L"Verify installers...\tCtrl+Shift+V", L"Find moved installers...",
                            L"Installer details...\tCtrl+Shift+I", L"", L"Backups...", L"About Quorvane..."}));
    EXPECT_EQ(shownAt.x, button.right);
    EXPECT_EQ(shownAt.y, button.bottom);
    EXPECT_TRUE(Window->Finder().IsBoxOpen());

    answer = ID_MORE_ABOUT;
    ClickToolbarButton(IDC_TOOL_MORE);
    EXPECT_EQ(AboutRuns, 1);
    answer = 0;  // dismissed
    ClickToolbarButton(IDC_TOOL_MORE);
    EXPECT_EQ(AboutRuns, 1);
}

TEST_F(FindTests, RemindersListTheLicencesDueSoonestFirstAndCanShowThemInATab)
{
    Open(SixRecords());
    Find(L"Gamma Zip")->ExtraInfo.ExpiryDate = DaysFromToday(12);
    Find(L"Alpha Edit")->ExtraInfo.ExpiryDate = DaysFromToday(-3);
    Find(L"Delta Net")->ExtraInfo.ExpiryDate = DaysFromToday(31);
    Find(L"Zeta Sync")->ExtraInfo.ExpiryDate = DaysFromToday(30);
    std::vector<std::pair<std::wstring, long long>> listed;
    INT_PTR answer = IDCANCEL;
    int runs = 0;
    Window->SetReminderDialog([&](const std::vector<CDueRecord>& due, HWND owner) {
        EXPECT_EQ(owner, Main());
        ++runs;
        listed.clear();
        for (const CDueRecord& record : due)
            listed.emplace_back(record.Record->BasicInfo.Name, record.DaysLeft);
        return answer;
    });
    EXPECT_TRUE(Window->ShowReminders());
    EXPECT_EQ(listed, (std::vector<std::pair<std::wstring, long long>>{
                          {L"Alpha Edit", -3}, {L"Gamma Zip", 12}, {L"Zeta Sync", 30}}));
    EXPECT_EQ(TabNames()[1], L"Compression Tools");

    answer = IDOK;
    PostFromToolbar(CMD_REMINDERS);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(TabNames()[1], L"Due (3)");
    EXPECT_EQ(Window->ListPane().ActiveTab(), 1);
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Gamma Zip", L"Zeta Sync"}));
    // A renewed licence leaves the tab.
    Find(L"Alpha Edit")->ExtraInfo.ExpiryDate = DaysFromToday(400);
    PostFromToolbar(CMD_OPTIONS);
    EXPECT_EQ(OptionsRuns, 1);
    EXPECT_EQ(TabNames()[1], L"Due (2)");
    // Opening Find puts its own tab in the place.
    Window->Finder().Open();
    Type(L"zip");
    EXPECT_EQ(TabNames()[1], L"Found (1)");
    EXPECT_EQ(TabNames()[2], L"Compression Tools");

    // A smaller window in the settings, and nothing left: nothing is shown, and the menu says so.
    Settings.ReminderDays = 5;
    for (CSoftware* record : SoftwareList)
        record->ExtraInfo.ExpiryDate = record->ExtraInfo.ExpiryDate.empty() ? L"" : DaysFromToday(6);
    EXPECT_FALSE(Window->ShowReminders());
    EXPECT_EQ(runs, 2);
    Boxes.Answer(IDOK);
    PostFromToolbar(CMD_REMINDERS);
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Boxes.Shown()[0].Text, L"No licence expires within 5 days.");
}

TEST_F(FindTests, AtStartUpTheRemindersComeOnceTheWindowShowsAndOnlyWhenSomethingIsDue)
{
    Open(SixRecords());
    // The test's own window never reminds, though a licence is due.
    Find(L"Beta Paint")->ExtraInfo.ExpiryDate = DaysFromToday(0);
    Window.reset();
    Pump();

    // A window opened as the application opens it.
    int runs = 0;
    bool visibleWhenAsked = false;
    auto window = std::make_unique<CQVNDlg>();
    window->SetReminderDialog([&](const std::vector<CDueRecord>& due, HWND owner) {
        ++runs;
        visibleWhenAsked = IsWindowVisible(owner) != FALSE;
        EXPECT_EQ(due.size(), 1u);
        EXPECT_EQ(due.empty() ? nullptr : due[0].Record, Find(L"Beta Paint"));
        return IDCANCEL;
    });
    window->RemindWhenShown(true);
    ASSERT_TRUE(window->Create(nullptr));
    ShowWindow(window->GetSafeHwnd(), SW_SHOW);
    EXPECT_EQ(runs, 0);
    Pump();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(visibleWhenAsked);
    // Cancelled: no tab.
    EXPECT_EQ(TabCtrl_GetItemCount(window->ListPane().TabControl()), 7);
    window.reset();
    Pump();

    // Nothing due: nothing shown.
    Find(L"Beta Paint")->ExtraInfo.ExpiryDate = DaysFromToday(31);
    window = std::make_unique<CQVNDlg>();
    window->SetReminderDialog([&](const std::vector<CDueRecord>&, HWND) { return ++runs, IDCANCEL; });
    window->RemindWhenShown(true);
    ASSERT_TRUE(window->Create(nullptr));
    ShowWindow(window->GetSafeHwnd(), SW_SHOW);
    Pump();
    EXPECT_EQ(runs, 1);
}

TEST_F(FindTests, TheReminderDialogListsNameVersionExpiryAndDaysLeft)
{
    Open(SixRecords());
    CSoftware* expired = Find(L"Alpha Edit");
    CSoftware* soon = Find(L"Gamma Zip");
    expired->ExtraInfo.ExpiryDate = DaysFromToday(-3);
    soon->ExtraInfo.ExpiryDate = DaysFromToday(12);
    const std::vector<CDueRecord> due{{expired, -3}, {soon, 12}};
    CReminderDlg dialog(due, 30, Main());
    ASSERT_TRUE(dialog.Create(Main()));
    HWND box = dialog.GetSafeHwnd();
    wchar_t text[128]{};
    GetWindowTextW(box, text, 128);
    EXPECT_STREQ(text, L"Licence Reminders");
    GetDlgItemTextW(box, IDC_REMINDER_TEXT, text, 128);
    EXPECT_STREQ(text, L"These licences expire within 30 days or have expired:");
    HWND list = GetDlgItem(box, IDC_REMINDER_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    std::vector<Names> rows;
    for (int row = 0; row < 2; ++row) {
        Names cells;
        for (int column = 0; column < 4; ++column) {
            wchar_t cell[64]{};
            ListView_GetItemText(list, row, column, cell, 64);
            cells.emplace_back(cell);
        }
        rows.push_back(cells);
    }
    EXPECT_EQ(rows[0], (Names{L"Alpha Edit", L"1.0", DaysFromToday(-3), L"expired 3 days ago"}));
    EXPECT_EQ(rows[1], (Names{L"Gamma Zip", L"3.0", DaysFromToday(12), L"in 12 days"}));
    // The expired licence is written in red, the other in the list's own colour.
    ShowWindow(box, SW_SHOW);
    UpdateWindow(list);
    EXPECT_GT(RedPixelsOfRow(list, 0), 0);
    EXPECT_EQ(RedPixelsOfRow(list, 1), 0);
    HWND header = ListView_GetHeader(list);
    ASSERT_EQ(Header_GetItemCount(header), 4);
    for (int column = 0; column < 4; ++column) {
        wchar_t heading[32]{};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = heading;
        item.cchTextMax = 32;
        Header_GetItem(header, column, &item);
        EXPECT_STREQ(heading, ReminderColumns[column]);
    }
    wchar_t caption[32]{};
    GetDlgItemTextW(box, IDC_REMINDER_SHOW, caption, 32);
    EXPECT_STREQ(caption, L"Show in a Tab");
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_REMINDER_SHOW, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDC_REMINDER_SHOW)));
    EXPECT_EQ(dialog.GetResult(), IDOK);
    EXPECT_FALSE(IsWindow(box));
}
