#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "framework/Dialog.h"

namespace {
constexpr UINT TestTemplate = 9001;
constexpr UINT ChildTemplate = 9002;
constexpr UINT MsgProbe = WM_APP + 1;
constexpr UINT MsgThrow = WM_APP + 2;
constexpr UINT MsgPressOk = WM_APP + 3;
constexpr UINT MsgPressCancel = WM_APP + 4;

class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(UINT templateId = TestTemplate, HWND parent = nullptr) : CDialog(templateId, parent) {}

    std::vector<const char*> Events;
    UINT PostOnInit = 0;

protected:
    BOOL OnInitDialog() override
    {
        Events.push_back("init");
        if (PostOnInit)
            PostMessageW(m_hWnd, PostOnInit, 0, 0);
        return TRUE;
    }
    void OnOK() override
    {
        Events.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        Events.push_back("cancel");
        CDialog::OnCancel();
    }
    bool OnCommand(WORD id, WORD, HWND) override
    {
        if (id != 200)
            return false;
        Events.push_back("child button");
        return true;
    }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) override
    {
        switch (message) {
        case MsgProbe:
            handled = true;
            return static_cast<INT_PTR>(wParam * 2);
        case MsgThrow:
            throw std::runtime_error("handler failure");
        case MsgPressOk:
            SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            handled = true;
            return 0;
        case MsgPressCancel:
            SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            handled = true;
            return 0;
        default:
            return 0;
        }
    }
    void OnDestroy() override { Events.push_back("destroy"); }
};
}  // namespace

TEST(DialogTests, ModalDialogRunsHandlersAndReturnsTheEndResult)
{
    CProbeDlg ok;
    ok.PostOnInit = MsgPressOk;
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(ok.Events, (std::vector<const char*>{"init", "ok", "destroy"}));
    EXPECT_EQ(ok.GetSafeHwnd(), nullptr);

    CProbeDlg cancel;
    cancel.PostOnInit = MsgPressCancel;
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_EQ(cancel.Events, (std::vector<const char*>{"init", "cancel", "destroy"}));
}

TEST(DialogTests, MissingTemplateFailsModalRun)
{
    CProbeDlg missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(missing.Events.empty());
}

TEST(DialogTests, ModelessDialogDispatchesResultsAndSurvivesThrowingHandlers)
{
    CProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND window = dialog.GetSafeHwnd();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_NE(dialog.GetDlgItem(100), nullptr);

    EXPECT_EQ(SendMessageW(window, MsgProbe, 21, 0), 42);
    EXPECT_EQ(SendMessageW(window, MsgThrow, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));

    // OK on a modeless dialog destroys it.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.GetResult(), IDOK);
}

TEST(DialogTests, ChildDialogRoutesItsCommandsAndDiesWithItsOwnerObject)
{
    CProbeDlg parent;
    ASSERT_TRUE(parent.Create());
    HWND childWindow = nullptr;
    {
        CProbeDlg child(ChildTemplate);
        ASSERT_TRUE(child.Create(parent.GetSafeHwnd()));
        childWindow = child.GetSafeHwnd();
        EXPECT_EQ(GetParent(childWindow), parent.GetSafeHwnd());
        EXPECT_TRUE(GetWindowLongW(childWindow, GWL_STYLE) & WS_CHILD);
        SendMessageW(childWindow, WM_COMMAND, MAKEWPARAM(200, BN_CLICKED), 0);
        EXPECT_EQ(child.Events, (std::vector<const char*>{"init", "child button"}));
    }
    EXPECT_FALSE(IsWindow(childWindow));
    EXPECT_TRUE(IsWindow(parent.GetSafeHwnd()));
}
