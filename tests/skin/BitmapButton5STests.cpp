#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "SkinTestSupport.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "skin/BitmapButton5S.h"

using CommCtrl::CBitmapButton5S;

namespace {
constexpr RECT IconRect{2, 2, 18, 18};
constexpr RECT CaptionRect{20, 3, 70, 17};
constexpr RECT NoRect{0, 0, 0, 0};
constexpr int ButtonWidth = 70;
constexpr int ButtonHeight = 20;

class CButtonHostDlg : public CDialog {
public:
    CButtonHostDlg() : CDialog(ButtonTestTemplate) {}
    std::map<WORD, int> Clicks;

protected:
    bool OnCommand(WORD id, WORD code, HWND) override
    {
        if (code == BN_CLICKED)
            ++Clicks[id];
        return true;
    }
};

struct CBox {
    int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;
    bool Empty() const { return Right < 0; }
};

class BitmapButton5STests : public ::testing::Test {
protected:
    void SetUp() override
    {
        ParkCursor();
        ASSERT_TRUE(Host.Create());
        Dialog = Host.GetSafeHwnd();
        SetWindowPos(Dialog, nullptr, 200, 150, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(Ok.SubclassDlgItem(OkButtonId, Dialog));
        ASSERT_TRUE(Plain.SubclassDlgItem(CaptionButtonId, Dialog));
        OkWindow = Ok.GetSafeHwnd();
        PlainWindow = Plain.GetSafeHwnd();
        // The order of the program's dialogs.
        ASSERT_TRUE(Ok.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED));
        ASSERT_TRUE(Ok.SetHoverBitmap(IDB_BUTTON_HOVER));
        Ok.SetLayout(IconRect, CaptionRect, 6, L"Arial");
        Ok.SetTextColor(RGB(0, 0, 0));
        ASSERT_TRUE(Ok.SetIcon(IDI_OK));
        Ok.SizeToContent();
        ASSERT_TRUE(Plain.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED,
                                           IDB_BUTTON_DISABLED));
        ASSERT_TRUE(Plain.SetHoverBitmap(IDB_BUTTON_HOVER));
        Plain.SizeToContent();
        SetWindowPos(OkWindow, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(PlainWindow, nullptr, 10, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        FocusElsewhere();
    }
    void TearDown() override { ParkCursor(); }

    static void ParkCursor()
    {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    void FocusElsewhere()
    {
        SetFocus(GetDlgItem(Dialog, OtherButtonId));
        ASSERT_EQ(GetFocus(), GetDlgItem(Dialog, OtherButtonId));
    }
    // Puts the real cursor over a point of the button: the hover bitmap needs it there.
    static void CursorTo(HWND button, POINT point)
    {
        ClientToScreen(button, &point);
        SetCursorPos(point.x, point.y);
    }
    static void Move(HWND button, POINT point, WPARAM keys = 0)
    {
        SendMessageW(button, WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
    }
    // The cursor over the button and a move there, as a real mouse does.
    static void Hover(HWND button)
    {
        CursorTo(button, POINT{35, 10});
        Move(button, POINT{35, 10});
    }
    static void Leave(HWND button)
    {
        ParkCursor();
        Move(button, POINT{ButtonWidth + 30, 10});
    }

    // Pixels that differ from the state bitmap: what icon and caption drew.
    static CBox Drawn(HWND button, UINT stateBitmap)
    {
        PaintNow(button);
        CCapture capture(button);
        CBitmapPixels bitmap = ReadBitmapResource(stateBitmap);
        CBox box;
        for (int y = 0; y < bitmap.Height; ++y)
            for (int x = 0; x < bitmap.Width; ++x)
                if (capture.Pixel(x, y) != bitmap.At(x, y)) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
    // The button shows this bitmap everywhere outside the given rectangle, after a fresh paint or as
    // it stands once pending paints have run.
    static ::testing::AssertionResult Shows(HWND button, UINT stateBitmap, RECT except = NoRect, bool repaint = true)
    {
        if (repaint)
            PaintNow(button);
        else
            UpdateWindow(button);
        CCapture capture(button);
        CBitmapPixels bitmap = ReadBitmapResource(stateBitmap);
        if (bitmap.Width != ButtonWidth || capture.Width() != ButtonWidth)
            return ::testing::AssertionFailure() << "unexpected sizes";
        for (int y = 0; y < bitmap.Height; ++y)
            for (int x = 0; x < bitmap.Width; ++x) {
                POINT point{x, y};
                if (PtInRect(&except, point))
                    continue;
                if (capture.Pixel(x, y) != bitmap.At(x, y))
                    return ::testing::AssertionFailure()
                           << "bitmap " << stateBitmap << " differs at (" << x << ", " << y << ")";
            }
        return ::testing::AssertionSuccess();
    }

    CButtonHostDlg Host;
    CBitmapButton5S Ok;
    CBitmapButton5S Plain;
    HWND Dialog = nullptr;
    HWND OkWindow = nullptr;
    HWND PlainWindow = nullptr;
};

// Where icon and caption of the OK button may draw, one pixel of slack for the moved copies.
constexpr RECT Decorated{2, 1, 70, 19};
}  // namespace

TEST_F(BitmapButton5STests, EachStateShowsItsBitmap)
{
    EXPECT_TRUE(Shows(OkWindow, IDB_BUTTON_NORMAL, Decorated));
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));

    SetFocus(PlainWindow);
    ASSERT_EQ(GetFocus(), PlainWindow);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_FOCUSED));

    SendMessageW(PlainWindow, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_PRESSED));
    SendMessageW(PlainWindow, BM_SETSTATE, FALSE, 0);

    FocusElsewhere();
    EnableWindow(PlainWindow, FALSE);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_DISABLED));
    EnableWindow(PlainWindow, TRUE);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));
}

TEST_F(BitmapButton5STests, ShowFocusOffIgnoresTheFocusedState)
{
    EXPECT_TRUE(Plain.SetShowFocus(false));
    EXPECT_FALSE(Plain.SetShowFocus(false));
    SetFocus(PlainWindow);
    ASSERT_EQ(GetFocus(), PlainWindow);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));
    EXPECT_FALSE(Plain.SetShowFocus(true));
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_FOCUSED));
}

TEST_F(BitmapButton5STests, HoverShowsTheHoverBitmapAndLeavingRestoresTheNormalLook)
{
    Hover(PlainWindow);
    EXPECT_TRUE(Plain.IsHover());
    EXPECT_EQ(GetCapture(), PlainWindow);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_HOVER));

    Leave(PlainWindow);
    EXPECT_FALSE(Plain.IsHover());
    EXPECT_NE(GetCapture(), PlainWindow);
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));
    EXPECT_TRUE(Host.Clicks.empty());
}

TEST_F(BitmapButton5STests, HoverBitmapNeedsTheCursorOverTheButton)
{
    // A move reported inside while the real cursor is elsewhere sets the flag but not the picture.
    Move(PlainWindow, POINT{35, 10});
    EXPECT_TRUE(Plain.IsHover());
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));
    Leave(PlainWindow);
}

TEST_F(BitmapButton5STests, FocusedButtonShowsItsFocusedBitmapUnderTheMouse)
{
    SetFocus(PlainWindow);
    ASSERT_EQ(GetFocus(), PlainWindow);
    Hover(PlainWindow);
    EXPECT_FALSE(Plain.IsHover());
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_FOCUSED));

    Plain.SetShowFocus(false);
    Hover(PlainWindow);
    EXPECT_TRUE(Plain.IsHover());
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_HOVER));
    Leave(PlainWindow);
}

TEST_F(BitmapButton5STests, IconMovesDownWhenPressedAndUpWhenHovered)
{
    // The OK button has no caption area here: only the icon draws.
    Ok.SetLayout(IconRect, NoRect, 6, L"Arial");
    CBox normal = Drawn(OkWindow, IDB_BUTTON_NORMAL);
    ASSERT_FALSE(normal.Empty());
    EXPECT_GE(normal.Left, IconRect.left);
    EXPECT_LE(normal.Right, IconRect.right);
    EXPECT_GE(normal.Top, IconRect.top);
    EXPECT_LE(normal.Bottom, IconRect.bottom);

    SendMessageW(OkWindow, BM_SETSTATE, TRUE, 0);
    CBox pressed = Drawn(OkWindow, IDB_BUTTON_PRESSED);
    SendMessageW(OkWindow, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(pressed.Left, normal.Left);
    EXPECT_EQ(pressed.Right, normal.Right);
    EXPECT_EQ(pressed.Top, normal.Top + 1);
    EXPECT_EQ(pressed.Bottom, normal.Bottom + 1);

    Hover(OkWindow);
    CBox hover = Drawn(OkWindow, IDB_BUTTON_HOVER);
    Leave(OkWindow);
    EXPECT_EQ(hover.Left, normal.Left);
    EXPECT_EQ(hover.Top, normal.Top - 1);
    EXPECT_EQ(hover.Bottom, normal.Bottom - 1);
}

TEST_F(BitmapButton5STests, CaptionMovesDownWhenPressedAndUpWhenHovered)
{
    Plain.SetLayout(NoRect, CaptionRect, 6, L"Arial");
    CBox normal = Drawn(PlainWindow, IDB_BUTTON_NORMAL);
    ASSERT_FALSE(normal.Empty());
    EXPECT_GE(normal.Left, CaptionRect.left);
    EXPECT_LE(normal.Right, CaptionRect.right);

    SendMessageW(PlainWindow, BM_SETSTATE, TRUE, 0);
    CBox pressed = Drawn(PlainWindow, IDB_BUTTON_PRESSED);
    SendMessageW(PlainWindow, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(pressed.Left, normal.Left);
    EXPECT_EQ(pressed.Top, normal.Top + 1);
    EXPECT_EQ(pressed.Bottom, normal.Bottom + 1);

    Hover(PlainWindow);
    CBox hover = Drawn(PlainWindow, IDB_BUTTON_HOVER);
    Leave(PlainWindow);
    EXPECT_EQ(hover.Left, normal.Left);
    EXPECT_EQ(hover.Top, normal.Top - 1);
    EXPECT_EQ(hover.Bottom, normal.Bottom - 1);
}

TEST_F(BitmapButton5STests, CaptionIsDrawnInItsColourOnlyWithACaptionArea)
{
    // Without a layout the caption area is empty: no text although the button has one.
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));
    Plain.SetLayout(NoRect, RECT{0, 3, 0, 17}, 6, L"Arial");
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));

    Plain.SetLayout(NoRect, CaptionRect, 6, L"Arial");
    const COLORREF red = RGB(200, 0, 0);
    EXPECT_EQ(Plain.SetTextColor(red), RGB(0, 0, 0));
    EXPECT_EQ(Plain.SetTextColor(red), red);
    PaintNow(PlainWindow);
    CCapture capture(PlainWindow);
    int inColour = 0;
    for (int y = 0; y < ButtonHeight; ++y)
        for (int x = 0; x < ButtonWidth; ++x)
            inColour += capture.Pixel(x, y) == red;
    EXPECT_GT(inColour, 10);

    // An empty text draws nothing either.
    SetWindowTextW(PlainWindow, L"");
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL));
}

TEST_F(BitmapButton5STests, LongCaptionEndsWithAnEllipsisInsideItsArea)
{
    Plain.SetLayout(NoRect, CaptionRect, 6, L"Arial");
    SetWindowTextW(PlainWindow, L"A caption far too long for this button");
    CBox drawn = Drawn(PlainWindow, IDB_BUTTON_NORMAL);
    ASSERT_FALSE(drawn.Empty());
    EXPECT_GE(drawn.Left, CaptionRect.left);
    EXPECT_LE(drawn.Right, CaptionRect.right);
}

TEST_F(BitmapButton5STests, ReleaseClicksAndGoesOnTrackingTheHover)
{
    Plain.SetShowFocus(false);
    CursorTo(PlainWindow, POINT{35, 10});
    SendMessageW(PlainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 10));
    EXPECT_TRUE(SendMessageW(PlainWindow, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(PlainWindow, WM_LBUTTONUP, 0, MAKELPARAM(35, 10));
    EXPECT_EQ(Host.Clicks[CaptionButtonId], 1);
    EXPECT_FALSE(Plain.IsHover());
    EXPECT_EQ(GetCapture(), PlainWindow);

    // The next move over the button brings the hover look back by itself.
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_NORMAL, NoRect, false));
    Move(PlainWindow, POINT{36, 10});
    EXPECT_TRUE(Plain.IsHover());
    EXPECT_TRUE(Shows(PlainWindow, IDB_BUTTON_HOVER, NoRect, false));
    Leave(PlainWindow);
    EXPECT_NE(GetCapture(), PlainWindow);
    EXPECT_EQ(Host.Clicks[CaptionButtonId], 1);
}

TEST_F(BitmapButton5STests, PressDraggedOutAndBackStillClicks)
{
    CursorTo(PlainWindow, POINT{35, 10});
    SendMessageW(PlainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 10));
    Move(PlainWindow, POINT{ButtonWidth + 30, 10}, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), PlainWindow);
    Move(PlainWindow, POINT{30, 10}, MK_LBUTTON);
    SendMessageW(PlainWindow, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    EXPECT_EQ(Host.Clicks[CaptionButtonId], 1);

    // Released outside, the press is no click.
    SendMessageW(PlainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 10));
    Move(PlainWindow, POINT{ButtonWidth + 30, 10}, MK_LBUTTON);
    SendMessageW(PlainWindow, WM_LBUTTONUP, 0, MAKELPARAM(ButtonWidth + 30, 10));
    EXPECT_EQ(Host.Clicks[CaptionButtonId], 1);
    EXPECT_NE(GetCapture(), PlainWindow);
}

TEST_F(BitmapButton5STests, FailedIconLoadLeavesNoIcon)
{
    EXPECT_FALSE(Drawn(OkWindow, IDB_BUTTON_NORMAL).Empty());
    Ok.SetLayout(IconRect, NoRect, 6, L"Arial");
    EXPECT_FALSE(Ok.SetIcon(4711));
    EXPECT_TRUE(Shows(OkWindow, IDB_BUTTON_NORMAL));
    EXPECT_FALSE(Ok.SetHoverBitmap(4711));
}

TEST_F(BitmapButton5STests, PaintingAndRelayingOutOwnEveryGdiObject)
{
    PaintNow(OkWindow);
    PaintNow(PlainWindow);
    const long before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 200; ++round) {
        Hover(OkWindow);
        SendMessageW(OkWindow, BM_SETSTATE, TRUE, 0);
        SendMessageW(OkWindow, BM_SETSTATE, FALSE, 0);
        Leave(OkWindow);
        PaintNow(PlainWindow);
    }
    EXPECT_EQ(CountGdiObjects(), before);

    // Replacing the layout, icon and hover bitmap releases what they replace.
    const long settled = CountGdiObjects();
    for (int round = 0; round < 100; ++round) {
        Ok.SetLayout(IconRect, CaptionRect, 6, L"Arial");
        Ok.SetIcon(IDI_CANCEL);
        Ok.SetHoverBitmap(IDB_BUTTON_HOVER);
        Ok.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
    }
    EXPECT_EQ(CountGdiObjects(), settled);
}
