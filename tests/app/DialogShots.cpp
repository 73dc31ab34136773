#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/AboutDlg.h"
#include "app/ExportCatalogueDlg.h"
#include "app/OptionsDlg.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/support/MessageBoxScript.h"

// The pictures of the dialogs in docs/: scripts/dialog-shots.sh runs this with QV_SHOT_DIR set to
// the folder that receives options.bmp, infotip.bmp and about.bmp.
namespace {
class CShotOptionsDlg : public COptionsDlg {
public:
    CShotOptionsDlg() : COptionsDlg(nullptr) {}
    CInfoTipDlg& Tip() { return m_infoTip; }
};

std::wstring ShotFolder()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"QV_SHOT_DIR", folder, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return std::wstring();
    std::wstring path = folder;
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

// The DPI to take the pictures at: QV_SHOT_DPI, else the display's.
UINT ShotDpi()
{
    wchar_t value[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"QV_SHOT_DPI", value, 16);
    const int dpi = length && length < 16 ? _wtoi(value) : 0;
    return dpi >= 96 && dpi <= 480 ? static_cast<UINT>(dpi) : WindowDpi(nullptr);
}

class DialogShots : public CDialogTest {
protected:
    void SetUp() override
    {
        Folder = ShotFolder();
        if (Folder.empty())
            GTEST_SKIP() << "QV_SHOT_DIR is not set";
        CDialogTest::SetUp();
    }
    std::wstring Folder;
    CMessageBoxScript Boxes;
};

// The pane colour inside the content area shows that the window was drawn before it was saved.
void ExpectDrawn(HWND window, int x, int y)
{
    CClientPixels pixels(window);
    EXPECT_EQ(pixels.At(x, y), RGB(228, 236, 247));
}
}  // namespace

TEST_F(DialogShots, OptionsAndInfoTip)
{
    Settings.AttachMode = 1;
    Settings.DataFolder = L"D:\\Software Catalogue\\";
    Settings.DefaultClassifyMode = 0;
    Settings.DefaultSortKey = 1;
    CShotOptionsDlg dialog;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script
        .Do([&] {
            HWND window = dialog.GetSafeHwnd();
            dialog.SetDpi(ShotDpi());
            SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            SetFocus(GetDlgItem(window, IDOK));
            ExpectDrawn(window, ScaleToDpi(8, ShotDpi()), ScaleToDpi(40, ShotDpi()));
            EXPECT_TRUE(SaveWindowBitmap(window, Folder + L"options.bmp"));
            const RECT info = ControlRect(window, IDC_OPTIONS_INFORMATION);
            POINT pointer{info.left + 10, info.top + 10};
            ClientToScreen(window, &pointer);
            SetCursorPos(pointer.x, pointer.y);
            Click(window, IDC_OPTIONS_INFORMATION);
        })
        .Then([&] {
            HWND tip = dialog.Tip().GetSafeHwnd();
            if (!tip || !IsWindowVisible(tip))
                return false;
            EXPECT_TRUE(SaveWindowBitmap(tip, Folder + L"infotip.bmp"));
            PostMessageW(tip, WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        })
        .Then([&] {
            if (dialog.Tip().GetSafeHwnd())
                return false;
            Click(dialog.GetSafeHwnd(), IDCANCEL);
            return true;
        });
    EXPECT_EQ(script.Run([&] { return dialog.DoModal(); }), IDCANCEL);
}

TEST_F(DialogShots, About)
{
    CAboutDlg dialog(nullptr);
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        dialog.SetDpi(ShotDpi());
        SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ExpectDrawn(window, ScaleToDpi(8, ShotDpi()), ScaleToDpi(100, ShotDpi()));
        EXPECT_TRUE(SaveWindowBitmap(window, Folder + L"about.bmp"));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(script.Run([&] { return dialog.DoModal(); }), IDCANCEL);
}

TEST_F(DialogShots, ExportChoice)
{
    ExportChoice choice{true, false};
    CExportCatalogueDlg dialog(1284, 12, choice, nullptr);
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        HWND window = dialog.GetSafeHwnd();
        SetWindowPos(window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ExpectDrawn(window, 8, 40);
        EXPECT_TRUE(SaveWindowBitmap(window, Folder + L"export-choice.bmp"));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(script.Run([&] { return dialog.DoModal(); }), IDCANCEL);
}
