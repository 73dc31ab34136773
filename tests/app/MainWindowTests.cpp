#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/SoftwareFiles.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
using Names = std::vector<std::wstring>;
using Positions = std::vector<int>;

RECT RectInParent(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectRect(const RECT& rect, int left, int top, int width, int height)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

int DataFolderFileCount(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

class MainWindowTests : public CMainWindowTest {};
}  // namespace

TEST_F(MainWindowTests, OpensAtItsSizeWithToolbarAndBothPanesFillingTheContentArea)
{
    Open(SixRecords());

    RECT window{};
    GetWindowRect(Main(), &window);
    EXPECT_EQ(window.right - window.left, 821);
    EXPECT_EQ(window.bottom - window.top, 707);
    wchar_t title[64]{};
    GetWindowTextW(Main(), title, 64);
    EXPECT_STREQ(title, L"Quorvane");
    EXPECT_TRUE(GetWindowLongW(Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Main(), WM_GETICON, ICON_BIG, 0)), Window->AppIcon());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Main(), WM_QUERYDRAGICON, 0, 0)), Window->AppIcon());

    // Content area: 3 pixels of frame at the sides and bottom, 30 of title bar.
    ExpectRect(RectInParent(ToolbarWindow()), 3, 30, 815, 74);
    ExpectRect(RectInParent(ListPaneWindow()), 3, 104, 515, 600);
    ExpectRect(RectInParent(Window->ItemInfoWindow()), 518, 104, 300, 600);
    EXPECT_TRUE(IsWindowVisible(ListPaneWindow()));
    EXPECT_TRUE(IsWindowVisible(Window->ItemInfoWindow()));

    HMENU systemMenu = GetSystemMenu(Main(), FALSE);
    const int items = GetMenuItemCount(systemMenu);
    ASSERT_GE(items, 2);
    wchar_t about[64]{};
    GetMenuStringW(systemMenu, CQVNDlg::AboutMenuId, about, 64, MF_BYCOMMAND);
    EXPECT_STREQ(about, L"&About Quorvane...");
    EXPECT_EQ(GetMenuItemID(systemMenu, items - 1), CQVNDlg::AboutMenuId);
    EXPECT_EQ(GetMenuState(systemMenu, items - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    // The categories in name order, "All" first; the first entry chosen and shown.
    EXPECT_EQ(TabNames(), (Names{L"All", L"Compression Tools", L"File Management", L"Internet", L"Multimedia",
                                 L"Science / CAD", L"Text Edit"}));
    EXPECT_EQ(ShownNames(), NamesOf(SoftwareList));
    EXPECT_EQ(Selected(), Positions{0});
    EXPECT_EQ(Window->ItemInfo().Record(), SoftwareList[0]);
    EXPECT_EQ(GetFocus(), Window->ListPane().AllList().GetSafeHwnd());
}

TEST_F(MainWindowTests, EnterAndEscapeNeverCloseTheWindow)
{
    Open(SixRecords());
    Window->ItemInfo().SetMode(ItemInfoView);

    SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    // As the dialog manager turns the keys into those commands.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        MSG press{};
        press.hwnd = Window->ListPane().AllList().GetSafeHwnd();
        press.message = WM_KEYDOWN;
        press.wParam = key;
        IsDialogMessageW(Main(), &press);
    }
    Pump();

    EXPECT_TRUE(IsWindow(Main()));
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(MainWindowTests, SystemMenuCloseAsksOnlyWhileTheDetailsPaneEdits)
{
    Open(SixRecords());
    Window->ItemInfo().SetMode(ItemInfoEdit);

    SendMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(Boxes.Texts(), Names{L"Are you sure to leave without saving your modifications ?"});
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Boxes.Shown()[0].Owner, Main());
    EXPECT_TRUE(IsWindow(Main()));
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoEdit);

    Boxes.Answer(IDYES);
    HWND main = Main();
    SendMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(MainWindowTests, SystemMenuCloseWithoutEditsClosesAtOnce)
{
    Open(SixRecords());
    HWND main = Main();
    SendMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(MainWindowTests, EndingTheSessionWhileEditingAsksAndNoKeepsTheSession)
{
    Open(SixRecords());
    EXPECT_EQ(SendMessageW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(Boxes.Shown().empty());

    Window->ItemInfo().SetMode(ItemInfoEdit);
    EXPECT_EQ(SendMessageW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    Boxes.Answer(IDYES);
    EXPECT_EQ(SendMessageW(Main(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(Boxes.Texts(), (Names{L"Are you sure to leave without saving your modifications ?",
                                    L"Are you sure to leave without saving your modifications ?"}));
    EXPECT_TRUE(IsWindow(Main()));
    EXPECT_EQ(Window->ItemInfo().Mode(), ItemInfoEdit);
}

TEST_F(MainWindowTests, OptionsAboutAndTheSystemMenuItemRunTheirDialogs)
{
    Open(SixRecords());
    ClickToolbarButton(IDC_TOOL_OPTIONS);
    EXPECT_EQ(OptionsRuns, 1);
    ClickToolbarButton(IDC_TOOL_ABOUT);
    EXPECT_EQ(AboutRuns, 1);
    SendMessageW(Main(), WM_SYSCOMMAND, CQVNDlg::AboutMenuId, 0);
    EXPECT_EQ(AboutRuns, 2);
    // Codes outside the table do nothing.
    PostFromToolbar(0);
    PostFromToolbar(11);
    EXPECT_EQ(OptionsRuns, 1);
    EXPECT_EQ(AboutRuns, 2);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(MainWindowTests, AddSavesTheNewRecordAndShowsItAloneOnTheAllTab)
{
    Open(SixRecords());
    SwitchTab(3);
    AddDialogStep = [](CSoftware& record) {
        record.BasicInfo.Name = L"Omega Tune";
        record.BasicInfo.Category = 10;
        return IDOK;
    };
    ClickToolbarButton(IDC_TOOL_ADD);

    ASSERT_EQ(AddDialogOwners, std::vector<HWND>{Main()});
    ASSERT_EQ(SoftwareList.GetSize(), 7);
    CSoftware* added = SoftwareList[6];
    EXPECT_EQ(added->BasicInfo.Name, L"Omega Tune");
    EXPECT_FALSE(added->Id.IsNull());
    EXPECT_TRUE(FileExistsAt(MetaDataPath(*added)));
    EXPECT_EQ(Window->ListPane().ActiveTab(), 0);
    EXPECT_EQ(TabCtrl_GetCurSel(Window->ListPane().TabControl()), 0);
    EXPECT_EQ(Selected(), Positions{6});
    EXPECT_EQ(Window->ItemInfo().Record(), added);
    // The toolbar's command hands the keyboard to the list.
    EXPECT_EQ(GetFocus(), Window->ListPane().AllList().GetSafeHwnd());
}

TEST_F(MainWindowTests, CancelledAddChangesNothingAndLeavesNoFile)
{
    Open(SixRecords());
    AddDialogStep = [](CSoftware& record) {
        record.BasicInfo.Name = L"Never";
        return IDCANCEL;
    };
    PostFromListPane(CMD_ADD);
    EXPECT_EQ(AddDialogOwners.size(), 1u);
    EXPECT_EQ(SoftwareList.GetSize(), 6);
    EXPECT_EQ(DataFolderFileCount(Data), 6);
    EXPECT_EQ(TabNames().size(), 7u);
}

TEST_F(MainWindowTests, ClassifyByCompanyKeepsTheShownRecordAloneSelected)
{
    Open(SixRecords());
    SwitchTab(1);  // Compression Tools: Gamma Zip alone, now shown
    ASSERT_EQ(Window->ItemInfo().Record(), Find(L"Gamma Zip"));
    ChooseClassify(1);

    EXPECT_EQ(CurrentClassifyMode, 1);
    EXPECT_EQ(TabNames(), (Names{L"All", L"Brightline", L"Corvid Labs", L"Deepwater"}));
    EXPECT_EQ(Window->ListPane().ActiveTab(), 0);
    EXPECT_EQ(TabCtrl_GetCurSel(Window->ListPane().TabControl()), 0);
    EXPECT_EQ(Selected(), Positions{4});
    EXPECT_EQ(Window->ItemInfo().Record(), Find(L"Gamma Zip"));
    SwitchTab(1);
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Gamma Zip", L"Zeta Sync"}));
}

TEST_F(MainWindowTests, ClassifyWithSeveralSelectedLeavesExactlyTheFirstEntry)
{
    Open(SixRecords());
    Select({1, 3, 5});
    ASSERT_EQ(Window->ItemInfo().Record(), nullptr);
    ChooseClassify(2);

    EXPECT_EQ(TabNames(), (Names{L"All", L"Commercial-ware", L"Free-ware", L"Share-ware"}));
    EXPECT_EQ(Selected(), Positions{0});
    EXPECT_EQ(Window->ItemInfo().Record(), SoftwareList[0]);
}

TEST_F(MainWindowTests, SortOnAGroupTabSortsThatGroupOnlyAndTabSwitchResetsSortBy)
{
    Open(SixRecords(), 1);
    SwitchTab(1);  // Brightline: Alpha Edit, Gamma Zip, Zeta Sync
    ASSERT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Gamma Zip", L"Zeta Sync"}));
    Select({1});
    ChooseSortKey(SortByPrice);

    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Zeta Sync", L"Gamma Zip"}));
    // The shown record stays the one selected.
    EXPECT_EQ(Selected(), Positions{2});
    EXPECT_EQ(Window->ItemInfo().Record(), Find(L"Gamma Zip"));
    EXPECT_EQ(Window->Toolbar().SortSelection(), SortByPrice);
    EXPECT_EQ(GetFocus(), Window->ListPane().CurrentList()->GetSafeHwnd());

    SwitchTab(0);
    EXPECT_EQ(Window->Toolbar().SortSelection(), SortNone);
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Beta Paint", L"Delta Net", L"Epsilon CAD", L"Gamma Zip",
                                   L"Zeta Sync"}));
}

TEST_F(MainWindowTests, SortNoneKeepsEveryOrderAndTheDirectionIconReversesTheKey)
{
    Open(SixRecords());
    const Names before = ShownNames();
    ChooseSortKey(SortNone);
    EXPECT_EQ(ShownNames(), before);

    ChooseSortKey(SortByUserName);
    EXPECT_EQ(ShownNames(), (Names{L"Beta Paint", L"Epsilon CAD", L"Zeta Sync", L"Gamma Zip", L"Delta Net",
                                   L"Alpha Edit"}));
    // A press on the direction icon flips the direction and sorts again by the chosen key.
    const RECT icon = Window->Toolbar().SortDirectionRect();
    SendMessageW(ToolbarWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.left + 5, icon.top + 5));
    SendMessageW(ToolbarWindow(), WM_LBUTTONUP, 0, MAKELPARAM(icon.left + 5, icon.top + 5));
    Pump();
    EXPECT_EQ(SortDescending, 1);
    EXPECT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Delta Net", L"Gamma Zip", L"Zeta Sync", L"Epsilon CAD",
                                   L"Beta Paint"}));
}

TEST_F(MainWindowTests, AContextMenuCommandLeavesTheFocusWhereItIs)
{
    Open(SixRecords());
    SetFocus(ToolbarWindow());
    HWND before = GetFocus();
    PostFromListPane(CMD_ATTACH);  // nothing selected needs no box here: one entry is selected
    EXPECT_EQ(GetFocus(), before);
    ClickToolbarButton(IDC_TOOL_DETACH);
    EXPECT_EQ(GetFocus(), Window->ListPane().AllList().GetSafeHwnd());
}
