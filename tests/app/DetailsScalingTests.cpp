// The add and code-editor dialogs laid out at every display scale.

#include "DetailsTestSupport.h"

#include "app/AddProductDlg.h"
#include "app/EditCodeDlg.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "tests/app/GeometryCheck.h"

namespace {
class CDetailsScalingTest : public CDetailsTest {
protected:
    static HWND PaneOf(HWND dialog) { return FindWindowExW(dialog, nullptr, L"#32770", nullptr); }
    static SIZE SizeOf(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
    CHostWindow m_host;
};

void ExpectFits(HWND container, const RECT& area, UINT dpi, const char* what)
{
    const auto problems = CheckLayout(container, area);
    EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, what);
}
}  // namespace

TEST_F(CDetailsScalingTest, TheAddDialogFitsOnBothPagesAtEveryScale)
{
    CSoftware record;
    CAddProductDlg dialog(&record, m_host.Handle());
    std::vector<SIZE> basicSizes;
    CModalScript script;
    script.Then(L"Add Software", [&](HWND window) {
        HWND pane = PaneOf(window);
        // Hidden, the taller page keeps the DPI even where this screen could not hold it (a shown
        // dialog would fit itself to the work area: see the next test).
        ShowWindow(window, SW_HIDE);
        for (UINT dpi : CheckedDpis) {
            dialog.SetDpi(dpi);
            for (int page : {2, 1, 0}) {
                ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), page);
                EXPECT_EQ(dialog.GetDpi(), dpi);
                const char* what = page == 0   ? "add dialog, basic info"
                                   : page == 1 ? "add dialog, registration info"
                                               : "add dialog, licence";
                ExpectFits(window, dialog.GetContentRect(), dpi, what);
                ExpectFits(pane, RECT{0, 0, SizeOf(pane).cx, SizeOf(pane).cy}, dpi, what);
            }
            basicSizes.push_back(SizeOf(window));
        }
        ShowWindow(window, SW_SHOW);
        dialog.SetDpi(BaseDpi);
        basicSizes.push_back(SizeOf(window));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_EQ(basicSizes.size(), 6u);
    for (size_t index = 0; index < 5; ++index) {
        const SIZE expected = CAddProductDlg::WindowSizeFor(306, 330, CheckedDpis[index], true);
        EXPECT_EQ(basicSizes[index].cx, expected.cx);
        EXPECT_EQ(basicSizes[index].cy, expected.cy);
    }
    EXPECT_EQ(basicSizes[5].cx, 306);
    EXPECT_EQ(basicSizes[5].cy, 330);
}

TEST_F(CDetailsScalingTest, TheCodeEditorFitsAtEveryScale)
{
    const std::wstring title = L"Serial";
    std::wstring code = L"AAAA-BBBB-CCCC-DDDD";
    CEditCodeDlg dialog(title, code, m_host.Handle());
    int checked = 0;
    CModalScript script;
    script.Then(L"Serial", [&](HWND window) {
        for (UINT dpi : CheckedDpis) {
            dialog.SetDpi(dpi);
            EXPECT_EQ(SizeOf(window).cx, CEditCodeDlg::WindowSizeFor(256, 125, dpi, true).cx);
            ExpectFits(window, dialog.GetContentRect(), dpi, "code editor");
            ++checked;
        }
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(checked, 5);
}

TEST_F(CDetailsScalingTest, AtTwiceTheScaleTheTallPageStillFitsTheWorkArea)
{
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    CSoftware record;
    CAddProductDlg dialog(&record, m_host.Handle());
    UINT dpi = 0;
    RECT placed{};
    CModalScript script;
    script.Then(L"Add Software", [&](HWND window) {
        dialog.SetDpi(192);
        // The registration page is 500 pixels high at 96 DPI: 1000 at 192, more than this screen.
        ClickTab(GetDlgItem(PaneOf(window), IDC_ITEM_TABS), 1);
        dpi = dialog.GetDpi();
        GetWindowRect(window, &placed);
        ExpectFits(window, dialog.GetContentRect(), dpi, "add dialog fitted to the work area");
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_GT(2 * (330 + 170), work.bottom - work.top) << "a screen this tall needs no fitting";
    EXPECT_LT(dpi, 192u);
    EXPECT_GE(dpi, BaseDpi);
    EXPECT_GE(placed.top, work.top);
    EXPECT_LE(placed.bottom, work.bottom);
    EXPECT_LE(placed.right - placed.left, work.right - work.left);
}
