#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/TextRules.h"
#include "model/Vocabulary.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
CStringArray Strings(const std::vector<std::wstring>& texts)
{
    CStringArray list;
    for (const std::wstring& text : texts)
        list.Add(text);
    return list;
}

std::vector<std::wstring> Texts(const CStringArray& list)
{
    return list.Items();
}
}  // namespace

TEST(TextRulesTests, TextsDifferingOnlyInCaseAreNotGreaterEitherWay)
{
    EXPECT_FALSE(TextGreater(L"Office Tools", L"office tools"));
    EXPECT_FALSE(TextGreater(L"office tools", L"Office Tools"));
    EXPECT_FALSE(TextGreater(L"Office Tools", L"Office Tools"));
    EXPECT_TRUE(SameTextOtherCase(L"Office Tools", L"office tools"));
    EXPECT_FALSE(SameTextOtherCase(L"Office Tools", L"Office Tools"));
}

TEST(TextRulesTests, GreaterComparesUpperCasedCharactersThenLength)
{
    EXPECT_TRUE(TextGreater(L"Other", L"Office Tools"));
    EXPECT_FALSE(TextGreater(L"Office Tools", L"Other"));
    EXPECT_TRUE(TextGreater(L"Acme Tools", L"acme"));
    EXPECT_FALSE(TextGreater(L"acme", L"Acme Tools"));
    EXPECT_TRUE(TextGreater(L"a", L""));
    EXPECT_FALSE(TextGreater(L"", L""));
    // Underscore lies between the capitals and the small letters: after upper-casing it is greater.
    EXPECT_TRUE(TextGreater(L"_", L"z"));
    // Non-ASCII letters upper-case with the platform, beyond a-z.
    EXPECT_FALSE(TextGreater(L"\u00E9lan", L"\u00C9LAN"));
    EXPECT_FALSE(TextGreater(L"\u00C9LAN", L"\u00E9lan"));
    EXPECT_TRUE(TextGreater(L"\u00E9", L"z"));
    EXPECT_TRUE(TextGreater(L"\u0436", L"\u0415"));
    EXPECT_FALSE(TextGreater(L"\u0436", L"\u0416"));
}

TEST(TextRulesTests, SameTextOtherCaseFoldsOnlyAToZ)
{
    EXPECT_TRUE(SameTextOtherCase(L"acme", L"ACME"));
    EXPECT_TRUE(SameTextOtherCase(L"Acme 2", L"aCME 2"));
    EXPECT_FALSE(SameTextOtherCase(L"acme", L"acmes"));
    EXPECT_FALSE(SameTextOtherCase(L"", L""));
    EXPECT_FALSE(SameTextOtherCase(L"\u00E9lan", L"\u00C9lan"));
    EXPECT_FALSE(SameTextOtherCase(L"{", L"["));
    EXPECT_FALSE(SameTextOtherCase(L"@", L"`"));
    EXPECT_EQ(AsciiUpper(L"\u00E9lan-z{}"), L"\u00E9LAN-Z{}");
}

TEST(TextRulesTests, FindTextMatchesTheFirstEntryIdenticalOrOtherCase)
{
    const CStringArray companies = Strings({L"Orrin", L"Acme", L"Beta", L"ACME", L"acme"});
    EXPECT_EQ(FindText(companies, L"acme", true), 1);
    EXPECT_EQ(FindText(companies, L"acme", false), 4);
    EXPECT_EQ(FindText(companies, L"ACME", false), 3);
    EXPECT_EQ(FindText(companies, L"Acm", true), -1);
    EXPECT_EQ(FindText(companies, L"", true), -1);
    EXPECT_EQ(FindText(CStringArray(), L"Acme", true), -1);
    const CStringArray accented = Strings({L"\u00C9lan", L""});
    EXPECT_EQ(FindText(accented, L"\u00E9lan", true), -1);
    EXPECT_EQ(FindText(accented, L"", true), 1);
}

TEST(TextRulesTests, SortingCategoryNamesPutsOtherFourteenth)
{
    CStringArray names;
    for (const wchar_t* name : CategoryNames)
        names.Add(name);
    SortTextList(names, true);
    EXPECT_EQ(names[12], L"Office Tools");
    EXPECT_EQ(names[13], L"Other");
    EXPECT_EQ(names[14], L"Programming");
    for (int i = 0; i + 1 < names.GetSize(); ++i)
        EXPECT_TRUE(TextGreater(names[i + 1], names[i])) << i;
}

TEST(TextRulesTests, SortKeepsTextsEqualInTheOrderInTheirPlaces)
{
    CStringArray list = Strings({L"beta", L"ACME", L"Acme", L"alpha", L"acme", L"Beta"});
    SortTextList(list, true);
    EXPECT_EQ(Texts(list), (std::vector<std::wstring>{L"ACME", L"Acme", L"acme", L"alpha", L"beta", L"Beta"}));
    SortTextList(list, false);
    EXPECT_EQ(Texts(list), (std::vector<std::wstring>{L"beta", L"Beta", L"alpha", L"ACME", L"Acme", L"acme"}));
}

TEST(TextRulesTests, CaseClassOrderSplitsTheAscendingOrderIntoClassesAndSpellings)
{
    const std::vector<std::wstring> texts = {L"beta", L"ACME", L"Acme", L"alpha", L"acme", L"Beta", L"ACME", L"b"};
    std::vector<const std::wstring*> addresses;
    for (const std::wstring& text : texts)
        addresses.push_back(&text);
    const CCaseClassOrder sorted = CaseClassOrder(addresses);
    EXPECT_EQ(sorted.Order, (std::vector<int>{1, 2, 4, 6, 3, 7, 0, 5}));
    EXPECT_EQ(sorted.Order, StableTextOrder(texts, true));
    EXPECT_EQ(sorted.ClassStarts, (std::vector<unsigned char>{1, 0, 0, 0, 1, 1, 1, 0}));
    // Identical texts share a number, the others of a class each have their own, counted from 0.
    const std::vector<int>& spellings = sorted.Spellings;
    ASSERT_EQ(spellings.size(), texts.size());
    EXPECT_EQ(spellings[0], spellings[3]);
    EXPECT_NE(spellings[0], spellings[1]);
    EXPECT_NE(spellings[0], spellings[2]);
    EXPECT_NE(spellings[1], spellings[2]);
    EXPECT_EQ(std::max({spellings[0], spellings[1], spellings[2]}), 2);
    EXPECT_EQ(spellings[4], 0);
    EXPECT_EQ(spellings[5], 0);
    EXPECT_NE(spellings[6], spellings[7]);
    EXPECT_EQ(std::max(spellings[6], spellings[7]), 1);
    EXPECT_TRUE(CaseClassOrder({}).Order.empty());
}

TEST(TextRulesTests, SortLeavesListsOfOneOrNoEntryAlone)
{
    CStringArray none;
    SortTextList(none, true);
    EXPECT_TRUE(none.IsEmpty());
    CStringArray one = Strings({L"only"});
    SortTextList(one, false);
    EXPECT_EQ(Texts(one), std::vector<std::wstring>{L"only"});
}

TEST(TextRulesTests, CodeUnitsCompareUnsigned)
{
    EXPECT_LT(CompareCodeUnits(L"z", L"\u00E9"), 0);
    EXPECT_LT(CompareCodeUnits(L"\u00E9", L"\uFF21"), 0);
    EXPECT_LT(CompareCodeUnits(L"ab", L"abc"), 0);
    EXPECT_GT(CompareCodeUnits(L"b", L"abc"), 0);
    EXPECT_EQ(CompareCodeUnits(L"", L""), 0);
}

TEST(TextRulesTests, PortableUpperCasingFollowsTheSimpleMappings)
{
    EXPECT_EQ(PortableUpperChar(L'a'), L'A');
    EXPECT_EQ(PortableUpperChar(L'z'), L'Z');
    EXPECT_EQ(PortableUpperChar(L'A'), L'A');
    EXPECT_EQ(PortableUpperChar(L'{'), L'{');
    EXPECT_EQ(PortableUpperChar(L'\u00E9'), L'\u00C9');
    EXPECT_EQ(PortableUpperChar(L'\u00F7'), L'\u00F7');
    EXPECT_EQ(PortableUpperChar(L'\u00FF'), L'\u0178');
    EXPECT_EQ(PortableUpperChar(L'\u00DF'), L'\u00DF');
    EXPECT_EQ(PortableUpperChar(L'\u0131'), L'\u0131');
    EXPECT_EQ(PortableUpperChar(L'\u013A'), L'\u0139');
    EXPECT_EQ(PortableUpperChar(L'\u0138'), L'\u0138');
    EXPECT_EQ(PortableUpperChar(L'\u014B'), L'\u014A');
    EXPECT_EQ(PortableUpperChar(L'\u017E'), L'\u017D');
    EXPECT_EQ(PortableUpperChar(L'\u017F'), L'\u017F');
    EXPECT_EQ(PortableUpperChar(L'\u03AC'), L'\u0386');
    EXPECT_EQ(PortableUpperChar(L'\u03C2'), L'\u03C2');
    EXPECT_EQ(PortableUpperChar(L'\u03C9'), L'\u03A9');
    EXPECT_EQ(PortableUpperChar(L'\u03CE'), L'\u038F');
    EXPECT_EQ(PortableUpperChar(L'\u0436'), L'\u0416');
    EXPECT_EQ(PortableUpperChar(L'\u0451'), L'\u0401');
    EXPECT_EQ(PortableUpperChar(L'\uFF41'), L'\uFF21');
    EXPECT_EQ(PlatformUpper(L"caf\u00E9 \u00DF"), L"CAF\u00C9 \u00DF");
}

#ifdef _WIN32
// The native build stands in for CharUpperBuffW with the portable table: they must agree where
// the table claims to know the mapping.
TEST(TextRulesTests, PortableTableAgreesWithTheWindowsUpperCasing)
{
    const unsigned ranges[][2] = {{0x0000, 0x017F}, {0x0386, 0x03CE}, {0x0400, 0x045F}, {0xFF00, 0xFFEF}};
    for (const auto& range : ranges) {
        for (unsigned u = range[0]; u <= range[1]; ++u) {
            WCHAR c = static_cast<WCHAR>(u);
            CharUpperBuffW(&c, 1);
            EXPECT_EQ(c, PortableUpperChar(static_cast<wchar_t>(u))) << std::hex << u;
            EXPECT_EQ(c, PlatformUpperChar(static_cast<wchar_t>(u))) << std::hex << u;
        }
    }
}
#endif

TEST(TextRulesTests, ARowShowsAtMostTheLongestLineAndNeverHalfASurrogatePair)
{
    EXPECT_EQ(ShownLineLength(L""), 0u);
    EXPECT_EQ(ShownLineLength(std::wstring(LongestShownLine, L'a')), LongestShownLine);
    EXPECT_EQ(ShownLineLength(std::wstring(20 * LongestShownLine, L'a')), LongestShownLine);
    // A character outside the basic plane straddling the cut is left out whole.
    std::wstring straddling(LongestShownLine - 1, L'a');
    straddling += L"\xD83D\xDE00 and more";
    EXPECT_EQ(ShownLineLength(straddling), LongestShownLine - 1);
    std::wstring before(LongestShownLine - 2, L'a');
    before += L"\xD83D\xDE00 and more";
    EXPECT_EQ(ShownLineLength(before), LongestShownLine);
}
