#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "SkinTestSupport.h"
#include "framework/Dialog.h"
#include "skin/ColourMath.h"
#include "skin/EnTabCtrl.h"

using CommCtrl::CEnTabCtrl;
using CommCtrl::Darker;
using CommCtrl::GradientLine;
using CommCtrl::Lighter;

namespace {
constexpr COLORREF Pane = RGB(228, 236, 247);
constexpr COLORREF Orange = RGB(255, 128, 64);
constexpr DWORD ProgramLook = CEnTabCtrl::LookFlat | CEnTabCtrl::LookColor | CEnTabCtrl::LookSelection |
                              CEnTabCtrl::LookGradient;

// Opens the colour choices to the test.
class CProbeTabCtrl : public CEnTabCtrl {
public:
    using CEnTabCtrl::TabBackColor;
    using CEnTabCtrl::TabTextColor;
};

class EnTabCtrlTests : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_TAB_CLASSES};
        InitCommonControlsEx(&init);
    }
    void SetUp() override
    {
        CEnTabCtrl::SetLookFlags(true, ProgramLook);
        ASSERT_TRUE(Host.Create());
        Dialog = Host.GetSafeHwnd();
        SetWindowPos(Dialog, nullptr, 50, 50, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        TabWindow = GetDlgItem(Dialog, TabId);
        SetWindowPos(TabWindow, nullptr, 10, 10, 400, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override { CEnTabCtrl::SetLookFlags(false, 0); }

    // The program's look on the first tab strip: three tabs, the middle one selected.
    void OpenProgramLook()
    {
        ASSERT_TRUE(Tabs.SubclassDlgItem(TabId, Dialog));
        ASSERT_TRUE(Tabs.SetPaintMode(2));
        Tabs.SetBackgroundColor(Pane);
        Tabs.InsertItem(0, L"Basic Info");
        Tabs.InsertItem(1, L"Registration");
        Tabs.InsertItem(2, L"Other");
        Tabs.SetCurSel(1);
    }
    std::unique_ptr<CCapture> Print(HWND window, int bits = 32)
    {
        RECT client{};
        GetClientRect(window, &client);
        auto capture = std::make_unique<CCapture>(client.right, client.bottom, bits);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture->DC()), PRF_CLIENT | PRF_ERASEBKGND);
        return capture;
    }
    RECT ItemRect(int index) const
    {
        RECT rect{};
        EXPECT_TRUE(Tabs.GetItemRect(index, rect));
        return rect;
    }
    static bool HasPixel(const CCapture& capture, const RECT& area, COLORREF colour)
    {
        for (int y = std::max(0L, area.top); y < std::min<LONG>(area.bottom, capture.Height()); ++y)
            for (int x = std::max(0L, area.left); x < std::min<LONG>(area.right, capture.Width()); ++x)
                if (capture.Pixel(x, y) == colour)
                    return true;
        return false;
    }

    CDialog Host{TabTestTemplate};
    CProbeTabCtrl Tabs;
    HWND Dialog = nullptr;
    HWND TabWindow = nullptr;
};

::testing::AssertionResult GradientColumn(const CCapture& capture, int x, int top, int height, COLORREF start,
                                          COLORREF end, int firstLine)
{
    for (int line = firstLine; line < height; ++line) {
        int y = top + line;
        if (y < 0)
            continue;
        COLORREF expected = GradientLine(start, end, line, height);
        COLORREF actual = capture.Pixel(x, y);
        if (actual != expected)
            return ::testing::AssertionFailure() << "line " << line << " of " << height << " at (" << x << ", " << y
                                                 << "): expected " << expected << ", got " << actual;
    }
    return ::testing::AssertionSuccess();
}
}  // namespace

TEST_F(EnTabCtrlTests, ProgramLookFillsTabsWithTheirGradients)
{
    OpenProgramLook();
    auto capture = Print(TabWindow);

    // Unselected: from the background colour down to darker(background, 0.7), over the full height.
    const RECT first = ItemRect(0);
    EXPECT_TRUE(GradientColumn(*capture, first.left + 1, first.top, first.bottom - first.top, Pane,
                               Darker(Pane, 0.7), 0));
    const RECT last = ItemRect(2);
    EXPECT_TRUE(GradientColumn(*capture, last.right - 3, last.top, last.bottom - last.top, Pane, Darker(Pane, 0.7),
                               0));

    // Selected: enlarged by 2 above and 1 below, from lighter(background, 1.4) to the background,
    // under the 3-pixel orange bar.
    const RECT selected = ItemRect(1);
    const int top = selected.top - 2;
    const int height = selected.bottom + 1 - top;
    EXPECT_TRUE(GradientColumn(*capture, selected.left + 2, top, height, Lighter(Pane, 1.4), Pane, 3));
    for (int y = std::max(0, top); y < top + 3; ++y)
        for (int x = selected.left + 1; x < selected.right - 2; ++x)
            ASSERT_EQ(capture->Pixel(x, y), Orange) << x << ", " << y;
    if (top + 1 >= 0) {
        EXPECT_NE(capture->Pixel(selected.right - 2, top + 1), Orange);
    }
}

TEST_F(EnTabCtrlTests, TabTextsTakeTheirColours)
{
    OpenProgramLook();
    auto capture = Print(TabWindow);
    const RECT first = ItemRect(0);
    const RECT selected = ItemRect(1);
    EXPECT_TRUE(HasPixel(*capture, RECT{first.left + 3, first.top + 3, first.right - 3, first.bottom},
                         Darker(Pane, 0.5)));
    EXPECT_FALSE(HasPixel(*capture, RECT{first.left + 3, first.top + 3, first.right - 3, first.bottom},
                          GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_TRUE(HasPixel(*capture, RECT{selected.left + 3, selected.top + 2, selected.right - 3, selected.bottom + 1},
                         GetSysColor(COLOR_WINDOWTEXT)));
}

TEST_F(EnTabCtrlTests, FrameEdgesAndBackgroundTakeTheirColours)
{
    OpenProgramLook();
    auto capture = Print(TabWindow);
    RECT client{};
    GetClientRect(TabWindow, &client);
    // Flat look: the unselected tab colour is the background colour.
    const COLORREF light = Lighter(Pane, 1.5);
    const COLORREF dark = Darker(Pane, 0.75);
    EXPECT_EQ(capture->Pixel(0, client.bottom - 10), light);
    EXPECT_EQ(capture->Pixel(client.right / 2, client.bottom - 1), dark);
    EXPECT_EQ(capture->Pixel(client.right - 1, client.bottom - 10), dark);
    EXPECT_EQ(capture->Pixel(client.right / 2, client.bottom - 20), Pane);

    // Right of the last tab the background colour shows.
    const RECT last = ItemRect(2);
    EXPECT_EQ(capture->Pixel(client.right - 5, last.top + 3), Pane);
    // Unselected tabs have dark lines just left of them and along their right edge.
    const RECT first = ItemRect(0);
    ASSERT_GE(first.left, 1);
    EXPECT_EQ(capture->Pixel(first.left - 1, first.top + 5), Darker(Pane, 0.75));
    EXPECT_EQ(capture->Pixel(first.right - 1, first.top + 5), Darker(Pane, 0.75));
    EXPECT_EQ(capture->Pixel(last.right - 1, last.top + 5), Darker(Pane, 0.75));
    // The selected tab has a light left and a dark right border.
    const RECT selected = ItemRect(1);
    EXPECT_EQ(capture->Pixel(selected.left, selected.top + 5), Lighter(Lighter(Pane, 1.4), 1.5));
    EXPECT_EQ(capture->Pixel(selected.right - 1, selected.top + 5), Darker(Lighter(Pane, 1.4), 0.75));
}

TEST_F(EnTabCtrlTests, WindowPaintingMatchesPrinting)
{
    OpenProgramLook();
    ShowWindow(Dialog, SW_SHOWNOACTIVATE);
    PaintNow(Dialog);
    CCapture painted(TabWindow);
    auto printed = Print(TabWindow);
    for (int y = 0; y < painted.Height(); ++y)
        for (int x = 0; x < painted.Width(); ++x)
            ASSERT_EQ(painted.Pixel(x, y), printed->Pixel(x, y)) << x << ", " << y;
}

TEST_F(EnTabCtrlTests, FewerThan16BitsPerPixelFillTabsFlat)
{
    OpenProgramLook();
    auto deep = Print(TabWindow, 32);
    auto shallow = Print(TabWindow, 8);
    const RECT first = ItemRect(0);
    const int x = first.left + 1;
    // The gradient really changes colour down the tab at 32 bits...
    EXPECT_NE(deep->Pixel(x, first.top), deep->Pixel(x, first.bottom - 1));
    // ...while at 8 bits every line of the tab has the same colour.
    const unsigned index = shallow->PaletteIndex(x, first.top);
    for (int y = first.top; y < first.bottom; ++y)
        ASSERT_EQ(shallow->PaletteIndex(x, y), index) << y;
    const RECT selected = ItemRect(1);
    const unsigned selectedIndex = shallow->PaletteIndex(selected.left + 2, selected.top + 2);
    for (int y = selected.top + 2; y < selected.bottom + 1; ++y)
        ASSERT_EQ(shallow->PaletteIndex(selected.left + 2, y), selectedIndex) << y;
}

TEST_F(EnTabCtrlTests, LongTabTextEndsWithAnEllipsis)
{
    CEnTabCtrl::SetLookFlags(true, CEnTabCtrl::LookFlat | CEnTabCtrl::LookColor);
    HWND narrowWindow = GetDlgItem(Dialog, NarrowTabId);
    SetWindowPos(narrowWindow, nullptr, 10, 120, 400, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    CEnTabCtrl narrow;
    ASSERT_TRUE(narrow.SubclassDlgItem(NarrowTabId, Dialog));
    ASSERT_TRUE(narrow.SetPaintMode(2));
    narrow.SetBackgroundColor(Pane);
    SendMessageW(narrowWindow, TCM_SETITEMSIZE, 0, MAKELPARAM(80, 20));
    narrow.InsertItem(0, L"Registration Information Extended");
    narrow.InsertItem(1, L"Basic");
    narrow.SetCurSel(1);

    auto capture = Print(narrowWindow);
    RECT tab{};
    ASSERT_TRUE(narrow.GetItemRect(0, tab));
    ASSERT_LE(tab.right - tab.left, 90);
    // Text pixels: anything but the flat fill inside the text area.
    const RECT area{tab.left + 3, tab.top + 3, tab.right - 3, tab.bottom};
    int textLeft = area.right, textRight = -1, textTop = area.bottom, textBottom = -1;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (capture->Pixel(x, y) != Pane) {
                textLeft = std::min(textLeft, x);
                textRight = std::max(textRight, x);
                textTop = std::min(textTop, y);
                textBottom = std::max(textBottom, y);
            }
    ASSERT_GE(textRight, 0);
    EXPECT_GE(textLeft, area.left);
    EXPECT_LT(textRight, area.right);
    // The last few columns hold only the dots of the ellipsis: a thin band at the bottom of the
    // glyphs, with gaps between them.
    int dotTop = area.bottom, dotBottom = -1, gaps = 0;
    bool previousInk = true;
    for (int x = textRight - 5; x <= textRight; ++x) {
        bool ink = false;
        for (int y = textTop; y <= textBottom; ++y)
            if (capture->Pixel(x, y) != Pane) {
                ink = true;
                dotTop = std::min(dotTop, y);
                dotBottom = std::max(dotBottom, y);
            }
        gaps += previousInk && !ink;
        previousInk = ink;
    }
    EXPECT_GE(textBottom - textTop, 5);
    EXPECT_LE(dotBottom - dotTop, 2);
    EXPECT_GT(dotTop, textTop + 3);
    EXPECT_GE(gaps, 1);
}

TEST_F(EnTabCtrlTests, TabImageStandsBeforeTheText)
{
    OpenProgramLook();
    const COLORREF marker = RGB(255, 0, 255);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 1, 0);
    ASSERT_NE(images, nullptr);
    {
        CCapture picture(16, 16);
        FillSolidRect(picture.DC(), RECT{0, 0, 16, 16}, marker);
        CScopedBitmap bitmap(CreateCompatibleBitmap(picture.DC(), 16, 16));
        {
            CMemoryDC copy(picture.DC());
            CScopedSelection selected(copy.Get(), bitmap.Get());
            BitBlt(copy.Get(), 0, 0, 16, 16, picture.DC(), 0, 0, SRCCOPY);
        }
        ASSERT_EQ(ImageList_Add(images, bitmap.Get(), nullptr), 0);
    }
    SendMessageW(TabWindow, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = 0;
    SendMessageW(TabWindow, TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    auto capture = Print(TabWindow);
    const RECT first = ItemRect(0);
    // The image at the text area's top-left corner, and no text over it.
    EXPECT_EQ(capture->Pixel(first.left + 3, first.top + 3), marker);
    EXPECT_EQ(capture->Pixel(first.left + 18, first.top + 18), marker);
    EXPECT_FALSE(HasPixel(*capture, RECT{first.left + 3, first.top + 3, first.left + 22, first.bottom},
                          Darker(Pane, 0.5)));
    EXPECT_TRUE(HasPixel(*capture, RECT{first.left + 22, first.top + 3, first.right - 3, first.bottom},
                         Darker(Pane, 0.5)));
    SendMessageW(TabWindow, TCM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images);
}

TEST_F(EnTabCtrlTests, PaintModeIsZeroToTwoAndDrivesTheOwnerDrawnStyle)
{
    CEnTabCtrl::SetLookFlags(false, 0);
    CBaseTabCtrl base;
    EXPECT_EQ(base.GetPaintMode(), 0);
    EXPECT_FALSE(base.HasBackgroundColor());
    ASSERT_TRUE(base.SubclassDlgItem(NarrowTabId, Dialog));
    HWND window = base.GetSafeHwnd();
    auto ownerDrawn = [window] { return (GetWindowLongW(window, GWL_STYLE) & TCS_OWNERDRAWFIXED) != 0; };
    EXPECT_FALSE(ownerDrawn());

    EXPECT_TRUE(base.SetPaintMode(2));
    EXPECT_TRUE(ownerDrawn());
    EXPECT_FALSE(base.SetPaintMode(3));
    EXPECT_FALSE(base.SetPaintMode(-1));
    EXPECT_EQ(base.GetPaintMode(), 2);
    EXPECT_TRUE(ownerDrawn());
    EXPECT_TRUE(base.SetPaintMode(0));
    EXPECT_FALSE(ownerDrawn());
    EXPECT_FALSE(base.SetPaintMode(3));
    EXPECT_EQ(base.GetPaintMode(), 0);
    EXPECT_FALSE(ownerDrawn());
    EXPECT_TRUE(base.SetPaintMode(1));
    EXPECT_TRUE(ownerDrawn());
}

TEST_F(EnTabCtrlTests, AttachingMarksTabsOwnerDrawnWhenAnyLookFlagIsSet)
{
    CEnTabCtrl::SetLookFlags(false, 0);
    {
        CEnTabCtrl plain;
        ASSERT_TRUE(plain.SubclassDlgItem(NarrowTabId, Dialog));
        EXPECT_EQ(plain.GetPaintMode(), 0);
        EXPECT_FALSE(GetWindowLongW(plain.GetSafeHwnd(), GWL_STYLE) & TCS_OWNERDRAWFIXED);
    }
    CEnTabCtrl::SetLookFlags(true, CEnTabCtrl::LookGradient);
    EXPECT_EQ(CEnTabCtrl::GetLookFlags(), static_cast<DWORD>(CEnTabCtrl::LookGradient));
    ASSERT_TRUE(Tabs.SubclassDlgItem(TabId, Dialog));
    EXPECT_TRUE(GetWindowLongW(TabWindow, GWL_STYLE) & TCS_OWNERDRAWFIXED);
    CEnTabCtrl::SetLookFlags(false, ProgramLook);
    EXPECT_EQ(CEnTabCtrl::GetLookFlags(), 0u);
}

TEST_F(EnTabCtrlTests, SystemPaintedOwnerDrawnTabsAreDrawnThroughTheDialog)
{
    // Paint mode 0 with look flags: the system paints and asks the dialog to draw each tab, and the
    // dialog hands that to the control object.
    ASSERT_TRUE(Tabs.SubclassDlgItem(TabId, Dialog));
    Tabs.SetBackgroundColor(Pane);
    Tabs.InsertItem(0, L"Basic Info");
    Tabs.InsertItem(1, L"Registration");
    Tabs.SetCurSel(0);
    ASSERT_EQ(Tabs.GetPaintMode(), 0);
    auto capture = Print(TabWindow);
    RECT first = ItemRect(0);
    InflateRect(&first, 2, 3);
    EXPECT_TRUE(HasPixel(*capture, first, Orange));
    EXPECT_TRUE(HasPixel(*capture, ItemRect(1), Pane));
}

TEST_F(EnTabCtrlTests, TabColoursFollowTheLookFlags)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    struct Case {
        DWORD Flags;
        bool Background;
        COLORREF Selected, Unselected, UnselectedText;
    } cases[] = {
        {ProgramLook, true, Lighter(Pane, 1.4), Pane, Darker(Pane, 0.5)},
        {ProgramLook, false, Lighter(face, 1.4), face, Darker(face, 0.5)},
        {0, true, face, Darker(face, 0.9), Darker(face, 0.5)},
        {CEnTabCtrl::LookColor, true, face, Darker(Pane, 0.9), Darker(Pane, 0.5)},
        {CEnTabCtrl::LookColor | CEnTabCtrl::LookSelection, true, Lighter(Pane, 1.4), Darker(Pane, 0.9),
         Darker(Pane, 0.5)},
        {CEnTabCtrl::LookFlat, true, face, Pane, Darker(Pane, 0.5)},
        {CEnTabCtrl::LookSelection, true, Lighter(face, 1.4), Darker(face, 0.9), Darker(face, 0.5)},
        {CEnTabCtrl::LookFlat | CEnTabCtrl::LookColor | CEnTabCtrl::LookBackTabs, true, face, Darker(Pane, 0.9),
         Darker(Pane, 0.5)},
    };
    for (const Case& test : cases) {
        CProbeTabCtrl probe;
        if (test.Background)
            probe.SetBackgroundColor(Pane);
        CEnTabCtrl::SetLookFlags(true, test.Flags);
        EXPECT_EQ(probe.TabBackColor(true), test.Selected) << test.Flags;
        EXPECT_EQ(probe.TabBackColor(false), test.Unselected) << test.Flags;
        EXPECT_EQ(probe.TabTextColor(true), text) << test.Flags;
        EXPECT_EQ(probe.TabTextColor(false), test.UnselectedText) << test.Flags;
    }
}

TEST_F(EnTabCtrlTests, PaintingOwnsEveryGdiObject)
{
    OpenProgramLook();
    ShowWindow(Dialog, SW_SHOWNOACTIVATE);
    PaintNow(Dialog);
    const long before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 200; ++round) {
        Tabs.SetCurSel(round % 3);
        PaintNow(TabWindow);
        Print(TabWindow);
    }
    EXPECT_EQ(CountGdiObjects(), before);
}
