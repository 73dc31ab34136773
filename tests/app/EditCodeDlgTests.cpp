// The code editor run modally, driven from inside its own message loop.

#include "DetailsTestSupport.h"

#include "app/EditCodeDlg.h"
#include "res/resource.h"

namespace {
class CEditCodeTest : public CDetailsTest {
protected:
    CHostWindow m_host;
};
}  // namespace

TEST_F(CEditCodeTest, OpensWithTheNameAndCodeAndSavesBlanksAsTyped)
{
    const std::wstring title = L"Serial";
    std::wstring code = L"AAAA-BBBB";
    CEditCodeDlg dialog(title, code, m_host.Handle());
    RECT window{};
    std::wstring shown;
    RECT edit{};
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Serial", [&](HWND editor) {
            GetWindowRect(editor, &window);
            shown = ItemTextOf(editor, IDC_EDITCODE_TEXT);
            edit = ChildRect(editor, GetDlgItem(editor, IDC_EDITCODE_TEXT));
            TypeText(editor, IDC_EDITCODE_TEXT, L"  XY-12\r\n34  ");
            Click(editor, IDOK);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(256, window.right - window.left);
    EXPECT_EQ(125, window.bottom - window.top);
    EXPECT_EQ(L"AAAA-BBBB", shown);
    // Content rectangle 3, 22, 253, 122.
    EXPECT_EQ((RECT{23, 32, 233, 82}), edit);
    EXPECT_EQ(L"  XY-12\r\n34  ", code);
}

TEST_F(CEditCodeTest, AnEmptySaveIsIgnoredAndCancelKeepsTheCode)
{
    const std::wstring title = L"Upgrade";
    std::wstring code = L"CCCC";
    CEditCodeDlg dialog(title, code, m_host.Handle());
    bool openAfterEmptySave = false;
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Upgrade", [&](HWND editor) {
            TypeText(editor, IDC_EDITCODE_TEXT, L"");
            Click(editor, IDOK);
            openAfterEmptySave = IsWindowVisible(editor) != FALSE;
            TypeText(editor, IDC_EDITCODE_TEXT, L"DDDD");
            Click(editor, IDCANCEL);
        });
        result = dialog.DoModal();
    }
    EXPECT_TRUE(openAfterEmptySave);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"CCCC", code);
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(CEditCodeTest, EnterInTheBoxSaves)
{
    const std::wstring title = L"Serial";
    std::wstring code = L"OLD";
    CEditCodeDlg dialog(title, code, m_host.Handle());
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Serial", [&](HWND editor) {
            HWND box = GetDlgItem(editor, IDC_EDITCODE_TEXT);
            TypeText(editor, IDC_EDITCODE_TEXT, L"NEW");
            SetFocus(box);
            // Through the dialog's own loop, as a key press arrives.
            PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            PostMessageW(box, WM_CHAR, L'\r', 0x001C0001);
            PostMessageW(box, WM_KEYUP, VK_RETURN, 0xC01C0001);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"NEW", code);
}
