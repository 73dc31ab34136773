#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Commands.h"
#include "app/QVNToolbar.h"
#include "model/Catalogue.h"
#include "res/resource.h"
#include "skin/BitmapDialog.h"
#include "storage/Configurations.h"
#include "tests/skin/SkinTestSupport.h"

namespace {
constexpr UINT HostTemplate = 9610;
// The main window's size, so the content area is 815 pixels wide.
constexpr int HostWidth = 821;
constexpr int HostHeight = 707;

struct CPostedCommand {
    WPARAM Code;
    HWND Sender;
};

// A skinned window of the main window's kind that records every command it receives.
class CToolbarHostDlg : public CommCtrl::CBitmapDialog {
public:
    CToolbarHostDlg() : CBitmapDialog(HostTemplate) {}
    std::vector<CPostedCommand> Commands;
    int OkCancelCount = 0;

protected:
    // As the main window: Enter and Escape never close it.
    void OnOK() override { ++OkCancelCount; }
    void OnCancel() override { ++OkCancelCount; }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (message == MSG_COMMAND) {
            Commands.push_back(CPostedCommand{wParam, reinterpret_cast<HWND>(lParam)});
            handled = true;
            return 0;
        }
        return CBitmapDialog::OnMessage(message, wParam, lParam, handled);
    }
};

// Runs every message already queued for this thread; posted commands are in the queue at once.
void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

RECT RectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[128]{};
    GetWindowTextW(window, text, 128);
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<std::wstring> BoxEntries(HWND box)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        wchar_t text[64]{};
        SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::vector<HWND> Separators(HWND toolbar)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(toolbar, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == 0xFFFF)
            found.push_back(child);
    return found;
}

bool IsDark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 100;
}

class ToolbarTests : public testing::Test {
protected:
    void SetUp() override
    {
        Settings = CConfigurations();
        SortDescending = 0;
        ASSERT_TRUE(Host.Create());
        HostWindow = Host.GetSafeHwnd();
        SetWindowPos(HostWindow, nullptr, 40, 30, HostWidth, HostHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(HostWindow, SW_SHOWNA);
        CreateToolbar();
    }
    void TearDown() override
    {
        Toolbar.reset();
        if (IsWindow(HostWindow))
            DestroyWindow(HostWindow);
        PumpMessages();
        Settings = CConfigurations();
        SortDescending = 0;
    }

    void CreateToolbar()
    {
        Toolbar = std::make_unique<CQVNToolbar>();
        ASSERT_TRUE(Toolbar->Create(HostWindow));
        Bar = Toolbar->GetSafeHwnd();
        Toolbar->Place(Host.GetContentRect());
        PumpMessages();
        Host.Commands.clear();
    }

    // Runs the queue and returns what reached the host since the last call.
    std::vector<CPostedCommand> TakeCommands()
    {
        PumpMessages();
        return std::exchange(Host.Commands, {});
    }

    CCapture CaptureToolbar()
    {
        PaintNow(Bar);
        return CCapture(Bar);
    }

    CToolbarHostDlg Host;
    HWND HostWindow = nullptr;
    std::unique_ptr<CQVNToolbar> Toolbar;
    HWND Bar = nullptr;
};

TEST_F(ToolbarTests, IsAControlParentChildPlacedAtTheTopOfTheContentArea)
{
    EXPECT_EQ(GetParent(Bar), HostWindow);
    EXPECT_TRUE(GetWindowLongW(Bar, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLongW(Bar, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(IsWindowVisible(Bar));

    const RECT content = Host.GetContentRect();
    const RECT placed = RectInParent(Bar);
    EXPECT_EQ(placed.left, content.left);
    EXPECT_EQ(placed.top, content.top);
    EXPECT_EQ(placed.right - placed.left, 815);
    EXPECT_EQ(placed.bottom - placed.top, CQVNToolbar::Height);
}

TEST_F(ToolbarTests, StaysHiddenUntilPlaced)
{
    CQVNToolbar unplaced;
    unplaced.Place(RECT{0, 0, 100, 100});  // no window yet: nothing happens
    EXPECT_EQ(unplaced.GetSafeHwnd(), nullptr);
    ASSERT_TRUE(unplaced.Create(HostWindow));
    EXPECT_FALSE(IsWindowVisible(unplaced.GetSafeHwnd()));
    unplaced.Place(RECT{10, 20, 510, 620});
    EXPECT_TRUE(IsWindowVisible(unplaced.GetSafeHwnd()));
    const RECT placed = RectInParent(unplaced.GetSafeHwnd());
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right, 510);
    EXPECT_EQ(placed.bottom, 20 + CQVNToolbar::Height);
}

TEST_F(ToolbarTests, ButtonsAndSeparatorsStandInThreeGroups)
{
    const struct {
        int Id;
        const wchar_t* Caption;
        int Left;
    } buttons[] = {
        {IDC_TOOL_ADD, L"Add", 5},          {IDC_TOOL_DELETE, L"Delete", 71},   {IDC_TOOL_ATTACH, L"Attach", 156},
        {IDC_TOOL_DETACH, L"Detach", 222},  {IDC_TOOL_EXPORT, L"Export", 288},  {IDC_TOOL_LAUNCH, L"Launch", 354},
        {IDC_TOOL_OPTIONS, L"Options", 439}, {IDC_TOOL_ABOUT, L"About", 505},
    };
    for (const auto& button : buttons) {
        HWND window = GetDlgItem(Bar, button.Id);
        ASSERT_NE(window, nullptr) << button.Id;
        EXPECT_EQ(WindowText(window), button.Caption);
        EXPECT_TRUE(IsWindowVisible(window)) << button.Id;
        EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << button.Id;
        const RECT rect = RectInParent(window);
        EXPECT_EQ(rect.left, button.Left) << button.Id;
        EXPECT_EQ(rect.top, 5) << button.Id;
        EXPECT_EQ(rect.right - rect.left, 64) << button.Id;
        EXPECT_EQ(rect.bottom - rect.top, 64) << button.Id;
    }

    const std::vector<HWND> separators = Separators(Bar);
    ASSERT_EQ(separators.size(), 3u);
    const int separatorLeft[] = {145, 428, 579};
    for (size_t index = 0; index < separators.size(); ++index) {
        HWND separator = separators[index];
        EXPECT_EQ(ClassName(separator), L"Static");
        EXPECT_EQ(WindowText(separator), L"Separator");
        const LONG style = GetWindowLongW(separator, GWL_STYLE);
        EXPECT_EQ(style & SS_TYPEMASK, SS_BITMAP);
        EXPECT_TRUE(style & SS_CENTERIMAGE);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_NE(SendMessageW(separator, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        const RECT rect = RectInParent(separator);
        EXPECT_EQ(rect.left, separatorLeft[index]);
        EXPECT_EQ(rect.top, 5);
        EXPECT_EQ(rect.right - rect.left, 1);
        EXPECT_EQ(rect.bottom - rect.top, 64);
    }
}

TEST_F(ToolbarTests, BoxesAndDirectionIconStandRightOfTheLabels)
{
    EXPECT_EQ(Toolbar->LabelLeft(), 590);
    EXPECT_EQ(Toolbar->ClassifyBox(), GetDlgItem(Bar, IDC_CLASSIFY_BOX));
    EXPECT_EQ(Toolbar->SortBox(), GetDlgItem(Bar, IDC_SORT_BOX));
    const RECT classify = RectInParent(Toolbar->ClassifyBox());
    const RECT sort = RectInParent(Toolbar->SortBox());
    EXPECT_EQ(classify.left, 644);
    EXPECT_EQ(classify.top, 10);
    EXPECT_EQ(classify.right - classify.left, 100);
    EXPECT_EQ(sort.left, 644);
    EXPECT_EQ(sort.top, 44);
    EXPECT_EQ(sort.right - sort.left, 100);
    // As high as the direction icon, whatever height the box's font alone would give it.
    EXPECT_EQ(classify.bottom - classify.top, 20);
    EXPECT_EQ(sort.bottom - sort.top, 20);

    const RECT direction = Toolbar->SortDirectionRect();
    EXPECT_EQ(direction.left, 746);
    EXPECT_EQ(direction.top, 44);
    EXPECT_EQ(direction.right, 766);
    EXPECT_EQ(direction.bottom, 64);
}

TEST_F(ToolbarTests, DroppedListsShowEveryEntry)
{
    for (HWND box : {Toolbar->ClassifyBox(), Toolbar->SortBox()}) {
        SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(box, &info));
        RECT list{};
        GetClientRect(info.hwndList, &list);
        const int itemHeight = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0));
        const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
        EXPECT_GE(list.bottom, itemHeight * count);
        SendMessageW(box, CB_SHOWDROPDOWN, FALSE, 0);
    }
}

TEST_F(ToolbarTests, BoxesHoldTheModesAndKeysWithTheDefaultsChosen)
{
    EXPECT_EQ(BoxEntries(Toolbar->ClassifyBox()), (std::vector<std::wstring>{L"Category", L"Company", L"Type"}));
    EXPECT_EQ(BoxEntries(Toolbar->SortBox()),
              (std::vector<std::wstring>{L"None", L"Name", L"Price", L"User-Name", L"User-Email", L"Expiry"}));
    // The settings' own defaults: by category, by name.
    EXPECT_EQ(Toolbar->ClassifySelection(), 0);
    EXPECT_EQ(Toolbar->SortSelection(), 1);

    Settings.DefaultClassifyMode = 2;
    Settings.DefaultSortKey = 4;
    CreateToolbar();
    EXPECT_EQ(Toolbar->ClassifySelection(), 2);
    EXPECT_EQ(Toolbar->SortSelection(), 4);
    EXPECT_TRUE(TakeCommands().empty());
}

TEST_F(ToolbarTests, StoredValuesOutsideTheTablesChooseTheFirstEntries)
{
    for (const auto& stored : {std::pair<int, int>{3, 6}, std::pair<int, int>{-1, -1}, std::pair<int, int>{99, 1000}}) {
        Settings.DefaultClassifyMode = stored.first;
        Settings.DefaultSortKey = stored.second;
        CreateToolbar();
        EXPECT_EQ(Toolbar->ClassifySelection(), 0) << stored.first;
        EXPECT_EQ(Toolbar->SortSelection(), 0) << stored.second;
        EXPECT_EQ(SendMessageW(Toolbar->ClassifyBox(), CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(SendMessageW(Toolbar->SortBox(), CB_GETCOUNT, 0, 0), 6);
    }
}

TEST_F(ToolbarTests, EveryButtonPostsItsCommandWithTheToolbarAsSender)
{
    const std::pair<int, WPARAM> buttons[] = {
        {IDC_TOOL_ADD, CMD_ADD},         {IDC_TOOL_DELETE, CMD_DELETE}, {IDC_TOOL_ATTACH, CMD_ATTACH},
        {IDC_TOOL_DETACH, CMD_DETACH},   {IDC_TOOL_EXPORT, CMD_EXPORT}, {IDC_TOOL_LAUNCH, CMD_LAUNCH},
        {IDC_TOOL_OPTIONS, CMD_OPTIONS}, {IDC_TOOL_ABOUT, CMD_ABOUT},
    };
    for (const auto& button : buttons) {
        HWND window = GetDlgItem(Bar, button.first);
        // Posted, not sent: nothing arrives before the queue runs.
        SendMessageW(window, BM_CLICK, 0, 0);
        EXPECT_TRUE(Host.Commands.empty()) << button.first;
        const std::vector<CPostedCommand> posted = TakeCommands();
        ASSERT_EQ(posted.size(), 1u) << button.first;
        EXPECT_EQ(posted[0].Code, button.second);
        EXPECT_EQ(posted[0].Sender, Bar);
    }
}

TEST_F(ToolbarTests, AMouseClickOnAButtonPostsOnceOnRelease)
{
    HWND launch = GetDlgItem(Bar, IDC_TOOL_LAUNCH);
    SendMessageW(launch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    EXPECT_TRUE(TakeCommands().empty());
    SendMessageW(launch, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    ReleaseCapture();
    const std::vector<CPostedCommand> posted = TakeCommands();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].Code, CMD_LAUNCH);
    EXPECT_EQ(posted[0].Sender, Bar);

    // Released outside the button: no click.
    SendMessageW(launch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    SendMessageW(launch, WM_LBUTTONUP, 0, MAKELPARAM(200, 30));
    ReleaseCapture();
    EXPECT_TRUE(TakeCommands().empty());
}

TEST_F(ToolbarTests, ChangingTheBoxesPostsClassifyAndSort)
{
    // The keyboard changes a drop-down list's choice as a user does, with the box's own notification.
    SendMessageW(Toolbar->ClassifyBox(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Toolbar->ClassifySelection(), 1);
    std::vector<CPostedCommand> posted = TakeCommands();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].Code, CMD_CLASSIFY);
    EXPECT_EQ(posted[0].Sender, Bar);

    SendMessageW(Toolbar->SortBox(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(Toolbar->SortBox(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Toolbar->SortSelection(), 3);
    posted = TakeCommands();
    ASSERT_EQ(posted.size(), 2u);
    for (const CPostedCommand& command : posted) {
        EXPECT_EQ(command.Code, CMD_SORT);
        EXPECT_EQ(command.Sender, Bar);
    }
    EXPECT_EQ(Toolbar->ClassifySelection(), 1);
}

TEST_F(ToolbarTests, ResetSortBoxChoosesNoneAndPostsNothing)
{
    SendMessageW(Toolbar->SortBox(), WM_KEYDOWN, VK_END, 0);
    ASSERT_EQ(Toolbar->SortSelection(), 5);
    ASSERT_EQ(TakeCommands().size(), 1u);

    Toolbar->ResetSortBox();
    EXPECT_EQ(Toolbar->SortSelection(), 0);
    EXPECT_EQ(WindowText(Toolbar->SortBox()), L"None");
    EXPECT_TRUE(TakeCommands().empty());
    EXPECT_EQ(Toolbar->ClassifySelection(), 0);
}

TEST_F(ToolbarTests, PressingTheDirectionIconTogglesTheOrderAndPostsSort)
{
    const RECT icon = Toolbar->SortDirectionRect();
    const LPARAM inside = MAKELPARAM(icon.left + 10, icon.top + 10);
    SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_EQ(SortDescending, 1);
    std::vector<CPostedCommand> posted = TakeCommands();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].Code, CMD_SORT);
    EXPECT_EQ(posted[0].Sender, Bar);

    // The corners belong to the icon; the pixels right and below of it do not.
    SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.left, icon.top));
    EXPECT_EQ(SortDescending, 0);
    SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.right - 1, icon.bottom - 1));
    EXPECT_EQ(SortDescending, 1);
    EXPECT_EQ(TakeCommands().size(), 2u);

    for (POINT outside : {POINT{icon.right, icon.top}, POINT{icon.left, icon.bottom}, POINT{icon.left - 1, icon.top},
                          POINT{400, 30}}) {
        SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(outside.x, outside.y));
        EXPECT_EQ(SortDescending, 1) << outside.x << "," << outside.y;
    }
    EXPECT_TRUE(TakeCommands().empty());
    // The boxes are untouched by the icon.
    EXPECT_EQ(Toolbar->SortSelection(), 1);
}

TEST_F(ToolbarTests, BackgroundComesFromTheEdgeAndTileBitmaps)
{
    const CCapture capture = CaptureToolbar();
    ASSERT_EQ(capture.Width(), 815);
    ASSERT_EQ(capture.Height(), CQVNToolbar::Height);
    const CBitmapPixels left = ReadBitmapResource(IDB_TOOLBAR_LEFT);
    const CBitmapPixels right = ReadBitmapResource(IDB_TOOLBAR_RIGHT);
    const CBitmapPixels tile = ReadBitmapResource(IDB_TOOLBAR_TILE);
    ASSERT_EQ(tile.Height, CQVNToolbar::Height);
    int differing = 0;
    for (int y = 0; y < CQVNToolbar::Height; ++y) {
        differing += capture.Pixel(0, y) != left.At(0, y);
        differing += capture.Pixel(1, y) != left.At(1, y);
        differing += capture.Pixel(813, y) != right.At(0, y);
        differing += capture.Pixel(814, y) != right.At(1, y);
        // Free columns: in the middle of a gap, beside the separator, and right of the icon (but
        // for the "More" button, level with the Classify box).
        for (int x : {2, 70, 150, 425, 790, 812}) {
            if (x >= 767 && y >= 10 && y < 30)
                continue;
            differing += capture.Pixel(x, y) != tile.At(0, y);
        }
    }
    EXPECT_EQ(differing, 0);
    // The separators show their bitmap.
    const CBitmapPixels separator = ReadBitmapResource(IDB_TOOL_SEPARATOR);
    for (int x : {145, 428, 579})
        for (int y = 0; y < 64; ++y)
            differing += capture.Pixel(x, 5 + y) != separator.At(0, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(ToolbarTests, LabelsArePaintedWholeAndRightAlignedBesideTheBoxes)
{
    const CCapture capture = CaptureToolbar();
    CScopedFont labelFont(CreateFontW(12, 7, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Arial"));
    CMemoryDC measure(nullptr);
    CScopedSelection font(measure.Get(), labelFont.Get());
    for (const auto& label : {std::pair<int, const wchar_t*>{10, L"Classify"}, std::pair<int, const wchar_t*>{44, L"Sort by"}}) {
        const int top = label.first;
        SIZE extent{};
        GetTextExtentPoint32W(measure.Get(), label.second, lstrlenW(label.second), &extent);
        int leftmost = 1 << 20;
        int rightmost = -1;
        int topmost = 1 << 20;
        int bottommost = -1;
        // From right of the last separator up to the box.
        for (int y = 0; y < CQVNToolbar::Height; ++y)
            for (int x = 580; x < 644; ++x)
                if (IsDark(capture.Pixel(x, y)) && (y >= top - 5 && y < top + 25)) {
                    leftmost = std::min(leftmost, x);
                    rightmost = std::max(rightmost, x);
                    topmost = std::min(topmost, y);
                    bottommost = std::max(bottommost, y);
                }
        ASSERT_GE(rightmost, 0) << top;
        // Right-aligned at LabelLeft + 50 and centred on the box's row.
        EXPECT_GE(rightmost, 634) << top;
        EXPECT_LT(rightmost, 640) << top;
        EXPECT_GE(topmost, top) << top;
        EXPECT_LT(bottommost, top + 20) << top;
        EXPECT_LE(std::abs((topmost + bottommost) - (2 * top + 20)), 4) << top;
        // Whole: as wide as the text is, never cut at the label's left edge.
        EXPECT_GE(rightmost - leftmost + 1, extent.cx - 3) << top;
        EXPECT_GT(leftmost, 580) << top;
    }
}

TEST_F(ToolbarTests, DirectionIconShowsTheOrder)
{
    const RECT icon = Toolbar->SortDirectionRect();
    auto iconPixels = [&] {
        const CCapture capture = CaptureToolbar();
        std::vector<COLORREF> pixels;
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x)
                pixels.push_back(capture.Pixel(x, y));
        return pixels;
    };
    const CBitmapPixels tile = ReadBitmapResource(IDB_TOOLBAR_TILE);
    const std::vector<COLORREF> ascending = iconPixels();
    int drawn = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            drawn += ascending[static_cast<size_t>(y) * 20 + x] != tile.At(0, icon.top + y);
    EXPECT_GT(drawn, 40);

    // Only the icon's rectangle is invalidated, and painting it shows the descending icon.
    SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.left + 5, icon.top + 5));
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(Bar, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &icon));
    UpdateWindow(Bar);
    const CCapture afterPress(Bar);
    std::vector<COLORREF> descending;
    for (int y = icon.top; y < icon.bottom; ++y)
        for (int x = icon.left; x < icon.right; ++x)
            descending.push_back(afterPress.Pixel(x, y));
    EXPECT_NE(descending, ascending);
    EXPECT_EQ(iconPixels(), descending);

    SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.left + 5, icon.top + 5));
    EXPECT_EQ(iconPixels(), ascending);
    TakeCommands();
}

TEST_F(ToolbarTests, ChildrenAskingForColoursGetThePaneColour)
{
    CMemoryDC dc(nullptr);
    for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLOREDIT}) {
        SetBkColor(dc.Get(), RGB(1, 2, 3));
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(Bar, message, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(Toolbar->SortBox())));
        ASSERT_NE(brush, nullptr) << message;
        LOGBRUSH look{};
        ASSERT_EQ(GetObjectW(brush, sizeof(look), &look), static_cast<int>(sizeof(look)));
        EXPECT_EQ(look.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(look.lbColor, RGB(228, 236, 247));
        EXPECT_EQ(GetBkColor(dc.Get()), RGB(228, 236, 247)) << message;
    }
}

TEST_F(ToolbarTests, RepaintingHoldsNoNewGdiObjects)
{
    const RECT icon = Toolbar->SortDirectionRect();
    PaintNow(Bar);
    const long before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 300; ++round) {
        if (round % 50 == 0)
            SendMessageW(Bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.left + 1, icon.top + 1));
        PaintNow(Bar);
    }
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(ToolbarTests, DestroyedToolbarsReleaseTheirGdiObjects)
{
    CreateToolbar();
    PaintNow(Bar);
    Toolbar.reset();
    PumpMessages();
    const long before = CountGdiObjects();
    for (int round = 0; round < 10; ++round) {
        CreateToolbar();
        PaintNow(Bar);
        Toolbar.reset();
        PumpMessages();
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(ToolbarTests, EnterAndEscapeLeaveTheToolbarInPlace)
{
    SetFocus(Toolbar->SortBox());
    for (WORD id : {IDOK, IDCANCEL})
        SendMessageW(Bar, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageW(Toolbar->SortBox(), WM_KEYDOWN, key, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageW(HostWindow, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
    }
    // The keys reach the host, as they reach the main window.
    EXPECT_EQ(Host.OkCancelCount, 2);
    EXPECT_TRUE(IsWindow(Bar));
    EXPECT_TRUE(IsWindowVisible(Bar));
    EXPECT_EQ(Toolbar->GetSafeHwnd(), Bar);
    EXPECT_TRUE(TakeCommands().empty());
}

TEST_F(ToolbarTests, OutlivingItsParentWindowIsHarmless)
{
    DestroyWindow(HostWindow);
    PumpMessages();
    EXPECT_FALSE(IsWindow(Bar));
    EXPECT_EQ(Toolbar->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Toolbar->ClassifyBox(), nullptr);
    EXPECT_EQ(Toolbar->ClassifySelection(), -1);
    EXPECT_EQ(Toolbar->SortSelection(), -1);
    Toolbar->Place(RECT{0, 0, 100, 100});
    Toolbar->ResetSortBox();
    Toolbar.reset();
}

// Writes the toolbar as it stands in its host to a BMP when QV_TOOLBAR_PICTURE names one
// (scripts/toolbar-shot.sh turns it into docs/toolbar.png).
TEST_F(ToolbarTests, Picture)
{
    const char* path = std::getenv("QV_TOOLBAR_PICTURE");
    if (!path)
        GTEST_SKIP() << "QV_TOOLBAR_PICTURE not set";
    PaintNow(HostWindow);
    const RECT content = Host.GetContentRect();
    const int width = HostWidth;
    const int height = content.top + CQVNToolbar::Height + 8;
    CCapture capture(width, height);
    {
        CClientDC source(HostWindow);
        BitBlt(capture.DC(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
    }
    std::vector<unsigned char> rows;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = capture.Pixel(x, y);
            rows.push_back(GetBValue(colour));
            rows.push_back(GetGValue(colour));
            rows.push_back(GetRValue(colour));
        }
    const int stride = width * 3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int padded = (stride + 3) & ~3;
    info.biSizeImage = static_cast<DWORD>(padded * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = std::fopen(path, "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    const unsigned char padding[3]{};
    for (int y = 0; y < height; ++y) {
        std::fwrite(rows.data() + static_cast<size_t>(y) * stride, 1, static_cast<size_t>(stride), out);
        std::fwrite(padding, 1, static_cast<size_t>(padded - stride), out);
    }
    EXPECT_EQ(std::fclose(out), 0);
}
}  // namespace
