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

// The same text with the case of its letters changed at random, wherever a letter has two forms.
std::wstring Recased(std::mt19937& random, std::wstring text)
{
    static const std::wstring pairs = L"aAbBcCqQxXyYzZ\u00E9\u00C9\u0436\u0416\u0430\u0410\uFF41\uFF21";
    for (wchar_t& c : text) {
        const size_t at = pairs.find(c);
        if (at != std::wstring::npos && random() % 2 == 0)
            c = pairs[at ^ 1];
    }
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
    // Few distinct dates, so equal ones meet; some records have none, or one that is no date.
    static const wchar_t* const expiries[] = {L"", L"", L"2026-01-31", L"2026-02-01", L"2027-12-31",
                                              L"2026-02-30", L"1999-07-04", L"2026-01-31"};
    record.ExtraInfo.ExpiryDate = expiries[std::uniform_int_distribution<int>(0, 7)(random)];
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
        for (int key = SortByName; key <= SortByExpiry; ++key) {
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

namespace {
// Every key of the records and the same texts as a list, both directions, against the passes.
void ExpectSameSortsOfNames(const std::vector<CSoftware*>& records, const char* what)
{
    for (int key = SortByName; key <= SortByExpiry; ++key) {
        for (bool ascending : {true, false})
            ExpectSameSort(records, key, ascending, what);
    }
    CStringArray list;
    for (const CSoftware* record : records)
        list.Add(record->BasicInfo.Name);
    for (bool ascending : {true, false}) {
        CStringArray fast = list, literal = list;
        SortTextList(fast, ascending);
        LiteralSortTextList(literal, ascending);
        ASSERT_EQ(fast.Items(), literal.Items()) << what << ", " << list.GetSize() << (ascending ? " ascending" : " descending");
    }
}

std::wstring WithNuls(std::wstring text, size_t nuls)
{
    text.append(nuls, L'\0');
    return text;
}
}  // namespace

// Texts agreeing on many more characters than one comparison step reads, ending exactly where a
// step ends or just around it, and differing only in trailing NULs; with letters whose upper-cased
// forms fill more than one byte, and runs of ties too long to be settled one by one.
TEST(OracleTests, TextsAgreeingOnLongBeginningsSortAsTheLiteralPasses)
{
    std::mt19937 random(4096);
    const std::wstring letters = L"aAbB\u0436\u0416\uFF41\uFF21\u00E9 ";
    for (int count : {30, 120, 500}) {
        for (int trial = 0; trial < 4; ++trial) {
            const std::wstring stem = RandomText(random, L"abAB\u0436", 40) + std::wstring(20, L'x');
            std::vector<std::wstring> stock;
            for (size_t length : {0, 1, 3, 4, 5, 7, 8, 9, 12, 16, 17, 24, 33, 40, 59})
                stock.push_back(stem.substr(0, length));
            for (int i = 0; i < 24; ++i) {
                const std::wstring start = Recased(random, stem.substr(0, random() % stem.size()));
                stock.push_back(start + RandomText(random, letters, 9));
            }
            for (size_t nuls : {1, 2, 4, 5, 8})
                stock.push_back(WithNuls(stock[random() % stock.size()], nuls));
            stock.push_back(WithNuls(stem.substr(0, 8), 1) + L"a");
            stock.push_back(stem.substr(0, 8) + L"A");
            CRecordPool pool;
            ExpectSameSortsOfNames(RandomRecords(random, pool, count, stock, false), "long beginnings");
            if (HasFatalFailure())
                return;
        }
    }
}

// Units at the edges of what each step of a comparison packs: the last 16-bit units, and (where
// wchar_t is wider) units beyond them, which a whole list then compares more widely.
TEST(OracleTests, UnitsAtTheEdgesOfThePackingSortAsTheLiteralPasses)
{
    std::mt19937 random(65535);
    std::wstring edges = L"aAzZ\uFFFE\uFFFF\u0430\u0410";
    edges.push_back(L'\0');
    for (bool wide : {false, true}) {
        if (wide && sizeof(wchar_t) <= 2)
            continue;
        std::wstring alphabet = edges;
        if (wide) {
            alphabet.push_back(static_cast<wchar_t>(0x10000));
            alphabet.push_back(static_cast<wchar_t>(0x10FFFF));
            alphabet.push_back(static_cast<wchar_t>(-1));
        }
        for (int count : {20, 150, 400}) {
            for (int trial = 0; trial < 4; ++trial) {
                std::vector<std::wstring> stock = TextStock(random, 10 + count / 10, alphabet, 7);
                for (int i = 0; i < 6; ++i)
                    stock.push_back(Recased(random, stock[random() % stock.size()]));
                CRecordPool pool;
                ExpectSameSortsOfNames(RandomRecords(random, pool, count, stock, false), wide ? "wide units" : "16-bit edges");
                if (HasFatalFailure())
                    return;
            }
        }
    }
}

// Case classes from one record to hundreds, each with one, a few or many spellings, some spelt
// alike more than once, mixed at random, in long runs, or one record of a large class between
// records of smaller ones, so that its descending order goes through many rotations of every size.
TEST(OracleTests, CaseClassesOfManySizesSortAsTheLiteralPasses)
{
    std::mt19937 random(2718);
    for (int trial = 0; trial < 12; ++trial) {
        std::vector<std::wstring> stems = TextStock(random, 8, L"abcxyz\u00E9", 6);
        std::vector<std::wstring> texts;
        static const size_t sizes[] = {1, 2, 3, 5, 9, 17, 40, 120};
        for (size_t c = 0; c < stems.size(); ++c) {
            const size_t size = sizes[c];
            const size_t spellings = 1 + random() % (size + 2);
            std::vector<std::wstring> spelt;
            for (size_t s = 0; s < spellings; ++s)
                spelt.push_back(Recased(random, stems[c] + L"q"));
            for (size_t k = 0; k < size; ++k)
                texts.push_back(spelt[random() % spelt.size()]);
        }
        if (trial % 3 == 0) {
            std::shuffle(texts.begin(), texts.end(), random);
        } else if (trial % 3 == 1) {
            std::sort(texts.begin(), texts.end(), [](const std::wstring& a, const std::wstring& b) { return TextGreater(b, a); });
            if (trial % 2 == 1)
                std::reverse(texts.begin(), texts.end());
        } else {
            // The largest class spread one record at a time, or a few, between all the others.
            std::vector<std::wstring> largest(texts.end() - 120, texts.end());
            std::vector<std::wstring> others(texts.begin(), texts.end() - 120);
            std::shuffle(others.begin(), others.end(), random);
            texts.clear();
            size_t other = 0;
            for (const std::wstring& text : largest) {
                texts.push_back(text);
                for (size_t gap = 1 + random() % (trial % 2 == 0 ? 1 : 5); gap > 0 && other < others.size(); --gap)
                    texts.push_back(others[other++]);
            }
            texts.insert(texts.end(), others.begin() + static_cast<std::ptrdiff_t>(other), others.end());
        }
        CRecordPool pool;
        std::vector<CSoftware*> records;
        for (const std::wstring& text : texts) {
            records.push_back(pool.New());
            records.back()->BasicInfo.Name = records.back()->RegInfo.UserName = text;
            records.back()->RegInfo.UserEmail = Recased(random, text);
        }
        ExpectSameSortsOfNames(records, "case classes of many sizes");
        if (HasFatalFailure())
            return;
    }
}
