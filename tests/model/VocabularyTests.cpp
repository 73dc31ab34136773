#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "model/TextRules.h"
#include "model/Software.h"
#include "model/Vocabulary.h"

TEST(VocabularyTests, TablesHoldTheProgramsNamesAtTheirValues)
{
    EXPECT_STREQ(CategoryName(0), L"Antivirus");
    EXPECT_STREQ(CategoryName(2), L"CD/DVD Tools");
    EXPECT_STREQ(CategoryName(9), L"Mobile Softwares");
    EXPECT_STREQ(CategoryName(14), L"Science / CAD");
    EXPECT_STREQ(CategoryName(18), L"Other");
    EXPECT_STREQ(TypeName(0), L"Free-ware");
    EXPECT_STREQ(TypeName(1), L"Share-ware");
    EXPECT_STREQ(TypeName(2), L"Commercial-ware");
    EXPECT_STREQ(CurrencyName(0), L"AUD");
    EXPECT_STREQ(CurrencyName(6), L"EUR");
    EXPECT_STREQ(CurrencyName(13), L"MXP");
    EXPECT_STREQ(CurrencyName(DefaultCurrency), L"USD");
    EXPECT_STREQ(AttachModeName(AttachByReference), L"Reference");
    EXPECT_STREQ(AttachModeName(AttachByImport), L"Import (Recommend)");
}

TEST(VocabularyTests, ClassifyModesAndSortKeysShareOneTableOfNineNames)
{
    const wchar_t* const expected[] = {L"Category", L"Company", L"Type",      L"None",       L"Name",
                                       L"Price",    L"User-Name", L"User-Email", L"Expiry"};
    static_assert(ClassifyModeCount + SortKeyCount == 9, "one name per mode and key");
    for (int i = 0; i < ClassifyModeCount + SortKeyCount; ++i)
        EXPECT_STREQ(ViewNames[i], expected[i]) << i;
    EXPECT_STREQ(ClassifyModeName(ClassifyByType), L"Type");
    EXPECT_STREQ(SortKeyName(0), L"None");
    EXPECT_STREQ(SortKeyName(4), L"User-Email");
    EXPECT_STREQ(SortKeyName(SortByExpiry), L"Expiry");
}

TEST(VocabularyTests, ValuesOutsideATableHaveNoName)
{
    EXPECT_STREQ(CategoryName(-1), L"");
    EXPECT_STREQ(CategoryName(CategoryCount), L"");
    EXPECT_STREQ(TypeName(3), L"");
    EXPECT_STREQ(CurrencyName(19), L"");
    EXPECT_STREQ(AttachModeName(2), L"");
    EXPECT_STREQ(ClassifyModeName(3), L"");
    EXPECT_STREQ(SortKeyName(SortKeyCount), L"");
    EXPECT_STREQ(SortKeyName(-1), L"");
    EXPECT_TRUE(IsCategory(18));
    EXPECT_FALSE(IsCategory(19));
    EXPECT_FALSE(IsType(-1));
    EXPECT_TRUE(IsCurrency(0));
    EXPECT_FALSE(IsAttachMode(2));
}

// The price order compares currencies by value, which must then be their alphabetical order.
TEST(VocabularyTests, CurrencyValuesFollowTheAlphabet)
{
    for (int i = 0; i + 1 < CurrencyCount; ++i)
        EXPECT_TRUE(TextGreater(CurrencyNames[i + 1], CurrencyNames[i])) << i;
}

TEST(VocabularyTests, CategoryNamesAreDistinctIgnoringCase)
{
    for (int i = 0; i < CategoryCount; ++i) {
        for (int j = i + 1; j < CategoryCount; ++j)
            EXPECT_NE(AsciiUpper(CategoryNames[i]), AsciiUpper(CategoryNames[j]));
    }
}

TEST(VocabularyTests, StorablePricesAreFiniteNotNegativeAndBelowAMillion)
{
    EXPECT_TRUE(IsStorablePrice(0.0f));
    EXPECT_TRUE(IsStorablePrice(-0.0f));
    EXPECT_TRUE(IsStorablePrice(0.01f));
    EXPECT_TRUE(IsStorablePrice(999999.94f));
    EXPECT_FALSE(IsStorablePrice(1000000.0f));
    EXPECT_FALSE(IsStorablePrice(-0.01f));
    EXPECT_FALSE(IsStorablePrice(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(IsStorablePrice(-std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(IsStorablePrice(std::numeric_limits<float>::quiet_NaN()));
    // The largest storable amount still fits the nine characters of the file's "%5.2f".
    char text[32];
    std::snprintf(text, sizeof text, "%5.2f", 999999.94f);
    EXPECT_LE(std::string(text).size(), 9u);
}
