#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/SnapshotText.h"

namespace {
CSnapshotStamp At(int year, int month, int day, int hour = 9, int minute = 0, int second = 0, int serial = 1)
{
    CSnapshotStamp stamp;
    stamp.Year = year;
    stamp.Month = month;
    stamp.Day = day;
    stamp.Hour = hour;
    stamp.Minute = minute;
    stamp.Second = second;
    stamp.Serial = serial;
    return stamp;
}

std::vector<std::wstring> KeptNames(const std::vector<CSnapshotStamp>& stamps)
{
    std::vector<bool> keep = SnapshotsToKeep(stamps);
    std::vector<std::wstring> names;
    for (size_t i = 0; i < stamps.size(); ++i) {
        if (keep[i])
            names.push_back(FormatSnapshotFileName(stamps[i]));
    }
    return names;
}
}  // namespace

TEST(SnapshotTextTests, FileNamesSortByTimeAndOnlyOurOwnAreRecognised)
{
    EXPECT_EQ(FormatSnapshotFileName(At(2026, 12, 8, 15, 4, 5)), L"Backup-20261208-150405.zip");
    EXPECT_EQ(FormatSnapshotFileName(At(2026, 12, 8, 15, 4, 5, 2)), L"Backup-20261208-150405-2.zip");

    CSnapshotStamp stamp;
    ASSERT_TRUE(ParseSnapshotFileName(L"backup-20240229-235959-12.ZIP", stamp));
    EXPECT_EQ(stamp, At(2024, 2, 29, 23, 59, 59, 12));
    for (const wchar_t* other : {L"Backup-20230229-100000.zip",  // no 29 February in 2023
                                 L"Backup-20261208-240000.zip", L"Backup-20261208-150405-1.zip",
                                 L"Backup-20261208-150405-02.zip", L"Backup-20261208-150405.zip.tmp",
                                 L"Backup-2026128-150405.zip", L"Backup-20261208_150405.zip", L"My photos.zip",
                                 L"Backup-20261208-150405-.zip", L"Backup-20261208-150405-99999.zip"})
        EXPECT_FALSE(ParseSnapshotFileName(other, stamp)) << other;
    EXPECT_TRUE(IsSnapshotTemporaryName(L"Backup-20261208-150405.zip.tmp"));
    EXPECT_FALSE(IsSnapshotTemporaryName(L"notes.zip.tmp"));
}

TEST(SnapshotTextTests, TheManifestReadsBackAndRefusesAnImpossibleDate)
{
    CSnapshotManifest manifest;
    manifest.Taken = At(2026, 12, 8, 7, 30, 1);
    manifest.Reason = SnapshotReason::Delete;
    manifest.Records = 10000;
    manifest.DataFolder = L"D:\\Catalogue & Co\\";
    const std::wstring text = FormatSnapshotManifest(manifest);
    EXPECT_EQ(text,
              L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Backup>\n<Taken>\n2026-12-08 07:30:01</Taken>\n"
              L"<Reason>\ndelete</Reason>\n<Records>\n10000</Records>\n"
              L"<DataFolder>\nD:\\Catalogue & Co\\</DataFolder>\n</Backup>\n");

    CSnapshotManifest read;
    ASSERT_TRUE(ParseSnapshotManifest(text, read));
    EXPECT_EQ(read.Taken, manifest.Taken);
    EXPECT_EQ(read.Reason, SnapshotReason::Delete);
    EXPECT_EQ(read.Records, 10000);
    EXPECT_EQ(read.DataFolder, manifest.DataFolder);

    // A reason from a later version still lists; a broken date or a negative count does not.
    std::wstring later = text;
    later.replace(later.find(L"delete"), 6, L"cloud-sync");
    ASSERT_TRUE(ParseSnapshotManifest(later, read));
    EXPECT_EQ(read.Reason, SnapshotReason::Manual);
    std::wstring badDate = text;
    badDate.replace(badDate.find(L"12-08"), 5, L"13-08");
    EXPECT_FALSE(ParseSnapshotManifest(badDate, read));
    std::wstring negative = text;
    negative.replace(negative.find(L"10000"), 5, L"-3");
    EXPECT_FALSE(ParseSnapshotManifest(negative, read));
    EXPECT_FALSE(ParseSnapshotManifest(L"<Backup>\n</Backup>\n", read));
}

TEST(SnapshotTextTests, DayNumbersAndWeeksFollowTheCalendar)
{
    EXPECT_EQ(DayNumber(1970, 1, 1), 0);
    EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 28), 2);  // 2000 was a leap year
    EXPECT_EQ(DayNumber(1900, 3, 1) - DayNumber(1900, 2, 28), 1);  // 1900 was not
    EXPECT_EQ(DayNumber(2026, 12, 8), 20795);
}

TEST(SnapshotTextTests, OneSnapshotADayKeepsTenDailyAndFourWeeklyOnes)
{
    // Sixty days, one snapshot each, 2026-10-10 (a Saturday) to 2026-12-08 (a Tuesday).
    std::vector<CSnapshotStamp> stamps;
    for (int64_t day = DayNumber(2026, 10, 10); day <= DayNumber(2026, 12, 8); ++day) {
        // Back from a day number to a date, by walking the calendar.
        int year = 2026, month = 10, dayOfMonth = 10;
        for (int64_t d = DayNumber(2026, 10, 10); d < day; ++d) {
            static const int length[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            if (++dayOfMonth > length[month - 1]) {
                dayOfMonth = 1;
                ++month;
            }
        }
        stamps.push_back(At(year, month, dayOfMonth));
    }
    const std::vector<std::wstring> kept = KeptNames(stamps);
    // The ten last days (29 November to 8 December) and the newest of each of the four last weeks:
    // this one, the week to 6 December and the week to 29 November lie among the ten days; the
    // fourth ends on Sunday 22 November. Nothing older stays.
    const std::vector<std::wstring> expected = {
        L"Backup-20261122-090000.zip", L"Backup-20261129-090000.zip",
        L"Backup-20261130-090000.zip", L"Backup-20261201-090000.zip", L"Backup-20261202-090000.zip",
        L"Backup-20261203-090000.zip", L"Backup-20261204-090000.zip", L"Backup-20261205-090000.zip",
        L"Backup-20261206-090000.zip", L"Backup-20261207-090000.zip", L"Backup-20261208-090000.zip",
    };
    EXPECT_EQ(kept, expected);
}

TEST(SnapshotTextTests, ABusyDayKeepsItsTenNewestAndEveryEarlierDayItsNewest)
{
    std::vector<CSnapshotStamp> stamps;
    // Twelve snapshots on Tuesday 8 December, before each of twelve changes.
    for (int i = 0; i < 12; ++i)
        stamps.push_back(At(2026, 12, 8, 8 + i, 15));
    // Two on Monday, the later one being that day's newest.
    stamps.push_back(At(2026, 12, 7, 9, 0));
    stamps.push_back(At(2026, 12, 7, 18, 0));
    // Two in one second, told apart by their serial.
    stamps.push_back(At(2026, 11, 30, 9, 0, 0, 1));
    stamps.push_back(At(2026, 11, 30, 9, 0, 0, 2));
    const std::vector<bool> keep = SnapshotsToKeep(stamps);
    // 08:15 and 09:15 of the busy day are neither among the ten newest nor a day's newest.
    EXPECT_FALSE(keep[0]);
    EXPECT_FALSE(keep[1]);
    for (int i = 2; i < 12; ++i)
        EXPECT_TRUE(keep[i]) << i;
    EXPECT_FALSE(keep[12]);
    EXPECT_TRUE(keep[13]);
    EXPECT_FALSE(keep[14]);
    EXPECT_TRUE(keep[15]);
}

TEST(SnapshotTextTests, MonthsWithoutAStartLoseNothingAndWeeksStartOnMonday)
{
    // Snapshots months apart: each is its day's and its week's newest, so all five stay.
    std::vector<CSnapshotStamp> sparse = {At(2026, 1, 5), At(2026, 3, 1), At(2026, 6, 30), At(2026, 9, 9),
                                          At(2026, 12, 8)};
    for (bool kept : SnapshotsToKeep(sparse))
        EXPECT_TRUE(kept);

    // A day each on Saturday 21 and Sunday 22 November, 27 November to 8 December. The ten newest
    // days reach back to Sunday 29. The weeks, Monday to Sunday: 7-8 December, 30 November to
    // 6 December, 23 to 29 November and 16 to 22 November, whose newest is Sunday 22 (with weeks
    // from Sunday it would be Saturday 21).
    std::vector<CSnapshotStamp> days = {At(2026, 11, 21), At(2026, 11, 22)};
    for (int day = 27; day <= 30; ++day)
        days.push_back(At(2026, 11, day));
    for (int day = 1; day <= 8; ++day)
        days.push_back(At(2026, 12, day));
    const std::vector<bool> keep = SnapshotsToKeep(days);
    EXPECT_FALSE(keep[0]);  // Saturday 21
    EXPECT_TRUE(keep[1]);   // Sunday 22: its week's newest, the fourth week
    EXPECT_FALSE(keep[2]);  // Friday 27
    EXPECT_FALSE(keep[3]);  // Saturday 28: its week's newest is Sunday 29
    for (size_t i = 4; i < days.size(); ++i)
        EXPECT_TRUE(keep[i]) << i;
}
