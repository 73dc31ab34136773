#include <gtest/gtest.h>

#include <string>

#include "storage/ElementText.h"

TEST(ElementTextTests, SingleElementNeedsBothMarkersWithTheirLineFeeds)
{
    std::wstring value = L"untouched";
    EXPECT_FALSE(ExtractElement(L"<Other>\nx</Other>\n", value, L"Name"));
    EXPECT_EQ(value, L"untouched");
    EXPECT_FALSE(ExtractElement(L"<Name>\nx</Name>\n", value, L""));
    EXPECT_EQ(value, L"untouched");

    // Opening marker without its line feed, as in a file with carriage-return line ends.
    EXPECT_FALSE(ExtractElement(L"<Name>\r\nx</Name>\r\n", value, L"Name"));
    // Closing marker missing its line feed: the value is emptied and the element counts as missing.
    EXPECT_FALSE(ExtractElement(L"<Name>\nSetup</Name>", value, L"Name"));
    EXPECT_EQ(value, L"");

    ASSERT_TRUE(ExtractElement(L"<Name>\n  Setup \t\n</Name>\n", value, L"Name"));
    EXPECT_EQ(value, L"Setup");
}

TEST(ElementTextTests, SingleElementFollowsTheFirstMarkersInTheWholeText)
{
    std::wstring value;
    // A stray closing marker in front of the element empties the value but the element is found.
    ASSERT_TRUE(ExtractElement(L"</Name>\n<Name>\nSetup</Name>\n", value, L"Name"));
    EXPECT_EQ(value, L"");

    // A value holding its own closing marker at a line end is cut there.
    ASSERT_TRUE(ExtractElement(L"<Comment>\nfirst</Comment>\nsecond</Comment>\n", value, L"Comment"));
    EXPECT_EQ(value, L"first");

    // A value holding the opening marker of a later element lends that element its value.
    std::wstring text = L"<Comment>\nnote <Code>\nfake</Code>\n</Comment>\n<Code>\nreal</Code>\n";
    ASSERT_TRUE(ExtractElement(text, value, L"Code"));
    EXPECT_EQ(value, L"fake");

    // Inner line breaks survive; the unusual white space at the ends goes.
    ASSERT_TRUE(ExtractElement(L"<Comment>\n\x3000line one\nline two\x00A0\n</Comment>\n", value, L"Comment"));
    EXPECT_EQ(value, L"line one\nline two");
}

TEST(ElementTextTests, ListTakesEveryElementInOrderAndAlwaysEnds)
{
    CStringArray list;
    list.Add(L"stale");
    EXPECT_EQ(ExtractElementList(L"<Code>\nA</Code>\n<Code>\n B \n</Code>\n", list, L"Code"), 2);
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list[0], L"A");
    EXPECT_EQ(list[1], L"B");

    EXPECT_EQ(ExtractElementList(L"nothing here", list, L"Code"), 0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(ExtractElementList(L"<Code>\nA</Code>\n", list, L""), -1);

    // Empty elements give empty entries, so two lists stay paired by position.
    EXPECT_EQ(ExtractElementList(L"<Code>\n</Code>\n<Code>\nB</Code>\n<Code>\n</Code>\n", list, L"Code"), 3);
    EXPECT_EQ(list[0], L"");
    EXPECT_EQ(list[1], L"B");
    EXPECT_EQ(list[2], L"");

    // A stray closing marker is stepped over; an element without its closing marker ends the list.
    EXPECT_EQ(ExtractElementList(L"</Code>\n<Code>\nA</Code>\n<Code>\nB", list, L"Code"), 1);
    EXPECT_EQ(list[0], L"A");
}

TEST(ElementTextTests, ListOfCodeNamesIsNotConfusedWithCodes)
{
    CStringArray names, codes;
    std::wstring text = L"<RegCode>\n<CodeName>\nKey</CodeName>\n<Code>\n1234</Code>\n</RegCode>\n";
    EXPECT_EQ(ExtractElementList(text, names, L"CodeName"), 1);
    EXPECT_EQ(ExtractElementList(text, codes, L"Code"), 1);
    EXPECT_EQ(names[0], L"Key");
    EXPECT_EQ(codes[0], L"1234");
}

TEST(ElementTextTests, IntegersReadLikeTheRuntimeDecimalConversion)
{
    EXPECT_EQ(ParseDecimalInt(L"42"), 42);
    EXPECT_EQ(ParseDecimalInt(L"  -17"), -17);
    EXPECT_EQ(ParseDecimalInt(L"+8"), 8);
    EXPECT_EQ(ParseDecimalInt(L"12abc"), 12);
    EXPECT_EQ(ParseDecimalInt(L"abc"), 0);
    EXPECT_EQ(ParseDecimalInt(L""), 0);
    EXPECT_EQ(ParseDecimalInt(L"- 5"), 0);
    EXPECT_EQ(ParseDecimalInt(L"99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseDecimalInt(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseDecimalInt(L"-99999999999"), -2147483647 - 1);
}

TEST(ElementTextTests, DecimalsReadOnlyPlainNotation)
{
    EXPECT_FLOAT_EQ(ParseDecimalFloat(L" 29.90"), 29.9f);
    EXPECT_FLOAT_EQ(ParseDecimalFloat(L"129"), 129.0f);
    EXPECT_FLOAT_EQ(ParseDecimalFloat(L".5"), 0.5f);
    EXPECT_FLOAT_EQ(ParseDecimalFloat(L"-3.25xyz"), -3.25f);
    EXPECT_FLOAT_EQ(ParseDecimalFloat(L"1.5e3"), 1500.0f);
    EXPECT_FLOAT_EQ(ParseDecimalFloat(L"2e"), 2.0f);
    EXPECT_EQ(ParseDecimalFloat(L"inf"), 0.0f);
    EXPECT_EQ(ParseDecimalFloat(L"nan"), 0.0f);
    EXPECT_EQ(ParseDecimalFloat(L"0x10"), 0.0f);
    EXPECT_EQ(ParseDecimalFloat(L""), 0.0f);
    EXPECT_EQ(ParseDecimalFloat(L"."), 0.0f);
}
