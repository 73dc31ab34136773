#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/ItemInfoPane.h"
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
        for (int page = 0; page < 2; ++page) {
            SwitchDetailsTab(details, page);
            Window->ItemInfo().SetMode(ItemInfoEdit);
            Pump();
            CheckWholeWindow(dpi, page == 0 ? "editing basic info" : "editing registration info");
            Window->ItemInfo().SetMode(ItemInfoView);
            Pump();
            CheckWholeWindow(dpi, page == 0 ? "viewing basic info" : "viewing registration info");
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
