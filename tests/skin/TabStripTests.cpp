#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "skin/TabStrip.h"

namespace {
constexpr int StripId = 1010;

// A parent that records the strip's notifications and may refuse a change of tab.
struct CNotices {
    std::vector<UINT> Codes;
    std::vector<WORD> Keys;
    bool Refuse = false;
};

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* notices = reinterpret_cast<CNotices*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && notices) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == StripId) {
            notices->Codes.push_back(header->code);
            if (header->code == static_cast<UINT>(TCN_KEYDOWN))
                notices->Keys.push_back(reinterpret_cast<const NMTCKEYDOWN*>(lParam)->wVKey);
            if (header->code == static_cast<UINT>(TCN_SELCHANGING))
                return notices->Refuse;
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class TabStripTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CTabStrip::Register());
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&classes);
        WNDCLASSW type{};
        type.lpfnWndProc = HostProc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"TabStripTestHost";
        RegisterClassW(&type);
        Host = CreateWindowExW(0, L"TabStripTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 700,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(Host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Notices));
        Font = CreateFontW(-12, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, FF_DONTCARE, L"Arial");
        Window = MakeStrip(CTabStrip::ClassName);
        Strip = CTabStrip::FromWindow(Window);
        ASSERT_NE(Strip, nullptr);
    }
    void TearDown() override
    {
        if (HWND jump = FindWindowW(L"QuorvaneTabJumpList", nullptr))
            DestroyWindow(jump);
        DestroyWindow(Host);
        DeleteObject(Font);
        Pump();
    }
    HWND MakeStrip(const wchar_t* className, int id = StripId)
    {
        HWND strip = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 2, 2,
                                     511, 596, Host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
        SendMessageW(strip, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
        return strip;
    }
    static void Insert(HWND tabs, int index, const std::wstring& text)
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    static std::wstring TextOf(HWND tabs, int index)
    {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        if (!SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)))
            return L"<none>";
        return text;
    }
    static RECT RectOf(HWND tabs, int index)
    {
        RECT rect{};
        SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    static POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
    void Fill(int count)
    {
        std::vector<std::wstring> names;
        for (int k = 0; k < count; ++k)
            names.push_back(L"Company " + std::to_wstring(k));
        Strip->ReplaceTabs(0, names);
    }
    void Click(POINT point)
    {
        SendMessageW(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageW(Window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    HWND Host = nullptr;
    HWND Window = nullptr;
    HFONT Font = nullptr;
    CTabStrip* Strip = nullptr;
    CNotices Notices;
};
}  // namespace

TEST_F(TabStripTest, LaysOutItsTabsAsThePlatformTabControlDoes)
{
    // What the user saw before with a few groups stays where it was, to the pixel.
    HWND platform = MakeStrip(WC_TABCONTROLW, StripId + 1);
    const std::wstring names[] = {L"All", L"Internet", L"Multimedia", L"Office Tools", L"W", L"A rather long name"};
    for (int k = 0; k < 6; ++k) {
        Insert(platform, k, names[k]);
        Insert(Window, k, names[k]);
    }
    ASSERT_EQ(SendMessageW(Window, TCM_GETITEMCOUNT, 0, 0), 6);
    for (int k = 0; k < 6; ++k) {
        const RECT expected = RectOf(platform, k);
        const RECT actual = RectOf(Window, k);
        EXPECT_TRUE(EqualRect(&expected, &actual))
            << "tab " << k << ": (" << actual.left << "," << actual.top << ")-(" << actual.right << ","
            << actual.bottom << ") against (" << expected.left << "," << expected.top << ")-(" << expected.right
            << "," << expected.bottom << ")";
    }
    RECT expected{};
    GetClientRect(platform, &expected);
    RECT actual = expected;
    SendMessageW(platform, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&expected));
    SendMessageW(Window, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&actual));
    EXPECT_TRUE(EqualRect(&expected, &actual))
        << "display area (" << actual.left << "," << actual.top << ")-(" << actual.right << "," << actual.bottom
        << ") against (" << expected.left << "," << expected.top << ")-(" << expected.right << "," << expected.bottom
        << ")";
    // And back again.
    SendMessageW(Window, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&actual));
    RECT client{};
    GetClientRect(Window, &client);
    EXPECT_TRUE(EqualRect(&client, &actual));
    EXPECT_EQ(SendMessageW(Window, TCM_GETROWCOUNT, 0, 0), 1);
}

TEST_F(TabStripTest, AnswersTheTabControlMessages)
{
    Insert(Window, 0, L"All");
    Insert(Window, 1, L"Bolt");
    Insert(Window, 1, L"Acme");
    EXPECT_EQ(TextOf(Window, 0), L"All");
    EXPECT_EQ(TextOf(Window, 1), L"Acme");
    EXPECT_EQ(TextOf(Window, 2), L"Bolt");
    EXPECT_EQ(TextOf(Window, 3), L"<none>");

    // Narrow callers read the same names.
    char narrow[16] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = narrow;
    item.cchTextMax = 16;
    ASSERT_TRUE(SendMessageW(Window, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(narrow, "Bolt");

    EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(SendMessageW(Window, TCM_SETCURSEL, 2, 0), -1);
    EXPECT_EQ(SendMessageW(Window, TCM_SETCURSEL, 0, 0), 2) << "the previous selection";
    EXPECT_EQ(SendMessageW(Window, TCM_SETCURSEL, 3, 0), -1) << "out of range";
    EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Notices.Codes.empty()) << "a program's own change notifies nobody";

    // Renaming, and hit tests on each tab and beside them.
    TCITEMW rename{};
    rename.mask = TCIF_TEXT;
    rename.pszText = const_cast<wchar_t*>(L"Cobalt");
    EXPECT_TRUE(SendMessageW(Window, TCM_SETITEMW, 2, reinterpret_cast<LPARAM>(&rename)));
    EXPECT_EQ(TextOf(Window, 2), L"Cobalt");
    for (int k = 0; k < 3; ++k) {
        TCHITTESTINFO hit{Centre(RectOf(Window, k)), 0};
        EXPECT_EQ(SendMessageW(Window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), k);
        EXPECT_EQ(hit.flags, static_cast<UINT>(TCHT_ONITEM));
    }
    TCHITTESTINFO below{{50, 300}, 0};
    EXPECT_EQ(SendMessageW(Window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&below)), -1);
    EXPECT_EQ(below.flags, static_cast<UINT>(TCHT_NOWHERE));
    TCHITTESTINFO beyond{{RectOf(Window, 2).right + 5, 10}, 0};
    EXPECT_EQ(SendMessageW(Window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&beyond)), -1);

    // Deleting the selected tab leaves none selected; deleting one before it moves it along.
    SendMessageW(Window, TCM_SETCURSEL, 2, 0);
    EXPECT_TRUE(SendMessageW(Window, TCM_DELETEITEM, 1, 0));
    EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(TextOf(Window, 1), L"Cobalt");
    EXPECT_TRUE(SendMessageW(Window, TCM_DELETEITEM, 1, 0));
    EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), -1);
    EXPECT_FALSE(SendMessageW(Window, TCM_DELETEITEM, 5, 0));
    EXPECT_TRUE(SendMessageW(Window, TCM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(Window, TCM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(TabStripTest, ReplacingTabsMovesTheSelectionAsInsertsAndDeletesWould)
{
    Strip->ReplaceTabs(0, {L"All", L"a", L"b", L"c"});
    SendMessageW(Window, TCM_SETCURSEL, 3, 0);
    Strip->ReplaceTabs(1, {L"a", L"b", L"c", L"d", L"e"});
    EXPECT_EQ(Strip->CurSel(), 5) << "two more tabs inserted before it";
    Strip->ReplaceTabs(1, {L"x", L"y"});
    EXPECT_EQ(Strip->CurSel(), 2) << "three fewer, taken from the front";
    Strip->ReplaceTabs(1, {});
    EXPECT_EQ(Strip->CurSel(), -1) << "its tab is gone";
    SendMessageW(Window, TCM_SETCURSEL, 0, 0);
    Strip->ReplaceTabs(1, {L"p", L"q"});
    EXPECT_EQ(Strip->CurSel(), 0) << "a tab before the replaced ones keeps its place";
    EXPECT_EQ(Strip->Count(), 3);
    EXPECT_EQ(TextOf(Window, 2), L"q");

    // A renamed tab is measured again, and the tabs after it move along.
    const RECT narrow = RectOf(Window, 1);
    Strip->ReplaceTabs(1, {L"A name much longer than the one before", L"q"});
    const RECT wide = RectOf(Window, 1);
    EXPECT_EQ(wide.left, narrow.left);
    EXPECT_GT(wide.right - wide.left, (narrow.right - narrow.left) + 100);
    EXPECT_EQ(RectOf(Window, 2).left, wide.right);
}

TEST_F(TabStripTest, ClicksAndKeysChooseTabsWithNotifications)
{
    Fill(5);
    SendMessageW(Window, TCM_SETCURSEL, 0, 0);
    const UINT change[] = {static_cast<UINT>(TCN_SELCHANGING), static_cast<UINT>(TCN_SELCHANGE)};

    Click(Centre(RectOf(Window, 2)));
    EXPECT_EQ(Notices.Codes, std::vector<UINT>(change, change + 2));
    EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(GetFocus(), Window);

    // A click on the selected tab changes nothing; the parent may refuse a change.
    Notices.Codes.clear();
    Click(Centre(RectOf(Window, 2)));
    EXPECT_TRUE(Notices.Codes.empty());
    Notices.Refuse = true;
    Click(Centre(RectOf(Window, 4)));
    EXPECT_EQ(Notices.Codes, std::vector<UINT>{static_cast<UINT>(TCN_SELCHANGING)});
    EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), 2);
    Notices.Refuse = false;

    // The keys move as on the platform control, each announced first.
    EXPECT_EQ(SendMessageW(Window, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
    const std::pair<WPARAM, int> moves[] = {{VK_RIGHT, 3}, {VK_DOWN, 4}, {VK_RIGHT, 4}, {VK_LEFT, 3},
                                            {VK_HOME, 0},  {VK_UP, 0},   {VK_END, 4}};
    for (const auto& [key, expected] : moves) {
        Notices.Codes.clear();
        Notices.Keys.clear();
        SendMessageW(Window, WM_KEYDOWN, key, 0);
        EXPECT_EQ(SendMessageW(Window, TCM_GETCURSEL, 0, 0), expected) << "key " << key;
        ASSERT_FALSE(Notices.Codes.empty());
        EXPECT_EQ(Notices.Codes.front(), static_cast<UINT>(TCN_KEYDOWN));
        EXPECT_EQ(Notices.Keys, std::vector<WORD>{static_cast<WORD>(key)});
    }
    // TCM_SETCURFOCUS is the user's kind of change.
    Notices.Codes.clear();
    SendMessageW(Window, TCM_SETCURFOCUS, 1, 0);
    EXPECT_EQ(Notices.Codes, std::vector<UINT>(change, change + 2));
    EXPECT_EQ(SendMessageW(Window, TCM_GETCURFOCUS, 0, 0), 1);
}

TEST_F(TabStripTest, ThousandsOfTabsScrollToTheSelectionAndOfferTheJumpButton)
{
    Fill(3);
    HWND jump = GetDlgItem(Window, CTabStrip::JumpButtonId);
    HWND arrows = GetDlgItem(Window, CTabStrip::ScrollArrowsId);
    EXPECT_FALSE(Strip->Overflows());
    EXPECT_FALSE(jump && IsWindowVisible(jump)) << "a few tabs look as they always did";

    Fill(2001);
    ASSERT_TRUE(Strip->Overflows());
    jump = GetDlgItem(Window, CTabStrip::JumpButtonId);
    arrows = GetDlgItem(Window, CTabStrip::ScrollArrowsId);
    ASSERT_TRUE(jump && arrows);
    EXPECT_TRUE(IsWindowVisible(jump));
    EXPECT_TRUE(IsWindowVisible(arrows));
    RECT client{};
    GetClientRect(Window, &client);
    RECT button{};
    GetWindowRect(jump, &button);
    MapWindowPoints(nullptr, Window, reinterpret_cast<POINT*>(&button), 2);

    SendMessageW(Window, TCM_SETCURSEL, 1500, 0);
    RECT shown = RectOf(Window, 1500);
    EXPECT_GE(shown.left, 2);
    EXPECT_LE(shown.right, button.left) << "the selected tab is brought into view beside the buttons";
    TCHITTESTINFO hit{Centre(shown), 0};
    EXPECT_EQ(SendMessageW(Window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1500);
    TCHITTESTINFO onButton{Centre(button), 0};
    EXPECT_EQ(SendMessageW(Window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&onButton)), -1);

    // The arrows scroll; the last tab can come no further left than the buttons allow.
    SendMessageW(Window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), reinterpret_cast<LPARAM>(arrows));
    EXPECT_EQ(Strip->FirstVisible(), 10);
    EXPECT_EQ(RectOf(Window, 10).left, 2);
    SendMessageW(Window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30000), reinterpret_cast<LPARAM>(arrows));
    EXPECT_LE(RectOf(Window, 2000).right, button.left);
    EXPECT_GT(RectOf(Window, 2000).right, button.left - 120);

}

TEST_F(TabStripTest, TypingTheStartOfANameJumpsToItsTab)
{
    Strip->ReplaceTabs(0, {L"All", L"Acme", L"Bolt", L"bolton", L"Boltzmann", L"Cobalt"});
    SendMessageW(Window, TCM_SETCURSEL, 0, 0);
    EXPECT_EQ(Strip->FindPrefix(L"bolt", -1), 2);
    EXPECT_EQ(Strip->FindPrefix(L"BOLT", 2), 3) << "the next one after a given tab";
    EXPECT_EQ(Strip->FindPrefix(L"bolt", 4), 2) << "wrapping round";
    EXPECT_EQ(Strip->FindPrefix(L"boltz", -1), 4);
    EXPECT_EQ(Strip->FindPrefix(L"x", -1), -1);
    EXPECT_EQ(Strip->FindPrefix(L"", -1), -1);

    // A letter typed on the strip opens the list with that letter in its box.
    SetFocus(Window);
    SendMessageW(Window, WM_CHAR, L'b', 0);
    HWND popup = FindWindowW(L"QuorvaneTabJumpList", nullptr);
    ASSERT_NE(popup, nullptr);
    HWND edit = GetDlgItem(popup, 1);
    HWND list = GetDlgItem(popup, 2);
    wchar_t typed[16] = {};
    GetWindowTextW(edit, typed, 16);
    EXPECT_STREQ(typed, L"b");
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(GetFocus(), edit);

    // More letters narrow it; the arrows move in the list; Enter goes there, as a click would.
    SetWindowTextW(edit, L"boltz");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 4);
    SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 5);
    SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
    Notices.Codes.clear();
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(Strip->CurSel(), 4);
    EXPECT_EQ(Notices.Codes, (std::vector<UINT>{static_cast<UINT>(TCN_SELCHANGING), static_cast<UINT>(TCN_SELCHANGE)}));

    // Escape leaves the selection alone.
    SendMessageW(Window, WM_COMMAND, MAKEWPARAM(CTabStrip::JumpButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Window, CTabStrip::JumpButtonId)));
    popup = FindWindowW(L"QuorvaneTabJumpList", nullptr);
    ASSERT_NE(popup, nullptr);
    edit = GetDlgItem(popup, 1);
    EXPECT_EQ(SendMessageW(GetDlgItem(popup, 2), LB_GETCURSEL, 0, 0), 4) << "opened on the current tab";
    SetWindowTextW(edit, L"co");
    Notices.Codes.clear();
    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(Strip->CurSel(), 4);
    EXPECT_TRUE(Notices.Codes.empty());
}
