#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/InfoTipDlg.h"
#include "res/resource.h"
#include "tests/app/DialogTestSupport.h"

namespace {
// A plain top-level window standing in for the dialog that owns the tip.
class COwnerWindow {
public:
    COwnerWindow()
        : m_window(CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~COwnerWindow() { DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

class InfoTipDlgTests : public testing::Test {
protected:
    InfoTipDlgTests() : Tip(Owner.Get())
    {
        Tip.SetTipSize(250, 160);
        Tip.SetTipText(L"Data Folder", L"Words that wrap at the edge of the tip, and then some more words.");
    }
    // Runs the tip; the step acts once it is up and sends what should close it.
    INT_PTR RunTip(const std::function<void(HWND)>& step)
    {
        CModalScript script([this] { return Tip.GetSafeHwnd(); });
        script.Do([&] { step(Tip.GetSafeHwnd()); });
        return script.Run([this] { return Tip.DoModal(); });
    }

    COwnerWindow Owner;
    CInfoTipDlg Tip;
};
}  // namespace

TEST_F(InfoTipDlgTests, OpensAtThePointerWithItsTextAndTheMouseCaptured)
{
    ASSERT_TRUE(SetCursorPos(310, 220));
    RECT window{}, client{}, text{};
    std::wstring body;
    bool captured = false, ownerDisabled = false;
    DWORD style = 0;
    INT_PTR result = RunTip([&](HWND tip) {
        window = WindowRectOf(tip);
        GetClientRect(tip, &client);
        text = ControlRect(tip, IDC_INFOTIP_TEXT);
        body = TextOf(tip, IDC_INFOTIP_TEXT);
        captured = GetCapture() == tip;
        ownerDisabled = !IsWindowEnabled(Owner.Get());
        style = static_cast<DWORD>(GetWindowLongPtrW(tip, GWL_STYLE));
        PostMessageW(tip, WM_KEYDOWN, 'A', 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(window, (RECT{310, 220, 560, 380}));
    EXPECT_EQ(text, (RECT{5, 30, 245, 155}));
    EXPECT_EQ(body, L"Words that wrap at the edge of the tip, and then some more words.");
    EXPECT_TRUE(captured);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_FALSE(style & WS_CAPTION & ~WS_BORDER);
    EXPECT_TRUE(IsWindowEnabled(Owner.Get()));
    EXPECT_EQ(Tip.GetSafeHwnd(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InfoTipDlgTests, NearTheScreenEdgeItStaysAtThePointer)
{
    const int right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(SetCursorPos(right - 20, bottom - 10));
    POINT pointer{};
    GetCursorPos(&pointer);
    RECT window{};
    RunTip([&](HWND tip) {
        window = WindowRectOf(tip);
        PostMessageW(tip, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(window.left, pointer.x);
    EXPECT_EQ(window.top, pointer.y);
    EXPECT_EQ(window.right - window.left, 250);
}

TEST_F(InfoTipDlgTests, EitherMouseButtonAnywhereClosesItAndAMoveDoesNot)
{
    const UINT presses[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN};
    for (UINT press : presses) {
        bool openAfterMove = false;
        CModalScript script([this] { return Tip.GetSafeHwnd(); });
        script.Do([&] { PostMessageW(Tip.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)); })
            .Do([&] { PostMessageW(Tip.GetSafeHwnd(), WM_KEYUP, 'A', 0); })
            .Do([&] {
                openAfterMove = IsWindowVisible(Tip.GetSafeHwnd()) != FALSE;
                // Outside the tip: the click lands on the owner's window.
                PostMessageW(Owner.Get(), press, MK_LBUTTON, MAKELPARAM(5, 5));
            });
        EXPECT_EQ(script.Run([this] { return Tip.DoModal(); }), IDCANCEL) << press;
        EXPECT_TRUE(openAfterMove) << press;
        EXPECT_EQ(Tip.GetSafeHwnd(), nullptr);
    }
}

TEST_F(InfoTipDlgTests, PaintsTheTitleInBlackOnLightYellow)
{
    // On the screen as a whole: pixels beyond its edge are not drawn anywhere.
    ASSERT_TRUE(SetCursorPos(100, 100));
    COLORREF corner = 0, text = 0;
    int blackInTitle = 0, blackBelowTitle = 0;
    RunTip([&](HWND tip) {
        CClientPixels pixels(tip);
        corner = pixels.At(2, 140);
        // Inside the static text, right of where its words end.
        text = pixels.At(236, 140);
        blackInTitle = pixels.Count(RECT{5, 5, 120, 25}, RGB(0, 0, 0));
        blackBelowTitle = pixels.Count(RECT{5, 26, 240, 29}, RGB(0, 0, 0));
        PostMessageW(tip, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(corner, RGB(250, 250, 145));
    EXPECT_EQ(text, RGB(250, 250, 145));
    EXPECT_GT(blackInTitle, 20);
    EXPECT_EQ(blackBelowTitle, 0);
}

TEST_F(InfoTipDlgTests, EachShowingReadsThePointerAnew)
{
    RECT first{}, second{};
    ASSERT_TRUE(SetCursorPos(100, 100));
    RunTip([&](HWND tip) {
        first = WindowRectOf(tip);
        PostMessageW(tip, WM_KEYDOWN, 'A', 0);
    });
    ASSERT_TRUE(SetCursorPos(140, 90));
    RunTip([&](HWND tip) {
        second = WindowRectOf(tip);
        PostMessageW(tip, WM_SYSKEYDOWN, VK_MENU, 0);
    });
    EXPECT_EQ(first.left, 100);
    EXPECT_EQ(first.top, 100);
    EXPECT_EQ(second.left, 140);
    EXPECT_EQ(second.top, 90);
}
