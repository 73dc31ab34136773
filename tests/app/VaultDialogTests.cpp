// The installer details and the verify result: skinned like the program's other dialogs, laid out
// at every display scale and again when the window moves to a monitor of another DPI.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/InstallerDetailsDlg.h"
#include "app/PaneColour.h"
#include "app/VerifyResultDlg.h"
#include "framework/Dpi.h"
#include "framework/Window.h"
#include "installer/VaultProgressDlg.h"
#include "res/resource.h"
#include "skin/BitmapButton5S.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app/GeometryCheck.h"

namespace {
const wchar_t Hash[] = L"1640c2bfd0dc6e150c9d0ea4999908933b2f4ff387b5ce4b59c87382770ae9a8";

SIZE SizeOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

CommCtrl::CBitmapButton5S* SkinnedButton(HWND dialog, int id)
{
    return dynamic_cast<CommCtrl::CBitmapButton5S*>(CWindow::FromHandle(GetDlgItem(dialog, id)));
}

// The width the text takes in the control's own font.
int TextWidth(HWND control, const std::wstring& text)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

int FontHeight(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

void Describe(CSoftware& record, const wchar_t* name, const wchar_t* version, const std::wstring& installer)
{
    record.BasicInfo.Name = name;
    record.BasicInfo.Version = version;
    record.InstallerInfo.InstallerPath = installer;
}

// A record with every fact of its installer set.
void DescribeMeasured(CSoftware& record)
{
    Describe(record, L"Alpha Edit", L"1.0", L"C:\\Users\\Ana\\Downloads\\Setups\\AlphaEdit-1.0-setup.exe");
    CExtraInfo& extra = record.ExtraInfo;
    extra.InstallerSize = L"49473870";
    extra.InstallerSha256 = Hash;
    extra.InstallerVersion = L"1.2.0.0";
    extra.InstallerProduct = L"Alpha Edit";
    extra.InstallerTrust = L"Unsigned";
    extra.InstallerAttached = L"2026-12-08T17:41:45";
    extra.InstallerCheck = L"Intact";
    extra.InstallerChecked = L"2026-12-08T17:41:48";
}

struct CStartHookScope {
    explicit CStartHookScope(CVaultProgressDlg::StartHook hook) : Previous(CVaultProgressDlg::SetStartHook(hook)) {}
    ~CStartHookScope() { CVaultProgressDlg::SetStartHook(Previous); }
    CVaultProgressDlg::StartHook Previous;
};

class VaultDialogTests : public CDialogTest {
protected:
    void TearDown() override
    {
        for (HWND window : Windows)
            if (IsWindow(window))
                DestroyWindow(window);
        CDialogTest::TearDown();
    }
    HWND Open(CDialog& dialog)
    {
        EXPECT_TRUE(dialog.Create(nullptr));
        HWND window = dialog.GetSafeHwnd();
        Windows.push_back(window);
        ShowWindow(window, SW_SHOWNA);
        UpdateWindow(window);
        return window;
    }
    std::vector<HWND> Windows;
};

// What every skinned vault window must satisfy at the dialog's present DPI.
void ExpectLaidOut(CommCtrl::CBitmapDialog& dialog, int width, int height, const char* what)
{
    const UINT dpi = dialog.GetDpi();
    const SIZE expected = CommCtrl::CBitmapDialog::WindowSizeFor(width, height, dpi, dialog.IsShortTitle());
    const SIZE size = SizeOf(dialog.GetSafeHwnd());
    EXPECT_EQ(size.cx, expected.cx) << what << " at " << dpi;
    EXPECT_EQ(size.cy, expected.cy) << what << " at " << dpi;
    const auto problems = CheckLayout(dialog.GetSafeHwnd(), dialog.GetContentRect());
    EXPECT_TRUE(problems.empty()) << DescribeProblems(problems, dpi, what);
}
}  // namespace

TEST_F(VaultDialogTests, BothWindowsAreSkinnedWithTheirTitlesAndControlsKept)
{
    CSoftware record;
    DescribeMeasured(record);
    CInstallerDetailsDlg details(record, [](HWND, CSoftware&) {}, nullptr);
    HWND detailsWindow = Open(details);
    std::vector<CVerifyEntry> entries{{&record, record.InstallerInfo.InstallerPath, InstallerCheckResult::Intact, {}}};
    CVerifyResultDlg result(entries, nullptr, nullptr, nullptr);
    HWND resultWindow = Open(result);

    for (HWND window : {detailsWindow, resultWindow}) {
        // The program's own frame, not the system's.
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        EXPECT_EQ(style & WS_CAPTION, 0);
        EXPECT_EQ(style & DS_MODALFRAME, 0);
        EXPECT_EQ(style & WS_THICKFRAME, 0);
    }
    EXPECT_EQ(TextOf(detailsWindow), L"Installer details");
    EXPECT_EQ(TextOf(resultWindow), L"Verify installers");
    const struct {
        HWND Dialog;
        int Id;
        const wchar_t* Caption;
    } buttons[] = {{detailsWindow, IDC_DETAILS_VERIFY, L"Verify now"},
                   {detailsWindow, IDCANCEL, L"Close"},
                   {resultWindow, IDC_VERIFY_FIND_MOVED, L"Find moved installers..."},
                   {resultWindow, IDCANCEL, L"Close"}};
    for (const auto& button : buttons) {
        HWND control = GetDlgItem(button.Dialog, button.Id);
        ASSERT_NE(control, nullptr) << button.Id;
        EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << button.Id;
        EXPECT_NE(SkinnedButton(button.Dialog, button.Id), nullptr) << button.Id;
        EXPECT_EQ(TextOf(control), button.Caption);
    }
    // Labels and values keep their identifiers; the values stay read-only edits.
    EXPECT_EQ(TextOf(detailsWindow, IDC_DETAILS_FIRST_LABEL + 4), L"SHA-256:");
    HWND hash = GetDlgItem(detailsWindow, IDC_DETAILS_FIRST_VALUE + 4);
    EXPECT_EQ(TextOf(hash), Hash);
    EXPECT_NE(GetWindowLongW(hash, GWL_STYLE) & ES_READONLY, 0);

    // The content is the program's pane colour; value boxes stay white.
    CClientPixels pixels(detailsWindow);
    const RECT content = details.GetContentRect();
    EXPECT_EQ(pixels.At(content.left + 2, content.bottom - 2), PaneColour);
    const RECT box = ControlRect(detailsWindow, IDC_DETAILS_FIRST_VALUE + 5);
    EXPECT_EQ(pixels.At(box.right - 4, (box.top + box.bottom) / 2), RGB(255, 255, 255));
}

TEST_F(VaultDialogTests, ADisabledButtonShowsItsCaptionInGrey)
{
    CSoftware withFile;
    DescribeMeasured(withFile);
    CSoftware withoutFile;
    Describe(withoutFile, L"Beta Paint", L"2.1", L"");
    auto captionPixels = [&](CSoftware& record, COLORREF colour) {
        CInstallerDetailsDlg details(record, [](HWND, CSoftware&) {}, nullptr);
        HWND window = Open(details);
        HWND button = GetDlgItem(window, IDC_DETAILS_VERIFY);
        CClientPixels pixels(button);
        const int count = pixels.Count(RECT{0, 0, pixels.Width(), pixels.Height()}, colour);
        DestroyWindow(window);
        return count;
    };
    EXPECT_GT(captionPixels(withFile, RGB(0, 0, 0)), 0);
    EXPECT_EQ(captionPixels(withoutFile, RGB(0, 0, 0)), 0);
    EXPECT_GT(captionPixels(withoutFile, RGB(128, 128, 128)), 0);
}

TEST_F(VaultDialogTests, InstallerDetailsFitAtEveryScaleWithTheWholeHashInView)
{
    CSoftware record;
    DescribeMeasured(record);
    CInstallerDetailsDlg details(record, [](HWND, CSoftware&) {}, nullptr);
    HWND window = Open(details);
    const int baseFont = FontHeight(GetDlgItem(window, IDC_DETAILS_FIRST_LABEL));
    for (UINT dpi : CheckedDpis) {
        details.SetDpi(dpi);
        ExpectLaidOut(details, CInstallerDetailsDlg::Width, CInstallerDetailsDlg::Height, "installer details");
        // The fonts follow the scale, so the texts keep their size against the boxes.
        EXPECT_NEAR(FontHeight(GetDlgItem(window, IDC_DETAILS_FIRST_VALUE)), MulDiv(baseFont, dpi, BaseDpi), 1)
            << dpi;
        // The hash is read and compared whole: it never scrolls out of its box.
        HWND hash = GetDlgItem(window, IDC_DETAILS_FIRST_VALUE + 4);
        RECT text{};
        SendMessageW(hash, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
        EXPECT_LE(TextWidth(hash, Hash), text.right - text.left) << dpi;
        // Each label is level with its value.
        for (int row = 0; row < CInstallerDetailsDlg::RowCount; ++row) {
            const RECT label = ControlRect(window, IDC_DETAILS_FIRST_LABEL + row);
            const RECT value = ControlRect(window, IDC_DETAILS_FIRST_VALUE + row);
            EXPECT_EQ(label.top, value.top) << dpi << " row " << row;
            EXPECT_EQ(label.bottom, value.bottom) << dpi << " row " << row;
        }
    }
}

TEST_F(VaultDialogTests, VerifyResultFitsAtEveryScaleWithColumnsFillingTheList)
{
    CSoftware alpha, beta, delta;
    DescribeMeasured(alpha);
    Describe(beta, L"Beta Paint", L"2.1", L"C:\\Users\\Ana\\Downloads\\Setups\\BetaPaint_2.1.msi");
    Describe(delta, L"Delta Net", L"0.9", L"C:\\Users\\Ana\\Downloads\\Setups\\deltanet-0.9.zip");
    std::vector<CVerifyEntry> entries{{&alpha, alpha.InstallerInfo.InstallerPath, InstallerCheckResult::Intact, {}},
                                      {&beta, beta.InstallerInfo.InstallerPath, InstallerCheckResult::Changed, {}},
                                      {&delta, delta.InstallerInfo.InstallerPath, InstallerCheckResult::Missing, {}}};
    CVerifyResultDlg result(entries, [](HWND, const std::vector<CSoftware*>&) {}, nullptr, nullptr);
    HWND window = Open(result);
    HWND list = GetDlgItem(window, IDC_VERIFY_LIST);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_VERIFY_FIND_MOVED)));
    for (UINT dpi : CheckedDpis) {
        result.SetDpi(dpi);
        ExpectLaidOut(result, CVerifyResultDlg::Width, CVerifyResultDlg::Height, "verify result");
        RECT client{};
        GetClientRect(list, &client);
        int columns = 0;
        for (int column = 0; column < 3; ++column)
            columns += ListView_GetColumnWidth(list, column);
        EXPECT_EQ(columns, client.right - client.left) << dpi;
        EXPECT_EQ(ListView_GetColumnWidth(list, 0), ScaleToDpi(170, dpi));
        // Three rows show without scrolling.
        EXPECT_GE(ListView_GetCountPerPage(list), 3) << dpi;
    }
}

TEST_F(VaultDialogTests, MovingToAMonitorOfAnotherScaleTakesTheSuggestedCornerAndLaysOutAgain)
{
    CSoftware record;
    DescribeMeasured(record);
    CInstallerDetailsDlg details(record, [](HWND, CSoftware&) {}, nullptr);
    std::vector<CVerifyEntry> entries{{&record, record.InstallerInfo.InstallerPath, InstallerCheckResult::Missing, {}}};
    CVerifyResultDlg result(entries, nullptr, nullptr, nullptr);
    struct {
        CommCtrl::CBitmapDialog* Dialog;
        int Width;
        int Height;
        int ButtonId;
        const char* Name;
    } windows[] = {{&details, CInstallerDetailsDlg::Width, CInstallerDetailsDlg::Height, IDC_DETAILS_VERIFY,
                    "installer details"},
                   {&result, CVerifyResultDlg::Width, CVerifyResultDlg::Height, IDC_VERIFY_FIND_MOVED,
                    "verify result"}};
    for (auto& dialog : windows) {
        HWND window = Open(*dialog.Dialog);
        for (UINT dpi : {144u, 120u, 96u}) {
            RECT suggested{20, 30, 20 + ScaleToDpi(dialog.Width, dpi), 30 + ScaleToDpi(dialog.Height, dpi)};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            EXPECT_EQ(dialog.Dialog->GetDpi(), dpi);
            RECT placed{};
            GetWindowRect(window, &placed);
            EXPECT_EQ(placed.left, 20) << dialog.Name << " " << dpi;
            EXPECT_EQ(placed.top, 30) << dialog.Name << " " << dpi;
            ExpectLaidOut(*dialog.Dialog, dialog.Width, dialog.Height, dialog.Name);
            // The skinned buttons' captions follow the scale too.
            const RECT caption = SkinnedButton(window, dialog.ButtonId)->GetCaptionRect();
            EXPECT_EQ(caption.bottom - caption.top, ScaleToDpi(17, dpi) - ScaleToDpi(3, dpi)) << dialog.Name;
        }
    }
}

TEST_F(VaultDialogTests, TheProgressWindowIsSkinnedAndFitsAtEveryScale)
{
    bool checked = false;
    CVaultProgressDlg* running = nullptr;
    CVaultProgressDlg dialog(nullptr, L"Verify installers", [](CVaultTask& task) { task.Progress(1, 2); });
    running = &dialog;
    CStartHookScope hook([&](HWND window) {
        checked = true;
        EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
        EXPECT_EQ(TextOf(window), L"Verify installers");
        EXPECT_TRUE(running->IsShortTitle());
        // Cancel is the one way out, as it stops the work first.
        for (auto button : {CommCtrl::CBitmapDialog::MinimizeButton, CommCtrl::CBitmapDialog::MaximizeButton,
                            CommCtrl::CBitmapDialog::CloseButton})
            EXPECT_FALSE(running->IsTitleButtonShown(button));
        EXPECT_NE(SkinnedButton(window, IDCANCEL), nullptr);
        EXPECT_EQ(TextOf(window, IDCANCEL), L"Cancel");
        SetDlgItemTextW(window, IDC_VAULT_STATUS, L"Checking 12 of 345: Alpha Edit(1.0)");
        for (UINT dpi : CheckedDpis) {
            running->SetDpi(dpi);
            ExpectLaidOut(*running, CVaultProgressDlg::Width, CVaultProgressDlg::Height, "vault progress");
        }
        running->SetDpi(BaseDpi);
    });
    EXPECT_TRUE(dialog.Run());
    EXPECT_TRUE(checked);
}
