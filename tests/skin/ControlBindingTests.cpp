#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "SkinTestSupport.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Window.h"
#include "res/resource.h"

namespace {
constexpr UINT MsgThrow = WM_APP + 20;

// Counts what reaches the bound object.
class CProbeWindow : public CWindow {
public:
    std::vector<UINT> Drawn;
    int Attached = 0;

    bool OnDrawItem(const DRAWITEMSTRUCT& item) override
    {
        Drawn.push_back(item.CtlID);
        return true;
    }

protected:
    void OnAttached() override { ++Attached; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == MsgThrow)
            throw std::runtime_error("handler failure");
        return CWindow::WindowProc(message, wParam, lParam);
    }
};

class ControlBindingTests : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Host.Create());
        Dialog = Host.GetSafeHwnd();
        Button = GetDlgItem(Dialog, OkButtonId);
    }
    CDialog Host{ButtonTestTemplate};
    HWND Dialog = nullptr;
    HWND Button = nullptr;
};
}  // namespace

TEST_F(ControlBindingTests, OneObjectPerWindow)
{
    CProbeWindow first;
    CProbeWindow second;
    EXPECT_FALSE(first.Attach(nullptr));
    ASSERT_TRUE(first.SubclassDlgItem(OkButtonId, Dialog));
    EXPECT_EQ(first.Attached, 1);
    EXPECT_EQ(first.GetSafeHwnd(), Button);
    EXPECT_EQ(CWindow::FromHandle(Button), &first);
    EXPECT_FALSE(second.Attach(Button));
    EXPECT_FALSE(first.Attach(GetDlgItem(Dialog, CaptionButtonId)));

    first.Detach();
    EXPECT_EQ(CWindow::FromHandle(Button), nullptr);
    EXPECT_TRUE(second.Attach(Button));
    EXPECT_EQ(CWindow::FromHandle(Button), &second);
}

TEST_F(ControlBindingTests, DialogHandsOwnerDrawingToTheBoundObject)
{
    CProbeWindow probe;
    ASSERT_TRUE(probe.Attach(Button));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = OkButtonId;
    item.hwndItem = Button;
    SendMessageW(Dialog, WM_DRAWITEM, OkButtonId, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(probe.Drawn, (std::vector<UINT>{OkButtonId}));

    // Menus and unbound controls are not handed on.
    item.CtlType = ODT_MENU;
    SendMessageW(Dialog, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    item.CtlType = ODT_BUTTON;
    item.hwndItem = GetDlgItem(Dialog, CaptionButtonId);
    SendMessageW(Dialog, WM_DRAWITEM, CaptionButtonId, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(probe.Drawn.size(), 1u);

    // The platform's own request reaches the object too.
    RedrawWindow(Button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(probe.Drawn.size(), 2u);
}

TEST_F(ControlBindingTests, BindingEndsWithTheWindowOrTheObject)
{
    {
        CProbeWindow shortLived;
        ASSERT_TRUE(shortLived.Attach(Button));
    }
    // The window outlives its object and keeps working.
    EXPECT_TRUE(IsWindow(Button));
    EXPECT_EQ(CWindow::FromHandle(Button), nullptr);
    SetWindowTextW(Button, L"Still here");
    wchar_t text[32] = {};
    GetWindowTextW(Button, text, 32);
    EXPECT_STREQ(text, L"Still here");

    CProbeWindow probe;
    ASSERT_TRUE(probe.Attach(Button));
    // A throwing handler does not cross into user32.
    SendMessageW(Button, MsgThrow, 0, 0);
    EXPECT_TRUE(IsWindow(Button));
    DestroyWindow(Button);
    EXPECT_EQ(probe.GetSafeHwnd(), nullptr);
}

TEST(GdiHelperTests, ThreeDimensionalFrameAndSurfaceDepth)
{
    CCapture capture(10, 8);
    FillSolidRect(capture.DC(), RECT{0, 0, 10, 8}, RGB(1, 2, 3));
    const COLORREF light = RGB(250, 250, 250);
    const COLORREF dark = RGB(20, 30, 40);
    Draw3dRect(capture.DC(), RECT{1, 1, 9, 7}, light, dark);
    EXPECT_EQ(capture.Pixel(1, 1), light);
    EXPECT_EQ(capture.Pixel(7, 1), light);
    EXPECT_EQ(capture.Pixel(1, 5), light);
    EXPECT_EQ(capture.Pixel(8, 1), dark);
    EXPECT_EQ(capture.Pixel(8, 6), dark);
    EXPECT_EQ(capture.Pixel(1, 6), dark);
    EXPECT_EQ(capture.Pixel(4, 4), RGB(1, 2, 3));
    EXPECT_EQ(capture.Pixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(capture.Pixel(9, 7), RGB(1, 2, 3));

    EXPECT_EQ(SurfaceBitsPerPixel(capture.DC()), 32);
    CCapture shallow(4, 4, 8);
    EXPECT_EQ(SurfaceBitsPerPixel(shallow.DC()), 8);

    CScopedBitmap bitmap = LoadBitmapResource(IDB_FRAME_TOPLEFT);
    SIZE size = BitmapSize(bitmap.Get());
    EXPECT_EQ(size.cx, 6);
    EXPECT_EQ(size.cy, 30);
    EXPECT_FALSE(LoadBitmapResource(4711));
    EXPECT_EQ(BitmapSize(nullptr).cx, 0);
}
