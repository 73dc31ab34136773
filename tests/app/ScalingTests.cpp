#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/FindDlg.h"
#include "app/Finder.h"
#include "app/ItemInfoPane.h"
#include "app/ReminderDlg.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "tests/app/GeometryCheck.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
RECT RectInParent(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

SIZE SizeOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SwitchDetailsTab(HWND pane, int tab)
{
    HWND tabs = GetDlgItem(pane, IDC_ITEM_TABS);
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR header{tabs, static_cast<UINT_PTR>(IDC_ITEM_TABS), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(pane, WM_NOTIFY, IDC_ITEM_TABS, reinterpret_cast<LPARAM>(&header));
}

class ScalingTests : public CMainWindowTest {
protected:
    // The main window, its toolbar and both panes as they stand now.
    void CheckWholeWindow(UINT dpi, const char* state)
    {
        const std::string where = std::string("main window, ") + state;
        const RECT content = Window->GetContentRect();
        auto problems = CheckLayout(Main(), content);
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, where.c_str());
        problems = CheckLayout(ToolbarWindow());
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, (where + ", toolbar").c_str());
        problems = CheckLayout(ListPaneWindow());
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, (where + ", list pane").c_str());
        problems = CheckLayout(Window->ItemInfoWindow());
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, (where + ", details pane").c_str());
    }
};
}  // namespace

TEST_F(ScalingTests, EveryPaneModeAndTabFitsAtEveryScale)
{
    Open(SixRecords());
    HWND details = Window->ItemInfoWindow();
    for (UINT dpi : CheckedDpis) {
        Window->SetDpi(dpi);
        Pump();
        SCOPED_TRACE(dpi);
        const SIZE window = SizeOf(Main());
        EXPECT_EQ(window.cx, CQVNDlg::WindowSizeAt(dpi).cx);
        EXPECT_EQ(window.cy, CQVNDlg::WindowSizeAt(dpi).cy);
        // The toolbar and both panes fill the content area as at 96 DPI.
        const RECT content = Window->GetContentRect();
        EXPECT_EQ(RectInParent(ToolbarWindow()).right, content.right);
        EXPECT_EQ(RectInParent(ListPaneWindow()).right, RectInParent(details).left);
        EXPECT_EQ(RectInParent(details).right, content.right);
        EXPECT_EQ(RectInParent(details).bottom, content.bottom);
        EXPECT_EQ(RectInParent(ListPaneWindow()).top, RectInParent(ToolbarWindow()).bottom);

        for (int mode = 0; mode < 3; ++mode) {
            ChooseClassify(mode);
            const int tabs = TabCtrl_GetItemCount(Window->ListPane().TabControl());
            for (int tab = 0; tab < tabs; ++tab) {
                SwitchTab(tab);
                CheckWholeWindow(dpi, ("classified by " + std::to_string(mode) + ", tab " + std::to_string(tab)).c_str());
            }
        }
        ChooseClassify(0);
        SwitchTab(0);
        const char* const pages[] = {"basic info", "registration info", "licence"};
        for (int page = 0; page < 3; ++page) {
            SwitchDetailsTab(details, page);
            Window->ItemInfo().SetMode(ItemInfoEdit);
            Pump();
            CheckWholeWindow(dpi, (std::string("editing ") + pages[page]).c_str());
            Window->ItemInfo().SetMode(ItemInfoView);
            Pump();
            CheckWholeWindow(dpi, (std::string("viewing ") + pages[page]).c_str());
        }
        SwitchDetailsTab(details, 0);
    }
}

TEST_F(ScalingTests, BackAtNinetySixEveryPlaceIsAsBefore)
{
    Open(SixRecords());
    const RECT toolbar = RectInParent(ToolbarWindow());
    const RECT list = RectInParent(ListPaneWindow());
    const RECT details = RectInParent(Window->ItemInfoWindow());
    const RECT classify = RectInParent(Window->Toolbar().ClassifyBox());
    const RECT name = RectInParent(GetDlgItem(Window->ItemInfoWindow(), IDC_ITEM_MODIFY));
    for (UINT dpi : CheckedDpis)
        Window->SetDpi(dpi);
    Window->SetDpi(BaseDpi);
    Pump();
    EXPECT_TRUE(SameRect(toolbar, RectInParent(ToolbarWindow())));
    EXPECT_TRUE(SameRect(list, RectInParent(ListPaneWindow())));
    EXPECT_TRUE(SameRect(details, RectInParent(Window->ItemInfoWindow())));
    EXPECT_TRUE(SameRect(classify, RectInParent(Window->Toolbar().ClassifyBox())));
    EXPECT_TRUE(SameRect(name, RectInParent(GetDlgItem(Window->ItemInfoWindow(), IDC_ITEM_MODIFY))));
    EXPECT_EQ(SizeOf(Main()).cx, 821);
    EXPECT_EQ(SizeOf(Main()).cy, 707);
}

TEST_F(ScalingTests, MovingToAnotherMonitorTakesTheSuggestedCornerAndFitsTheWorkArea)
{
    Open(SixRecords());
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    for (UINT dpi : CheckedDpis) {
        SCOPED_TRACE(dpi);
        RECT suggested{work.left, work.top, work.left + ScaleToDpi(821, dpi), work.top + ScaleToDpi(707, dpi)};
        SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        Pump();
        RECT placed{};
        GetWindowRect(Main(), &placed);
        EXPECT_EQ(placed.left, suggested.left);
        EXPECT_EQ(placed.top, suggested.top);
        const UINT used = Window->GetDpi();
        EXPECT_LE(used, dpi);
        EXPECT_GE(used, BaseDpi);
        // The whole window on the work area, unless even 96 DPI does not fit it.
        if (used > BaseDpi) {
            EXPECT_LE(placed.right - placed.left, work.right - work.left);
            EXPECT_LE(placed.bottom - placed.top, work.bottom - work.top);
        }
        EXPECT_EQ(used, CQVNDlg::FittingDpiAt(suggested, dpi));
        EXPECT_EQ(placed.right - placed.left, CQVNDlg::WindowSizeAt(used).cx);
        auto problems = CheckLayout(Main(), Window->GetContentRect());
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, used, "main window after WM_DPICHANGED");
    }
}

TEST_F(ScalingTests, TheMoreButtonStaysAtTheRightEndLevelWithClassifyAtEveryScale)
{
    Open(SixRecords());
    HWND more = Window->Toolbar().MoreButton();
    ASSERT_NE(more, nullptr);
    for (UINT dpi : CheckedDpis) {
        Window->SetDpi(dpi);
        Pump();
        SCOPED_TRACE(dpi);
        const RECT button = RectInParent(more);
        const RECT classify = RectInParent(Window->Toolbar().ClassifyBox());
        RECT toolbar{};
        GetClientRect(ToolbarWindow(), &toolbar);
        EXPECT_EQ(button.right - button.left, ScaleToDpi(45, dpi));
        EXPECT_EQ(button.bottom - button.top, ScaleToDpi(20, dpi));
        EXPECT_EQ(button.top, classify.top);
        EXPECT_EQ(button.right, toolbar.right - ScaleToDpi(2, dpi) - ScaleToDpi(3, dpi));
        // Right of the Classify box, and clear of the sort-direction icon on the row below.
        EXPECT_GT(button.left, classify.right);
        const RECT icon = Window->Toolbar().SortDirectionRect();
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &button, &icon));
    }
}

TEST_F(ScalingTests, TheFindBoxAndItsTabFitAtEveryScale)
{
    Open(SixRecords());
    Window->Finder().Open();
    Pump();
    CFindDlg* box = Window->Finder().Box();
    ASSERT_NE(box, nullptr);
    SetWindowTextW(box->TextBox(), L"e");
    Pump();
    ASSERT_EQ(Window->ListPane().ActiveTab(), CSWListDlg::TemporaryTab);
    for (UINT dpi : CheckedDpis) {
        Window->SetDpi(dpi);
        Pump();
        SCOPED_TRACE(dpi);
        // The box follows the main window's scale and stays over the bottom of the details pane.
        EXPECT_EQ(box->GetDpi(), dpi);
        const SIZE expected = CFindDlg::WindowSizeFor(CFindDlg::Width, CFindDlg::Height, dpi, true);
        EXPECT_EQ(SizeOf(box->GetSafeHwnd()).cx, expected.cx);
        EXPECT_EQ(SizeOf(box->GetSafeHwnd()).cy, expected.cy);
        RECT placed{}, details{};
        GetWindowRect(box->GetSafeHwnd(), &placed);
        GetWindowRect(Window->ItemInfoWindow(), &details);
        EXPECT_GE(placed.left, details.left);
        EXPECT_LE(placed.right, details.right);
        EXPECT_EQ(placed.bottom, details.bottom - ScaleToDpi(8, dpi));
        auto problems = CheckLayout(box->GetSafeHwnd(), box->GetContentRect());
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, "find box");
        CheckWholeWindow(dpi, "found tab");
    }
}

TEST_F(ScalingTests, TheReminderDialogFitsAtEveryScale)
{
    Open(SixRecords());
    std::vector<CDueRecord> due;
    for (const wchar_t* name : {L"Alpha Edit", L"Gamma Zip"}) {
        CSoftware* record = Find(name);
        ASSERT_NE(record, nullptr);
        record->ExtraInfo.ExpiryDate = L"2020-01-31";
        due.push_back(CDueRecord{record, -12});
    }
    CReminderDlg dialog(due, 30, Main());
    ASSERT_TRUE(dialog.Create(Main()));
    HWND window = dialog.GetSafeHwnd();
    HWND list = GetDlgItem(window, IDC_REMINDER_LIST);
    for (UINT dpi : CheckedDpis) {
        dialog.SetDpi(dpi);
        SCOPED_TRACE(dpi);
        const SIZE expected = CReminderDlg::WindowSizeFor(CReminderDlg::Width, CReminderDlg::Height, dpi, true);
        EXPECT_EQ(SizeOf(window).cx, expected.cx);
        EXPECT_EQ(SizeOf(window).cy, expected.cy);
        // The list's own cells clip with an ellipsis; its place and the rest are checked.
        auto problems = CheckLayout(window, dialog.GetContentRect());
        EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, "reminders");
        // The columns fill the list exactly, without a horizontal scroll bar.
        RECT client{};
        GetClientRect(list, &client);
        int columns = 0;
        for (int column = 0; column < 4; ++column)
            columns += ListView_GetColumnWidth(list, column);
        EXPECT_EQ(columns, client.right - client.left);
        EXPECT_EQ(ListView_GetColumnWidth(list, 3), ScaleToDpi(120, dpi));
    }
    DestroyWindow(window);
}
