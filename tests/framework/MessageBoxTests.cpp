#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/MessageBox.h"
#include "tests/support/MessageBoxScript.h"

TEST(MessageBoxTests, LooksCarryTheirButtonsAndIcons)
{
    CMessageBoxScript script;
    script.Answer(IDOK);
    script.Answer(IDYES);
    ShowInformation(nullptr, L"info");
    EXPECT_TRUE(AskQuestion(nullptr, L"question?"));
    EXPECT_FALSE(AskQuestion(nullptr, L"again?"));  // unscripted Yes/No boxes answer No
    ShowWarning(nullptr, L"warn");
    ShowError(nullptr, L"error");

    ASSERT_EQ(script.Shown().size(), 5u);
    EXPECT_EQ(script.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(script.Shown()[1].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(script.Shown()[3].Type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(script.Shown()[4].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(script.Shown()[4].Text, L"error");
    EXPECT_EQ(script.Shown()[0].Caption, L"Quorvane");
}

namespace {
// Reads the real box's text and presses Yes, through a CBT hook on this thread.
HHOOK g_hook = nullptr;
std::wstring g_seenText;

LRESULT CALLBACK AnswerRealBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[32] = {};
        GetClassNameW(box, className, 32);
        if (std::wstring(className) == L"#32770") {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            g_seenText = text;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
}  // namespace

TEST(MessageBoxTests, WithoutAnAnswererTheRealBoxIsShown)
{
    g_hook = SetWindowsHookExW(WH_CBT, AnswerRealBox, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    bool yes = AskQuestion(nullptr, L"Real box?");
    UnhookWindowsHookEx(g_hook);
    EXPECT_TRUE(yes);
    EXPECT_EQ(g_seenText, L"Real box?");
}
