#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/Catalogue.h"
#include "model/TextRules.h"
#include "model/Vocabulary.h"
#include "tests/model/ModelTestSupport.h"

namespace {
std::vector<std::wstring> Names(const CStringArray& names)
{
    return names.Items();
}

std::vector<std::wstring> RecordNames(const CSoftwareArray& list)
{
    std::vector<std::wstring> names;
    for (const CSoftware* record : list)
        names.push_back(record->BasicInfo.Name);
    return names;
}

// The process-wide catalogue, emptied and owning for each test.
class CatalogueTest : public testing::Test {
protected:
    void SetUp() override
    {
        GroupList.RemoveAll();
        GroupNames.RemoveAll();
        SoftwareList.IsOwner = 1;
        SoftwareList.RemoveAll();
        SoftwareList.SortKey = SortNone;
        CurrentClassifyMode = ClassifyByCategory;
        SortDescending = 0;
    }
    void TearDown() override
    {
        GroupList.RemoveAll();
        GroupNames.RemoveAll();
        SoftwareList.RemoveAll();
    }

    static CSoftware* Add(const std::wstring& name, const std::wstring& company = L"Unknown", int category = 0,
                          int type = 0)
    {
        auto* record = new CSoftware;
        record->BasicInfo.Name = name;
        record->BasicInfo.Company = company;
        record->BasicInfo.Category = category;
        record->BasicInfo.Type = type;
        SoftwareList.Add(record);
        return record;
    }

    static bool Classify(int mode) { return ClassifyCatalogue(SoftwareList, mode, GroupList, GroupNames); }

    static std::vector<std::wstring> Group(int index) { return RecordNames(*GroupList[index]); }
};

void SetPrice(CSoftware* record, float value, int currency)
{
    record->BasicInfo.Price.Value = value;
    record->BasicInfo.Price.Currency = currency;
}
}  // namespace

TEST_F(CatalogueTest, EmptyCatalogueHasNoGroups)
{
    GroupNames.Add(L"stale");
    GroupList.Add(new CSoftwareArray);
    EXPECT_TRUE(Classify(ClassifyByCompany));
    EXPECT_TRUE(GroupList.IsEmpty());
    EXPECT_TRUE(GroupNames.IsEmpty());
}

TEST_F(CatalogueTest, ModeOutsideTheTableChangesNothing)
{
    Add(L"one", L"Acme");
    ASSERT_TRUE(Classify(ClassifyByCompany));
    CSoftwareArray* group = GroupList[0];
    EXPECT_FALSE(Classify(3));
    EXPECT_FALSE(Classify(-1));
    ASSERT_EQ(GroupList.GetSize(), 1);
    EXPECT_EQ(GroupList[0], group);
    EXPECT_EQ(Names(GroupNames), std::vector<std::wstring>{L"Acme"});
}

TEST_F(CatalogueTest, OneCategoryGivesOneGroupInCatalogueOrder)
{
    for (const wchar_t* name : {L"c", L"a", L"b"})
        Add(name, L"Unknown", 7);
    ASSERT_TRUE(Classify(ClassifyByCategory));
    EXPECT_EQ(Names(GroupNames), std::vector<std::wstring>{L"Internet"});
    ASSERT_EQ(GroupList.GetSize(), 1);
    EXPECT_EQ(Group(0), (std::vector<std::wstring>{L"c", L"a", L"b"}));
    EXPECT_EQ(GroupList[0]->IsOwner, 0);
    EXPECT_EQ(GroupList[0]->SortKey, SortNone);
}

TEST_F(CatalogueTest, CategoryGroupsAreOrderedByNameNotValue)
{
    Add(L"p", L"", 13);
    Add(L"o", L"", 18);
    Add(L"t", L"", 12);
    Add(L"a", L"", 0);
    Add(L"o2", L"", 18);
    ASSERT_TRUE(Classify(ClassifyByCategory));
    EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"Antivirus", L"Office Tools", L"Other", L"Programming"}));
    EXPECT_EQ(Group(2), (std::vector<std::wstring>{L"o", L"o2"}));
}

TEST_F(CatalogueTest, TypeGroupsComeCommercialFreeShare)
{
    Add(L"s", L"", 0, 1);
    Add(L"f", L"", 0, 0);
    Add(L"c", L"", 0, 2);
    Add(L"f2", L"", 0, 0);
    ASSERT_TRUE(Classify(ClassifyByType));
    EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"Commercial-ware", L"Free-ware", L"Share-ware"}));
    EXPECT_EQ(Group(1), (std::vector<std::wstring>{L"f", L"f2"}));
}

TEST_F(CatalogueTest, CompaniesAlikeButForCaseFormOneGroupNamedByTheFirst)
{
    Add(L"1", L"Beta");
    Add(L"2", L"Acme");
    Add(L"3", L"ACME");
    Add(L"4", L"");
    Add(L"5", L"acme");
    Add(L"6", L"beta");
    ASSERT_TRUE(Classify(ClassifyByCompany));
    EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"", L"Acme", L"Beta"}));
    EXPECT_EQ(Group(0), std::vector<std::wstring>{L"4"});
    EXPECT_EQ(Group(1), (std::vector<std::wstring>{L"2", L"3", L"5"}));
    EXPECT_EQ(Group(2), (std::vector<std::wstring>{L"1", L"6"}));
}

// Letters beyond a-z are not folded by the look-up, but the platform upper-cases them when
// ordering: the two spellings form two groups that the order cannot tell apart.
TEST_F(CatalogueTest, AccentedCompaniesDifferingInCaseStayApartInFirstMetOrder)
{
    Add(L"1", L"\u00E9lan");
    Add(L"2", L"Zeta");
    Add(L"3", L"\u00C9LAN");
    Add(L"4", L"\u00C9lan");
    Add(L"5", L"\u00E9LAN");
    ASSERT_TRUE(Classify(ClassifyByCompany));
    ASSERT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"Zeta", L"\u00E9lan", L"\u00C9LAN"}));
    EXPECT_EQ(Group(1), (std::vector<std::wstring>{L"1", L"5"}));
    EXPECT_EQ(Group(2), (std::vector<std::wstring>{L"3", L"4"}));
}

// Values outside the tables are never produced; if one slips in, it must not read past a table
// or form groups that no look-up reaches.
TEST_F(CatalogueTest, ValuesOutsideTheTablesShareOneUnnamedGroup)
{
    Add(L"bad", L"", 25, 7);
    Add(L"ok", L"", 3, 1);
    Add(L"worse", L"", -4, -1);
    ASSERT_TRUE(Classify(ClassifyByCategory));
    EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"", L"Compression Tools"}));
    EXPECT_EQ(Group(0), (std::vector<std::wstring>{L"bad", L"worse"}));
    ASSERT_TRUE(Classify(ClassifyByType));
    EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"", L"Share-ware"}));
    EXPECT_EQ(Group(0), (std::vector<std::wstring>{L"bad", L"worse"}));
}

TEST_F(CatalogueTest, EveryRecordLandsInExactlyOneGroup)
{
    const wchar_t* companies[] = {L"b", L"A", L"a", L"c", L"B", L"", L"C", L"d"};
    for (int i = 0; i < 40; ++i)
        Add(std::to_wstring(i), companies[(i * 7) % 8], (i * 5) % CategoryCount, i % 3);
    for (int mode = 0; mode < ClassifyModeCount; ++mode) {
        ASSERT_TRUE(Classify(mode));
        ASSERT_EQ(GroupList.GetSize(), GroupNames.GetSize());
        int total = 0;
        for (int g = 0; g < GroupList.GetSize(); ++g) {
            const CSoftwareArray& group = *GroupList[g];
            EXPECT_FALSE(group.IsEmpty());
            total += group.GetSize();
            for (int k = 0; k + 1 < group.GetSize(); ++k)
                EXPECT_LT(SoftwareList.Find(group[k]), SoftwareList.Find(group[k + 1]));
            if (g > 0) {
                EXPECT_FALSE(TextGreater(GroupNames[g - 1], GroupNames[g]));
            }
        }
        EXPECT_EQ(total, SoftwareList.GetSize());
    }
}

TEST(CatalogueSortTests, PriceAscendingPutsFreeFirstThenCurrencyThenAmount)
{
    CRecordPool pool;
    CSoftware* usdFree = pool.Named(L"0 USD");
    CSoftware* eur = pool.Named(L"10 EUR");
    CSoftware* usd = pool.Named(L"5 USD");
    CSoftware* audFree = pool.Named(L"0 AUD");
    SetPrice(usdFree, 0, 18);
    SetPrice(eur, 10, 6);
    SetPrice(usd, 5, 18);
    SetPrice(audFree, 0, 0);
    CSoftwareArray list;
    Fill(list, {usdFree, eur, usd, audFree});
    list.SortKey = SortByPrice;
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{audFree, usdFree, eur, usd}));
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{usd, eur, usdFree, audFree}));
}

TEST(CatalogueSortTests, EqualPricesKeepTheirOrderBothWays)
{
    CRecordPool pool;
    std::vector<CSoftware*> records;
    for (int i = 0; i < 6; ++i) {
        records.push_back(pool.Named(std::to_wstring(i)));
        SetPrice(records.back(), i % 2 ? 9.5f : 0.0f, 6);
    }
    records[4]->BasicInfo.Price.Value = -0.0f;  // free, like 0
    CSoftwareArray list;
    Fill(list, records);
    list.SortKey = SortByPrice;
    SortSoftwareList(list, true);
    EXPECT_EQ(RecordNames(list), (std::vector<std::wstring>{L"0", L"2", L"4", L"1", L"3", L"5"}));
    SortSoftwareList(list, false);
    EXPECT_EQ(RecordNames(list), (std::vector<std::wstring>{L"1", L"3", L"5", L"0", L"2", L"4"}));
}

// Amounts the loader refuses still sort sensibly: large ones by amount, the rest as the passes do.
TEST(CatalogueSortTests, UnstorableAmountsNeverUpsetTheSort)
{
    const float inf = std::numeric_limits<float>::infinity();
    CRecordPool pool;
    std::vector<CSoftware*> records;
    const float values[] = {2e6f, 5, inf, 1e6f, 0};
    for (float value : values) {
        records.push_back(pool.New());
        SetPrice(records.back(), value, 18);
    }
    CSoftwareArray list;
    Fill(list, records);
    list.SortKey = SortByPrice;
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{records[4], records[1], records[3], records[0], records[2]}));

    // 5 AUD > 0 USD > -1 USD > 5 AUD: no order exists, and one pass of two settles on the second.
    CSoftware* aud = pool.New();
    CSoftware* free = pool.New();
    CSoftware* negative = pool.New();
    SetPrice(aud, 5, 0);
    SetPrice(free, 0, 18);
    SetPrice(negative, -1, 18);
    Fill(list, {aud, negative, free});
    SortSoftwareList(list, true);
    // Pass 1: (5 AUD, -1 USD) stay; (-1 USD, 0 USD) stay. No pass ever swaps.
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{aud, negative, free}));
    Fill(list, {free, negative, aud});
    SortSoftwareList(list, true);
    // Pass 1: 0 USD > -1 USD swaps, then 0 USD < 5 AUD stays; pass 2: -1 USD > 0 USD? no; so it ends.
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{negative, free, aud}));

    CSoftware* nan = pool.New();
    SetPrice(nan, std::numeric_limits<float>::quiet_NaN(), 18);
    Fill(list, {free, nan, aud});
    SortSoftwareList(list, false);
    // Descending swaps on PriceLess: (0 USD, NaN USD) no; (NaN USD, 5 AUD) no.
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{free, nan, aud}));
}

TEST(CatalogueSortTests, AscendingNamesKeepCaseVariantsInPlace)
{
    CRecordPool pool;
    CSoftware* lower = pool.Named(L"alpha");
    CSoftware* upper = pool.Named(L"Alpha");
    CSoftware* beta = pool.Named(L"beta");
    CSoftwareArray list;
    list.SortKey = SortByName;
    Fill(list, {beta, lower, upper});
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{lower, upper, beta}));
    Fill(list, {upper, beta, lower});
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{upper, lower, beta}));
}

TEST(CatalogueSortTests, DescendingSwapsCaseVariantsEachTimeTheyMeet)
{
    CRecordPool pool;
    CSoftware* b = pool.Named(L"b");
    CSoftware* B = pool.Named(L"B");
    CSoftware* a = pool.Named(L"a");
    CSoftware* b2 = pool.Named(L"b");
    CSoftwareArray list;
    list.SortKey = SortByName;

    Fill(list, {a, B});
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{B, a}));

    // One pass swaps b and B once.
    Fill(list, {b, B});
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{B, b}));

    // Two passes swap them twice, back where they were.
    Fill(list, {b, B, a});
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{b, B, a}));

    // Pass 1: a<b swaps, a<B swaps, a<b swaps: b B b a. Pass 2: b,B swap; b,b stay: B b b a.
    // Pass 3: B,b swap; B,b swap: b b B a. Identical texts never cross.
    Fill(list, {a, b, B, b2});
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{b, b2, B, a}));
}

TEST(CatalogueSortTests, UserNameAndEmailKeysSortByTheirOwnText)
{
    CRecordPool pool;
    CSoftware* first = pool.Named(L"z");
    CSoftware* second = pool.Named(L"y");
    first->RegInfo.UserName = L"Mia";
    second->RegInfo.UserName = L"ada";
    first->RegInfo.UserEmail = L"a@x";
    second->RegInfo.UserEmail = L"b@x";
    CSoftwareArray list;
    Fill(list, {first, second});
    list.SortKey = SortByUserName;
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{second, first}));
    list.SortKey = SortByUserEmail;
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{first, second}));
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{second, first}));
}

TEST(CatalogueSortTests, NoKeyOrOneRecordLeavesTheListAlone)
{
    CRecordPool pool;
    CSoftware* b = pool.Named(L"b");
    CSoftware* a = pool.Named(L"a");
    CSoftwareArray list;
    Fill(list, {b, a});
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{b, a}));
    list.SortKey = 9;
    SortSoftwareList(list, false);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{b, a}));
    list.SortKey = SortByName;
    Fill(list, {b});
    SortSoftwareList(list, true);
    EXPECT_EQ(Contents(list), std::vector<CSoftware*>{b});
}

TEST_F(CatalogueTest, InsertingAppendsLastAndRegroupsByTheCurrentMode)
{
    Add(L"1", L"Beta");
    Add(L"2", L"acme");
    Add(L"3", L"Beta");
    SoftwareList.SortKey = SortByName;
    CurrentClassifyMode = ClassifyByCompany;
    auto* added = new CSoftware;
    added->BasicInfo.Name = L"0";
    added->BasicInfo.Company = L"BETA";
    EXPECT_EQ(InsertSoftware(added), 4);
    EXPECT_EQ(SoftwareList[3], added);
    EXPECT_EQ(RecordNames(SoftwareList), (std::vector<std::wstring>{L"1", L"2", L"3", L"0"}));
    EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"acme", L"Beta"}));
    EXPECT_EQ(Group(1), (std::vector<std::wstring>{L"1", L"3", L"0"}));

    EXPECT_EQ(InsertSoftware(added), 0);
    EXPECT_EQ(InsertSoftware(nullptr), 0);
    EXPECT_EQ(SoftwareList.GetSize(), 4);
}

TEST_F(CatalogueTest, RemovingTakesTheRecordsAtThePositionsInAnyOrder)
{
    CIconRecorder recorder;
    for (bool reversed : {false, true}) {
        SoftwareList.RemoveAll();
        CIconRecorder::Destroyed().clear();
        for (int i = 0; i < 7; ++i) {
            Add(std::to_wstring(i), i % 2 ? L"Odd" : L"Even")->InstallerInfo.Icon = FakeIcon(static_cast<uintptr_t>(i));
        }
        CurrentClassifyMode = ClassifyByCompany;
        const int ascending[] = {2, 5};
        const int descending[] = {5, 2};
        EXPECT_TRUE(RemoveSoftware(reversed ? descending : ascending, 2));
        EXPECT_EQ(RecordNames(SoftwareList), (std::vector<std::wstring>{L"0", L"1", L"3", L"4", L"6"}));
        EXPECT_EQ(CIconRecorder::Destroyed().size(), 2u);
        EXPECT_EQ(Names(GroupNames), (std::vector<std::wstring>{L"Even", L"Odd"}));
        EXPECT_EQ(Group(0), (std::vector<std::wstring>{L"0", L"4", L"6"}));
        EXPECT_EQ(Group(1), (std::vector<std::wstring>{L"1", L"3"}));
    }
}

// A repeated position would otherwise take the neighbour of the record already gone.
TEST_F(CatalogueTest, RemovingIgnoresRepeatedAndOutsidePositions)
{
    for (int i = 0; i < 5; ++i)
        Add(std::to_wstring(i));
    const int positions[] = {3, 1, 3, -1, 5, 1, 4};
    EXPECT_TRUE(RemoveSoftware(positions, 7));
    EXPECT_EQ(RecordNames(SoftwareList), (std::vector<std::wstring>{L"0", L"2"}));
    EXPECT_TRUE(RemoveSoftware(nullptr, 3));
    EXPECT_TRUE(RemoveSoftware(positions, 0));
    EXPECT_EQ(RecordNames(SoftwareList), (std::vector<std::wstring>{L"0", L"2"}));
    ASSERT_EQ(GroupList.GetSize(), 1);
    EXPECT_EQ(Group(0), (std::vector<std::wstring>{L"0", L"2"}));
    const int all[] = {0, 1};
    EXPECT_TRUE(RemoveSoftware(all, 2));
    EXPECT_TRUE(SoftwareList.IsEmpty());
    EXPECT_TRUE(GroupList.IsEmpty());
}

TEST_F(CatalogueTest, RemovingUnderABadModeLeavesNoGroupHoldingADeletedRecord)
{
    for (int i = 0; i < 4; ++i)
        Add(std::to_wstring(i), L"", i % 2 ? 7 : 3);
    ASSERT_TRUE(Classify(ClassifyByCategory));
    CurrentClassifyMode = 5;
    const int positions[] = {1, 2};
    EXPECT_FALSE(RemoveSoftware(positions, 2));
    EXPECT_EQ(RecordNames(SoftwareList), (std::vector<std::wstring>{L"0", L"3"}));
    ASSERT_EQ(GroupList.GetSize(), 2);
    EXPECT_EQ(Group(0), std::vector<std::wstring>{L"0"});
    EXPECT_EQ(Group(1), std::vector<std::wstring>{L"3"});
}
