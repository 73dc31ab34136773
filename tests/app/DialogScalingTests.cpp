// Options, its information tip and About laid out at every display scale.

#include <gtest/gtest.h>

#include <windows.h>

#include "app/AboutDlg.h"
#include "app/OptionsDlg.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app/GeometryCheck.h"
#include "tests/support/MessageBoxScript.h"

namespace {
class CScaledOptionsDlg : public COptionsDlg {
public:
    CScaledOptionsDlg() : COptionsDlg(nullptr) {}
    CInfoTipDlg& Tip() { return m_infoTip; }
};

SIZE SizeOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void ExpectFits(HWND container, const RECT& area, UINT dpi, const char* what)
{
    const auto problems = CheckLayout(container, area);
    EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, what);
}

class DialogScalingTests : public CDialogTest {
protected:
    CMessageBoxScript Boxes;
};
}  // namespace

TEST_F(DialogScalingTests, OptionsAndItsTipFitAtEveryScale)
{
    CScaledOptionsDlg dialog;
    HWND window = nullptr;
    std::vector<SIZE> tips;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    // For each DPI: lay out, check, open the tip, check it, close it.
    for (UINT dpi : CheckedDpis) {
        script
            .Do([&, dpi] {
                window = dialog.GetSafeHwnd();
                dialog.SetDpi(dpi);
                const SIZE expected = COptionsDlg::WindowSizeFor(COptionsDlg::Width, COptionsDlg::Height, dpi, true);
                EXPECT_EQ(SizeOf(window).cx, expected.cx);
                EXPECT_EQ(SizeOf(window).cy, expected.cy);
                ExpectFits(window, dialog.GetContentRect(), dpi, "Options");
                Click(window, IDC_OPTIONS_INFORMATION);
            })
            .Then([&, dpi] {
                HWND tip = dialog.Tip().GetSafeHwnd();
                if (!tip || !IsWindowVisible(tip))
                    return false;
                tips.push_back(SizeOf(tip));
                RECT client{};
                GetClientRect(tip, &client);
                ExpectFits(tip, client, dpi, "information tip");
                PostMessageW(tip, WM_KEYDOWN, VK_SPACE, 0);
                return true;
            })
            .Then([&] { return dialog.Tip().GetSafeHwnd() == nullptr; });
    }
    script.Do([&] { Click(window, IDCANCEL); });
    EXPECT_EQ(script.Run([&] { return dialog.DoModal(); }), IDCANCEL);
    ASSERT_EQ(tips.size(), 5u);
    for (size_t index = 0; index < tips.size(); ++index) {
        EXPECT_EQ(tips[index].cx, ScaleToDpi(250, CheckedDpis[index]));
        EXPECT_EQ(tips[index].cy, ScaleToDpi(160, CheckedDpis[index]));
    }
}

TEST_F(DialogScalingTests, AboutFitsAtEveryScaleWithItsLinksWhole)
{
    CAboutDlg dialog(nullptr);
    int checked = 0;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        for (UINT dpi : CheckedDpis) {
            dialog.SetDpi(dpi);
            EXPECT_EQ(SizeOf(window).cx, CAboutDlg::WindowSizeFor(386, 225, dpi, true).cx);
            ExpectFits(window, dialog.GetContentRect(), dpi, "About");
            // The links sit inside the Contact frame and follow it.
            const RECT frame = ControlRect(window, IDC_ABOUT_CONTACT);
            for (int link = 0; link < CAboutDlg::LinkCount; ++link) {
                const RECT rect = dialog.LinkRect(link);
                EXPECT_TRUE(rect.left >= frame.left && rect.right <= frame.right && rect.top >= frame.top &&
                            rect.bottom <= frame.bottom)
                    << dpi << " link " << link;
            }
            ++checked;
        }
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(script.Run([&] { return dialog.DoModal(); }), IDCANCEL);
    EXPECT_EQ(checked, 5);
}
