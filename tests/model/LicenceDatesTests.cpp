#include <gtest/gtest.h>

#include "model/LicenceDates.h"
#include "ModelTestSupport.h"

namespace {
CCalendarDate Date(const wchar_t* text)
{
    CCalendarDate date;
    EXPECT_TRUE(ParseIsoDate(text, date)) << text;
    return date;
}
}  // namespace

TEST(LicenceDates, OnlyRealCalendarDatesInTheIsoFormParse)
{
    for (const wchar_t* good : {L"2024-02-29", L"2000-02-29", L"0001-01-01", L"9999-12-31", L"2023-04-30"})
        EXPECT_TRUE(IsIsoDate(good)) << good;
    for (const wchar_t* bad : {L"2023-02-29", L"1900-02-29", L"2023-04-31", L"2023-13-01", L"2023-00-10",
                               L"2023-01-00", L"0000-01-01", L"2023-1-01", L"2023/01/01", L" 2023-01-01",
                               L"2023-01-01 ", L"20230101", L"", L"2023-01-0a", L"+023-01-01"})
        EXPECT_FALSE(IsIsoDate(bad)) << bad;
    CCalendarDate date{7, 7, 7};
    EXPECT_FALSE(ParseIsoDate(L"2023-02-30", date));
    EXPECT_EQ(date.Year, 7);  // a refused text leaves the date as it was
    ASSERT_TRUE(ParseIsoDate(L"2031-11-05", date));
    EXPECT_EQ(date.Year, 2031);
    EXPECT_EQ(date.Month, 11);
    EXPECT_EQ(date.Day, 5);
    EXPECT_EQ(FormatIsoDate(date), L"2031-11-05");
    EXPECT_EQ(FormatIsoDate(CCalendarDate{1, 2, 3}), L"0001-02-03");
}

TEST(LicenceDates, DayNumbersCountRealDays)
{
    EXPECT_EQ(DayNumber(Date(L"1970-01-01")), 0);
    EXPECT_EQ(DayNumber(Date(L"1969-12-31")), -1);
    EXPECT_EQ(DayNumber(Date(L"2000-03-01")) - DayNumber(Date(L"2000-02-28")), 2);
    EXPECT_EQ(DayNumber(Date(L"1900-03-01")) - DayNumber(Date(L"1900-02-28")), 1);
    EXPECT_EQ(DayNumber(Date(L"2025-01-01")) - DayNumber(Date(L"2024-01-01")), 366);
    EXPECT_EQ(DayNumber(Date(L"2001-09-09")), 11574);
    // Every day of four centuries goes there and back, each a real date after the one before.
    std::wstring previous = L"1899-12-31";
    for (long long day = DayNumber(Date(previous.c_str())) + 1; day < DayNumber(Date(L"2300-01-01")); ++day) {
        const std::wstring text = FormatIsoDate(DateOfDayNumber(day));
        ASSERT_TRUE(IsIsoDate(text)) << day;
        ASSERT_EQ(DayNumber(DateOfDayNumber(day)), day);
        ASSERT_GT(text, previous);
        previous = text;
    }
    EXPECT_EQ(FormatIsoDate(DateOfDayNumber(0)), L"1970-01-01");
    EXPECT_EQ(FormatIsoDate(DateOfDayNumber(-1)), L"1969-12-31");
}

TEST(LicenceDates, DaysLeftReadAsTheViewShowsThem)
{
    const CCalendarDate today = Date(L"2026-12-30");
    EXPECT_EQ(DaysLeft(Date(L"2027-01-11"), today), 12);
    EXPECT_EQ(DaysLeftText(DaysLeft(Date(L"2027-01-11"), today)), L"in 12 days");
    EXPECT_EQ(DaysLeftText(1), L"in 1 day");
    EXPECT_EQ(DaysLeftText(0), L"today");
    EXPECT_EQ(DaysLeftText(-1), L"expired 1 day ago");
    EXPECT_EQ(DaysLeftText(DaysLeft(Date(L"2026-12-27"), today)), L"expired 3 days ago");
}

TEST(LicenceDates, DueRecordsAreThoseInsideTheWindowSoonestFirst)
{
    CRecordPool pool;
    auto expiring = [&](const wchar_t* name, const wchar_t* expiry) {
        CSoftware* record = pool.Named(name);
        record->ExtraInfo.ExpiryDate = expiry;
        return record;
    };
    CSoftware* later = expiring(L"later", L"2027-01-29");     // 30 days: inside
    CSoftware* outside = expiring(L"outside", L"2027-01-30"); // 31 days: outside
    CSoftware* expired = expiring(L"expired", L"2020-05-01");
    CSoftware* none = pool.Named(L"no expiry");
    CSoftware* broken = expiring(L"broken", L"2027-02-30");
    CSoftware* today = expiring(L"today", L"2026-12-30");
    CSoftware* sameDay = expiring(L"same day", L"2026-12-30");
    CSoftwareArray catalogue;
    Fill(catalogue, {later, outside, expired, none, broken, today, sameDay});

    const std::vector<CDueRecord> due = DueRecords(catalogue, Date(L"2026-12-30"), DefaultReminderDays);
    ASSERT_EQ(due.size(), 4u);
    EXPECT_EQ(due[0].Record, expired);
    EXPECT_LT(due[0].DaysLeft, 0);
    EXPECT_EQ(due[1].Record, today);
    EXPECT_EQ(due[2].Record, sameDay);
    EXPECT_EQ(due[3].Record, later);
    EXPECT_EQ(due[3].DaysLeft, 30);

    // A window of 0 keeps only what expires today or has expired.
    EXPECT_EQ(DueRecords(catalogue, Date(L"2026-12-30"), 0).size(), 3u);
    EXPECT_TRUE(DueRecords(CSoftwareArray(), Date(L"2026-12-30"), 30).empty());
}
