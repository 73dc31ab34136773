// The add-software dialog run modally, driven from inside its own message loop.

#include "DetailsTestSupport.h"

#include "app/AddProductDlg.h"
#include "res/resource.h"
#include "storage/History.h"
#include "storage/Paths.h"

namespace {
class CAddProductTest : public CDetailsTest {
protected:
    HWND PaneOf(HWND dialog) const { return FindWindowExW(dialog, nullptr, L"#32770", nullptr); }
    static SIZE SizeOf(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
    CHostWindow m_host;
};
}  // namespace

TEST_F(CAddProductTest, TheDialogGrowsAndShrinksWithItsPageAndTheButtonsFollow)
{
    CSoftware record;
    CAddProductDlg dialog(&record, m_host.Handle());
    struct Shape {
        SIZE Dialog;
        SIZE Pane;
        RECT Ok;
        RECT Cancel;
    };
    std::vector<Shape> shapes;
    std::wstring title;
    auto measure = [&](HWND window) {
        HWND pane = PaneOf(window);
        shapes.push_back({SizeOf(window), SizeOf(pane), ChildRect(window, GetDlgItem(window, IDOK)),
                          ChildRect(window, GetDlgItem(window, IDCANCEL))});
    };
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Add Software", [&](HWND window) {
            title = TextOf(window);
            measure(window);
            HWND pane = PaneOf(window);
            ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 1);
            measure(window);
            EXPECT_TRUE(IsShown(pane, IDC_ITEM_USERNAME));
            EXPECT_TRUE(IsShown(pane, IDC_ITEM_CODELIST));
            ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 0);
            measure(window);
            Click(window, IDCANCEL);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"Add Software", title);
    ASSERT_EQ(3u, shapes.size());
    const int heights[3] = {330, 500, 330};
    for (int i = 0; i < 3; ++i) {
        const Shape& shape = shapes[static_cast<size_t>(i)];
        EXPECT_EQ(306, shape.Dialog.cx);
        EXPECT_EQ(heights[i], shape.Dialog.cy);
        // Short title 22, bottom border 3, and 30 left for the buttons.
        EXPECT_EQ(300, shape.Pane.cx);
        EXPECT_EQ(heights[i] - 22 - 3 - 30, shape.Pane.cy);
        // Content rectangle: 3..303 across, 22..height-3 down.
        EXPECT_EQ((RECT{303 - 72, heights[i] - 3 - 25, 303 - 2, heights[i] - 3 - 5}), shape.Cancel);
        EXPECT_EQ((RECT{303 - 152, heights[i] - 3 - 25, 303 - 82, heights[i] - 3 - 5}), shape.Ok);
    }
}

TEST_F(CAddProductTest, OkStoresTheTypedValuesAndTheHistory)
{
    // Whatever the record holds, the editors start empty and the lists at their first entries.
    CSoftware record;
    record.BasicInfo.Category = 4;
    CAddProductDlg dialog(&record, m_host.Handle());
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Add Software", [&](HWND window) {
            HWND pane = PaneOf(window);
            EXPECT_EQ(L"", ItemTextOf(pane, IDC_ITEM_NAME));
            EXPECT_EQ(L"", ItemTextOf(pane, IDC_ITEM_VERSION));
            EXPECT_EQ(0, ComboSelection(pane, IDC_ITEM_CURRENCY));
            EXPECT_EQ(0, ComboSelection(pane, IDC_ITEM_CATEGORY));
            EXPECT_EQ(0, ComboSelection(pane, IDC_ITEM_TYPE));
            EXPECT_FALSE(IsShown(pane, IDC_ITEM_MODIFY));
            EXPECT_FALSE(IsShown(pane, IDC_ITEM_APPLY));
            EXPECT_EQ(GetDlgItem(pane, IDC_ITEM_NAME), GetFocus());
            TypeText(pane, IDC_ITEM_NAME, L" Tapedeck ");
            TypeText(pane, IDC_ITEM_VERSION, L"2.1");
            TypeText(pane, IDC_ITEM_COMPANY, L"Reel Audio");
            TypeText(pane, IDC_ITEM_PRICE, L"149.5");
            SelectCombo(pane, IDC_ITEM_CURRENCY, 8);
            SelectCombo(pane, IDC_ITEM_CATEGORY, 10);
            SelectCombo(pane, IDC_ITEM_TYPE, 1);
            ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 1);
            TypeText(pane, IDC_ITEM_USEREMAIL, L"sam@example.org");
            TypeText(pane, IDC_ITEM_CODENAME, L"Key");
            TypeText(pane, IDC_ITEM_CODE, L"K-1");
            Click(pane, IDC_ITEM_ADDCODE);
            Click(window, IDOK);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_EQ(L"Tapedeck", record.BasicInfo.Name);
    EXPECT_EQ(L"2.1", record.BasicInfo.Version);
    EXPECT_EQ(L"Reel Audio", record.BasicInfo.Company);
    EXPECT_EQ(L"", record.BasicInfo.Website);
    EXPECT_EQ(149.5f, record.BasicInfo.Price.Value);
    EXPECT_EQ(8, record.BasicInfo.Price.Currency);
    EXPECT_EQ(10, record.BasicInfo.Category);
    EXPECT_EQ(1, record.BasicInfo.Type);
    EXPECT_EQ(L"sam@example.org", record.RegInfo.UserEmail);
    ASSERT_EQ(1, record.RegInfo.Code.GetSize());
    EXPECT_EQ(L"Key", record.RegInfo.CodeName[0]);
    EXPECT_EQ(L"K-1", record.RegInfo.Code[0]);
    EXPECT_EQ(Utf16Bytes(L"Reel Audio\n"), ReadFileBytes(HistoryFile(L"Company.his")));
    EXPECT_EQ("", ReadFileBytes(HistoryFile(L"Website.his")));
    EXPECT_EQ("", ReadFileBytes(HistoryFile(L"UserName.his")));
    EXPECT_EQ("", ReadFileBytes(HistoryFile(L"UserCompany.his")));
    EXPECT_EQ(Utf16Bytes(L"sam@example.org\n"), ReadFileBytes(HistoryFile(L"Email.his")));
    EXPECT_EQ(Utf16Bytes(L"Key\n"), ReadFileBytes(HistoryFile(L"CodeName.his")));
}

TEST_F(CAddProductTest, RefusedValuesKeepTheDialogOpen)
{
    CSoftware record;
    CAddProductDlg dialog(&record, m_host.Handle());
    std::vector<bool> stillOpen;
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Add Software", [&](HWND window) {
            HWND pane = PaneOf(window);
            Click(window, IDOK);
            stillOpen.push_back(IsWindowVisible(window) != FALSE);
            TypeText(pane, IDC_ITEM_NAME, L"Tapedeck");
            TypeText(pane, IDC_ITEM_PRICE, L"2500000");
            Click(window, IDOK);
            stillOpen.push_back(IsWindowVisible(window) != FALSE);
            TypeText(pane, IDC_ITEM_PRICE, L"25");
            ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 1);
            TypeText(pane, IDC_ITEM_COMMENT, L"ok\n</Comment>\n");
            Click(window, IDOK);
            stillOpen.push_back(IsWindowVisible(window) != FALSE);
            Click(window, IDCANCEL);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<bool>{true, true, true}), stillOpen);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Field 'Name' couldn't be null.",
                  L"Field 'Price' couldn't be 1,000,000 or more, please enter a smaller price.",
                  L"Field 'Comment' holds text that couldn't be saved and read back correctly, please change it."}),
              m_boxes.Texts());
    EXPECT_EQ(L"Unknown", record.BasicInfo.Name);
    EXPECT_EQ(0.0f, record.BasicInfo.Price.Value);
    EXPECT_FALSE(FileExistsAt(HistoryFile(L"Company.his")));
}

TEST_F(CAddProductTest, CancelStoresNothingAndWritesNoHistory)
{
    CSoftware record;
    CAddProductDlg dialog(&record, m_host.Handle());
    INT_PTR result = 0;
    {
        CModalScript script;
        script.Then(L"Add Software", [&](HWND window) {
            HWND pane = PaneOf(window);
            TypeText(pane, IDC_ITEM_NAME, L"Tapedeck");
            TypeText(pane, IDC_ITEM_COMPANY, L"Reel Audio");
            ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 1);
            TypeText(pane, IDC_ITEM_CODENAME, L"Key");
            TypeText(pane, IDC_ITEM_CODE, L"K-1");
            Click(pane, IDC_ITEM_ADDCODE);
            // The Escape key, as the user would press it.
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"Unknown", record.BasicInfo.Name);
    EXPECT_EQ(L"Unknown", record.BasicInfo.Company);
    EXPECT_EQ(0, record.RegInfo.Code.GetSize());
    // The code name joined the list in memory at once; no file was written.
    ASSERT_EQ(1, HistoryLists.CodeName.GetSize());
    EXPECT_EQ(L"Key", HistoryLists.CodeName[0]);
    EXPECT_EQ(0, HistoryLists.Company.GetSize());
    for (const wchar_t* name : {L"Company.his", L"Website.his", L"UserName.his", L"UserCompany.his", L"Email.his",
                                L"CodeName.his"})
        EXPECT_FALSE(FileExistsAt(HistoryFile(name))) << name;
}
