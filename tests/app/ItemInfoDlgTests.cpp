// The details pane as the main window hosts it: created from its template, driven by clicks,
// typing and tab changes, with the files it writes read back byte for byte.

#include "DetailsTestSupport.h"

#include "app/ItemInfoDlg.h"
#include "app/Links.h"
#include "framework/Shell.h"
#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/ElementText.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/RecordReadBack.h"
#include "tests/skin/SkinTestSupport.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"

namespace {
const wchar_t RecordId[] = L"0A1B2C3D-0000-4000-8000-00000000A001";

class CItemInfoTest : public CDetailsTest {
protected:
    void SetUp() override
    {
        CDetailsTest::SetUp();
        m_record = MakeRecord(RecordId, L"Clipmate Pro", L"Acme", 29.9f, 5, 1);
        m_record->BasicInfo.Version = L"4.2";
        m_record->BasicInfo.Website = L"http://www.acme.example";
        m_record->RegInfo.UserName = L"Jo Park";
        m_record->RegInfo.CodeName.Add(L"Serial");
        m_record->RegInfo.Code.Add(L"AAAA-BBBB");
        m_record->RegInfo.CodeName.Add(L"Upgrade");
        m_record->RegInfo.Code.Add(L"CCCC");
    }
    void TearDown() override
    {
        m_pane.reset();
        CDetailsTest::TearDown();
    }

    HWND CreatePane(CSoftware* record)
    {
        m_pane = std::make_unique<CItemInfoDlg>();
        m_pane->SetPaneHeight(600);
        m_pane->SetRecord(record);
        EXPECT_TRUE(m_pane->Create(m_host.Handle()));
        m_pane->SetCommandTarget(m_host.Handle(), m_host.Toolbar());
        m_pane->SetListRepaint([this] { ++m_listRepaints; });
        HWND pane = m_pane->GetSafeHwnd();
        SetWindowPos(pane, nullptr, 515, 74, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(pane, SW_SHOW);
        return pane;
    }
    HWND Pane() const { return m_pane->GetSafeHwnd(); }
    HWND Tabs() const { return GetDlgItem(Pane(), IDC_ITEM_TABS); }
    std::string RecordFileBytes() const { return ReadFileBytes(DataFolder() + RecordId); }

    // Modify, type the company, Apply; returns the commands the host received.
    std::vector<ReceivedCommand> ApplyWith(int id, const std::wstring& text)
    {
        Click(Pane(), IDC_ITEM_MODIFY);
        TypeText(Pane(), id, text);
        CHostWindow::Commands().clear();
        Click(Pane(), IDC_ITEM_APPLY);
        return CHostWindow::Commands();
    }

    CHostWindow m_host;
    std::unique_ptr<CSoftware> m_record;
    std::unique_ptr<CItemInfoDlg> m_pane;
    int m_listRepaints = 0;
};

std::string ExpectedFile(const std::string& company, const std::string& type)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Software>\n<BasicInfo>\n"
           "<Name>\nClipmate Pro</Name>\n<Version>\n4.2</Version>\n<Company>\n" + company + "</Company>\n"
           "<Website>\nhttp://www.acme.example</Website>\n<Price>\n29.90</Price>\n<Currency>\n18</Currency>\n"
           "<Category>\n5</Category>\n<Type>\n" + type + "</Type>\n</BasicInfo>\n<RegInfo>\n"
           "<UserName>\nJo Park</UserName>\n<UserCompany>\n</UserCompany>\n<UserEmail>\n</UserEmail>\n"
           "<Comment>\n</Comment>\n<RegCode>\n<CodeName>\nSerial</CodeName>\n<Code>\nAAAA-BBBB</Code>\n"
           "</RegCode>\n<RegCode>\n<CodeName>\nUpgrade</CodeName>\n<Code>\nCCCC</Code>\n</RegCode>\n"
           "</RegInfo>\n<InstallerInfo>\n<InstallerPath>\n</InstallerPath>\n<OriginalPath>\n</OriginalPath>\n"
           "<AttachMode>\n0</AttachMode>\n</InstallerInfo>\n</Software>\n";
}
}  // namespace

TEST_F(CItemInfoTest, ViewModeShowsTheRecordAndOnlyModify)
{
    HWND pane = CreatePane(m_record.get());
    RECT window{};
    GetWindowRect(pane, &window);
    EXPECT_EQ(300, window.right - window.left);
    EXPECT_EQ(600, window.bottom - window.top);
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_MODIFY));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pane, IDC_ITEM_MODIFY)));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_APPLY));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_CANCEL));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_NAME));
    // The value area sits 30 pixels below the field area, under the button row.
    EXPECT_EQ(m_pane->FieldArea().top + 30, m_pane->ValueArea().top);
    EXPECT_EQ(m_pane->FieldArea().top + 30, m_pane->BasicValueRect(0).top);
    EXPECT_EQ(m_pane->FieldArea().left + 80, m_pane->BasicValueRect(0).left);
    EXPECT_EQ(m_pane->BasicValueRect(0).bottom + 15, m_pane->BasicValueRect(1).top);

    ClickTab(Tabs(), 1);
    EXPECT_EQ(1, m_pane->CurrentTab());
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_COMMENT));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_CODELIST));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_CODE));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_USERNAME));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_ADDCODE));
    EXPECT_EQ((std::vector<std::wstring>{L"Serial", L"Upgrade"}), ListTexts(pane, IDC_ITEM_CODELIST));
    // Choosing a code shows it, read-only, on the pane colour.
    SendMessageW(GetDlgItem(pane, IDC_ITEM_CODELIST), LB_SETCURSEL, 1, 0);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_ITEM_CODELIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(pane, IDC_ITEM_CODELIST)));
    EXPECT_EQ(L"CCCC", ItemTextOf(pane, IDC_ITEM_CODE));
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(pane, IDC_ITEM_CODE), GWL_STYLE) & ES_READONLY);
    HWND comment = GetDlgItem(pane, IDC_ITEM_COMMENT);
    RECT inside{4, 4, 10, 10};
    for (COLORREF pixel : CapturePixels(comment, inside))
        EXPECT_EQ(PaneColour, pixel);
}

TEST_F(CItemInfoTest, WithoutARecordThePageIsBlankAndModifyDisabled)
{
    HWND pane = CreatePane(nullptr);
    EXPECT_EQ(nullptr, m_pane->Record());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(pane, IDC_ITEM_MODIFY)));
    RECT page = m_pane->ValueArea();
    page.left = m_pane->FieldArea().left + 2;
    MapWindowPoints(pane, Tabs(), reinterpret_cast<POINT*>(&page), 2);
    std::vector<COLORREF> pixels = CapturePixels(Tabs(), page);
    for (COLORREF pixel : pixels)
        ASSERT_EQ(pixels.front(), pixel);

    // A record set later enables Modify and is painted.
    m_pane->SetRecord(m_record.get());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pane, IDC_ITEM_MODIFY)));
    std::vector<COLORREF> painted = CapturePixels(Tabs(), page);
    EXPECT_NE(pixels, painted);
}

TEST_F(CItemInfoTest, EmptyUserFieldsShowNullAndAZeroPriceShowsFree)
{
    // The painted words match records that hold the same words as plain text in another row.
    m_record->RegInfo.UserName.clear();
    m_record->RegInfo.UserEmail = L"Null";
    m_record->BasicInfo.Price.Value = 0;
    m_record->BasicInfo.Version = L"Free";
    HWND pane = CreatePane(m_record.get());
    auto rowPixels = [&](RECT rect) {
        MapWindowPoints(pane, Tabs(), reinterpret_cast<POINT*>(&rect), 2);
        return CapturePixels(Tabs(), rect);
    };
    EXPECT_EQ(rowPixels(m_pane->BasicValueRect(1)), rowPixels(m_pane->BasicValueRect(4)));
    EXPECT_NE(rowPixels(m_pane->BasicValueRect(1)), rowPixels(m_pane->BasicValueRect(0)));
    EXPECT_EQ(L"Free", CItemInfoDlg::PriceText(m_record->BasicInfo.Price));

    ClickTab(Tabs(), 1);
    // UserName (empty) and UserEmail ("Null") rows look the same; Company (empty) too.
    RECT userName = m_pane->BasicValueRect(0);
    RECT userEmail = m_pane->BasicValueRect(2);
    EXPECT_EQ(rowPixels(userName), rowPixels(userEmail));
    std::vector<COLORREF> nameRow = rowPixels(userName);
    bool anyInk = false;
    for (COLORREF pixel : nameRow)
        anyInk = anyInk || pixel == RGB(0, 0, 0);
    EXPECT_TRUE(anyInk);
}

TEST_F(CItemInfoTest, PricesFromOneHundredThousandUpShowInFull)
{
    SoftwarePrice price{123456.5f, 6};
    EXPECT_EQ(L"123456.50 (EUR)", CItemInfoDlg::PriceText(price));
    EXPECT_EQ(L"999999.94 (USD)", CItemInfoDlg::PriceText(SoftwarePrice{999999.94f, 18}));
    EXPECT_EQ(L" 9.50 (GBP)", CItemInfoDlg::PriceText(SoftwarePrice{9.5f, 8}));
    // Painted in full, not cut short: the same pixels as the text written out in another row.
    m_record->BasicInfo.Price = price;
    m_record->BasicInfo.Version = L"123456.50 (EUR)";
    HWND pane = CreatePane(m_record.get());
    auto rowPixels = [&](RECT rect) {
        MapWindowPoints(pane, Tabs(), reinterpret_cast<POINT*>(&rect), 2);
        return CapturePixels(Tabs(), rect);
    };
    EXPECT_EQ(rowPixels(m_pane->BasicValueRect(1)), rowPixels(m_pane->BasicValueRect(4)));
}

TEST_F(CItemInfoTest, ModifyFillsTheEditorsAndCancelLeavesTheRecord)
{
    HWND pane = CreatePane(m_record.get());
    Click(pane, IDC_ITEM_MODIFY);
    EXPECT_EQ(ItemInfoEdit, m_pane->Mode());
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_MODIFY));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_APPLY));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_CANCEL));
    EXPECT_EQ(L"Clipmate Pro", ItemTextOf(pane, IDC_ITEM_NAME));
    EXPECT_EQ(L"4.2", ItemTextOf(pane, IDC_ITEM_VERSION));
    EXPECT_EQ(L"Acme", ItemTextOf(pane, IDC_ITEM_COMPANY));
    EXPECT_EQ(L"29.90", ItemTextOf(pane, IDC_ITEM_PRICE));
    EXPECT_EQ(18, ComboSelection(pane, IDC_ITEM_CURRENCY));
    EXPECT_EQ(5, ComboSelection(pane, IDC_ITEM_CATEGORY));
    EXPECT_EQ(1, ComboSelection(pane, IDC_ITEM_TYPE));
    EXPECT_EQ(GetDlgItem(pane, IDC_ITEM_NAME), GetFocus());
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_NAME));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_USERNAME));
    // Editable fields are white (right of the text).
    RECT versionClient{};
    GetClientRect(GetDlgItem(pane, IDC_ITEM_VERSION), &versionClient);
    RECT inside{versionClient.right - 12, 4, versionClient.right - 6, 8};
    for (COLORREF pixel : CapturePixels(GetDlgItem(pane, IDC_ITEM_VERSION), inside))
        EXPECT_EQ(RGB(255, 255, 255), pixel);
    // The price box takes the first half of the value column, the currency its last quarter
    // (integer halves and quarters).
    RECT name = ChildRect(pane, GetDlgItem(pane, IDC_ITEM_NAME));
    RECT priceBox = ChildRect(pane, GetDlgItem(pane, IDC_ITEM_PRICE));
    RECT currency = ChildRect(pane, GetDlgItem(pane, IDC_ITEM_CURRENCY));
    const int width = name.right - name.left;
    EXPECT_EQ(name.left + width / 2, priceBox.right);
    EXPECT_EQ(name.left + width / 2 + width / 4, currency.left);
    EXPECT_EQ(name.left + width / 2 + width / 2, currency.right);

    ClickTab(Tabs(), 1);
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_USERNAME));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_ADDCODE));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_NAME));
    EXPECT_EQ(L"Jo Park", ItemTextOf(pane, IDC_ITEM_USERNAME));
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(pane, IDC_ITEM_COMMENT), GWL_STYLE) & ES_READONLY);

    TypeText(pane, IDC_ITEM_USERNAME, L"Someone Else");
    Click(pane, IDC_ITEM_CANCEL);
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_EQ(L"Jo Park", m_record->RegInfo.UserName);
    EXPECT_FALSE(FileExistsAt(DataFolder() + RecordId));
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(CItemInfoTest, ApplyWritesTheFileAndHistoryAndRegroupsOnANewCompany)
{
    HWND pane = CreatePane(m_record.get());
    std::vector<ReceivedCommand> commands = ApplyWith(IDC_ITEM_COMPANY, L"  Acme Labs ");
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_EQ(L"Acme Labs", m_record->BasicInfo.Company);
    EXPECT_EQ(ExpectedFile("Acme Labs", "1"), RecordFileBytes());
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(9u, commands[0].Code);
    EXPECT_EQ(m_host.Toolbar(), commands[0].Sender);
    EXPECT_EQ(0, m_listRepaints);
    // Every list is written; the values join their lists and boxes.
    EXPECT_EQ(Utf16Bytes(L"Acme Labs\n"), ReadFileBytes(HistoryFile(L"Company.his")));
    EXPECT_EQ(Utf16Bytes(L"http://www.acme.example\n"), ReadFileBytes(HistoryFile(L"Website.his")));
    EXPECT_EQ(Utf16Bytes(L"Jo Park\n"), ReadFileBytes(HistoryFile(L"UserName.his")));
    EXPECT_EQ("", ReadFileBytes(HistoryFile(L"UserCompany.his")));
    EXPECT_TRUE(FileExistsAt(HistoryFile(L"Email.his")));
    EXPECT_EQ("", ReadFileBytes(HistoryFile(L"CodeName.his")));
    EXPECT_EQ((std::vector<std::wstring>{L"Acme Labs"}), ComboEntries(pane, IDC_ITEM_COMPANY));
    // After Apply the first code is selected and shown.
    EXPECT_EQ(0, SendMessageW(GetDlgItem(pane, IDC_ITEM_CODELIST), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"AAAA-BBBB", ItemTextOf(pane, IDC_ITEM_CODE));
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(CItemInfoTest, OnlyAChangeOfAGroupingKeyRegroups)
{
    CreatePane(m_record.get());
    EXPECT_TRUE(ApplyWith(IDC_ITEM_COMPANY, L"ACME").empty());
    EXPECT_EQ(1, m_listRepaints);
    EXPECT_EQ(ExpectedFile("ACME", "1"), RecordFileBytes());
    // A company already listed in other letter case is not listed again.
    EXPECT_TRUE(ApplyWith(IDC_ITEM_COMPANY, L"acme").empty());
    EXPECT_EQ(Utf16Bytes(L"ACME\n"), ReadFileBytes(HistoryFile(L"Company.his")));
    EXPECT_EQ(1u, ApplyWith(IDC_ITEM_COMPANY, L"acmf").size());
    EXPECT_TRUE(ApplyWith(IDC_ITEM_VERSION, L"5.0").empty());
    EXPECT_EQ(3, m_listRepaints);

    Click(Pane(), IDC_ITEM_MODIFY);
    SelectCombo(Pane(), IDC_ITEM_CATEGORY, 7);
    CHostWindow::Commands().clear();
    Click(Pane(), IDC_ITEM_APPLY);
    EXPECT_EQ(1u, CHostWindow::Commands().size());
    EXPECT_EQ(7, m_record->BasicInfo.Category);

    Click(Pane(), IDC_ITEM_MODIFY);
    SelectCombo(Pane(), IDC_ITEM_TYPE, 2);
    CHostWindow::Commands().clear();
    Click(Pane(), IDC_ITEM_APPLY);
    EXPECT_EQ(1u, CHostWindow::Commands().size());
    EXPECT_EQ(2, m_record->BasicInfo.Type);
}

TEST_F(CItemInfoTest, AnEmptyNameIsRefusedAndNothingChanges)
{
    HWND pane = CreatePane(m_record.get());
    Click(pane, IDC_ITEM_MODIFY);
    TypeText(pane, IDC_ITEM_NAME, L"   ");
    TypeText(pane, IDC_ITEM_VERSION, L"9");
    Click(pane, IDC_ITEM_APPLY);
    ASSERT_EQ(1u, m_boxes.Shown().size());
    EXPECT_EQ(L"Field 'Name' couldn't be null.", m_boxes.Shown()[0].Text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), m_boxes.Shown()[0].Type);
    EXPECT_EQ(L"Quorvane", m_boxes.Shown()[0].Caption);
    EXPECT_EQ(ItemInfoEdit, m_pane->Mode());
    EXPECT_EQ(L"4.2", m_record->BasicInfo.Version);
    EXPECT_EQ(L"9", ItemTextOf(pane, IDC_ITEM_VERSION));
    EXPECT_EQ(GetDlgItem(pane, IDC_ITEM_NAME), GetFocus());
    EXPECT_FALSE(FileExistsAt(DataFolder() + RecordId));
    EXPECT_FALSE(FileExistsAt(HistoryFile(L"Company.his")));
}

TEST_F(CItemInfoTest, APriceOfAMillionOrMoreIsRefusedAndThePaneStaysAsItWas)
{
    HWND pane = CreatePane(m_record.get());
    for (const wchar_t* typed : {L"1000000", L"999999.999", L"1e300", L"inf"}) {
        Click(pane, IDC_ITEM_MODIFY);
        TypeText(pane, IDC_ITEM_PRICE, typed);
        TypeText(pane, IDC_ITEM_VERSION, L"5.0");
        Click(pane, IDC_ITEM_APPLY);
        EXPECT_EQ(ItemInfoEdit, m_pane->Mode()) << typed;
        EXPECT_EQ(typed, ItemTextOf(pane, IDC_ITEM_PRICE));
        EXPECT_EQ(L"5.0", ItemTextOf(pane, IDC_ITEM_VERSION));
        Click(pane, IDC_ITEM_CANCEL);
    }
    ASSERT_EQ(4u, m_boxes.Shown().size());
    for (const ShownMessageBox& box : m_boxes.Shown()) {
        EXPECT_EQ(L"Field 'Price' couldn't be 1,000,000 or more, please enter a smaller price.", box.Text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), box.Type);
    }
    EXPECT_EQ(29.9f, m_record->BasicInfo.Price.Value);
    EXPECT_EQ(L"4.2", m_record->BasicInfo.Version);
    EXPECT_FALSE(FileExistsAt(DataFolder() + RecordId));

    // An amount just below the limit is taken and written in its nine characters.
    EXPECT_TRUE(ApplyWith(IDC_ITEM_PRICE, L"999999.5").empty());
    EXPECT_EQ(999999.5f, m_record->BasicInfo.Price.Value);
    EXPECT_NE(std::string::npos, RecordFileBytes().find("<Price>\n999999.50</Price>\n"));
}

TEST_F(CItemInfoTest, ANegativeOrNonNumericPriceIsFreeAndFreeSoftwareIsFreeWare)
{
    CreatePane(m_record.get());
    EXPECT_EQ(1u, ApplyWith(IDC_ITEM_PRICE, L"-5").size());
    EXPECT_EQ(0.0f, m_record->BasicInfo.Price.Value);
    EXPECT_EQ(0, m_record->BasicInfo.Type);
    EXPECT_EQ(ExpectedFile("Acme", "0").replace(ExpectedFile("Acme", "0").find("29.90"), 5, " 0.00"),
              RecordFileBytes());
    m_record->BasicInfo.Type = 2;
    m_record->BasicInfo.Price.Value = 3;
    ApplyWith(IDC_ITEM_PRICE, L"abc");
    EXPECT_EQ(0.0f, m_record->BasicInfo.Price.Value);
    EXPECT_EQ(0, m_record->BasicInfo.Type);
    // An amount that the file's two decimals turn into nothing is free at once.
    m_record->BasicInfo.Type = 2;
    ApplyWith(IDC_ITEM_PRICE, L"0.004");
    EXPECT_EQ(0.0f, m_record->BasicInfo.Price.Value);
    EXPECT_EQ(0, m_record->BasicInfo.Type);
    ApplyWith(IDC_ITEM_PRICE, L"19.999");
    EXPECT_EQ(20.0f, m_record->BasicInfo.Price.Value);
}

TEST_F(CItemInfoTest, AValueThatWouldNotReadBackIsRefusedNamingItsField)
{
    HWND pane = CreatePane(m_record.get());
    struct Case {
        int Id;
        int Tab;
        const wchar_t* Typed;
        const wchar_t* Field;
    };
    const Case cases[] = {
        {IDC_ITEM_COMMENT, 1, L"first line\n</Comment>\nlost", L"Comment"},
        {IDC_ITEM_COMMENT, 1, L"<CodeName>\nfake</CodeName>", L"Comment"},
        {IDC_ITEM_NAME, 0, L"Clip</Name>", nullptr},
        {IDC_ITEM_VERSION, 0, L"1\n<Company>\nEvil</Company>", L"Version"},
        {IDC_ITEM_USEREMAIL, 1, L"jo@example.com\n</UserEmail>\nx", L"UserEmail"},
    };
    int expectedBoxes = 0;
    for (const Case& c : cases) {
        Click(pane, IDC_ITEM_MODIFY);
        if (c.Tab != m_pane->CurrentTab())
            ClickTab(Tabs(), c.Tab);
        TypeText(pane, c.Id, c.Typed);
        Click(pane, IDC_ITEM_APPLY);
        if (!c.Field) {
            // A closing tag inside a line is not the marker: it reads back.
            EXPECT_EQ(ItemInfoView, m_pane->Mode());
            EXPECT_EQ(L"Clip</Name>", m_record->BasicInfo.Name);
            continue;
        }
        ++expectedBoxes;
        ASSERT_EQ(static_cast<size_t>(expectedBoxes), m_boxes.Shown().size()) << c.Typed;
        EXPECT_EQ(std::wstring(L"Field '") + c.Field +
                      L"' holds text that couldn't be saved and read back correctly, please change it.",
                  m_boxes.Shown().back().Text);
        EXPECT_EQ(ItemInfoEdit, m_pane->Mode());
        EXPECT_EQ(c.Typed, ItemTextOf(pane, c.Id));
        Click(pane, IDC_ITEM_CANCEL);
    }
    EXPECT_EQ(L"", m_record->RegInfo.Comment);
    EXPECT_EQ(L"4.2", m_record->BasicInfo.Version);

    // What the format trims on purpose is accepted: the comment keeps its line break in memory.
    Click(pane, IDC_ITEM_MODIFY);
    ClickTab(Tabs(), 1);
    TypeText(pane, IDC_ITEM_COMMENT, L"Bought at the fair\r\n");
    Click(pane, IDC_ITEM_APPLY);
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_EQ(L"Bought at the fair\r\n", m_record->RegInfo.Comment);
    EXPECT_NE(std::string::npos, RecordFileBytes().find("<Comment>\nBought at the fair\r\n</Comment>\n"));
}

TEST_F(CItemInfoTest, CodesAreAddedRemovedAndRefusedByTheirRules)
{
    HWND pane = CreatePane(m_record.get());
    Click(pane, IDC_ITEM_MODIFY);
    ClickTab(Tabs(), 1);
    HWND list = GetDlgItem(pane, IDC_ITEM_CODELIST);

    TypeText(pane, IDC_ITEM_CODENAME, L"Site");
    Click(pane, IDC_ITEM_ADDCODE);
    TypeText(pane, IDC_ITEM_CODENAME, L" ");
    TypeText(pane, IDC_ITEM_CODE, L"X");
    Click(pane, IDC_ITEM_ADDCODE);
    TypeText(pane, IDC_ITEM_CODENAME, L"Serial");
    TypeText(pane, IDC_ITEM_CODE, L"DDDD");
    Click(pane, IDC_ITEM_ADDCODE);
    EXPECT_EQ((std::vector<std::wstring>{L"Code-name or code is empty, please fill the blank.",
                                         L"Code-name or code is empty, please fill the blank.",
                                         L"The code-name is already existed, please use another name."}),
              m_boxes.Texts());
    EXPECT_EQ((std::vector<std::wstring>{L"Serial", L"Upgrade"}), ListTexts(pane, IDC_ITEM_CODELIST));

    // Another letter case is another name.
    TypeText(pane, IDC_ITEM_CODENAME, L" serial ");
    TypeText(pane, IDC_ITEM_CODE, L" EEEE ");
    Click(pane, IDC_ITEM_ADDCODE);
    EXPECT_EQ((std::vector<std::wstring>{L"Serial", L"Upgrade", L"serial"}), ListTexts(pane, IDC_ITEM_CODELIST));
    EXPECT_EQ((std::vector<std::wstring>{L"AAAA-BBBB", L"CCCC", L"EEEE"}), m_pane->Codes());
    EXPECT_EQ(2, SendMessageW(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(L"", ItemTextOf(pane, IDC_ITEM_CODENAME));
    EXPECT_EQ(L"", ItemTextOf(pane, IDC_ITEM_CODE));
    // The name joins the history at once, and the box; the file waits for the next save.
    EXPECT_EQ(1, HistoryLists.CodeName.GetSize());
    EXPECT_EQ((std::vector<std::wstring>{L"serial"}), ComboEntries(pane, IDC_ITEM_CODENAME));
    EXPECT_FALSE(FileExistsAt(HistoryFile(L"CodeName.his")));

    // "-" with nothing selected selects the first code and removes nothing.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Click(pane, IDC_ITEM_REMOVECODE);
    EXPECT_EQ(3u, ListTexts(pane, IDC_ITEM_CODELIST).size());
    EXPECT_EQ(0, SendMessageW(list, LB_GETCURSEL, 0, 0));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    Click(pane, IDC_ITEM_REMOVECODE);
    EXPECT_EQ((std::vector<std::wstring>{L"Serial", L"serial"}), ListTexts(pane, IDC_ITEM_CODELIST));
    EXPECT_EQ((std::vector<std::wstring>{L"AAAA-BBBB", L"EEEE"}), m_pane->Codes());
    EXPECT_EQ(LB_ERR, SendMessageW(list, LB_GETCURSEL, 0, 0));

    Click(pane, IDC_ITEM_APPLY);
    EXPECT_EQ(Utf16Bytes(L"serial\n"), ReadFileBytes(HistoryFile(L"CodeName.his")));
    EXPECT_NE(std::string::npos, RecordFileBytes().find("<CodeName>\nserial</CodeName>\n<Code>\nEEEE</Code>\n"));
    EXPECT_EQ(std::string::npos, RecordFileBytes().find("Upgrade"));
}

TEST_F(CItemInfoTest, DoubleClickEditsTheCodeButNotInViewMode)
{
    HWND pane = CreatePane(m_record.get());
    ClickTab(Tabs(), 1);
    HWND list = GetDlgItem(pane, IDC_ITEM_CODELIST);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    // In view mode a double-click opens nothing (the script would otherwise find a dialog).
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_ITEM_CODELIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));

    Click(pane, IDC_ITEM_MODIFY);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    std::wstring shownCode;
    {
        CModalScript script;
        script.Then(L"Upgrade", [&](HWND editor) {
            shownCode = ItemTextOf(editor, IDC_EDITCODE_TEXT);
            TypeText(editor, IDC_EDITCODE_TEXT, L"  NEW-CODE  ");
            Click(editor, IDOK);
        });
        // A real double-click on the second entry.
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
        LPARAM point = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(list, WM_LBUTTONUP, 0, point);
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        SendMessageW(list, WM_LBUTTONUP, 0, point);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(L"CCCC", shownCode);
    EXPECT_EQ((std::vector<std::wstring>{L"AAAA-BBBB", L"  NEW-CODE  "}), m_pane->Codes());
    EXPECT_EQ((std::vector<std::wstring>{L"Serial", L"Upgrade"}), ListTexts(pane, IDC_ITEM_CODELIST));
    Click(pane, IDC_ITEM_APPLY);
    EXPECT_EQ(L"  NEW-CODE  ", m_record->RegInfo.Code[1]);
}

TEST_F(CItemInfoTest, AFailedSaveIsReportedAndTheEditsStayInMemory)
{
    CreatePane(m_record.get());
    // The record's file is held by another program for good.
    ASSERT_TRUE(WriteFileBytes(DataFolder() + RecordId, "held"));
    HANDLE holder = CreateFileW((DataFolder() + RecordId).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(1u, ApplyWith(IDC_ITEM_COMPANY, L"Other").size());
    CloseHandle(holder);
    // The store tells of the failed file first, then Apply of the lost save.
    ASSERT_EQ(2u, m_boxes.Shown().size());
    EXPECT_EQ(L"Sorry! The meta-data file is unable to be opened, please restart the computer and try again.",
              m_boxes.Shown()[0].Text);
    EXPECT_EQ(L"A serious error occured while saving your modifications, please try again.", m_boxes.Shown()[1].Text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), m_boxes.Shown()[1].Type);
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_EQ(L"Other", m_record->BasicInfo.Company);
    EXPECT_EQ("held", RecordFileBytes());
}

TEST_F(CItemInfoTest, AVanishedDataFolderIsNamedNotMadeAgainAndTheEditIsStoredOnceItIsBack)
{
    const std::wstring folder = m_temp / L"Catalogue\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    Settings.DataFolder = folder;
    CreatePane(m_record.get());
    // Removed from outside while the program runs.
    DeleteFolderTree(folder);
    EXPECT_EQ(1u, ApplyWith(IDC_ITEM_COMPANY, L"Other").size());

    EXPECT_FALSE(FileExistsAt(folder)) << "the folder must not come back holding one record";
    ASSERT_EQ(2u, m_boxes.Shown().size());
    EXPECT_EQ(L"Sorry! The data folder \"" + m_temp.Path() +
                  L"Catalogue\" can't be found, please make sure it is available and try again.",
              m_boxes.Shown()[0].Text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), m_boxes.Shown()[0].Type);
    EXPECT_EQ(L"A serious error occured while saving your modifications, please try again.", m_boxes.Shown()[1].Text);
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_EQ(L"Other", m_record->BasicInfo.Company);

    // The drive is back: Modify and Apply store the edit kept in memory.
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    Click(Pane(), IDC_ITEM_MODIFY);
    Click(Pane(), IDC_ITEM_APPLY);
    EXPECT_EQ(2u, m_boxes.Shown().size());
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, folder + RecordId));
    EXPECT_EQ(L"Other", loaded.BasicInfo.Company);
}

TEST_F(CItemInfoTest, TheWebSiteLinkOpensOnlyWebAddresses)
{
    std::vector<std::wstring> opened;
    ShellOpener previous = SetShellOpener([&](HWND, const std::wstring& target, const std::wstring& directory) {
        opened.push_back(target);
        EXPECT_EQ(TempFolder, directory);
        return static_cast<INT_PTR>(42);
    });
    HWND pane = CreatePane(m_record.get());
    RECT link = m_pane->BasicValueRect(3);
    POINT inside{link.left + 10, (link.top + link.bottom) / 2};
    MapWindowPoints(pane, Tabs(), &inside, 1);
    POINT outside{inside.x, inside.y + 40};
    SendMessageW(Tabs(), WM_MOUSEMOVE, 0, MAKELPARAM(outside.x, outside.y));
    EXPECT_FALSE(m_pane->IsLinkHover());
    SendMessageW(Tabs(), WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_TRUE(m_pane->IsLinkHover());
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
    EXPECT_EQ(TRUE, SendMessageW(Tabs(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Tabs()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    SendMessageW(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ((std::vector<std::wstring>{L"http://www.acme.example"}), opened);

    // A program's path in the field is no link.
    m_record->BasicInfo.Website = L"C:\\Windows\\notepad.exe";
    SendMessageW(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(1u, opened.size());
    EXPECT_EQ((std::vector<std::wstring>{L"Failed to open the hyper-link, please try again."}), m_boxes.Texts());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), m_boxes.Shown()[0].Type);

    // In edit mode the row is an editor, not a link.
    Click(pane, IDC_ITEM_MODIFY);
    SendMessageW(Tabs(), WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_FALSE(m_pane->IsLinkHover());
    SetShellOpener(previous);
}

TEST_F(CItemInfoTest, ValuesAddedByAnotherPaneJoinTheMainPanesBoxes)
{
    HistoryLists.Company.Add(L"Zeta Soft");
    HistoryLists.Company.Add(L"Acme");
    HWND pane = CreatePane(m_record.get());
    EXPECT_EQ((std::vector<std::wstring>{L"Acme", L"Zeta Soft"}), ComboEntries(pane, IDC_ITEM_COMPANY));

    CSoftware added;
    CItemInfoDlg other;
    other.SetMode(ItemInfoAdd);
    other.SetPaneHeight(445);
    other.SetRecord(&added);
    ASSERT_TRUE(other.Create(m_host.Handle()));
    HWND otherPane = other.GetSafeHwnd();
    TypeText(otherPane, IDC_ITEM_NAME, L"Paint Lab");
    TypeText(otherPane, IDC_ITEM_COMPANY, L"Brushworks");
    ClickTab(GetDlgItem(otherPane, IDC_ITEM_TABS), 1);
    TypeText(otherPane, IDC_ITEM_CODENAME, L"Licence");
    TypeText(otherPane, IDC_ITEM_CODE, L"1234");
    Click(otherPane, IDC_ITEM_ADDCODE);
    EXPECT_EQ((std::vector<std::wstring>{L"Licence"}), ComboEntries(pane, IDC_ITEM_CODENAME));
    ASSERT_TRUE(other.CollectFields());
    EXPECT_EQ((std::vector<std::wstring>{L"Acme", L"Brushworks", L"Zeta Soft"}), ComboEntries(pane, IDC_ITEM_COMPANY));
    EXPECT_EQ(Utf16Bytes(L"Zeta Soft\nAcme\nBrushworks\n"), ReadFileBytes(HistoryFile(L"Company.his")));
    EXPECT_EQ(Utf16Bytes(L"Licence\n"), ReadFileBytes(HistoryFile(L"CodeName.his")));
    EXPECT_EQ(L"Paint Lab", added.BasicInfo.Name);
    EXPECT_EQ(L"1234", added.RegInfo.Code[0]);
}

TEST_F(CItemInfoTest, PaintingAndSwitchingKeepNoGdiObjects)
{
    HWND pane = CreatePane(m_record.get());
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const long before = CountGdiObjects();
    for (int round = 0; round < 100; ++round) {
        ClickTab(Tabs(), round % 2);
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        m_pane->SetRecord(round % 3 ? m_record.get() : nullptr);
    }
    EXPECT_EQ(before, CountGdiObjects());
}

// The read-back check on its own: what the writer and the reader make of a value decides.
TEST(RecordReadBackTest, NamesTheFieldThatWouldNotComeBack)
{
    CSoftware record;
    EXPECT_TRUE(ReadsBack(record));
    EXPECT_EQ(StoredField::NoField, FirstFieldNotReadBack(record));
    // Trimming at both ends and the price's two decimals are the format's own.
    record.BasicInfo.Name = L"  Tapedeck \r\n";
    record.BasicInfo.Price.Value = 12.345f;
    record.RegInfo.Comment = L"line one\nline two\n";
    record.RegInfo.CodeName.Add(L"Key ");
    record.RegInfo.Code.Add(L" K-1 ");
    record.BasicInfo.Website = L"http://a.example/?x=<b>&y=1";
    EXPECT_EQ(StoredField::NoField, FirstFieldNotReadBack(record));

    record.RegInfo.Comment = L"</Comment>";
    EXPECT_EQ(StoredField::NoField, FirstFieldNotReadBack(record)) << "no line feed after it: not a marker";
    record.RegInfo.Comment = L"a\n</Comment>\nb";
    EXPECT_EQ(StoredField::Comment, FirstFieldNotReadBack(record));
    record.RegInfo.Comment = L"<CodeName>\nfake</CodeName>\n";
    EXPECT_EQ(StoredField::Comment, FirstFieldNotReadBack(record));
    record.RegInfo.Comment.clear();
    record.RegInfo.Code[0] = L"K\n<InstallerPath>\nC:\\evil.exe</InstallerPath>\n";
    EXPECT_EQ(StoredField::Code, FirstFieldNotReadBack(record));
    record.RegInfo.Code[0] = L"K-1";
    record.RegInfo.CodeName[0] = L"Key\n</CodeName>\n";
    EXPECT_EQ(StoredField::CodeName, FirstFieldNotReadBack(record));
    record.RegInfo.CodeName[0] = L"Key";
    record.RegInfo.UserCompany = L"x\n</UserCompany>\n";
    EXPECT_EQ(StoredField::UserCompany, FirstFieldNotReadBack(record));
    EXPECT_EQ(std::wstring(L"UserCompany"), StoredFieldName(StoredField::UserCompany));
    // Two bad values: the first in file order is named.
    record.BasicInfo.Version = L"1\n</Version>\n";
    EXPECT_EQ(StoredField::Version, FirstFieldNotReadBack(record));
}

TEST_F(CItemInfoTest, KeysTypedIntoTheEditorsReachTheRecord)
{
    HWND pane = CreatePane(m_record.get());
    Click(pane, IDC_ITEM_MODIFY);
    // The name editor has the focus with its text selected: typing replaces it.
    for (wchar_t c : std::wstring(L"Clipmate 5"))
        SendMessageW(GetDlgItem(pane, IDC_ITEM_NAME), WM_CHAR, c, 1);
    HWND companyEdit = GetWindow(GetDlgItem(pane, IDC_ITEM_COMPANY), GW_CHILD);
    SetFocus(companyEdit);
    SendMessageW(companyEdit, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"Northwind"))
        SendMessageW(companyEdit, WM_CHAR, c, 1);
    CHostWindow::Commands().clear();
    Click(pane, IDC_ITEM_APPLY);
    EXPECT_EQ(L"Clipmate 5", m_record->BasicInfo.Name);
    EXPECT_EQ(L"Northwind", m_record->BasicInfo.Company);
    EXPECT_EQ(1u, CHostWindow::Commands().size());
}

namespace {
// Runs the message loop until the condition holds, for at most timeoutMs.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

// Prose in lines of about seventy characters, as a long pasted note would be.
std::wstring LongNote(size_t characters)
{
    std::wstring text;
    for (unsigned line = 0; text.size() < characters; ++line)
        text += L"Line " + std::to_wstring(line) + L": the licence moved to the new machine after support answered.\r\n";
    text.resize(characters);
    return text;
}
}  // namespace

TEST_F(CItemInfoTest, ARecordWithAHugeCommentShowsWholeAndSurvivesAnApplyFromEitherPage)
{
    auto huge = MakeRecord(L"0A1B2C3D-0000-4000-8000-00000000A002", L"Huge", L"Acme", 5.0f, 2, 1);
    huge->RegInfo.Comment = LongNote((1 << 20) + 333);
    huge->RegInfo.UserName = LongNote(1 << 20);
    huge->BasicInfo.Website = L"http://huge.example/" + std::wstring(1 << 20, L'w');
    const std::wstring comment = huge->RegInfo.Comment;
    HWND pane = CreatePane(m_record.get());

    m_pane->SetRecord(huge.get());
    UpdateWindow(pane);
    ClickTab(Tabs(), 1);
    UpdateWindow(pane);
    HWND editor = GetDlgItem(pane, IDC_ITEM_COMMENT);
    EXPECT_TRUE(IsWindowVisible(editor));
    // The first screens are there at once, the rest arrives while the message loop runs.
    EXPECT_GT(GetWindowTextLengthW(editor), 0);
    EXPECT_TRUE(comment.compare(0, 200, ItemTextOf(pane, IDC_ITEM_COMMENT), 0, 200) == 0);
    EXPECT_TRUE(PumpUntil([&] { return m_pane->IsCommentComplete(); }));
    EXPECT_TRUE(ItemTextOf(pane, IDC_ITEM_COMMENT) == comment) << "the pane holds the whole comment";
    EXPECT_EQ(0, static_cast<int>(SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0))) << "still at the top";

    // Modify and Apply on the basic page, where the comment was never put into its editor.
    ClickTab(Tabs(), 0);
    m_pane->SetRecord(m_record.get());
    m_pane->SetRecord(huge.get());
    EXPECT_TRUE(ApplyWith(IDC_ITEM_VERSION, L"2.0").empty()) << "no grouping key changed";
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_TRUE(huge->RegInfo.Comment == comment) << "a comment never shown was never changed";
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, DataFolder() + L"0A1B2C3D-0000-4000-8000-00000000A002"));
    EXPECT_EQ(L"2.0", loaded.BasicInfo.Version);
    EXPECT_TRUE(loaded.RegInfo.Comment == TrimText(comment));

    // And on the registration page, where it is in its editor.
    ClickTab(Tabs(), 1);
    Click(pane, IDC_ITEM_MODIFY);
    EXPECT_TRUE(ItemTextOf(pane, IDC_ITEM_COMMENT) == comment);
    Click(pane, IDC_ITEM_APPLY);
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_TRUE(huge->RegInfo.Comment == comment);
    EXPECT_TRUE(ItemTextOf(pane, IDC_ITEM_COMMENT) == comment);
    m_pane->SetRecord(nullptr);
}

TEST_F(CItemInfoTest, TenThousandCodesLoadAndShow)
{
    auto many = MakeRecord(L"0A1B2C3D-0000-4000-8000-00000000A003", L"Site licence", L"Acme", 5.0f, 2, 1);
    for (int k = 0; k < 10000; ++k) {
        many->RegInfo.CodeName.Add(L"Seat " + std::to_wstring(k + 1));
        many->RegInfo.Code.Add(L"QV-" + std::to_wstring(100000 + k));
    }
    ASSERT_TRUE(SaveSoftwareFile(*many));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, DataFolder() + L"0A1B2C3D-0000-4000-8000-00000000A003"));
    ASSERT_EQ(10000, loaded.RegInfo.Code.GetSize());

    HWND pane = CreatePane(&loaded);
    ClickTab(Tabs(), 1);
    HWND list = GetDlgItem(pane, IDC_ITEM_CODELIST);
    EXPECT_EQ(10000, static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)));
    SendMessageW(list, LB_SETCURSEL, 9999, 0);
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_ITEM_CODELIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(L"QV-109999", ItemTextOf(pane, IDC_ITEM_CODE));
    EXPECT_EQ(10000u, m_pane->Codes().size());
    m_pane->SetRecord(nullptr);
}

TEST_F(CItemInfoTest, ALongCommentWithoutLineBreaksArrivesWholeToo)
{
    std::wstring paragraph;
    for (int word = 0; paragraph.size() < 24 * 1024; ++word)
        paragraph += L"word" + std::to_wstring(word) + L' ';
    m_record->RegInfo.Comment = paragraph;
    HWND pane = CreatePane(m_record.get());
    ClickTab(Tabs(), 1);
    EXPECT_TRUE(PumpUntil([&] { return m_pane->IsCommentComplete(); }));
    EXPECT_TRUE(ItemTextOf(pane, IDC_ITEM_COMMENT) == paragraph);
    // Selecting another record meanwhile stops the parts of the first.
    m_pane->SetRecord(nullptr);
    m_pane->SetRecord(m_record.get());
    auto other = MakeRecord(L"0A1B2C3D-0000-4000-8000-00000000A004", L"Other", L"Acme", 5.0f, 2, 1);
    other->RegInfo.Comment = L"Short.";
    m_pane->SetRecord(other.get());
    EXPECT_TRUE(PumpUntil([&] { return m_pane->IsCommentComplete(); }));
    EXPECT_EQ(L"Short.", ItemTextOf(pane, IDC_ITEM_COMMENT));
}
