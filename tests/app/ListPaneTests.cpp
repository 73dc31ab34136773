#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>

#include "app/Commands.h"
#include "tests/app/ListPaneTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
const wchar_t UnsavedEditsQuestion[] = L"Are you sure to leave without saving your modifications ?";

// Categories: 7 "Internet", 10 "Multimedia", 12 "Office Tools" (names of the vocabulary).
class PaneTests : public ListPaneTest {
protected:
    void FillThreeCategories()
    {
        Web = AddRecord(L"Web Browser", L"Acme", 7);
        Player = AddRecord(L"Player", L"Bolt", 10);
        Mail = AddRecord(L"Mail", L"acme", 7);
        Writer = AddRecord(L"Writer", L"Cobalt", 12);
        Classify(0);
    }
    // The user picks a tab: the tab control only notifies for a click, so the test sends what a
    // click sends.
    void PickTab(int tab)
    {
        SendMessageW(Pane->TabControl(), TCM_SETCURSEL, tab, 0);
        NMHDR header{Pane->TabControl(), static_cast<UINT_PTR>(CSWListDlg::TabControlId),
                     static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(Pane->GetSafeHwnd(), WM_NOTIFY, CSWListDlg::TabControlId, reinterpret_cast<LPARAM>(&header));
    }
    void Click(CSWListBox& list, int index, WPARAM keys = 0) { ClickAt(list.GetSafeHwnd(), EntryPoint(list, index), keys); }
    // What the list of a group tab shows once the user picks the tab.
    std::vector<CSoftware*> ShownOnTab(int tab)
    {
        PickTab(tab);
        return Shown(Pane->GroupListBox());
    }

    CSoftware* Web = nullptr;
    CSoftware* Player = nullptr;
    CSoftware* Mail = nullptr;
    CSoftware* Writer = nullptr;
};
}  // namespace

TEST_F(PaneTests, OpensWithAllAndOneTabPerGroupInPlace)
{
    FillThreeCategories();
    OpenPane();

    EXPECT_EQ(TabTexts(Pane->TabControl()), (std::vector<std::wstring>{L"All", L"Internet", L"Multimedia", L"Office Tools"}));
    EXPECT_EQ(Pane->ActiveTab(), 0);
    EXPECT_EQ(Shown(Pane->AllList()), (std::vector<CSoftware*>{Web, Player, Mail, Writer}));
    ASSERT_EQ(Pane->GroupCount(), 3u);
    // One list box serves the group tabs, hidden while "All" shows.
    EXPECT_FALSE(IsWindowVisible(Pane->GroupListBox().GetSafeHwnd())) << "only the current tab's list shows";
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(Pane->GroupView(k).Selected, std::vector<int>{0});
    EXPECT_TRUE(IsWindowVisible(Pane->AllList().GetSafeHwnd()));
    EXPECT_EQ(Pane->AllList().SelectedIndexes(), std::vector<int>{0});
    EXPECT_EQ(Pane->CurrentList(), &Pane->AllList());

    // Geometry: 515 x 600 with a thin edge, the strip at (2, 2)-(513, 598), the lists inside it.
    RECT pane{};
    GetWindowRect(Pane->GetSafeHwnd(), &pane);
    EXPECT_EQ(RectWidth(pane), 515);
    EXPECT_EQ(RectHeight(pane), 600);
    RECT strip{};
    GetWindowRect(Pane->TabControl(), &strip);
    MapWindowPoints(nullptr, Pane->GetSafeHwnd(), reinterpret_cast<POINT*>(&strip), 2);
    EXPECT_EQ(strip.left, 2);
    EXPECT_EQ(strip.top, 2);
    EXPECT_EQ(strip.right, 513);
    EXPECT_EQ(strip.bottom, 598);
    RECT list{};
    GetWindowRect(Pane->AllList().GetSafeHwnd(), &list);
    MapWindowPoints(nullptr, Pane->GetSafeHwnd(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, Pane->ListArea().left);
    EXPECT_EQ(list.top, Pane->ListArea().top);
    EXPECT_GT(list.top, strip.top + 15) << "below the tab headers";
    EXPECT_LE(list.bottom, strip.bottom);
    EXPECT_FALSE(GetWindowLongPtrW(Pane->AllList().GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongPtrW(Pane->AllList().GetSafeHwnd(), GWL_STYLE) & WS_BORDER);

    // Each group tab shows its group, in the same place, with the group's id.
    HWND groupList = Pane->GroupListBox().GetSafeHwnd();
    EXPECT_EQ(ShownOnTab(1), (std::vector<CSoftware*>{Web, Mail}));
    EXPECT_EQ(GetDlgCtrlID(groupList), 1012);
    EXPECT_EQ(ShownOnTab(3), (std::vector<CSoftware*>{Writer}));
    EXPECT_EQ(GetDlgCtrlID(groupList), 1014);
    EXPECT_EQ(Pane->GroupListBox().SelectedIndexes(), std::vector<int>{0});
    GetWindowRect(groupList, &list);
    MapWindowPoints(nullptr, Pane->GetSafeHwnd(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, Pane->ListArea().left);
    EXPECT_EQ(list.top, Pane->ListArea().top);
    EXPECT_TRUE(GetWindowLongPtrW(groupList, GWL_STYLE) & WS_BORDER);
}

TEST_F(PaneTests, AnEmptyCatalogueShowsAnEmptyAllTabAndNoRecord)
{
    Classify(0);
    OpenPane();
    EXPECT_EQ(TabTexts(Pane->TabControl()), std::vector<std::wstring>{L"All"});
    EXPECT_EQ(Pane->AllList().Count(), 0);
    Pane->HandleSelectionChange(CSWListDlg::AllListId);
    EXPECT_EQ(Details.Record(), nullptr);
    EXPECT_TRUE(Details.SetRecordCalls.empty()) << "no record was shown, none to clear";
}

TEST_F(PaneTests, RebuildingFollowsMoreAndFewerGroups)
{
    FillThreeCategories();
    OpenPane();

    // Company: Acme (with acme), Bolt, Cobalt: same count, new names and contents.
    CSoftware* dyn = AddRecord(L"Dynamo", L"Delta", 12);
    Classify(1);
    ASSERT_TRUE(Pane->RebuildTabs());
    EXPECT_EQ(TabTexts(Pane->TabControl()),
              (std::vector<std::wstring>{L"All", L"Acme", L"Bolt", L"Cobalt", L"Delta"}));
    ASSERT_EQ(Pane->GroupCount(), 4u);
    EXPECT_EQ(Shown(Pane->AllList()).size(), 5u);
    EXPECT_EQ(ShownOnTab(1), (std::vector<CSoftware*>{Web, Mail}));
    EXPECT_EQ(ShownOnTab(4), std::vector<CSoftware*>{dyn});
    EXPECT_EQ(GetDlgCtrlID(Pane->GroupListBox().GetSafeHwnd()), 1015);

    // Type: every record is share-ware, one group; the surplus tabs go from the end. A group's
    // selection is not carried over into the new grouping.
    PickTab(1);
    Pane->GroupListBox().SelectAll();
    PickTab(0);
    Classify(2);
    ASSERT_TRUE(Pane->RebuildTabs());
    EXPECT_EQ(TabTexts(Pane->TabControl()), (std::vector<std::wstring>{L"All", L"Share-ware"}));
    ASSERT_EQ(Pane->GroupCount(), 1u);
    EXPECT_EQ(Pane->GroupView(0).Selected, std::vector<int>{0}) << "exactly the first entry";
    EXPECT_EQ(Pane->AllList().SelectedIndexes(), std::vector<int>{0});
    EXPECT_EQ(Pane->ActiveTab(), 0);
    EXPECT_EQ(ShownOnTab(1), (std::vector<CSoftware*>{Web, Player, Mail, Writer, dyn}));
    EXPECT_EQ(Pane->GroupListBox().SelectedIndexes(), std::vector<int>{0});
}

TEST_F(PaneTests, RebuildingWhileAGroupShowsPointsItsListAtTheNewGroup)
{
    FillThreeCategories();
    OpenPane();
    PickTab(2);
    Pane->GroupListBox().SelectOnly(-1);
    Classify(1);  // Acme, Bolt, Cobalt
    ASSERT_TRUE(Pane->RebuildTabs());
    EXPECT_EQ(Pane->ActiveTab(), 2) << "the callers decide where to go";
    HWND list = Pane->GroupListBox().GetSafeHwnd();
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(GetDlgCtrlID(list), 1013);
    EXPECT_EQ(Shown(Pane->GroupListBox()), std::vector<CSoftware*>{Player});
    EXPECT_EQ(Pane->GroupListBox().SelectedIndexes(), std::vector<int>{0});

    // With its group gone, the list shows nothing until the caller brings "All" forward.
    Classify(2);
    ASSERT_TRUE(Pane->RebuildTabs());
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(SendMessageW(Pane->TabControl(), TCM_GETCURSEL, 0, 0), -1) << "the selected tab went with its group";
    SendMessageW(Pane->TabControl(), TCM_SETCURSEL, 0, 0);
    Pane->ActivateTab(true);
    EXPECT_TRUE(IsWindowVisible(Pane->AllList().GetSafeHwnd()));
    EXPECT_EQ(Details.Record(), Web);
}

TEST_F(PaneTests, EachGroupKeepsItsSelectionFocusAndScrollAcrossSwitches)
{
    // Two companies of 30 records each: more than a list shows at once.
    for (int i = 0; i < 60; ++i)
        AddRecord(L"Record " + std::to_wstring(i), i % 2 ? L"Bolt" : L"Acme", 7);
    Classify(1);
    OpenPane();
    CSWListBox& list = Pane->GroupListBox();
    HWND window = list.GetSafeHwnd();

    PickTab(1);
    SendMessageW(window, LB_SETSEL, FALSE, -1);
    SendMessageW(window, LB_SELITEMRANGEEX, 20, 22);
    SendMessageW(window, LB_SETSEL, TRUE, 25);
    SendMessageW(window, LB_SETANCHORINDEX, 20, 0);
    SendMessageW(window, LB_SETCARETINDEX, 25, FALSE);
    SendMessageW(window, LB_SETTOPINDEX, 18, 0);

    PickTab(2);
    EXPECT_EQ(GetDlgCtrlID(window), 1013);
    EXPECT_EQ(list.SelectedIndexes(), std::vector<int>{0}) << "the other group as it started";
    EXPECT_EQ(SendMessageW(window, LB_GETTOPINDEX, 0, 0), 0);
    list.SelectOnly(7);
    SendMessageW(window, LB_SETTOPINDEX, 5, 0);

    PickTab(0);
    PickTab(1);
    EXPECT_EQ(GetDlgCtrlID(window), 1012);
    EXPECT_EQ(list.SelectedIndexes(), (std::vector<int>{20, 21, 22, 25}));
    EXPECT_EQ(list.CaretIndex(), 25);
    EXPECT_EQ(SendMessageW(window, LB_GETANCHORINDEX, 0, 0), 20);
    EXPECT_EQ(SendMessageW(window, LB_GETTOPINDEX, 0, 0), 18);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(Details.Record(), nullptr) << "several selected: no record";

    PickTab(2);
    EXPECT_EQ(list.SelectedIndexes(), std::vector<int>{7});
    EXPECT_EQ(list.CaretIndex(), 7);
    EXPECT_EQ(SendMessageW(window, LB_GETTOPINDEX, 0, 0), 5);
    EXPECT_EQ(Details.Record(), SoftwareList[15]) << "the 8th of Bolt";
    // The hidden group's view is kept as the user left it.
    EXPECT_EQ(Pane->GroupView(0).Selected, (std::vector<int>{20, 21, 22, 25}));
    EXPECT_EQ(Pane->GroupView(0).Top, 18);

    // Shift extends from the kept anchor, as it would in a list of its own.
    PickTab(1);
    ClickAt(window, EntryPoint(list, 19), MK_SHIFT);
    EXPECT_EQ(list.SelectedIndexes(), (std::vector<int>{19, 20}));
}

TEST_F(PaneTests, TheActiveGroupListCarriesItsGroupsIdForOutsideTools)
{
    FillThreeCategories();
    OpenPane();
    HWND pane = Pane->GetSafeHwnd();
    EXPECT_EQ(GetDlgItem(pane, CSWListDlg::AllListId), Pane->AllList().GetSafeHwnd());
    for (int k = 0; k < 3; ++k) {
        PickTab(k + 1);
        HWND found = GetDlgItem(pane, 1012 + k);
        EXPECT_EQ(found, Pane->GroupListBox().GetSafeHwnd());
        EXPECT_TRUE(IsWindowVisible(found));
        // A tool reading the list it found sees the group's entries.
        EXPECT_EQ(SendMessageW(found, LB_GETCOUNT, 0, 0), ::GroupList[k]->GetSize());
        for (int other = 0; other < 3; ++other) {
            if (other != k) {
                EXPECT_EQ(GetDlgItem(pane, 1012 + other), nullptr);
            }
        }
    }
    // The "All" list keeps its id whatever group shows.
    EXPECT_EQ(GetDlgItem(pane, CSWListDlg::AllListId), Pane->AllList().GetSafeHwnd());
    EXPECT_EQ(GetDlgItem(pane, CSWListDlg::TabControlId), Pane->TabControl());
}

TEST_F(PaneTests, ClickingATabOrJumpingByNameSwitchesGroups)
{
    FillThreeCategories();
    OpenPane();
    HWND tabs = Pane->TabControl();
    RECT rect{};
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect)));
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    SendMessageW(tabs, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(Pane->ActiveTab(), 2);
    EXPECT_EQ(Details.Record(), Player);
    EXPECT_EQ(GetFocus(), Pane->GroupListBox().GetSafeHwnd()) << "the list takes the focus, as before";

    // The arrow keys on the strip, then typing the start of a group's name.
    SetFocus(tabs);
    SendMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Pane->ActiveTab(), 3);
    EXPECT_EQ(Details.Record(), Writer);
    SetFocus(tabs);
    SendMessageW(tabs, WM_CHAR, L'i', 0);
    HWND popup = FindWindowW(L"QuorvaneTabJumpList", nullptr);
    ASSERT_NE(popup, nullptr);
    SendMessageW(GetDlgItem(popup, 1), WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(Pane->ActiveTab(), 1);
    EXPECT_EQ(Details.Record(), Web);
    EXPECT_EQ(GetFocus(), Pane->GroupListBox().GetSafeHwnd());
}

TEST_F(PaneTests, SelectionsDriveTheDetailsPane)
{
    FillThreeCategories();
    OpenPane();
    CSWListBox& all = Pane->AllList();

    Click(all, 2);
    EXPECT_EQ(Details.Record(), Mail);
    Click(all, 3, MK_CONTROL);
    EXPECT_EQ(all.SelectedIndexes(), (std::vector<int>{2, 3}));
    EXPECT_EQ(Details.Record(), nullptr) << "several selected: no record";
    // Control-clicking one of the two away leaves the other shown, not the entry clicked.
    Click(all, 3, MK_CONTROL);
    EXPECT_EQ(all.SelectedIndexes(), std::vector<int>{2});
    EXPECT_EQ(Details.Record(), Mail);

    // A click on the shown record asks nothing of the details pane.
    const size_t calls = Details.SetRecordCalls.size();
    Click(all, 2);
    EXPECT_EQ(Details.SetRecordCalls.size(), calls);
}

TEST_F(PaneTests, SwitchingTabsShowsTheirListAndResetsSortBy)
{
    FillThreeCategories();
    OpenPane();
    SendMessageW(Host.SortBox(), CB_SETCURSEL, 2, 0);

    PickTab(3);
    EXPECT_EQ(Pane->ActiveTab(), 3);
    EXPECT_EQ(Pane->CurrentList(), &Pane->GroupListBox());
    EXPECT_EQ(GetDlgCtrlID(Pane->GroupListBox().GetSafeHwnd()), 1014);
    EXPECT_TRUE(IsWindowVisible(Pane->GroupListBox().GetSafeHwnd()));
    EXPECT_FALSE(IsWindowVisible(Pane->AllList().GetSafeHwnd()));
    EXPECT_EQ(GetFocus(), Pane->GroupListBox().GetSafeHwnd());
    EXPECT_EQ(Details.Record(), Writer);
    EXPECT_EQ(SendMessageW(Host.SortBox(), CB_GETCURSEL, 0, 0), 0);

    // A group tab whose list was left with nothing selected selects its first entry when it comes
    // forward again.
    PickTab(1);
    Pane->GroupListBox().SelectOnly(-1);
    PickTab(3);
    SendMessageW(Host.SortBox(), CB_SETCURSEL, 1, 0);
    PickTab(1);
    EXPECT_EQ(Pane->GroupListBox().SelectedIndexes(), std::vector<int>{0});
    EXPECT_EQ(Details.Record(), Web);
    EXPECT_EQ(Shown(Pane->GroupListBox()), (std::vector<CSoftware*>{Web, Mail})) << "group 3's entries gone";
    EXPECT_EQ(SendMessageW(Host.SortBox(), CB_GETCURSEL, 0, 0), 0);

    // The same tab again changes nothing.
    SendMessageW(Host.SortBox(), CB_SETCURSEL, 1, 0);
    Pane->ActivateTab(true);
    EXPECT_EQ(SendMessageW(Host.SortBox(), CB_GETCURSEL, 0, 0), 1);

    // Without notification the details pane is left alone.
    const size_t calls = Details.SetRecordCalls.size();
    SendMessageW(Pane->TabControl(), TCM_SETCURSEL, 0, 0);
    Pane->ActivateTab(false);
    EXPECT_EQ(Pane->ActiveTab(), 0);
    EXPECT_EQ(Details.SetRecordCalls.size(), calls);
}

TEST_F(PaneTests, UnsavedEditsAskBeforeTheSelectionMoves)
{
    FillThreeCategories();
    OpenPane();
    CSWListBox& all = Pane->AllList();
    Click(all, 1);
    ASSERT_EQ(Details.Record(), Player);
    Details.SetMode(ItemInfoEdit);

    {
        // Yes: the edits are dropped, the new record shown in view mode.
        CMessageBoxScript boxes;
        boxes.Answer(IDYES);
        Click(all, 3);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].Text, UnsavedEditsQuestion);
        EXPECT_EQ(boxes.Shown()[0].Type & (MB_ICONMASK | MB_TYPEMASK), static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));
        EXPECT_EQ(Details.Mode(), ItemInfoView);
        EXPECT_EQ(Details.Record(), Writer);
        EXPECT_EQ(Details.Relayouts, 1);
    }
    {
        // No: the edited record stays, selected alone, the pane still editing.
        Details.SetMode(ItemInfoEdit);
        CMessageBoxScript boxes;
        boxes.Answer(IDNO);
        Click(all, 0);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{UnsavedEditsQuestion});
        EXPECT_EQ(Details.Mode(), ItemInfoEdit);
        EXPECT_EQ(Details.Record(), Writer);
        EXPECT_EQ(all.SelectedIndexes(), std::vector<int>{3});
    }
}

TEST_F(PaneTests, NoOnAGroupTabReturnsToAllAndMayAskOnceMore)
{
    FillThreeCategories();
    OpenPane();
    CSWListBox& all = Pane->AllList();
    Click(all, 3);
    Details.SetMode(ItemInfoEdit);  // editing Writer

    {
        // Internet shows Web first: No brings "All" back, where Writer is still selected, so
        // nothing more is asked.
        CMessageBoxScript boxes;
        boxes.Answer(IDNO);
        PickTab(1);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{UnsavedEditsQuestion});
        EXPECT_EQ(Pane->ActiveTab(), 0);
        EXPECT_EQ(SendMessageW(Pane->TabControl(), TCM_GETCURSEL, 0, 0), 0);
        EXPECT_TRUE(IsWindowVisible(all.GetSafeHwnd()));
        EXPECT_EQ(all.SelectedIndexes(), std::vector<int>{3});
        EXPECT_EQ(Details.Record(), Writer);
        EXPECT_EQ(Details.Mode(), ItemInfoEdit);
    }
    {
        // With another entry selected in "All", No on the group tab asks once more for that
        // one; Yes there shows it, and it is the one selected afterwards.
        all.SelectOnly(0);
        CMessageBoxScript boxes;
        boxes.Answer(IDNO);
        boxes.Answer(IDYES);
        PickTab(2);
        EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{UnsavedEditsQuestion, UnsavedEditsQuestion}));
        EXPECT_EQ(Pane->ActiveTab(), 0);
        EXPECT_EQ(Details.Mode(), ItemInfoView);
        EXPECT_EQ(Details.Record(), Web);
        EXPECT_EQ(all.SelectedIndexes(), std::vector<int>{0});
    }
}

TEST_F(PaneTests, ContextMenuCommandsArePostedToTheMainWindow)
{
    FillThreeCategories();
    OpenPane();
    HWND pane = Pane->GetSafeHwnd();
    const std::pair<UINT, WPARAM> commands[] = {
        {CSWListDlg::CommandAdd, CMD_ADD},       {CSWListDlg::CommandDelete, CMD_DELETE},
        {CSWListDlg::CommandAttach, CMD_ATTACH}, {CSWListDlg::CommandDetach, CMD_DETACH},
        {CSWListDlg::CommandExport, CMD_EXPORT}, {CSWListDlg::CommandLaunch, CMD_LAUNCH},
    };
    std::vector<PostedCommand> expected;
    for (const auto& [id, code] : commands) {
        SendMessageW(pane, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        expected.push_back({code, pane});
    }
    EXPECT_EQ(Host.TakeCommands(), expected) << "posted, in order, with the pane as sender";

    // Select All and Reverse Select stay in the pane.
    PickTab(1);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(CSWListDlg::CommandSelectAll, 0), 0);
    CSWListBox& group = Pane->GroupListBox();
    EXPECT_EQ(group.SelectedIndexes(), (std::vector<int>{0, 1}));
    EXPECT_EQ(Details.Record(), nullptr);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(CSWListDlg::CommandReverseSelect, 0), 0);
    EXPECT_EQ(group.SelectedIndexes(), std::vector<int>{0}) << "none left: the first";
    EXPECT_EQ(Details.Record(), Web);
    group.SelectOnly(0);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(CSWListDlg::CommandReverseSelect, 0), 0);
    EXPECT_EQ(group.SelectedIndexes(), std::vector<int>{1});
    EXPECT_EQ(Details.Record(), Mail);
    EXPECT_TRUE(Host.TakeCommands().empty());
}

TEST_F(PaneTests, DoubleClickAndKeysBecomeCommands)
{
    FillThreeCategories();
    OpenPane();
    HWND pane = Pane->GetSafeHwnd();
    HWND all = Pane->AllList().GetSafeHwnd();
    POINT point = EntryPoint(Pane->AllList(), 1);

    SendMessageW(all, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageW(all, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(Host.TakeCommands(), (std::vector<PostedCommand>{{CMD_LAUNCH, pane}}));

    SendMessageW(all, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(all, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(all, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Host.TakeCommands(),
              (std::vector<PostedCommand>{{CMD_LAUNCH, pane}, {CMD_LAUNCH, pane}, {CMD_DELETE, pane}}));

    // The list asks the dialog manager for Enter, so it never reaches a default button.
    MSG enter{};
    enter.hwnd = all;
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_TRUE(SendMessageW(all, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE);

    // Control+A (left Control) selects every entry.
    SetControlKey(true);
    SendMessageW(all, WM_KEYDOWN, 'A', 0);
    SetControlKey(false);
    PumpMessages();
    EXPECT_EQ(Pane->AllList().SelectedCount(), 4);
    EXPECT_EQ(Details.Record(), nullptr);
    // 'A' alone is no command.
    Pane->AllList().SelectOnly(0);
    SendMessageW(all, WM_KEYDOWN, 'A', 0);
    PumpMessages();
    EXPECT_EQ(Pane->AllList().SelectedCount(), 1);
    EXPECT_TRUE(Host.TakeCommands().empty());
}

TEST_F(PaneTests, EnterAndEscapeNeverCloseThePane)
{
    FillThreeCategories();
    OpenPane();
    HWND pane = Pane->GetSafeHwnd();
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(4242, 0), 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(pane));
    EXPECT_TRUE(Host.TakeCommands().empty());
}

TEST_F(PaneTests, DestroyingThePaneDestroysItsGroupLists)
{
    FillThreeCategories();
    OpenPane();
    PickTab(2);
    std::vector<HWND> lists{Pane->AllList().GetSafeHwnd(), Pane->GroupListBox().GetSafeHwnd()};
    DestroyWindow(Pane->GetSafeHwnd());
    EXPECT_EQ(Pane->GroupCount(), 0u);
    for (HWND list : lists)
        EXPECT_FALSE(IsWindow(list));
}

TEST_F(PaneTests, TheMarginsTakeThePaneColour)
{
    FillThreeCategories();
    OpenPane();
    HWND pane = Pane->GetSafeHwnd();
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CClientDC dc(pane);
    EXPECT_EQ(GetPixel(dc.Get(), 0, 0), CSWListDlg::PaneColour);
    EXPECT_EQ(GetPixel(dc.Get(), 1, 300), CSWListDlg::PaneColour);
}

TEST_F(PaneTests, TwoThousandGroupsGetTheirTabsAndListsInOrder)
{
    for (int i = 0; i < 10000; ++i) {
        wchar_t company[16];
        swprintf(company, 16, L"Company %04d", i % 2000);
        AddRecord(L"Record " + std::to_wstring(i), company, i % 19);
    }
    Classify(1);
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point from) {
        return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
    };
    auto start = Clock::now();
    OpenPane();
    const double open = ms(start);
    std::vector<std::wstring> tabs = TabTexts(Pane->TabControl());
    ASSERT_EQ(tabs.size(), 2001u);
    EXPECT_EQ(tabs[1], L"Company 0000");
    EXPECT_EQ(tabs[2000], L"Company 1999");
    ASSERT_EQ(Pane->GroupCount(), 2000u);
    PickTab(2000);
    EXPECT_EQ(Pane->GroupListBox().Count(), 5);
    EXPECT_EQ(Pane->GroupListBox().RecordAt(4), SoftwareList[9999]);

    start = Clock::now();
    PickTab(1500);
    const double pick = ms(start);
    EXPECT_EQ(Details.Record(), SoftwareList[1499]);

    start = Clock::now();
    ASSERT_TRUE(Pane->RebuildTabs());
    const double again = ms(start);
    Classify(0);
    start = Clock::now();
    ASSERT_TRUE(Pane->RebuildTabs());
    const double fewer = ms(start);
    EXPECT_EQ(TabTexts(Pane->TabControl()).size(), 20u);
    SendMessageW(Pane->TabControl(), TCM_SETCURSEL, 0, 0);
    Pane->ActivateTab(false);
    Classify(1);
    start = Clock::now();
    ASSERT_TRUE(Pane->RebuildTabs());
    const double more = ms(start);
    std::printf("2000 groups of 10000 records: open %.0f ms, switch tab %.1f ms, rebuild same %.0f ms, "
                "to 19 groups %.0f ms, back to 2000 %.0f ms\n",
                open, pick, again, fewer, more);
}

TEST_F(PaneTests, ControlTabAndControlPageKeysGoRoundTheTabs)
{
    FillThreeCategories();
    OpenPane();
    HWND all = Pane->AllList().GetSafeHwnd();
    HWND group = Pane->GroupListBox().GetSafeHwnd();
    auto press = [](HWND list, WPARAM key) {
        SendMessageW(list, WM_KEYDOWN, key, 0);
        PumpMessages();
    };

    // Without Control the keys are the list's own.
    press(all, VK_NEXT);
    EXPECT_EQ(Pane->ActiveTab(), 0);

    SetControlKey(true);
    // The dialog manager hands Ctrl+Tab to the list instead of moving the focus.
    MSG tab{};
    tab.hwnd = all;
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    EXPECT_TRUE(SendMessageW(all, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTMESSAGE);
    press(all, VK_TAB);
    EXPECT_EQ(Pane->ActiveTab(), 1);
    EXPECT_EQ(Details.Record(), Web);
    press(group, VK_NEXT);
    EXPECT_EQ(Pane->ActiveTab(), 2);
    press(group, VK_PRIOR);
    EXPECT_EQ(Pane->ActiveTab(), 1);
    press(group, VK_PRIOR);
    EXPECT_EQ(Pane->ActiveTab(), 0);
    press(all, VK_PRIOR);
    EXPECT_EQ(Pane->ActiveTab(), 3) << "round to the last tab";
    press(group, VK_TAB);
    EXPECT_EQ(Pane->ActiveTab(), 0) << "and on to \"All\"";
    SetControlKey(false);
    EXPECT_TRUE(Host.TakeCommands().empty());
}
