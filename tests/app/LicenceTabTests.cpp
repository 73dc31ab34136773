// The details pane's "Licence" tab: the purchase and expiry dates in view, edit and add modes,
// picked with the platform's date control and written to the record's file only when set.

#include "DetailsTestSupport.h"

#include <commctrl.h>

#include "app/AddProductDlg.h"
#include "app/Finder.h"
#include "app/ItemInfoDlg.h"
#include "model/LicenceDates.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/SoftwareFiles.h"

namespace {
const wchar_t RecordId[] = L"0A1B2C3D-0000-4000-8000-00000000B001";

std::wstring DaysFromToday(int days)
{
    return FormatIsoDate(DateOfDayNumber(DayNumber(LocalToday()) + days));
}

void PickDate(HWND pane, int id, const std::wstring& iso)
{
    HWND picker = GetDlgItem(pane, id);
    CCalendarDate date{};
    SYSTEMTIME time{};
    if (!ParseIsoDate(iso, date)) {
        // The picker's check box cleared, as a click on it does.
        GetLocalTime(&time);
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&time));
        return;
    }
    time.wYear = static_cast<WORD>(date.Year);
    time.wMonth = static_cast<WORD>(date.Month);
    time.wDay = static_cast<WORD>(date.Day);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

std::wstring PickerDate(HWND pane, int id)
{
    SYSTEMTIME time{};
    if (SendMessageW(GetDlgItem(pane, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return L"";
    return FormatIsoDate(CCalendarDate{time.wYear, time.wMonth, time.wDay});
}

// How many pixels of a rectangle of the pane's page are of this colour.
int PixelsOf(HWND tabs, HWND pane, RECT rect, COLORREF colour)
{
    MapWindowPoints(pane, tabs, reinterpret_cast<POINT*>(&rect), 2);
    int count = 0;
    for (COLORREF pixel : CapturePixels(tabs, rect))
        count += pixel == colour;
    return count;
}

class CLicenceTabTest : public CDetailsTest {
protected:
    void SetUp() override
    {
        CDetailsTest::SetUp();
        m_record = MakeRecord(RecordId, L"Shield Suite", L"Acme", 29.9f, 0, 2);
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
        ShowWindow(pane, SW_SHOW);
        return pane;
    }
    HWND Pane() const { return m_pane->GetSafeHwnd(); }
    HWND Tabs() const { return GetDlgItem(Pane(), IDC_ITEM_TABS); }
    std::string FileText() const { return ReadFileBytes(DataFolder() + RecordId); }

    CHostWindow m_host;
    std::unique_ptr<CSoftware> m_record;
    std::unique_ptr<CItemInfoDlg> m_pane;
    int m_listRepaints = 0;
};
}  // namespace

TEST_F(CLicenceTabTest, AThirdTabFollowsTheTwoAndLeavesThemAsTheyWere)
{
    HWND pane = CreatePane(m_record.get());
    ASSERT_EQ(3, TabCtrl_GetItemCount(Tabs()));
    wchar_t text[32]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 32;
    TabCtrl_GetItem(Tabs(), 2, &item);
    EXPECT_STREQ(L"Licence", text);
    // The pickers belong to the third tab only.
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_PURCHASE_DATE));
    ClickTab(Tabs(), 1);
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_EXPIRY_DATE));
    Click(pane, IDC_ITEM_MODIFY);
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_PURCHASE_DATE));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_USERNAME));
    ClickTab(Tabs(), 0);
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_NAME));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_EXPIRY_DATE));
}

TEST_F(CLicenceTabTest, ViewShowsTheDatesAndTheDaysLeftInRedOncePassed)
{
    m_record->ExtraInfo.PurchaseDate = L"2021-03-04";
    m_record->ExtraInfo.ExpiryDate = DaysFromToday(12);
    HWND pane = CreatePane(m_record.get());
    ClickTab(Tabs(), CItemInfoDlg::LicenceTab);
    UpdateWindow(Tabs());
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_PURCHASE_DATE));
    EXPECT_FALSE(IsShown(pane, IDC_ITEM_EXPIRY_DATE));
    const RECT expiry = m_pane->LicenceValueRect(1);
    const RECT daysLeft = m_pane->LicenceValueRect(2);
    EXPECT_EQ(m_pane->LicenceValueRect(0).bottom + 15, expiry.top);
    EXPECT_GT(daysLeft.top, expiry.bottom - 1);
    EXPECT_GT(PixelsOf(Tabs(), pane, expiry, RGB(0, 0, 0)), 0);
    EXPECT_EQ(0, PixelsOf(Tabs(), pane, daysLeft, RGB(200, 0, 0)));

    m_record->ExtraInfo.ExpiryDate = DaysFromToday(-3);
    m_pane->SetRecord(m_record.get());
    UpdateWindow(Tabs());
    EXPECT_GT(PixelsOf(Tabs(), pane, expiry, RGB(200, 0, 0)), 0);
    EXPECT_GT(PixelsOf(Tabs(), pane, daysLeft, RGB(200, 0, 0)), 0);
}

TEST_F(CLicenceTabTest, ApplyStoresPickedDatesAndAnEmptyPickerClearsOne)
{
    m_record->ExtraInfo.ExpiryDate = L"2030-01-31";
    HWND pane = CreatePane(m_record.get());
    Click(pane, IDC_ITEM_MODIFY);
    ClickTab(Tabs(), CItemInfoDlg::LicenceTab);
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_PURCHASE_DATE));
    EXPECT_TRUE(IsShown(pane, IDC_ITEM_EXPIRY_DATE));
    // The editors start from the record: no purchase date, the stored expiry.
    EXPECT_EQ(L"", PickerDate(pane, IDC_ITEM_PURCHASE_DATE));
    EXPECT_EQ(L"2030-01-31", PickerDate(pane, IDC_ITEM_EXPIRY_DATE));

    PickDate(pane, IDC_ITEM_PURCHASE_DATE, L"2024-02-29");
    PickDate(pane, IDC_ITEM_EXPIRY_DATE, L"2031-06-30");
    Click(pane, IDC_ITEM_APPLY);
    EXPECT_EQ(ItemInfoView, m_pane->Mode());
    EXPECT_EQ(L"2024-02-29", m_record->ExtraInfo.PurchaseDate);
    EXPECT_EQ(L"2031-06-30", m_record->ExtraInfo.ExpiryDate);
    const std::string written = FileText();
    const std::string tail = "</InstallerInfo>\n<ExtraInfo>\n<PurchaseDate>\n2024-02-29</PurchaseDate>\n"
                             "<ExpiryDate>\n2031-06-30</ExpiryDate>\n</ExtraInfo>\n</Software>\n";
    ASSERT_GE(written.size(), tail.size());
    EXPECT_EQ(tail, written.substr(written.size() - tail.size()));
    // Not a grouping key: the list is only repainted.
    EXPECT_EQ(1, m_listRepaints);

    // Emptied again, the dates leave the file, which is then as a record without them is written.
    Click(pane, IDC_ITEM_MODIFY);
    PickDate(pane, IDC_ITEM_PURCHASE_DATE, L"");
    PickDate(pane, IDC_ITEM_EXPIRY_DATE, L"");
    Click(pane, IDC_ITEM_APPLY);
    EXPECT_EQ(L"", m_record->ExtraInfo.PurchaseDate);
    EXPECT_EQ(L"", m_record->ExtraInfo.ExpiryDate);
    EXPECT_EQ(std::string::npos, FileText().find("ExtraInfo"));
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, DataFolder() + RecordId));
    EXPECT_TRUE(loaded.ExtraInfo.IsEmpty());
}

TEST_F(CLicenceTabTest, CancelLeavesTheDatesAndTheOtherFieldsKeepTheirs)
{
    m_record->ExtraInfo.PurchaseDate = L"2022-12-01";
    // The installer's facts come in pairs: a digest is kept only with its size.
    m_record->ExtraInfo.InstallerSize = L"1234";
    m_record->ExtraInfo.InstallerSha256 = std::wstring(64, L'a');
    HWND pane = CreatePane(m_record.get());
    Click(pane, IDC_ITEM_MODIFY);
    ClickTab(Tabs(), CItemInfoDlg::LicenceTab);
    PickDate(pane, IDC_ITEM_PURCHASE_DATE, L"2023-01-01");
    Click(pane, IDC_ITEM_CANCEL);
    EXPECT_EQ(L"2022-12-01", m_record->ExtraInfo.PurchaseDate);
    Click(pane, IDC_ITEM_MODIFY);
    EXPECT_EQ(L"2022-12-01", PickerDate(pane, IDC_ITEM_PURCHASE_DATE));
    Click(pane, IDC_ITEM_APPLY);
    // Fields of the container the tab does not show are kept as they were.
    EXPECT_EQ(std::wstring(64, L'a'), m_record->ExtraInfo.InstallerSha256);
    EXPECT_NE(std::string::npos, FileText().find("<InstallerSha256>\n" + std::string(64, 'a')));
}

TEST_F(CLicenceTabTest, TheAddDialogTakesTheDatesOnItsThirdTab)
{
    CSoftware record;
    CModalScript script;
    script.Then(L"Add Software", [](HWND dialog) {
        HWND pane = FindWindowExW(dialog, nullptr, nullptr, nullptr);
        while (pane && !GetDlgItem(pane, IDC_ITEM_TABS))
            pane = FindWindowExW(dialog, pane, nullptr, nullptr);
        ASSERT_NE(nullptr, pane);
        TypeText(pane, IDC_ITEM_NAME, L"Renewable");
        ClickTab(GetDlgItem(pane, IDC_ITEM_TABS), 2);
        // The dialog keeps the height of the first page for the third.
        RECT box{};
        GetWindowRect(dialog, &box);
        EXPECT_EQ(CAddProductDlg::BasicPageHeight, box.bottom - box.top);
        EXPECT_TRUE(IsShown(pane, IDC_ITEM_EXPIRY_DATE));
        EXPECT_EQ(L"", PickerDate(pane, IDC_ITEM_EXPIRY_DATE));
        PickDate(pane, IDC_ITEM_EXPIRY_DATE, L"2028-08-08");
        Click(dialog, IDOK);
    });
    CAddProductDlg dialog(&record, m_host.Handle());
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(L"Renewable", record.BasicInfo.Name);
    EXPECT_EQ(L"", record.ExtraInfo.PurchaseDate);
    EXPECT_EQ(L"2028-08-08", record.ExtraInfo.ExpiryDate);
}
