#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "SkinTestSupport.h"
#include "res/resource.h"
#include "skin/BitmapDialog.h"

using CommCtrl::CBitmapDialog;

namespace {
constexpr UINT MsgRunCheck = WM_APP + 10;
constexpr int Width = 400;
constexpr int Height = 300;
constexpr int Left = 100;
constexpr int Top = 80;

class CFrameDlg : public CBitmapDialog {
public:
    CFrameDlg() : CBitmapDialog(FrameTestTemplate) {}

    bool ShortOnOpen = false;
    // Runs inside a modal loop, posted from the opening.
    std::function<void(CFrameDlg&)> ModalCheck;
    // IsClosingFromCloseButton as each cancel saw it.
    std::vector<bool> Cancels;
    int SkinPaints = 0;

    using CBitmapDialog::OnMessage;

protected:
    BOOL OnInitDialog() override
    {
        if (ShortOnOpen)
            SetShortTitle(true);
        CBitmapDialog::OnInitDialog();
        if (ModalCheck)
            PostMessageW(m_hWnd, MsgRunCheck, 0, 0);
        return TRUE;
    }
    void OnCancel() override
    {
        Cancels.push_back(IsClosingFromCloseButton());
        CBitmapDialog::OnCancel();
    }
    void PaintSkin(HDC dc) override
    {
        ++SkinPaints;
        CBitmapDialog::PaintSkin(dc);
    }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (message == MsgRunCheck) {
            handled = true;
            ModalCheck(*this);
            return 0;
        }
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
};

LPARAM At(POINT point)
{
    return MAKELPARAM(point.x, point.y);
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void Press(HWND window, POINT point)
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(point));
}
void Move(HWND window, POINT point, WPARAM keys = 0)
{
    SendMessageW(window, WM_MOUSEMOVE, keys, At(point));
}
void Release(HWND window, POINT point)
{
    SendMessageW(window, WM_LBUTTONUP, 0, At(point));
}
void Click(HWND window, POINT point)
{
    Press(window, point);
    Release(window, point);
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

::testing::AssertionResult RectIs(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom)
{
    if (actual.left == left && actual.top == top && actual.right == right && actual.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rect (" << actual.left << ", " << actual.top << ")-(" << actual.right
                                         << ", " << actual.bottom << "), expected (" << left << ", " << top << ")-("
                                         << right << ", " << bottom << ")";
}

class BitmapDialogTests : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Keep the cursor off every test window, so that no real move interferes.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }

    // Opens the dialog modelessly at a known place and size and paints it.
    void Open(CFrameDlg& dialog, const wchar_t* title = L"")
    {
        ASSERT_TRUE(dialog.Create());
        Window = dialog.GetSafeHwnd();
        SetWindowTextW(Window, title);
        SetWindowPos(Window, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(Window, SW_SHOWNOACTIVATE);
        PaintNow(Window);
    }

    HWND Window = nullptr;
};

// The window's shape, to skip pixels that the rounded corners cut away.
class CWindowShape {
public:
    explicit CWindowShape(HWND window) : m_region(CreateRectRgn(0, 0, 0, 0))
    {
        m_hasRegion = GetWindowRgn(window, m_region.Get()) != ERROR;
    }
    bool HasRegion() const { return m_hasRegion; }
    bool Contains(int x, int y) const { return PtInRegion(m_region.Get(), x, y) != FALSE; }

private:
    CScopedRegion m_region;
    bool m_hasRegion = false;
};

// Compares the captured window with a bitmap placed 1:1 at (left, top); a bitmap one pixel wide or
// high is stretched along that axis, so its single column or row repeats.
::testing::AssertionResult MatchesBitmap(const CCapture& capture, const CWindowShape& shape, UINT id, int left,
                                         int top, int width, int height)
{
    CBitmapPixels bitmap = ReadBitmapResource(id);
    if (bitmap.Width == 0)
        return ::testing::AssertionFailure() << "bitmap " << id << " did not load";
    int compared = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!shape.Contains(left + x, top + y))
                continue;
            // A bitmap stretched along one axis repeats its single column or row.
            int sourceX = bitmap.Width == 1 ? 0 : x;
            int sourceY = bitmap.Height == 1 ? 0 : y;
            if (sourceX >= bitmap.Width || sourceY >= bitmap.Height)
                return ::testing::AssertionFailure() << "bitmap " << id << " is smaller than the compared area";
            COLORREF expected = bitmap.At(sourceX, sourceY);
            COLORREF actual = capture.Pixel(left + x, top + y);
            if (expected != actual)
                return ::testing::AssertionFailure() << "bitmap " << id << " pixel (" << x << ", " << y << ") at ("
                                                     << left + x << ", " << top + y << "): expected " << expected
                                                     << ", got " << actual;
            ++compared;
        }
    }
    if (compared == 0)
        return ::testing::AssertionFailure() << "no pixel of bitmap " << id << " compared";
    return ::testing::AssertionSuccess();
}
}  // namespace

TEST_F(BitmapDialogTests, ContentAreaLiesInsideTheTitleBarAndBorders)
{
    CFrameDlg dialog;
    Open(dialog);
    EXPECT_TRUE(RectIs(dialog.GetContentRect(), 3, 30, Width - 3, Height - 3));

    dialog.SetShortTitle(true);
    EXPECT_TRUE(dialog.IsShortTitle());
    EXPECT_TRUE(RectIs(dialog.GetContentRect(), 3, 22, Width - 3, Height - 3));

    dialog.SetShortTitle(false);
    EXPECT_TRUE(RectIs(dialog.GetContentRect(), 3, 30, Width - 3, Height - 3));
}

TEST_F(BitmapDialogTests, TitleButtonsStandFromTheRightAndEndTheCaption)
{
    CFrameDlg dialog;
    Open(dialog);
    // All three after construction.
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::CloseButton), Width - 34, 4, Width - 3, 27));
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::MaximizeButton), Width - 65, 4, Width - 34, 27));
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::MinimizeButton), Width - 96, 4, Width - 65, 27));
    EXPECT_TRUE(RectIs(dialog.GetCaptionRect(), 0, 0, Width - 96, 30));

    dialog.SetTitleButtons(false, false, true);
    EXPECT_TRUE(RectIs(dialog.GetCaptionRect(), 0, 0, Width - 34, 30));

    // Minimize without maximize stands directly left of close.
    dialog.SetTitleButtons(true, false, true);
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::MinimizeButton), Width - 65, 4, Width - 34, 27));
    EXPECT_FALSE(dialog.IsTitleButtonShown(CBitmapDialog::MaximizeButton));
    EXPECT_TRUE(RectIs(dialog.GetCaptionRect(), 0, 0, Width - 65, 30));

    // Without close there is no title button at all.
    dialog.SetTitleButtons(true, true, false);
    EXPECT_FALSE(dialog.IsTitleButtonShown(CBitmapDialog::MinimizeButton));
    EXPECT_FALSE(dialog.IsTitleButtonShown(CBitmapDialog::MaximizeButton));
    EXPECT_FALSE(dialog.IsTitleButtonShown(CBitmapDialog::CloseButton));
    EXPECT_TRUE(RectIs(dialog.GetCaptionRect(), 0, 0, Width, 30));

    // The short title resets to close only, with smaller buttons.
    dialog.SetTitleButtons(true, true, true);
    dialog.SetShortTitle(true);
    EXPECT_FALSE(dialog.IsTitleButtonShown(CBitmapDialog::MinimizeButton));
    EXPECT_FALSE(dialog.IsTitleButtonShown(CBitmapDialog::MaximizeButton));
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::CloseButton), Width - 24, 3, Width - 3, 19));
    EXPECT_TRUE(RectIs(dialog.GetCaptionRect(), 0, 0, Width - 24, 22));

    // A size change lays the title bar out again.
    SetWindowPos(Window, nullptr, 0, 0, 500, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::CloseButton), 500 - 24, 3, 500 - 3, 19));
    EXPECT_TRUE(RectIs(dialog.GetCaptionRect(), 0, 0, 500 - 24, 22));
}

TEST_F(BitmapDialogTests, WindowHasRoundedCornersOverItsWholeSize)
{
    CFrameDlg dialog;
    Open(dialog);
    CWindowShape shape(Window);
    ASSERT_TRUE(shape.HasRegion());
    EXPECT_FALSE(shape.Contains(0, 0));
    EXPECT_FALSE(shape.Contains(Width - 1, 0));
    EXPECT_FALSE(shape.Contains(0, Height - 1));
    EXPECT_FALSE(shape.Contains(Width - 1, Height - 1));
    // Every edge is kept whole away from the corners, the last column and row included.
    EXPECT_TRUE(shape.Contains(Width / 2, 0));
    EXPECT_TRUE(shape.Contains(0, Height / 2));
    EXPECT_TRUE(shape.Contains(Width - 1, Height / 2));
    EXPECT_TRUE(shape.Contains(Width / 2, Height - 1));
    EXPECT_TRUE(shape.Contains(5, 5));

    SetWindowPos(Window, nullptr, 0, 0, 250, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CWindowShape resized(Window);
    EXPECT_TRUE(resized.Contains(249, 60));
    EXPECT_FALSE(resized.Contains(260, 60));
}

TEST_F(BitmapDialogTests, FrameIsDrawnFromTheSkinBitmaps)
{
    CFrameDlg dialog;
    Open(dialog);
    CCapture capture(Window);
    CWindowShape shape(Window);
    const int w = Width;
    const int h = Height;
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_TOPLEFT, 0, 0, 6, 30));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_TOPRIGHT, w - 6, 0, 6, 30));
    // The top edge up to the leftmost title button; the buttons cover the rest.
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_TOP, 6, 0, w - 96 - 6, 30));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_TOP, w - 96, 0, 96 - 6, 4));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_LEFT, 0, 30, 3, h - 5 - 30));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_RIGHT, w - 3, 30, 3, h - 5 - 30));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_BOTTOM, 5, h - 3, w - 10, 3));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_BOTTOMLEFT, 0, h - 5, 5, 5));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_BOTTOMRIGHT, w - 5, h - 5, 5, 5));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_MIN_NORMAL, w - 96, 4, 31, 23));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_MAX_NORMAL, w - 65, 4, 31, 23));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_CLOSE_NORMAL, w - 34, 4, 31, 23));
}

TEST_F(BitmapDialogTests, ShortTitleSqueezesTheTopAndStartsTheEdgesAt22)
{
    CFrameDlg dialog;
    dialog.ShortOnOpen = true;
    Open(dialog);
    CCapture capture(Window);
    CWindowShape shape(Window);
    const int w = Width;
    const int h = Height;
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_LEFT, 0, 22, 3, h - 5 - 22));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_RIGHT, w - 3, 22, 3, h - 5 - 22));
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_BOTTOM, 5, h - 3, w - 10, 3));
    // The squeezed pictures keep their first row and first column.
    EXPECT_TRUE(MatchesBitmap(capture, shape, IDB_FRAME_TOP, 6, 0, w - 24 - 6, 1));
    CBitmapPixels close = ReadBitmapResource(IDB_CLOSE_NORMAL);
    ASSERT_GT(close.Width, 0);
    EXPECT_EQ(capture.Pixel(w - 24, 3), close.At(0, 0));
    // Below the short title bar the top edge's picture is gone: the left edge starts at 22.
    CBitmapPixels left = ReadBitmapResource(IDB_FRAME_LEFT);
    EXPECT_EQ(capture.Pixel(1, 22), left.At(1, 0));
}

TEST_F(BitmapDialogTests, CaptionTextAndIconStandInTheTitleBar)
{
    CFrameDlg dialog;
    Open(dialog, L"Skin test WWWW");
    const COLORREF captionColour = RGB(62, 129, 211);
    auto captionPixelsIn = [&](const CCapture& capture, int fromX, int toX) {
        int count = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = fromX; x < toX; ++x)
                count += capture.Pixel(x, y) == captionColour;
        return count;
    };
    {
        CCapture capture(Window);
        EXPECT_GT(captionPixelsIn(capture, 5, 200), 20);
        EXPECT_EQ(captionPixelsIn(capture, 0, 5), 0);
    }

    // With a small icon the text moves to x 25 and the icon is drawn at (5, 5).
    CScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUORVANE), IMAGE_ICON, 16, 16, 0)));
    ASSERT_TRUE(icon);
    SendMessageW(Window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.Get()));
    PaintNow(Window);
    {
        CCapture capture(Window);
        EXPECT_EQ(captionPixelsIn(capture, 0, 25), 0);
        EXPECT_GT(captionPixelsIn(capture, 25, 220), 20);
        CBitmapPixels topLeft = ReadBitmapResource(IDB_FRAME_TOPLEFT);
        CBitmapPixels top = ReadBitmapResource(IDB_FRAME_TOP);
        int iconPixels = 0;
        for (int y = 5; y < 25; ++y)
            for (int x = 5; x < 25; ++x)
                iconPixels += capture.Pixel(x, y) != (x < 6 ? topLeft.At(x, y) : top.At(0, y));
        EXPECT_GT(iconPixels, 40);
    }
    SendMessageW(Window, WM_SETICON, ICON_SMALL, 0);

    // The short title draws no icon and keeps the text clear of the close button.
    dialog.SetShortTitle(true);
    SetWindowTextW(Window, L"A rather long title that runs far beyond the width of this small window");
    SetWindowPos(Window, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PaintNow(Window);
    {
        CCapture capture(Window);
        EXPECT_GT(captionPixelsIn(capture, 5, 200 - 24), 20);
        int overButton = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 200 - 24; x < 200; ++x)
                overButton += capture.Pixel(x, y) == captionColour;
        EXPECT_EQ(overButton, 0);
    }
}

TEST_F(BitmapDialogTests, NewTitleTextAndIconRepaintTheTitleBar)
{
    CFrameDlg dialog;
    Open(dialog);
    const COLORREF captionColour = RGB(62, 129, 211);
    auto titlePixels = [&] {
        UpdateWindow(Window);
        CCapture capture(Window);
        int count = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 200; ++x)
                count += capture.Pixel(x, y) == captionColour;
        return count;
    };
    ASSERT_EQ(titlePixels(), 0);
    SetWindowTextW(Window, L"Renamed WWWW");
    EXPECT_GT(titlePixels(), 20);
    wchar_t text[32] = {};
    GetWindowTextW(Window, text, 32);
    EXPECT_STREQ(text, L"Renamed WWWW");

    CBitmapPixels topLeft = ReadBitmapResource(IDB_FRAME_TOPLEFT);
    CScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUORVANE), IMAGE_ICON, 16, 16, 0)));
    EXPECT_EQ(SendMessageW(Window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.Get())), 0);
    UpdateWindow(Window);
    int iconPixels = 0;
    {
        CCapture capture(Window);
        for (int y = 5; y < 25; ++y)
            iconPixels += capture.Pixel(5, y) != topLeft.At(5, y);
    }
    EXPECT_GT(iconPixels, 3);
    EXPECT_EQ(SendMessageW(Window, WM_SETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(icon.Get()));
}

TEST_F(BitmapDialogTests, TitleButtonsShowHoverAndPressedLooks)
{
    CFrameDlg dialog;
    Open(dialog);
    const RECT close = dialog.GetTitleButtonRect(CBitmapDialog::CloseButton);
    const RECT minimize = dialog.GetTitleButtonRect(CBitmapDialog::MinimizeButton);
    auto closeLooksLike = [&](UINT id) {
        CCapture capture(Window);
        return MatchesBitmap(capture, CWindowShape(Window), id, close.left, close.top, 31, 23);
    };

    Move(Window, Centre(close));
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 1);
    EXPECT_TRUE(closeLooksLike(IDB_CLOSE_HOVER));

    Move(Window, Centre(minimize));
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 0);
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::MinimizeButton), 1);
    EXPECT_TRUE(closeLooksLike(IDB_CLOSE_NORMAL));

    Press(Window, Centre(close));
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 2);
    EXPECT_EQ(GetCapture(), Window);
    EXPECT_TRUE(closeLooksLike(IDB_CLOSE_PRESSED));
    // Pressed stays pressed wherever the mouse goes.
    Move(Window, POINT{50, 100}, MK_LBUTTON);
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 2);
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::MinimizeButton), 0);

    Release(Window, POINT{50, 100});
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 0);

    // The mouse leaving the window takes the hover look away.
    Move(Window, Centre(close));
    ASSERT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 1);
    SendMessageW(Window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 0);
    EXPECT_TRUE(closeLooksLike(IDB_CLOSE_NORMAL));
    EXPECT_TRUE(dialog.Cancels.empty());
}

TEST_F(BitmapDialogTests, ReleasingOutsideAPressedButtonDoesNothing)
{
    CFrameDlg dialog;
    Open(dialog);
    const RECT close = dialog.GetTitleButtonRect(CBitmapDialog::CloseButton);
    const RECT minimize = dialog.GetTitleButtonRect(CBitmapDialog::MinimizeButton);

    Press(Window, Centre(close));
    Move(Window, POINT{close.left - 40, 60}, MK_LBUTTON);
    Release(Window, POINT{close.left - 40, 60});
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_TRUE(dialog.Cancels.empty());
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 0);
    EXPECT_NE(GetCapture(), Window);
    EXPECT_TRUE(MatchesBitmap(CCapture(Window), CWindowShape(Window), IDB_CLOSE_NORMAL, close.left, close.top, 31, 23));

    // Released on another title button, the pressed one's action does not run, nor the other's.
    Press(Window, Centre(minimize));
    Release(Window, Centre(close));
    EXPECT_FALSE(IsIconic(Window));
    EXPECT_TRUE(dialog.Cancels.empty());
}

TEST_F(BitmapDialogTests, CloseButtonRunsTheCancelActionWithItsFlagSet)
{
    CFrameDlg dialog;
    Open(dialog);
    EXPECT_FALSE(dialog.IsClosingFromCloseButton());

    // Escape runs the same action without the flag; the test dialog ends on it.
    SendMessageW(Window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dialog.Cancels, (std::vector<bool>{false}));
    EXPECT_FALSE(IsWindow(Window));

    CFrameDlg second;
    Open(second);
    Click(Window, Centre(second.GetTitleButtonRect(CBitmapDialog::CloseButton)));
    EXPECT_EQ(second.Cancels, (std::vector<bool>{true}));
    EXPECT_FALSE(second.IsClosingFromCloseButton());
    EXPECT_FALSE(IsWindow(Window));
    EXPECT_EQ(second.GetResult(), IDCANCEL);
}

TEST_F(BitmapDialogTests, ModalDialogClosesFromItsCloseButton)
{
    CFrameDlg dialog;
    dialog.ShortOnOpen = true;
    RECT content{};
    int skinPaints = 0;
    dialog.ModalCheck = [&](CFrameDlg& self) {
        HWND window = self.GetSafeHwnd();
        SetWindowPos(window, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
        PaintNow(window);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        PaintNow(window);
        skinPaints = self.SkinPaints;
        content = self.GetContentRect();
        Click(window, Centre(self.GetTitleButtonRect(CBitmapDialog::CloseButton)));
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.Cancels, (std::vector<bool>{true}));
    EXPECT_TRUE(RectIs(content, 3, 22, Width - 3, Height - 3));
    EXPECT_GT(skinPaints, 0);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(BitmapDialogTests, MinimizeAndMaximizeButtonsActAndMaximizeFillsTheWorkArea)
{
    CFrameDlg dialog;
    Open(dialog);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const RECT normal = WindowRect(Window);

    Click(Window, Centre(dialog.GetTitleButtonRect(CBitmapDialog::MaximizeButton)));
    ASSERT_TRUE(IsZoomed(Window));
    EXPECT_TRUE(SameRect(WindowRect(Window), work));
    // The title bar follows the new size and the middle button shows the restore picture.
    RECT client{};
    GetClientRect(Window, &client);
    const RECT maximize = dialog.GetTitleButtonRect(CBitmapDialog::MaximizeButton);
    EXPECT_TRUE(RectIs(dialog.GetTitleButtonRect(CBitmapDialog::CloseButton), client.right - 34, 4,
                       client.right - 3, 27));
    PaintNow(Window);
    EXPECT_TRUE(MatchesBitmap(CCapture(Window), CWindowShape(Window), IDB_RESTORE_NORMAL, maximize.left,
                              maximize.top, 31, 23));

    Click(Window, Centre(maximize));
    EXPECT_FALSE(IsZoomed(Window));
    EXPECT_TRUE(SameRect(WindowRect(Window), normal));

    Click(Window, Centre(dialog.GetTitleButtonRect(CBitmapDialog::MinimizeButton)));
    EXPECT_TRUE(IsIconic(Window));
    ShowWindow(Window, SW_RESTORE);
    EXPECT_TRUE(SameRect(WindowRect(Window), normal));
    EXPECT_TRUE(dialog.Cancels.empty());
}

TEST_F(BitmapDialogTests, DraggingTheCaptionMovesTheWindowUnlessMaximized)
{
    CFrameDlg dialog;
    Open(dialog);
    Press(Window, POINT{50, 10});
    EXPECT_EQ(GetCapture(), Window);
    Move(Window, POINT{70, 25}, MK_LBUTTON);
    EXPECT_TRUE(RectIs(WindowRect(Window), Left + 20, Top + 15, Left + 20 + Width, Top + 15 + Height));
    // The next point is relative to the moved window.
    Move(Window, POINT{40, 5}, MK_LBUTTON);
    EXPECT_TRUE(RectIs(WindowRect(Window), Left + 10, Top + 10, Left + 10 + Width, Top + 10 + Height));
    Release(Window, POINT{50, 10});
    EXPECT_NE(GetCapture(), Window);
    Move(Window, POINT{90, 40});
    EXPECT_TRUE(RectIs(WindowRect(Window), Left + 10, Top + 10, Left + 10 + Width, Top + 10 + Height));

    // A press below the title bar drags nothing.
    Press(Window, POINT{50, 100});
    Move(Window, POINT{80, 130}, MK_LBUTTON);
    Release(Window, POINT{80, 130});
    EXPECT_TRUE(RectIs(WindowRect(Window), Left + 10, Top + 10, Left + 10 + Width, Top + 10 + Height));

    ShowWindow(Window, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(Window));
    const RECT maximized = WindowRect(Window);
    Press(Window, POINT{50, 10});
    EXPECT_NE(GetCapture(), Window);
    Move(Window, POINT{90, 50}, MK_LBUTTON);
    Release(Window, POINT{90, 50});
    EXPECT_TRUE(SameRect(WindowRect(Window), maximized));
}

TEST_F(BitmapDialogTests, DoubleClickOnTheCaptionTogglesMaximizeOnlyWithItsButton)
{
    CFrameDlg dialog;
    Open(dialog);
    SendMessageW(Window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 10));
    EXPECT_TRUE(IsZoomed(Window));
    SendMessageW(Window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 10));
    EXPECT_FALSE(IsZoomed(Window));

    dialog.SetTitleButtons(true, false, true);
    SendMessageW(Window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 10));
    Release(Window, POINT{50, 10});
    EXPECT_FALSE(IsZoomed(Window));
}

TEST_F(BitmapDialogTests, LosingTheCaptureEndsAPress)
{
    CFrameDlg dialog;
    Open(dialog);
    const RECT close = dialog.GetTitleButtonRect(CBitmapDialog::CloseButton);
    Press(Window, Centre(close));
    ASSERT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 2);
    ReleaseCapture();
    EXPECT_EQ(dialog.GetTitleButtonState(CBitmapDialog::CloseButton), 0);
    Release(Window, Centre(close));
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_TRUE(dialog.Cancels.empty());
}

TEST_F(BitmapDialogTests, PaintingOwnsEveryGdiObject)
{
    CFrameDlg dialog;
    Open(dialog, L"Leak test");
    const RECT close = dialog.GetTitleButtonRect(CBitmapDialog::CloseButton);
    PaintNow(Window);
    const long before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 300; ++round) {
        Move(Window, Centre(close));
        Move(Window, POINT{60, 100});
        PaintNow(Window);
    }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_GT(dialog.SkinPaints, 300);
}
