// The fast grouping and sorting against the literal passes, on random catalogues built to hit
// their corners: equal keys, keys differing only in case (a-z and beyond), prefixes, free and
// priced amounts in several currencies, and amounts the loader would refuse.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/Vocabulary.h"
#include "tests/model/LiteralCatalogue.h"
#include "tests/model/ModelTestSupport.h"

namespace {
// Letters whose case forms differ in a-z, letters that only the platform upper-cases, letters it
// leaves alone, and characters between the capitals and the small letters.
const std::wstring CaseLetters = L"aAbBzZ\u00E9\u00C9\u0436\u0416";
const std::wstring OtherLetters = L"\u00DF\u0131I_ 1";

std::wstring RandomText(std::mt19937& random, const std::wstring& alphabet, int maxLength)
{
    const int length = std::uniform_int_distribution<int>(0, maxLength)(random);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::wstring text;
    for (int i = 0; i < length; ++i)
        text += alphabet[pick(random)];
    return text;
}

// Texts drawn from a small stock, so that identical texts, case variants and prefixes recur.
std::vector<std::wstring> TextStock(std::mt19937& random, int size, const std::wstring& alphabet, int maxLength)
{
    std::vector<std::wstring> stock;
    for (int i = 0; i < size; ++i)
        stock.push_back(RandomText(random, alphabet, maxLength));
    return stock;
}

const std::wstring& Pick(std::mt19937& random, const std::vector<std::wstring>& stock)
{
    return stock[std::uniform_int_distribution<size_t>(0, stock.size() - 1)(random)];
}

float RandomAmount(std::mt19937& random, bool unstorable)
{
    static const float storable[] = {0.0f, -0.0f, 0.0f, 0.5f, 5.0f, 10.0f, 10.0f, 19.99f, 999999.94f};
    static const float large[] = {1e6f, 2.5e7f, 3e38f, std::numeric_limits<float>::infinity()};
    static const float broken[] = {-1.0f, -0.01f, -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN()};
    const int roll = std::uniform_int_distribution<int>(0, 9)(random);
    if (roll == 0)
        return large[std::uniform_int_distribution<int>(0, 3)(random)];
    if (unstorable && roll == 1)
        return broken[std::uniform_int_distribution<int>(0, 3)(random)];
    return storable[std::uniform_int_distribution<int>(0, 8)(random)];
}

void Randomize(std::mt19937& random, CSoftware& record, const std::vector<std::wstring>& stock, bool unstorable)
{
    static const int currencies[] = {0, 6, 6, 18, 18, 3};
    record.BasicInfo.Name = Pick(random, stock);
    record.RegInfo.UserName = Pick(random, stock);
    record.RegInfo.UserEmail = Pick(random, stock);
    record.BasicInfo.Company = Pick(random, stock);
    record.BasicInfo.Price.Value = RandomAmount(random, unstorable);
    record.BasicInfo.Price.Currency = currencies[std::uniform_int_distribution<int>(0, 5)(random)];
    record.BasicInfo.Category = std::uniform_int_distribution<int>(0, CategoryCount - 1)(random);
    record.BasicInfo.Type = std::uniform_int_distribution<int>(0, TypeCount - 1)(random);
}

std::vector<CSoftware*> RandomRecords(std::mt19937& random, CRecordPool& pool, int count,
                                      const std::vector<std::wstring>& stock, bool unstorable)
{
    std::vector<CSoftware*> records;
    for (int i = 0; i < count; ++i) {
        records.push_back(pool.New());
        Randomize(random, *records.back(), stock, unstorable);
    }
    return records;
}

void ExpectSameSort(const std::vector<CSoftware*>& records, int key, bool ascending, const char* what)
{
    CSoftwareArray fast, literal;
    Fill(fast, records);
    Fill(literal, records);
    fast.SortKey = literal.SortKey = key;
    SortSoftwareList(fast, ascending);
    LiteralSortSoftwareList(literal, ascending);
    ASSERT_EQ(Contents(fast), Contents(literal))
        << what << ": key " << key << (ascending ? " ascending" : " descending") << ", " << records.size() << " records";
}

void ExpectSameSorts(std::mt19937& random, int count, int trials, const std::wstring& alphabet, int stockSize,
                     int maxLength, bool unstorable)
{
    for (int trial = 0; trial < trials; ++trial) {
        CRecordPool pool;
        const std::vector<std::wstring> stock = TextStock(random, stockSize, alphabet, maxLength);
        const std::vector<CSoftware*> records = RandomRecords(random, pool, count, stock, unstorable);
        for (int key = SortByName; key <= SortByUserEmail; ++key) {
            for (bool ascending : {true, false}) {
                ExpectSameSort(records, key, ascending, "random");
                if (testing::Test::HasFatalFailure())
                    return;
            }
        }
    }
}
}  // namespace

TEST(OracleTests, SmallListsSortAsTheLiteralPasses)
{
    std::mt19937 random(20260101);
    for (int count = 0; count <= 12; ++count) {
        ExpectSameSorts(random, count, 60, CaseLetters.substr(0, 4), 5, 2, false);
        ExpectSameSorts(random, count, 30, CaseLetters + OtherLetters, 8, 3, false);
        if (HasFatalFailure())
            return;
    }
}

TEST(OracleTests, MediumListsSortAsTheLiteralPasses)
{
    std::mt19937 random(777);
    for (int count : {40, 97, 200}) {
        ExpectSameSorts(random, count, 12, CaseLetters.substr(0, 4), 6, 2, false);
        ExpectSameSorts(random, count, 8, CaseLetters + OtherLetters, 30, 4, false);
        ExpectSameSorts(random, count, 4, CaseLetters, 3, 1, false);
        if (HasFatalFailure())
            return;
    }
    ExpectSameSorts(random, 900, 2, CaseLetters + OtherLetters, 120, 3, false);
}

// Lists whose case classes each hold one spelling, the case every plain stable sort covers.
TEST(OracleTests, ListsWithoutCaseVariantsSortAsTheLiteralPasses)
{
    std::mt19937 random(99);
    for (int count : {2, 5, 30, 300}) {
        for (int trial = 0; trial < 6; ++trial) {
            std::vector<std::wstring> stock = TextStock(random, 20, L"abc\u00E9 ", 3);
            CRecordPool pool;
            const std::vector<CSoftware*> records = RandomRecords(random, pool, count, stock, false);
            for (bool ascending : {true, false})
                ExpectSameSort(records, SortByName, ascending, "no case variants");
            if (HasFatalFailure())
                return;
        }
    }
}

// Only repeated texts and case variants: the hardest case for the descending rule.
TEST(OracleTests, ManyCaseVariantsOfFewNamesSortAsTheLiteralPasses)
{
    std::mt19937 random(4242);
    for (int count : {3, 8, 25, 150, 600}) {
        for (int trial = 0; trial < 10; ++trial) {
            CRecordPool pool;
            const std::vector<std::wstring> stock = {L"ab", L"AB", L"Ab", L"aB", L"\u00E9", L"\u00C9", L"b", L"B", L"ab"};
            std::vector<CSoftware*> records = RandomRecords(random, pool, count, stock, false);
            // Runs of one class in front, behind or throughout.
            if (trial % 3 == 1)
                std::sort(records.begin(), records.end(), [](const CSoftware* a, const CSoftware* b) {
                    return TextGreater(b->BasicInfo.Name, a->BasicInfo.Name);
                });
            if (trial % 3 == 2)
                std::reverse(records.begin(), records.end());
            ExpectSameSort(records, SortByName, false, "case variants");
            ExpectSameSort(records, SortByName, true, "case variants");
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(OracleTests, PricesTheLoaderRefusesSortAsTheLiteralPasses)
{
    std::mt19937 random(31337);
    for (int count : {2, 3, 4, 6, 9, 16, 50, 300}) {
        for (int trial = 0; trial < 40; ++trial) {
            CRecordPool pool;
            const std::vector<CSoftware*> records = RandomRecords(random, pool, count, {L"x"}, true);
            for (bool ascending : {true, false})
                ExpectSameSort(records, SortByPrice, ascending, "unstorable prices");
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(OracleTests, TextListsSortAsTheLiteralPasses)
{
    std::mt19937 random(5);
    for (int count : {0, 1, 2, 3, 7, 20, 150, 700}) {
        for (int trial = 0; trial < 10; ++trial) {
            const std::vector<std::wstring> stock = TextStock(random, 1 + count / 3, CaseLetters + OtherLetters, 3);
            CStringArray list;
            for (int i = 0; i < count; ++i)
                list.Add(Pick(random, stock));
            for (bool ascending : {true, false}) {
                CStringArray fast = list, literal = list;
                SortTextList(fast, ascending);
                LiteralSortTextList(literal, ascending);
                ASSERT_EQ(fast.Items(), literal.Items()) << count << (ascending ? " ascending" : " descending");
            }
        }
    }
}

TEST(OracleTests, GroupsAreThoseOfTheLiteralClassification)
{
    std::mt19937 random(8);
    for (int count : {0, 1, 2, 5, 13, 60, 400}) {
        for (int trial = 0; trial < 15; ++trial) {
            CRecordPool pool;
            const std::vector<std::wstring> stock = TextStock(random, 2 + count / 4, CaseLetters + OtherLetters, 3);
            CSoftwareArray catalogue;
            Fill(catalogue, RandomRecords(random, pool, count, stock, false));
            for (int mode = 0; mode < ClassifyModeCount; ++mode) {
                CSoftwareArrayArray fastGroups, literalGroups;
                CStringArray fastNames, literalNames;
                ASSERT_TRUE(ClassifyCatalogue(catalogue, mode, fastGroups, fastNames));
                ASSERT_TRUE(LiteralClassifyCatalogue(catalogue, mode, literalGroups, literalNames));
                ASSERT_EQ(fastNames.Items(), literalNames.Items()) << "mode " << mode << ", " << count << " records";
                ASSERT_EQ(fastGroups.GetSize(), literalGroups.GetSize());
                for (int g = 0; g < fastGroups.GetSize(); ++g) {
                    ASSERT_EQ(Contents(*fastGroups[g]), Contents(*literalGroups[g])) << "group " << g;
                    EXPECT_EQ(fastGroups[g]->IsOwner, 0);
                    EXPECT_EQ(fastGroups[g]->SortKey, SortNone);
                }
            }
        }
    }
}

// Removing one record at a time, each position moved down by the removed ones in front of it.
TEST(OracleTests, RemovalMatchesOneAtATimeWithAdjustedPositions)
{
    std::mt19937 random(61);
    SoftwareList.IsOwner = 1;
    CurrentClassifyMode = ClassifyByCompany;
    for (int trial = 0; trial < 40; ++trial) {
        SoftwareList.RemoveAll();
        const int count = std::uniform_int_distribution<int>(1, 30)(random);
        const std::vector<std::wstring> stock = TextStock(random, 4, CaseLetters, 2);
        std::vector<CSoftware*> before;
        for (int i = 0; i < count; ++i) {
            auto* record = new CSoftware;
            Randomize(random, *record, stock, false);
            SoftwareList.Add(record);
            before.push_back(record);
        }
        std::vector<int> positions(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            positions[static_cast<size_t>(i)] = i;
        std::shuffle(positions.begin(), positions.end(), random);
        positions.resize(std::uniform_int_distribution<size_t>(0, positions.size())(random));

        std::vector<CSoftware*> expected = before;
        for (size_t k = 0; k < positions.size(); ++k) {
            int adjusted = positions[k];
            for (size_t j = 0; j < k; ++j)
                adjusted -= positions[j] < positions[k] ? 1 : 0;
            expected.erase(expected.begin() + adjusted);
        }
        ASSERT_TRUE(RemoveSoftware(positions.data(), static_cast<int>(positions.size())));
        ASSERT_EQ(Contents(SoftwareList), expected);
        CSoftwareArrayArray groups;
        CStringArray names;
        LiteralClassifyCatalogue(SoftwareList, ClassifyByCompany, groups, names);
        ASSERT_EQ(GroupNames.Items(), names.Items());
        for (int g = 0; g < groups.GetSize(); ++g)
            ASSERT_EQ(Contents(*GroupList[g]), Contents(*groups[g]));
    }
    GroupList.RemoveAll();
    GroupNames.RemoveAll();
    SoftwareList.RemoveAll();
    CurrentClassifyMode = ClassifyByCategory;
}

// Texts longer than the part of each key that comparisons read first, sharing long beginnings,
// holding NULs, and (where wchar_t is wide enough) units beyond every real character.
TEST(OracleTests, LongTextsWithSharedBeginningsSortAsTheLiteralPasses)
{
    std::mt19937 random(1208);
    std::wstring alphabet = L"aAb\u00E9\u00C9";
    alphabet.push_back(L'\0');
    for (int count : {5, 40, 300}) {
        for (int trial = 0; trial < 8; ++trial) {
            std::vector<std::wstring> stock;
            const std::wstring stem = RandomText(random, L"abAB", 8);
            for (int i = 0; i < 12; ++i)
                stock.push_back(stem.substr(0, random() % (stem.size() + 1)) + RandomText(random, alphabet, 6));
            if (sizeof(wchar_t) > 2 && trial % 2 == 1) {
                stock[0] += static_cast<wchar_t>(0x7FFFFFF0);
                stock[1] = stock[0].substr(0, stock[0].size() - 1) + static_cast<wchar_t>(0x7FFFFFF1);
                stock[2] = stem + static_cast<wchar_t>(0x200000);
            }
            CRecordPool pool;
            const std::vector<CSoftware*> records = RandomRecords(random, pool, count, stock, false);
            for (bool ascending : {true, false})
                ExpectSameSort(records, SortByName, ascending, "long texts");
            CStringArray list;
            for (const CSoftware* record : records)
                list.Add(record->BasicInfo.Name);
            for (bool ascending : {true, false}) {
                CStringArray fast = list, literal = list;
                SortTextList(fast, ascending);
                LiteralSortTextList(literal, ascending);
                ASSERT_EQ(fast.Items(), literal.Items()) << count << (ascending ? " ascending" : " descending");
            }
            if (HasFatalFailure())
                return;
        }
    }
}
