#include <gtest/gtest.h>

#include <string>

#include "storage/HistoryText.h"

namespace {
std::string Utf16(const char* ascii)
{
    std::string bytes;
    for (const char* c = ascii; *c; ++c) {
        bytes.push_back(*c);
        bytes.push_back('\0');
    }
    return bytes;
}
}  // namespace

TEST(HistoryTextTests, EntriesAreUtf16LittleEndianEachEndedByALineFeed)
{
    CStringArray list;
    list.Add(L"Acme");
    list.Add(L"");
    list.Add(L"\x00C9t\x00E9");
    EXPECT_EQ(FormatHistoryBytes(list), Utf16("Acme\n\n") + std::string("\xC9\0t\0\xE9\0\n\0", 8));
    EXPECT_EQ(FormatHistoryBytes(CStringArray()), "");
}

TEST(HistoryTextTests, ReadingKeepsWhatEndsInALineFeed)
{
    CStringArray list;
    list.Add(L"already");
    ParseHistoryBytes(Utf16("one\n\ntwo\r\nlost"), list);
    ASSERT_EQ(list.GetSize(), 4);
    EXPECT_EQ(list[0], L"already");
    EXPECT_EQ(list[1], L"one");
    EXPECT_EQ(list[2], L"");
    EXPECT_EQ(list[3], L"two\r");

    CStringArray odd;
    ParseHistoryBytes(Utf16("x\n") + "\x41", odd);
    ASSERT_EQ(odd.GetSize(), 1);
    EXPECT_EQ(odd[0], L"x");
}

TEST(HistoryTextTests, CharactersBeyondTheBasicPlaneRoundTrip)
{
    CStringArray list;
    list.Add(std::wstring(L"A") + static_cast<wchar_t>(0x4E2D));
    if (sizeof(wchar_t) > 2)
        list.Add(std::wstring(1, static_cast<wchar_t>(0x1F600)));
    CStringArray read;
    ParseHistoryBytes(FormatHistoryBytes(list), read);
    ASSERT_EQ(read.GetSize(), list.GetSize());
    for (int i = 0; i < list.GetSize(); ++i)
        EXPECT_EQ(read[i], list[i]);
    if (sizeof(wchar_t) > 2) {
        EXPECT_EQ(FormatHistoryBytes(list).substr(6, 4), std::string("\x3D\xD8\x00\xDE", 4));
    }
}
